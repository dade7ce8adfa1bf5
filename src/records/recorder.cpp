#include "recorder.h"

#include "core/format.h"
#include "recordlines.h"

#include <QDir>
#include <QFileInfo>
#include <limits>

namespace kr5 {

namespace {

const QString recOnText = QStringLiteral("REC ON");

}  // namespace

Recorder::Recorder(const Clock& clock, Files& files)
    : clock_(clock), file_(files), files_(files), recOnCaption_(recOnText) {}

bool Recorder::prepare(const QString& path, const QStringList& header, QString* problem) {
    if (!file_.create(path, header)) {
        if (problem != nullptr) {
            *problem = file_.problem();
        }
        return false;
    }
    adopt(path, header);
    return true;
}

void Recorder::adopt(const QString& path, const QStringList& header) {
    // The header was written by another hand: nothing still waiting for an old file of
    // this name may follow it.
    file_.madeAnew(path);
    path_ = preparedPath_ = path;
    header_ = header;
    nextNumber_ = 2;
    recording_ = false;
    rowsWritten_ = 0;
    filePrepared_ = true;
    setCaption(recOnText);
    select(false);
    emit preparedChanged(true);
}

void Recorder::recordOn() {
    if (!filePrepared_ || recOnSelected_) {
        emit selectionChanged(recOnSelected_);
        return;
    }
    select(true);
    recording_ = true;
    appendMarker(QStringLiteral("RECON"));
}

void Recorder::pauseRecording() {
    if (!filePrepared_ || !recOnSelected_) {
        emit selectionChanged(recOnSelected_);
        return;
    }
    select(false);
    pause();
}

void Recorder::pause() {
    // Recording stops before the marker is written, so no row can follow it. Nothing
    // here waits: a click or a remote command returns at once, whatever the line does.
    recording_ = false;
    appendMarker(QStringLiteral("PAUSE"));
    setCaption(recOnText);
}

void Recorder::closeFile() {
    if (!filePrepared_) {
        return;
    }
    recording_ = false;
    appendMarker(QStringLiteral("RECOFF"));
    setCaption(recOnText);
    filePrepared_ = false;
    const bool wasRecording = recOnSelected_;
    // Hides the frame and enables File > Save and the constants' OK again.
    emit preparedChanged(false);
    // Selecting PAUSE from here acts as its click: after a recording, a PAUSE marker
    // follows RECOFF.
    select(false);
    if (wasRecording) {
        pause();
    }
}

void Recorder::takeReading(const Reading& r) {
    if (!recording_ || !r.complete()) {
        return;
    }
    write(dataRowLine(r.attRange, r.charge, r.rateRange, r.pulseRate, r.testVoltage), true);
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

void Recorder::write(const QString& line, bool row) {
    const bool hadProblem = file_.waitingCount() > 0;
    if (file_.append(path_, line, row)) {
        if (hadProblem) {
            emit writeRecovered();
        }
        return;
    }
    if (file_.fileGone() && !path_.isEmpty()) {
        continueInNewFile();
        if (file_.retry()) {
            return;
        }
    }
    QString text = tr("The measurement file %1 cannot be written (%2). %3 lines are kept "
                      "and will be written as soon as the file can be written again.")
                       .arg(file_.failingPath(), file_.problem())
                       .arg(file_.waitingCount());
    if (file_.lostCount() > 0) {
        text += tr(" %1 lines more could not be kept and are lost.").arg(file_.lostCount());
    }
    if (!hadProblem) {
        emit writeProblemBegan(text);
    }
    emit writeProblem(text);
}

void Recorder::continueInNewFile() {
    // "test.csv" goes on in "test-2.csv", then "test-3.csv": the next numbered name that is
    // free along with its summary's.
    const QFileInfo info(preparedPath_);
    const QString stem = info.dir().filePath(info.completeBaseName());
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString next;
    int n = nextNumber_;
    for (; next.isEmpty() && n < 1000; ++n) {
        const QString candidate = QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
        const QString summary = QStringLiteral("%1-%2.json").arg(stem).arg(n);
        if (files_.size(candidate) < 0 && files_.size(summary) < 0 &&
            !QFileInfo(candidate).isSymLink()) {
            next = candidate;
        }
    }
    // The marker says where the rows go on; the rows that waited follow it.
    QStringList lines = header_;
    if (recording_) {
        lines << markerLine(QStringLiteral("RECON"), clock_.localTime());
    }
    if (next.isEmpty() || !file_.create(next, lines)) {
        return;  // the lines wait for the old name; the next write tries again
    }
    nextNumber_ = n;
    const QString gone = path_;
    file_.moveWaiting(gone, next);
    path_ = next;
    emit fileReplaced(next,
                      tr("The measurement file %1 is gone; recording goes on in %2.")
                          .arg(QDir::toNativeSeparators(gone), QDir::toNativeSeparators(next)));
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
