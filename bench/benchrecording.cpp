#include "benchrecording.h"

#include "link/units.h"
#include "records/recordlines.h"

#include <QDateTime>
#include <QFile>
#include <vector>

namespace kr5::bench {

namespace {

constexpr int kRowsBetweenPauses = 20'000;
constexpr int kRowsBetweenQnBlocks = 100'000;
constexpr int kQnPasses = 5;

QByteArray lineBytes(const QString& line) {
    return line.toUtf8() + "\r\n";
}

}  // namespace

qint64 writeRecording(const QString& path, qint64 targetBytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return -1;
    }
    kr5::InputConstants constants;
    constants.name = QStringLiteral("bench cable");
    kr5::UnitsOnLine units;
    units.unit(kr5::UnitKind::Detector) = kr5::FoundUnit{0, QStringLiteral("KR-5 V2.10")};
    units.unit(kr5::UnitKind::AcUnit) = kr5::FoundUnit{1, QStringLiteral("AU-1 V1.00")};
    const QDateTime t(QDate(2026, 3, 9), QTime(14, 5, 9));

    QByteArray buffer;
    for (const QString& line : kr5::headerLines(constants, units, t.date())) {
        buffer += lineBytes(line);
    }
    // A few thousand different rows, taken in turn: formatting every row anew would
    // make the bench mostly a test of the writer.
    std::vector<QByteArray> rows;
    for (int i = 0; i < 4096; ++i) {
        rows.push_back(lineBytes(
            kr5::dataRowLine(i % 10, 0.7 * i + 0.05, i % 4, (i * 37) % 5000, 1000.0 + 3.1 * i)));
    }
    std::vector<QByteArray> steps;
    for (int att = 0; att < kr5::kAttenuatorRanges; ++att) {
        steps.push_back(
            lineBytes(kr5::dataRowLine(att, 5.0 * (att + 1), 0, 900 - 80 * att, 12500)));
    }
    const QByteArray pause = lineBytes(kr5::markerLine(QStringLiteral("PAUSE"), t));
    const QByteArray recOn = lineBytes(kr5::markerLine(QStringLiteral("RECON"), t));
    const QByteArray qnStart =
        lineBytes(kr5::qnStartLine(QStringLiteral("dry"), QStringLiteral(" 12.5kV"), kQnPasses, t));
    const QByteArray qnEnd = lineBytes(kr5::markerLine(QStringLiteral("QNend"), t));

    buffer += recOn;
    qint64 written = 0;
    for (qint64 i = 0; written + buffer.size() < targetBytes; ++i) {
        if (i % kRowsBetweenPauses == kRowsBetweenPauses - 1) {
            buffer += pause + recOn;
        }
        if (i % kRowsBetweenQnBlocks == kRowsBetweenQnBlocks - 1) {
            buffer += qnStart;
            for (int pass = 0; pass < kQnPasses; ++pass) {
                for (const QByteArray& step : steps) {
                    buffer += step;
                }
            }
            buffer += qnEnd;
        }
        buffer += rows[static_cast<size_t>(i) % rows.size()];
        if (buffer.size() > (1 << 20)) {
            written += file.write(buffer);
            buffer.clear();
        }
    }
    buffer += lineBytes(kr5::markerLine(QStringLiteral("RECOFF"), t));
    written += file.write(buffer);
    return file.flush() ? written : -1;
}

}  // namespace kr5::bench
