#include "qnsequence.h"

namespace kr5 {

namespace {

// Decimal text with a blank before a number that is not negative.
QString signedText(qint32 v) {
    return (v < 0 ? QString() : QStringLiteral(" ")) + QString::number(v);
}

}  // namespace

QnSequence::QnSequence(const Parts& parts) : p_(parts) {}

QString QnSequence::faceLabel() const {
    return p_.panel.readouts().testVoltage + QLatin1Char(' ') + p_.settings.qnCondition;
}

void QnSequence::endAfterThisPass() {
    if (running_) {
        endAfterPass_ = true;  // the pass in progress is completed first
    }
}

void QnSequence::start() {
    if (running_) {
        return;
    }
    // The count needs the detector under remote control: "m1" goes out at the loop's
    // next request point, before the first pass.
    if (!p_.panel.remote()) {
        p_.panel.setRemote(true);
    }
    running_ = true;
    passes_ = 0;
    qm_.startBlock();
    p_.windows.setMenuCaptions(QStringLiteral("T-QNV Mes.(&Q)"), QStringLiteral("T-N(Q)V"),
                               QStringLiteral("Q-N"));
    p_.windows.showQnFace(faceLabel());
    p_.panel.setQnRunning(true);
    lock(true);
    p_.requests.qnStart = true;
}

void QnSequence::finish() {
    running_ = false;
    endAfterPass_ = false;
    p_.windows.setMenuCaptions(QStringLiteral("QN Mes.(&Q)"), QStringLiteral("T-QNV"),
                               QStringLiteral("V-Q"));
    p_.windows.showNormalFace();
    p_.panel.setQnRunning(false);
    lock(false);
    emit endMarkerDue();
}

void QnSequence::lock(bool locked) {
    if (p_.discriminator != nullptr) {
        p_.discriminator->setQnRunning(locked);
    }
    p_.windows.setLocked(locked);
}

QString QnSequence::passCaption() const {
    // The pass count: the signed text of the pass number, and that of the passes asked
    // for without its first character (the blank, or the minus sign of Non Stop's -1).
    return QStringLiteral("Q-N(") + portDigit_ + QStringLiteral(") ") + signedText(passes_ + 1) +
           QLatin1Char('/') + signedText(p_.settings.qnPasses).mid(1);
}

void QnSequence::takeReading(const Reading& reading) {
    if (!running_ || !reading.isQnStep()) {
        return;
    }
    p_.windows.showStep(passCaption(), passes_, reading);
    qm_.takeStep(reading.attRange,
                 reading.countAnswered() ? std::optional<double>(reading.pulseRate) : std::nullopt);
    if (reading.attRange == kAttenuatorRanges - 1) {
        ++passes_;
        qm_.passDone();
        emit passQmReady();
        passCompleted();
    }
}

void QnSequence::passCompleted() {
    if (p_.settings.qnPasses == OperatingSettings::nonStop) {
        if (passes_ >= nonStopBlock) {
            p_.windows.copyChart();
            p_.windows.startBlock(faceLabel());
            passes_ = 0;
            qm_.startBlock();
            emit endMarkerDue();
            emit startMarkerDue();
        }
        return;
    }
    if (passes_ >= p_.settings.qnPasses) {
        endAfterPass_ = true;
        p_.windows.copyChart();
    }
}

}  // namespace kr5
