// The frame log (--log-frames): every frame the link sends and everything it takes from
// the line, one line each, in the form of kr5sim's --log so that the two logs of one run
// can be read side by side:
//   "<ms since the log opened> port<n> <baud> <address byte in hex> <command>"
//       e.g. "1039 port1 9600 C0 x"
//   "<ms> port<n> <baud> ?? <all bytes in hex>"    a frame that is not well formed
//   "<ms> port<n> <baud> < <bytes, escaped>"       what came back for one reply, or the
//       e.g. "1045 port1 9600 < A0x7F3121\r\n"     stray bytes dropped before a frame
// Printable ASCII stands as itself, CR, LF and backslash as \r, \n and \\, any other
// byte as \xHH. A reply that did not come leaves no "<" line.
//
// The lines are kept in memory and written once a second (on the program's clock) and
// when the log closes, so that a slow disk never holds up a cycle. The link adds lines on
// the measurement's thread while the file is written on the thread that opened the log.
#pragma once

#include "platform/clock.h"

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QString>

namespace kr5 {

// What the link tells about the line as it goes: each frame written, and what was taken
// from the line for one reply (or dropped as strays). port: 1 or 2; baud: the line speed
// at that moment.
class FrameListener {
  public:
    virtual ~FrameListener() = default;
    virtual void frameSent(int port, int baud, const QByteArray& frame) = 0;
    virtual void bytesReceived(int port, int baud, const QByteArray& bytes) = 0;
};

class FrameLog : public FrameListener {
  public:
    explicit FrameLog(Clock& clock);
    ~FrameLog() override;
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // Creates or empties the file; times count from here. False with errorString() when
    // it cannot be written.
    bool open(const QString& path);
    QString errorString() const { return file_.errorString(); }
    // Writes what is kept and closes the file.
    void close();

    void frameSent(int port, int baud, const QByteArray& frame) override;
    void bytesReceived(int port, int baud, const QByteArray& bytes) override;

    // Hands the kept lines to the file now.
    void flush();

    // The lines, without their line end.
    static QByteArray frameLine(qint64 ms, int port, int baud, const QByteArray& frame);
    static QByteArray receivedLine(qint64 ms, int port, int baud, const QByteArray& bytes);

  private:
    void keep(const QByteArray& line);

    Clock& clock_;
    QFile file_;
    qint64 startMs_ = 0;
    int flushTimer_ = 0;
    QMutex pendingMutex_;
    QByteArray pending_;  // guarded by pendingMutex_
};

}  // namespace kr5
