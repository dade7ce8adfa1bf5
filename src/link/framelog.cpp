#include "framelog.h"

namespace kr5 {

namespace {

constexpr int kFlushEveryMs = 1000;
constexpr qsizetype kMaxCommand = 32;

bool isAddressByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0xC0 && b <= 0xCF;
}

QByteArray head(qint64 ms, int port, int baud) {
    QByteArray line = QByteArray::number(ms);
    line += " port";
    line += QByteArray::number(port);
    line += ' ';
    line += QByteArray::number(baud);
    line += ' ';
    return line;
}

// The address byte and command of a well-formed frame, read as the simulator reads the
// frames it receives: the last address byte before the final CR LF starts the command,
// which is 1..32 printable characters. Empty when the frame is anything else.
QByteArray addressAndCommand(const QByteArray& frame) {
    if (frame.size() < 4 || !frame.endsWith("\r\n")) {
        return {};
    }
    const qsizetype end = frame.size() - 2;
    qsizetype at = end - 1;
    while (at >= 0 && !isAddressByte(frame[at])) {
        --at;
    }
    const qsizetype length = end - at - 1;
    if (at < 0 || length < 1 || length > kMaxCommand) {
        return {};
    }
    const QByteArray command = frame.mid(at + 1, length);
    for (const char c : command) {
        if (c < 0x21 || c > 0x7E) {
            return {};
        }
    }
    return QByteArray::number(static_cast<unsigned char>(frame[at]), 16).toUpper() + ' ' + command;
}

}  // namespace

FrameLog::FrameLog(Clock& clock) : clock_(clock) {}

FrameLog::~FrameLog() {
    close();
}

bool FrameLog::open(const QString& path) {
    close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    startMs_ = clock_.nowMs();
    flushTimer_ = clock_.startTimer(kFlushEveryMs, [this] { flush(); });
    return true;
}

void FrameLog::close() {
    if (flushTimer_ != 0) {
        clock_.stopTimer(flushTimer_);
        flushTimer_ = 0;
    }
    if (file_.isOpen()) {
        flush();
        file_.close();
    }
}

void FrameLog::flush() {
    if (!file_.isOpen()) {
        return;
    }
    QByteArray lines;
    {
        const QMutexLocker lock(&pendingMutex_);
        lines.swap(pending_);
    }
    if (!lines.isEmpty()) {
        file_.write(lines);
        file_.flush();
    }
}

void FrameLog::keep(const QByteArray& line) {
    const QMutexLocker lock(&pendingMutex_);
    pending_ += line;
    pending_ += '\n';
}

void FrameLog::frameSent(int port, int baud, const QByteArray& frame) {
    if (file_.isOpen()) {
        keep(frameLine(clock_.nowMs() - startMs_, port, baud, frame));
    }
}

void FrameLog::bytesReceived(int port, int baud, const QByteArray& bytes) {
    if (file_.isOpen() && !bytes.isEmpty()) {
        keep(receivedLine(clock_.nowMs() - startMs_, port, baud, bytes));
    }
}

QByteArray FrameLog::frameLine(qint64 ms, int port, int baud, const QByteArray& frame) {
    const QByteArray sent = addressAndCommand(frame);
    return head(ms, port, baud) + (sent.isEmpty() ? "?? " + frame.toHex().toUpper() : sent);
}

QByteArray FrameLog::receivedLine(qint64 ms, int port, int baud, const QByteArray& bytes) {
    QByteArray line = head(ms, port, baud);
    line += "< ";
    for (const char c : bytes) {
        if (c == '\r') {
            line += "\\r";
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\\') {
            line += "\\\\";
        } else if (c >= 0x20 && c <= 0x7E) {
            line += c;
        } else {
            line += "\\x";
            line += QByteArray::number(static_cast<unsigned char>(c), 16)
                        .toUpper()
                        .rightJustified(2, '0');
        }
    }
    return line;
}

}  // namespace kr5
