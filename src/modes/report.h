// The test report the engineer hands over after a partial-discharge test: an A4 PDF of the
// measurement's summary (with the test details it holds), the test voltage over the test,
// the charts as they were on screen, drawn as vectors, and the Q-N counts as tables.
// Everything printed about the test comes from the summary object (the same one written
// beside the measurement file), so a report made later from a stored summary says the same
// as one made at the close. The PDF is written whole or not at all.
#pragma once

#include "core/qncounts.h"
#include "platform/surfacedrawing.h"

#include <QDateTime>
#include <QJsonObject>
#include <QPointF>
#include <QString>
#include <vector>

namespace kr5 {

// The test voltage over the test.
struct VoltageCurve {
    // x: seconds since the first point, or the row of the file when it holds no times;
    // y: the test voltage, kV.
    std::vector<QPointF> points;
    bool byRow = false;
};

struct ReportContent {
    QJsonObject summary;  // as summaryObject() makes it
    QString programVersion;
    QDateTime printedAt;
    // The charts as on screen; a null drawing prints as "no chart".
    SurfaceDrawing trend;
    SurfaceDrawing vq;
    SurfaceDrawing qn;
    VoltageCurve voltage;
    QnPasses qnCounts;    // the passes of the Q-N block shown in the table
    double adjust = 1.0;  // pC per V, for the ranges' charge thresholds of the table
    QString qnTitle;      // what the block was, e.g. the condition and the test voltage
    // The SHA-256 of the measurement file as it stood when the report was made, in hex;
    // empty when there is no file.
    QString measurementSha256;
};

// Writes the report to pdfPath, replacing a file there only once the new one is complete.
// False, with the reason in problem (may be null), when it cannot be written; no file and
// no part of one is left then.
bool writeReport(const ReportContent& content, const QString& pdfPath, QString* problem);

}  // namespace kr5
