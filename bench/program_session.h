// One run of the real program against kr5sim, watched from outside as program_bench needs
// it: the frames the simulator received, placed on the bench's own clock; the program's
// processor time and resident memory; its last status line and the simulator's summary;
// and a remote-control client asking for readings as a lab's script would.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <vector>

namespace kr5::bench {

struct Frame {
    double ms;  // on the bench's clock
    int baud;
    QString address;
    QString command;
};

// The units of every run: the three units on port 1 at addresses a scan meets late.
QStringList unitsOnPort1();

class ProgramSession {
  public:
    struct Setup {
        QString sim;
        QString program;
        QStringList programArgs;
        QString display;  // an X display to show the windows on; offscreen when empty
        // The program's configuration file (kr5au/kr5au.conf) as the run starts; none when
        // empty.
        QString config;
        // The program prints its status lines (and answers its questions on the terminal,
        // without dialogs).
        bool statusLines = true;
    };
    explicit ProgramSession(const Setup& setup);
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // False when the simulator or the program did not start.
    bool started() const { return started_; }
    // Ends the program, then the simulator, as an operator would.
    void finish();

    // Milliseconds on the bench's clock.
    double nowMs() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }
    double launchMs() const { return launchMs_; }
    // Every frame received so far, from the frame after `from` on.
    QList<Frame> frames(qsizetype from = 0) const;
    // User plus system time of the program in seconds; its resident memory in MB.
    double cpuSeconds() const;
    double residentMb() const;

    QString lastStatusLine() const { return lastLine(QStringLiteral("status.txt")); }
    QString simulatorSummary() const { return lastLine(QStringLiteral("sim.txt")); }
    // The port the program's remote control listens on when started with --listen 0, as
    // it prints it; 0 when it has not within timeoutMs or has ended.
    quint16 remotePort(int timeoutMs) const;

  private:
    QString lastLine(const QString& name) const;
    bool startSimulator(const QString& sim);

    QTemporaryDir dir_;
    QString log_;
    QElapsedTimer clock_;
    QProcess sim_;
    QProcess program_;
    QString device_;
    double simZeroMs_ = 0.0;  // the simulator's log time 0 on the bench's clock
    double launchMs_ = 0.0;
    bool started_ = false;
};

// A client of the remote control that asks READ? at a steady pace without waiting for the
// answers, and times each answer from its question. Works while the event loop runs.
class ReadClient {
  public:
    ReadClient(quint16 port, int intervalMs);
    bool connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    // Counts and times the answers from now on; questions already asked still pair with
    // their answers.
    void restartCount();
    int replies() const { return replies_; }
    const std::vector<double>& latenciesMs() const { return latencies_; }

  private:
    void ask();
    void readAnswers();

    QTcpSocket socket_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::deque<double> askedMs_;  // the questions not yet answered, oldest first
    QByteArray pending_;          // the start of an answer still without its end
    int replies_ = 0;
    std::vector<double> latencies_;
};

// An X server of its own for the runs with windows shown: Xvfb on a free display.
class VirtualDisplay {
  public:
    VirtualDisplay();
    ~VirtualDisplay();
    // Empty when Xvfb is not installed or did not start.
    QString name() const { return name_; }
    // Stops the server and lets it go on (SIGSTOP, SIGCONT): a client that paints then
    // waits on it, as on a desktop whose X server hangs.
    void stop();
    void resume();

  private:
    QProcess server_;
    QString name_;
};

}  // namespace kr5::bench
