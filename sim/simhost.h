// The kr5sim program's real-time side: puts the bench's ports on pseudo-terminals, hands
// the bench what the program writes, with the speed the program has set, and writes the
// answers back when they are due. It blocks in ppoll() between events and ends when told
// to stop by a signal.
#pragma once

#include "bench.h"
#include "ptyline.h"

#include <QFile>
#include <QString>
#include <array>
#include <chrono>
#include <csignal>
#include <map>
#include <memory>

namespace kr5::sim {

struct HostOptions {
    QString logPath;    // every frame received, one line each; none when empty
    QString portsFile;  // the PORTn= lines, rewritten whenever a device changes
    QString linkDir;    // symbolic links portN to the devices, a name that survives a replug
};

class SimHost {
  public:
    SimHost(Bench& bench, HostOptions options);
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    // Opens the lines and the log and prints the PORTn= lines and READY. False with a
    // reason when a line or the log cannot be opened.
    bool start(QString* error);

    // Serves the lines until stop becomes non-zero (set from a signal handler). The
    // signals in `waitMask` are let through only while waiting, so that a signal cannot
    // slip in between the test of stop and the wait.
    void run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask);

    // How punctual the answers were: a machine too busy to run the simulator on time makes
    // it answer late, which the program must count as no answer. Printed at the end.
    struct Punctuality {
        qint64 runs = 0;        // runs of answer bytes handed to a terminal
        qint64 lateRuns = 0;    // of them, handed over more than kLateUs after their time
        double latestUs = 0.0;  // the most any run was behind its time
        double totalBehindUs = 0.0;
        static constexpr double kLateUs = 10000.0;
    };
    const Punctuality& punctuality() const { return punctuality_; }

  private:
    struct Port {
        PtyLine line;
        std::multimap<double, LineBytes> outgoing;
        double hungSinceUs = -1.0;
        double inFreeUs = 0.0;  // when the bytes from the program are through the line
    };

    double nowUs() const;
    bool plug(int number, Port& port, QString* error);
    void unplug(int number, Port& port);
    void followPresence(double now);
    // hangUpOnly: the poll reported a hang-up and nothing to read.
    void readFrom(int number, Port& port, bool hangUpOnly);
    void sendDue(double now);
    void publish();
    double nextWakeUs(double now) const;
    static double endOfRun(const Port& port);
    // When the next answer is due on any port; infinity when none is waiting.
    double nextAnswerUs() const;
    // How much sooner than an answer is due the host wakes, from how late ppoll() came
    // back lately, and the lateness of one more time-out.
    double wakeLeadUs() const;
    void noteWakeLateness(double lateUs);

    Bench& bench_;
    HostOptions options_;
    std::chrono::steady_clock::time_point start_;
    std::map<int, Port> ports_;
    std::unique_ptr<QFile> log_;
    Punctuality punctuality_;
    std::array<double, 16> wakeLateness_{};
    size_t nextLateness_ = 0;
};

}  // namespace kr5::sim
