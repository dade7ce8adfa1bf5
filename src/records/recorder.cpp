#include "recorder.h"

#include "app/format.h"
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

Recorder::Recorder(Globals& g, Timing& timing, const Clock& clock)
    : g_(g), timing_(timing), clock_(clock), recOnCaption_(recOnText) {}

bool Recorder::prepare(const QString& path, const QStringList& header, QString* problem) {
    if (!file_.create(path, header)) {
        if (problem != nullptr) {
            *problem = file_.problem();
        }
        return false;
    }
    g_.csvfile = path;
    g_.recon = false;
    recno_ = 0;
    csvready_ = true;
    setCaption(recOnText);
    select(false);
    emit preparedChanged(true);
    return true;
}

void Recorder::option1Click() {
    if (busy_ || !csvready_ || recOnSelected_) {
        emit selectionChanged(recOnSelected_);
        return;
    }
    select(true);
    g_.recon = true;
    appendMarker(QStringLiteral("RECON"));
}

void Recorder::option2Click() {
    if (busy_ || !csvready_ || !recOnSelected_) {
        emit selectionChanged(recOnSelected_);
        return;
    }
    BusyScope scope(busy_);
    select(false);
    pause();
}

void Recorder::pause() {
    // recon clears before the wait, so no row can follow the marker.
    g_.recon = false;
    timing_.wait(100);
    appendMarker(QStringLiteral("PAUSE"));
    setCaption(recOnText);
}

void Recorder::bcloseClick() {
    if (busy_ || !csvready_) {
        return;
    }
    BusyScope scope(busy_);
    g_.recon = false;
    timing_.wait(100);
    appendMarker(QStringLiteral("RECOFF"));
    setCaption(recOnText);
    csvready_ = false;
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

void Recorder::dataRow(qint32 att, double q, qint32 rateIndex, double pps, double tv) {
    if (!g_.recon) {
        return;
    }
    write(dataRowLine(att, q, rateIndex, pps, tv));
    if (recno_ < std::numeric_limits<qint32>::max()) {
        ++recno_;
    }
    setCaption(numberForm(recno_));
}

void Recorder::appendMarker(const QString& tag) {
    write(markerLine(tag, clock_.localTime()));
}

void Recorder::appendQnStart() {
    if (g_.recon) {
        write(qnStartLine(g_, clock_.localTime()));
    }
}

void Recorder::appendQnEnd() {
    if (g_.recon) {
        appendMarker(QStringLiteral("QNend"));
    }
}

void Recorder::write(const QString& line) {
    const bool hadProblem = file_.waitingCount() > 0;
    if (file_.append(g_.csvfile, line)) {
        if (hadProblem && onWriteRecovered) {
            onWriteRecovered();
        }
        return;
    }
    if (onWriteProblem) {
        onWriteProblem(tr("The measurement file %1 cannot be written (%2). %3 lines are kept "
                          "and will be written as soon as the file can be written again.")
                           .arg(file_.failingPath(), file_.problem())
                           .arg(file_.waitingCount()));
    }
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
