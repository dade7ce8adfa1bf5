#include "recorder.h"

#include "core/format.h"
#include "recordlines.h"

#include <limits>

namespace kr5 {

namespace {

const QString recOnText = QStringLiteral("REC ON");

// Clears a flag when the handler that set it returns, however it returns.
class BusyScope {
  public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& flag_;
};

}  // namespace

Recorder::Recorder(Timing& timing, const Clock& clock, Files& files)
    : timing_(timing), clock_(clock), file_(files), recOnCaption_(recOnText) {}

bool Recorder::prepare(const QString& path, const QStringList& header, QString* problem) {
    if (!file_.create(path, header)) {
        if (problem != nullptr) {
            *problem = file_.problem();
        }
        return false;
    }
    path_ = path;
    recording_ = false;
    rowsWritten_ = 0;
    filePrepared_ = true;
    setCaption(recOnText);
    select(false);
    emit preparedChanged(true);
    return true;
}

void Recorder::recordOn() {
    if (busy_ || !filePrepared_ || recOnSelected_) {
        emit selectionChanged(recOnSelected_);
        return;
    }
    select(true);
    recording_ = true;
    appendMarker(QStringLiteral("RECON"));
}

void Recorder::pauseRecording() {
    if (busy_ || !filePrepared_ || !recOnSelected_) {
        emit selectionChanged(recOnSelected_);
        return;
    }
    BusyScope scope(busy_);
    select(false);
    pause();
}

void Recorder::pause() {
    // Recording stops before the wait, so no row can follow the marker.
    recording_ = false;
    timing_.wait(100);
    appendMarker(QStringLiteral("PAUSE"));
    setCaption(recOnText);
}

void Recorder::closeFile() {
    if (busy_ || !filePrepared_) {
        return;
    }
    BusyScope scope(busy_);
    recording_ = false;
    timing_.wait(100);
    appendMarker(QStringLiteral("RECOFF"));
    setCaption(recOnText);
    filePrepared_ = false;
    const bool wasRecording = recOnSelected_;
    // Hides the frame and enables File > Save and the constants' OK again.
    emit preparedChanged(false);
    // Selecting PAUSE from here acts as its click: after a recording, a second wait and
    // a PAUSE marker follow RECOFF.
    select(false);
    if (wasRecording) {
        pause();
    }
}

void Recorder::takeReading(const Reading& r) {
    if (!recording_ || !r.complete()) {
        return;
    }
    write(dataRowLine(r.attRange, r.charge, r.rateRange, r.pulseRate, r.testVoltage));
    if (rowsWritten_ < std::numeric_limits<qint32>::max()) {
        ++rowsWritten_;
    }
    setCaption(numberForm(rowsWritten_));
}

void Recorder::appendMarker(const QString& tag) {
    write(markerLine(tag, clock_.localTime()));
}

void Recorder::appendQnStart(const QString& condition, const QString& testVoltage, qint32 passes) {
    if (recording_) {
        write(qnStartLine(condition, testVoltage, passes, clock_.localTime()));
    }
}

void Recorder::appendQnEnd() {
    if (recording_) {
        appendMarker(QStringLiteral("QNend"));
    }
}

void Recorder::write(const QString& line) {
    const bool hadProblem = file_.waitingCount() > 0;
    if (file_.append(path_, line)) {
        if (hadProblem) {
            emit writeRecovered();
        }
        return;
    }
    emit writeProblem(tr("The measurement file %1 cannot be written (%2). %3 lines are kept "
                         "and will be written as soon as the file can be written again.")
                          .arg(file_.failingPath(), file_.problem())
                          .arg(file_.waitingCount()));
}

void Recorder::setCaption(const QString& caption) {
    if (caption != recOnCaption_) {
        recOnCaption_ = caption;
        emit recOnCaptionChanged(caption);
    }
}

void Recorder::select(bool recOn) {
    recOnSelected_ = recOn;
    emit selectionChanged(recOn);
}

}  // namespace kr5
