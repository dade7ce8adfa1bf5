#include "acquisition.h"

#include <utility>

namespace kr5 {

namespace {

// A digit command: the letter and the last character of the value's decimal text.
QString digitCommand(char letter, int value) {
    return QLatin1Char(letter) + QString::number(value).right(1);
}

QString remoteCommand(bool on) {
    return on ? QStringLiteral("m1") : QStringLiteral("m0");
}

}  // namespace

Acquisition::Acquisition(const Parts& parts)
    : p_(parts), traffic_(parts.units, parts.link, parts.clock, parts.timing) {}

void Acquisition::hand(const Reading& reading) {
    for (ReadingListener* listener : listeners_) {
        listener->takeReading(reading);
    }
}

void Acquisition::handPending() {
    if (!pending_) {
        return;
    }
    PendingReading p = std::move(*pending_);
    pending_.reset();
    for (Reply* reply : {&p.replies.detector, &p.replies.ac, &p.replies.noise, &p.count}) {
        if (reply->whole() && !p_.link.stoodClear(*reply)) {
            reply->status = Reply::Status::Overlong;
        }
    }
    if (!p.qnStep) {
        Reading reading = p_.evaluator.cycle(p.replies);
        reading.rangesSuperseded = p.rangeCommandsBefore != rangeCommandsSent_;
        hand(reading);
        return;
    }
    std::optional<qint32> rate;
    if (const auto count = gateCount(p.count)) {
        rate = countRate(*count, p.gateTimeMs);
    }
    hand(p_.evaluator.qnStep(*p.qnStep, rate, p.replies));
}

void Acquisition::handPendingNow() {
    if (pending_) {
        p_.link.lookForStrays();
        handPending();
    }
}

void Acquisition::loopStart() {
    p_.timing.startTimers();
    for (const char* cmd : {"m1", "a0", "r0"}) {
        p_.link.command(UnitKind::Detector, QLatin1String(cmd));
    }
    p_.requests.attenuator = p_.requests.rate = attenuatorSent_ = rateSent_ = 0;
    const bool discriminator = p_.units.discriminatorPresent();
    p_.windows.showDiscriminatorPanel(discriminator);
    if (discriminator) {
        for (const char* cmd : {"m1", "a0", "c0", "f0"}) {
            p_.link.command(UnitKind::NoiseDiscriminator, QLatin1String(cmd));
        }
    }
    p_.windows.startCharts();
    // The REMOTE box is ticked as the operator would: "m1" goes out once more in the
    // first cycle.
    p_.panel.setRemote(true);
}

void Acquisition::run() {
    loopStart();
    while (true) {
        if (p_.link.portLost()) {
            awaitPort();
        } else if (p_.qn.passesRunning()) {
            // A start that came after this cycle's request point is still pending: its
            // marker goes before the first pass, so that it precedes the end marker. The
            // same holds for the remote request the start makes: the detector counts only
            // under remote control.
            startPendingQn();
            sendRemoteRequest();
            runQnPass();
            if (p_.qn.endAfterPass()) {
                p_.qn.finish();
            }
        } else {
            normalCycle();
        }
        if (p_.requests.end) {
            break;
        }
    }
    handPendingNow();
    p_.link.shutdown();
    p_.timing.stopTimers();
}

void Acquisition::normalCycle() {
    p_.timing.startCycle(p_.settings.sampleMs);
    const ReadingReplies replies = traffic_.read();
    handPending();
    pending_ = PendingReading{replies, std::nullopt, Reply{}, 0, rangeCommandsSent_};
    sendRequests();
    p_.timing.countCycle();
    p_.timing.waitForCycleEnd();
}

void Acquisition::sendAndAcknowledge(UnitKind unit, const QString& command) {
    p_.link.send(unit, command);
    p_.link.receive(unit, kAckLength, kNormalTimeout);
    p_.timing.wait(200);
}

void Acquisition::sendRangeRequest(char letter, int requested, int& sent) {
    // Compare and copy first, then send: a request that changes during the send is seen
    // in the next cycle.
    if (requested != sent) {
        sent = requested;
        ++rangeCommandsSent_;
        sendAndAcknowledge(UnitKind::Detector, digitCommand(letter, sent));
    }
}

void Acquisition::sendDiscriminatorSetting(char letter, int requested, int& sent) {
    if (requested != sent) {
        sent = requested;
        sendAndAcknowledge(UnitKind::NoiseDiscriminator, digitCommand(letter, sent));
    }
}

void Acquisition::sendRemoteRequest() {
    if (const auto remote = std::exchange(p_.requests.detectorRemote, std::nullopt)) {
        detectorRemoteSent_ = *remote;
        sendAndAcknowledge(UnitKind::Detector, remoteCommand(*remote));
    }
}

void Acquisition::sendRequests() {
    Requests& r = p_.requests;
    sendRemoteRequest();
    sendRangeRequest('a', r.attenuator, attenuatorSent_);
    sendRangeRequest('r', r.rate, rateSent_);
    if (const auto remote = std::exchange(r.discriminatorRemote, std::nullopt)) {
        discriminatorRemoteSent_ = *remote;
        sendAndAcknowledge(UnitKind::NoiseDiscriminator, remoteCommand(*remote));
    }
    sendDiscriminatorSetting('f', r.discriminatorFunction, functionSent_);
    sendDiscriminatorSetting('c', r.channelB, channelBSent_);
    sendDiscriminatorSetting('a', r.channelA, channelASent_);
    if (std::exchange(r.speedChange, false)) {
        speedInForce_ = p_.settings.speedIndex;
        p_.link.changeSpeed(speedInForce_);
    }
    startPendingQn();
}

void Acquisition::startPendingQn() {
    if (std::exchange(p_.requests.qnStart, false)) {
        handPendingNow();  // the start marker follows the readings before it
        p_.qn.recordStart();
    }
}

Reply Acquisition::countStep(int step) {
    p_.panel.showQnStep(step);
    p_.link.send(UnitKind::Detector, digitCommand('a', step));
    p_.link.receive(UnitKind::Detector, kAckLength, kNormalTimeout);
    p_.timing.wait(100);
    const Reply count = traffic_.countGate(p_.settings.gateTimeMs);
    if (gateCount(count)) {
        return count;
    }
    // A count that did not come is measured once more; a second miss leaves the step
    // without a count.
    return traffic_.countGate(p_.settings.gateTimeMs);
}

void Acquisition::runQnPass() {
    for (int step = 0; step < kAttenuatorRanges && !p_.link.portLost(); ++step) {
        const Reply count = countStep(step);
        handPending();
        pending_ = PendingReading{traffic_.read(), step, count, p_.settings.gateTimeMs,
                                  rangeCommandsSent_};
    }
    // What the pass found is complete before it is judged or ended.
    handPendingNow();
}

bool Acquisition::waitOneSecondUnlessEnding() {
    for (int tick = 0; tick < 10 && !p_.requests.end; ++tick) {
        p_.timing.wait(100);
    }
    return !p_.requests.end;
}

void Acquisition::awaitPort() {
    // One reading with nothing answered: the panel shows its values as old, the status
    // says who is silent, and no row is written while the port is gone.
    handPendingNow();
    ReadingReplies nothing;
    nothing.takenAtMs = p_.clock.nowMs();
    hand(p_.evaluator.cycle(nothing));
    if (p_.qn.passesRunning()) {
        p_.qn.finish();  // a pass cannot go on without the line: ended as if stopped
    }
    p_.windows.portLost(p_.link.portProblem());
    while (waitOneSecondUnlessEnding()) {
        if (p_.link.openPort(p_.units.port) && restoreUnits()) {
            p_.windows.portBack();
            return;
        }
    }
}

bool Acquisition::restoreUnits() {
    // The units kept the speed last set, unless they were switched off and on: then they
    // are back at 9600 baud.
    int foundAt = -1;
    for (const int speed : {speedInForce_, 0}) {
        p_.link.setPortSpeed(speed);
        if (p_.link.identifies(UnitKind::Detector)) {
            foundAt = speed;
            break;
        }
    }
    if (foundAt < 0) {
        return false;
    }
    if (foundAt != speedInForce_) {
        p_.link.changeSpeed(speedInForce_);
    }
    Link& link = p_.link;
    link.command(UnitKind::Detector, remoteCommand(detectorRemoteSent_));
    link.command(UnitKind::Detector, digitCommand('a', attenuatorSent_));
    link.command(UnitKind::Detector, digitCommand('r', rateSent_));
    if (p_.units.discriminatorPresent()) {
        link.command(UnitKind::NoiseDiscriminator, remoteCommand(discriminatorRemoteSent_));
        link.command(UnitKind::NoiseDiscriminator, digitCommand('a', channelASent_));
        link.command(UnitKind::NoiseDiscriminator, digitCommand('c', channelBSent_));
        link.command(UnitKind::NoiseDiscriminator, digitCommand('f', functionSent_));
    }
    return true;
}

}  // namespace kr5
