// The test report the engineer hands over after a partial-discharge test: an A4 PDF of the
// measurement's summary, the charts as they were on screen and the Q-N counts as a table.
// Everything printed comes from the summary object (the same one written beside the
// measurement file), so a report made later from a stored summary says the same as one
// made at the close. The PDF is written whole or not at all.
#pragma once

#include "core/qncounts.h"

#include <QDateTime>
#include <QImage>
#include <QJsonObject>
#include <QString>

namespace kr5 {

struct ReportContent {
    QJsonObject summary;  // as summaryObject() makes it
    QString programVersion;
    QDateTime printedAt;
    // The charts as on screen; a null image prints as "no chart".
    QImage trend;
    QImage vq;
    QImage qn;
    QnPasses qnCounts;    // the passes of the Q-N block shown in the table
    double adjust = 1.0;  // pC per V, for the ranges' charge thresholds of the table
    QString qnTitle;      // what the block was, e.g. the condition and the test voltage
};

// Writes the report to pdfPath, replacing a file there only once the new one is complete.
// False, with the reason in problem (may be null), when it cannot be written; no file and
// no part of one is left then.
bool writeReport(const ReportContent& content, const QString& pdfPath, QString* problem);

}  // namespace kr5
