// One serial line of the kr5sim program: a pseudo-terminal pair whose slave side the
// program opens as its serial port, while the simulator works the master side.
#pragma once

#include <QByteArray>
#include <QString>

namespace kr5::sim {

class PtyLine {
  public:
    PtyLine() = default;
    ~PtyLine() { destroy(); }
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Opens a new pair in raw mode at 9600 baud. False with a reason on failure.
    bool create(QString* error);
    // Closes both sides: the program's port sees the line hang up, as when an adapter is
    // pulled out.
    void destroy();

    bool isUp() const { return master_ >= 0; }
    int masterFd() const { return master_; }
    const QString& slavePath() const { return path_; }

    // The speed the program has set on its side, in baud (0 when it cannot be read).
    int baud() const;

    // Whatever the program has written, without waiting. Sets hungUp() when the master
    // reports that no one holds the slave side.
    QByteArray readAvailable();
    bool hungUp() const { return hungUp_; }
    void clearHangUp() { hungUp_ = false; }

    // Hands bytes to the program; bytes its full input buffer cannot take are lost, as on
    // a line with no one reading.
    void write(const QByteArray& bytes);

  private:
    int master_ = -1;
    // The simulator keeps the slave side open itself, so that the line does not hang up
    // each time the program closes its port, and its settings stay as the program left
    // them.
    int slaveHold_ = -1;
    QString path_;
    bool hungUp_ = false;
};

}  // namespace kr5::sim
