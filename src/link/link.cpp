#include "link.h"

#include "link/diagnostics.h"
#include "link/wire.h"

#include <algorithm>

namespace kr5 {

Link::Link(const UnitsOnLine& units, SerialPort& port, Clock& clock, Waiter& waiter, Timing& timing)
    : units_(units), port_(port), clock_(clock), waiter_(waiter), timing_(timing) {}

bool Link::openPort(int port) {
    guard_.reset();
    answerTimes_.reset();
    baud_ = kSpeeds[0].baud;
    portNumber_ = port;
    opened_ = port_.open(port, QString::fromLatin1(kSpeeds[0].settings));
    if (!opened_) {
        qCInfo(lcLink) << "port" << port << "did not open:" << port_.problem().device
                       << port_.problem().detail;
    }
    return opened_;
}

void Link::closePort() {
    opened_ = false;
    port_.close();
}

void Link::setPortSpeed(int index) {
    const SpeedSetting& s = kSpeeds[static_cast<size_t>(qBound(0, index, 2))];
    port_.setSettings(QString::fromLatin1(s.settings));
    baud_ = s.baud;
    answerTimes_.reset();
    guard_.reset();
}

bool Link::identifies(UnitKind unit) {
    static const char* const types[kUnitKinds] = {"KR", "AU", "ZN"};
    send(unit, QStringLiteral("v"));
    const Reply reply = receive(unit, kIdentLength, kNormalTimeout);
    return reply.whole() && unitType(reply.text) == QLatin1String(types[static_cast<int>(unit)]);
}

void Link::sendFrame(int address, const QString& command) {
    // Whatever waits in the input now came after its exchange was over: a late answer,
    // or noise. It must not be read in front of the answer to this command.
    if (lookForStrays()) {
        qCDebug(lcLink) << "stray input dropped before" << command << "to address" << address;
    }
    port_.discardInput();
    const QByteArray bytes = frame(QString(addressChar(address)), command);
    // A port that is gone drops what is written to it: the log shows only what went out.
    if (frames_ != nullptr && port_.isOpen()) {
        frames_->frameSent(portNumber_, baud_, bytes);
    }
    port_.write(bytes);
    // The frame takes this long on the line (ten bits a character), rounded down.
    earliestReplyMs_ = clock_.nowMs() + bytes.size() * 10'000 / baud_;
    earlyBytes_ = 0;
}

QString Link::takeLine() {
    const QByteArray got = port_.takeInput();
    if (frames_ != nullptr) {
        heard_ += got;
    }
    return decodeLine(got);
}

void Link::tellReceived() {
    if (frames_ != nullptr && !heard_.isEmpty()) {
        frames_->bytesReceived(portNumber_, baud_, heard_);
    }
    heard_.clear();
}

void Link::spoil(quint64 serial) {
    if (serial != 0 && serial != spoiled_[0]) {
        std::copy_backward(spoiled_.begin(), spoiled_.end() - 1, spoiled_.end());
        spoiled_[0] = serial;
    }
}

bool Link::stoodClear(const Reply& reply) const {
    return reply.whole() &&
           std::find(spoiled_.begin(), spoiled_.end(), reply.serial) == spoiled_.end();
}

bool Link::lookForStrays() {
    const bool strays = !takeLine().isEmpty();
    if (strays) {
        guard_.straysSeen(clock_.nowMs());
        spoil(lastSerial_);
    }
    tellReceived();
    return strays;
}

void Link::send(UnitKind unit, const QString& command) {
    guard_.commandSent(unit, clock_.nowMs());
    sendFrame(units_.unit(unit).address, command);
    lastSendMs_ = clock_.nowMs();
}

void Link::sendToAddress(int index, const QString& command) {
    sendFrame(index, command);
}

QString Link::collect(int len, qint64 deadlineMs) {
    QString buf;
    bool lookedAgain = false;
    // The line is looked at before the first wait: what is pending (the windows' requests,
    // the port's input) is handled by the thread's loop while the wait has the link
    // suspended.
    while (buf.size() < len) {
        const QString got = takeLine();
        if (!got.isEmpty()) {
            if (clock_.nowMs() < earliestReplyMs_) {
                earlyBytes_ += static_cast<int>(got.size());
            }
            buf += got;
            continue;
        }
        const qint64 now = clock_.nowMs();
        if (now >= deadlineMs) {
            // Back long after the deadline: the computer stood still (a loaded or paused
            // machine), and with it most likely the delivery of the reply. The time-out
            // measures the unit's silence, not the computer's absence, so the line gets
            // one short look more.
            if (lookedAgain || now - deadlineMs < kStallMs) {
                break;
            }
            lookedAgain = true;
            stalled_ = true;
            qCDebug(lcLink) << "the wait came back" << now - deadlineMs
                            << "ms after its deadline: looking at the line once more";
            deadlineMs = now + kStallMs;
            continue;
        }
        waiter_.waitUntil(deadlineMs);
    }
    return buf;
}

void Link::collectUntil(QString& buf, qint64 deadlineMs) {
    while (clock_.nowMs() < deadlineMs) {
        waiter_.waitUntil(deadlineMs);
        buf += takeLine();
    }
    buf += takeLine();
}

qint64 Link::settleDeadline(const Exchange& x) const {
    // A few character times after the reply, and no sooner than a prompt answer of the
    // unit would be complete: a late answer that came first is then followed by the
    // unit's own before the deadline.
    const qint64 charUs = 10'000'000 / baud_;
    qint64 deadline = clock_.nowMs() + std::max<qint64>(2, (3 * charUs + 999) / 1000);
    if (x.promptLimit) {
        deadline = std::max(deadline, x.sentMs + *x.promptLimit);
    }
    return std::min(deadline, x.deadlineMs);
}

std::optional<Reply> Link::latePair(const Exchange& x, QString& buf) {
    // A unit that owes an answer sends it and then the one to this command back to back,
    // and the port may hand over both in one piece: exactly two replies' worth is the
    // late answer and this one.
    // Another unit's late answer may be the second of the two: then neither counts.
    if (!x.owing || x.othersOwing || buf.size() <= x.len) {
        return std::nullopt;
    }
    if (buf.size() < 2 * x.len) {
        buf += collect(2 * x.len - static_cast<int>(buf.size()), x.deadlineMs);
    }
    if (buf.size() != 2 * x.len) {
        return std::nullopt;
    }
    guard_.answersReceived(x.unit, 2, clock_.nowMs());
    return Reply{Reply::Status::Whole, buf.right(x.len)};
}

Reply Link::ambiguousReply(const Exchange& x, const QString& buf) {
    // Whose answer it is cannot be told: it pays what is owed longest, and this unit's own
    // answer is awaited as late.
    guard_.straysSeen(clock_.nowMs());
    guard_.answerMissed(x.unit, clock_.nowMs());
    return Reply{Reply::Status::Overlong, buf};
}

Reply Link::judgeWhole(const Exchange& x, QString buf) {
    const qint64 elapsed = clock_.nowMs() - x.sentMs;
    const bool prompt = !x.promptLimit || elapsed <= *x.promptLimit;
    if (x.othersOwing && !prompt) {
        // Not this unit's usual answer, and another unit's late one may have come in its
        // place: the line carries nothing that tells them apart.
        return ambiguousReply(x, buf);
    }
    if (x.owing && !prompt) {
        // Perhaps the answer the unit owed, come late; the one to this command may follow
        // it within the time-out. When none does, this one counts: a unit that has merely
        // become slower must not stay locked out, and what it owed is written off.
        buf += collect(x.len, x.deadlineMs);
        if (buf.size() == 2 * x.len) {
            guard_.answersReceived(x.unit, 2, clock_.nowMs());
            return Reply{Reply::Status::Whole, buf.right(x.len)};
        }
        guard_.answersReceived(x.unit, 1, clock_.nowMs());
        if (buf.size() == x.len) {
            guard_.writeOff(x.unit);
            return Reply{Reply::Status::Whole, buf};
        }
        guard_.straysSeen(clock_.nowMs());
        return Reply{Reply::Status::Overlong, buf};
    }
    const bool suspect = x.owing || guard_.lineSuspect(clock_.nowMs());
    if (suspect) {
        collectUntil(buf, settleDeadline(x));
        if (auto pair = latePair(x, buf)) {
            return *pair;
        }
        if (buf.size() > x.len) {
            guard_.answersReceived(x.unit, 1, clock_.nowMs());
            guard_.straysSeen(clock_.nowMs());
            return Reply{Reply::Status::Overlong, buf};
        }
    }
    if (x.owing) {
        guard_.writeOff(x.unit);  // it answered in time: what it owed is lost
    } else {
        guard_.answersReceived(x.unit, 1, clock_.nowMs());
    }
    if (!suspect && !stalled_) {  // a stall says nothing about the unit's answer time
        answerTimes_.record(x.unit, x.len, x.timeout, elapsed);
    }
    return Reply{Reply::Status::Whole, buf};
}

Reply Link::receive(UnitKind unit, int len, int timeout) {
    Reply reply = collectReply(unit, len, timeout);
    tellReceived();
    if (reply.status == Reply::Status::Overlong) {
        spoil(lastSerial_);  // what came in front of it may be the tail of the last one
    }
    reply.serial = ++lastSerial_;
    if (!reply.whole() && lcLink().isDebugEnabled()) {
        static const char* const units[] = {"KR-5", "ACU", "ZN-4"};
        static const char* const statuses[] = {"whole", "missing", "short", "overlong"};
        qCDebug(lcLink).nospace() << units[static_cast<int>(unit)] << " reply "
                                  << statuses[static_cast<int>(reply.status)] << ": " << reply.text;
    }
    return reply;
}

Reply Link::collectReply(UnitKind unit, int len, int timeout) {
    if (!port_.isOpen()) {
        return Reply{Reply::Status::Missing, QString()};  // a lost port answers nothing
    }
    stalled_ = false;
    const qint64 now = clock_.nowMs();
    Exchange x{unit,
               len,
               timeout,
               lastSendMs_,
               now + timeoutMs(timeout),
               guard_.olderAnswersOwed(unit, now) > 0,
               guard_.othersOwe(unit, now),
               answerTimes_.promptLimit(unit, len, timeout)};
    QString buf = collect(len, x.deadlineMs);
    if (earlyBytes_ > 0) {
        return afterEarlyBytes(x, buf);
    }
    const qint64 end = clock_.nowMs();
    if (buf.isEmpty()) {
        guard_.answerMissed(unit, end);
        return Reply{Reply::Status::Missing, buf};
    }
    if (buf.size() < len) {
        // The unit answered, but not all of it came: a lost tail shows up later as
        // stray bytes.
        guard_.answersReceived(unit, 1, end);
        return Reply{Reply::Status::Short, buf};
    }
    if (buf.size() > len) {
        if (auto pair = latePair(x, buf)) {
            return *pair;
        }
        guard_.answersReceived(unit, 1, clock_.nowMs());
        guard_.straysSeen(clock_.nowMs());
        return Reply{Reply::Status::Overlong, buf};
    }
    return judgeWhole(x, buf);
}

Reply Link::afterEarlyBytes(const Exchange& x, QString buf) {
    // The tail of the reply before, or noise: either way the line was not free around
    // the last reply nor around this one.
    spoil(lastSerial_);
    guard_.straysSeen(clock_.nowMs());
    const int whole = x.len + earlyBytes_;
    if (buf.size() < whole) {
        buf += collect(whole - static_cast<int>(buf.size()), x.deadlineMs);
    }
    if (buf.size() > earlyBytes_) {
        guard_.answersReceived(x.unit, 1, clock_.nowMs());
    } else {
        guard_.answerMissed(x.unit, clock_.nowMs());
    }
    return Reply{Reply::Status::Overlong, buf};
}

Reply Link::receiveAny(int len, int timeout) {
    Reply reply;
    reply.text = collect(len, clock_.nowMs() + timeoutMs(timeout));
    tellReceived();
    reply.status = reply.text.size() == len  ? Reply::Status::Whole
                   : reply.text.isEmpty()    ? Reply::Status::Missing
                   : reply.text.size() < len ? Reply::Status::Short
                                             : Reply::Status::Overlong;
    return reply;
}

void Link::awaitQuiet(int timeout) {
    const qint64 giveUpMs = clock_.nowMs() + kQuietLimitMs;
    qint64 quietUntilMs = std::min(giveUpMs, clock_.nowMs() + timeoutMs(timeout));
    while (clock_.nowMs() < quietUntilMs) {
        waiter_.waitUntil(quietUntilMs);
        if (!takeLine().isEmpty()) {
            quietUntilMs = std::min(giveUpMs, clock_.nowMs() + timeoutMs(timeout));
        }
    }
    tellReceived();
}

void Link::command(UnitKind unit, const QString& command) {
    send(unit, command);
    receive(unit, kAckLength, kNormalTimeout);
}

void Link::changeSpeed(int index) {
    const SpeedSetting& s = kSpeeds[static_cast<size_t>(qBound(0, index, 2))];
    const QString cmd = QString::fromLatin1(s.command);
    for (const UnitKind unit :
         {UnitKind::Detector, UnitKind::AcUnit, UnitKind::NoiseDiscriminator}) {
        if (units_.present(unit)) {
            command(unit, cmd);
        }
    }
    // The units switch after answering at the old speed; the port follows only then.
    timing_.wait(200);
    timing_.wait(200);
    port_.setSettings(QString::fromLatin1(s.settings));
    baud_ = s.baud;
    answerTimes_.reset();
    timing_.wait(200);
    send(UnitKind::Detector, QStringLiteral("v"));
    receive(UnitKind::Detector, kIdentLength, kNormalTimeout);
}

void Link::shutdown() {
    if (!port_.isOpen()) {
        closePort();  // the port is gone: there is no one to tell
        return;
    }
    command(UnitKind::Detector, QStringLiteral("m0"));
    if (units_.discriminatorPresent()) {
        command(UnitKind::NoiseDiscriminator, QStringLiteral("m0"));
    }
    changeSpeed(0);
    closePort();
}

}  // namespace kr5
