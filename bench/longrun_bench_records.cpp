#include "longrun_bench_records.h"

#include "core/ranges.h"
#include "records/recordlines.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace kr5::longrun {

namespace {

constexpr int kExamples = 10;

// Fields of a CSV line, commas inside quotes not counting.
int fieldCount(const QString& line) {
    int fields = 1;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (c == QLatin1Char(',') && !quoted) {
            ++fields;
        }
    }
    return fields;
}

}  // namespace

qint64 FillingDisk::append(const QString& path, const QByteArray& bytes, QString* problem) {
    if (!room_) {
        return disk_.append(path, bytes, problem);
    }
    const qint64 fitting = std::min<qint64>(*room_, bytes.size());
    const qint64 written = fitting > 0 ? disk_.append(path, bytes.left(fitting), problem) : 0;
    *room_ -= written;
    if (written < bytes.size()) {
        ++shortWrites_;
        if (problem != nullptr) {
            *problem = diskFull;
        }
    }
    return written;
}

bool FillingDisk::cut(const QString& path, qint64 length, QString* problem) {
    const qint64 before = disk_.size(path);
    if (!disk_.cut(path, length, problem)) {
        return false;
    }
    if (room_ && before > length) {
        *room_ += before - length;
    }
    return true;
}

bool FillingDisk::replace(const QString& path, const QByteArray& bytes, QString* problem) {
    // The new file is written beside the old one before it takes its place.
    if (room_ && bytes.size() > *room_) {
        if (problem != nullptr) {
            *problem = diskFull;
        }
        return false;
    }
    const qint64 before = std::max<qint64>(disk_.size(path), 0);
    if (!disk_.replace(path, bytes, problem)) {
        return false;
    }
    if (room_) {
        *room_ -= bytes.size() - before;
    }
    return true;
}

void RowsFromTheLine::take(const sim::FrameRecord& frame) {
    const auto whole = [](const QByteArray& answer) {
        return Reply{Reply::Status::Whole, QString::fromLatin1(answer)};
    };
    if (frame.address == 0 && frame.command == "x") {
        detector_ = detectorFields(whole(frame.answer));
        detectorGarbled_ = garbledAt_(sim::UnitKind::Detector, frame.atUs);
    } else if (frame.address == 1 && frame.command == "t" && detector_) {
        const auto ac = acFields(whole(frame.answer));
        if (!ac) {
            return;
        }
        es_ = ac->voltage(es_);
        const double tv = es_ * constants_.ptRatio;
        const double charge =
            attenuatorDivision(detector_->attRange) * detector_->rawPeak() * constants_.adjust;
        rows_.push_back(
            Row{dataRowLine(detector_->attRange, charge, detector_->rateRange,
                            rateMultiplier(detector_->rateRange) * detector_->rawRate(), tv),
                detectorGarbled_, garbledAt_(sim::UnitKind::AcUnit, frame.atUs)});
        ++made_;
        detector_.reset();
    }
}

void MeasurementFollower::follow() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return;  // not prepared yet
    }
    if (file.size() < offset_) {
        // Lines once whole were taken back: the program only ever cuts a torn line.
        shrank_ = true;
        remember(QStringLiteral("file cut back from %1 to %2 bytes").arg(offset_).arg(file.size()));
        offset_ = file.size();
        return;
    }
    file.seek(offset_);
    const QByteArray added = file.readAll();
    const qsizetype end = added.lastIndexOf("\r\n");
    if (end < 0) {
        return;
    }
    offset_ += end + 2;
    qsizetype from = 0;
    while (from <= end) {
        const qsizetype to = added.indexOf("\r\n", from);
        takeLine(QString::fromLatin1(added.mid(from, to - from)));
        from = to + 2;
    }
}

void MeasurementFollower::finish() {
    follow();
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly) && file.size() > offset_) {
        ++torn_;
        file.seek(offset_);
        remember(QStringLiteral("no CR LF at the end: ") + QString::fromLatin1(file.readAll()));
    }
    trailing_ = static_cast<qint64>(line_.rows().size());
    line_.rows().clear();
}

void MeasurementFollower::takeLine(const QString& line) {
    static const QRegularExpression marker(QStringLiteral("^\"(\\w+)\",\"\\d\\d:\\d\\d:\\d\\d\""));
    ++lines_;
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'))) {
        ++torn_;
        remember(QStringLiteral("CR or LF inside a line: ") + line);
        return;
    }
    if (lines_ <= kHeaderLines) {
        if (fieldCount(line) != 5) {
            ++badHeader_;
            remember(QStringLiteral("header line %1: %2").arg(lines_).arg(line));
        }
        return;
    }
    const auto m = marker.match(line);
    if (m.hasMatch() && fieldCount(line) == 5) {
        ++markers_[m.captured(1)];
        return;
    }
    takeRow(line);
}

void MeasurementFollower::takeRow(const QString& row) {
    // Five numbers in the file number form: " 3,123.5, 2,45.0,1200.0".
    static const QRegularExpression form(
        QStringLiteral("^(?:[ -]?\\d*\\.?\\d+,){4}[ -]?\\d*\\.?\\d+$"));
    ++rows_;
    if (!form.match(row).hasMatch()) {
        ++torn_;
        remember(QStringLiteral("torn row: ") + row);
        return;
    }
    const std::deque<RowsFromTheLine::Row>& expected = line_.rows();
    const auto found = std::find_if(expected.begin(), expected.end(),
                                    [&row](const auto& e) { return e.text == row; });
    if (found != expected.end()) {
        ++matched_;
        consume(found - expected.begin());
        return;
    }
    // A reading whose garbled answer may have read as this row: the fields that differ
    // must all come from a garbled answer (attenuator, pC, rate range and P.P.S. from the
    // detector's, TV from the AC unit's). A garbling fault makes most answers unreadable,
    // so the reading may lie many rows ahead.
    const QStringList fields = row.split(QLatin1Char(','));
    const auto bentInto = [&fields](const RowsFromTheLine::Row& e) {
        if (!e.detectorGarbled && !e.voltageGarbled) {
            return false;
        }
        const QStringList was = e.text.split(QLatin1Char(','));
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (fields[i] != was[i] && !(i < 4 ? e.detectorGarbled : e.voltageGarbled)) {
                return false;
            }
        }
        return true;
    };
    const auto bent = std::find_if(expected.begin(), expected.end(), bentInto);
    if (bent != expected.end()) {
        ++fromGarbled_;
        consume(bent - expected.begin());
        return;
    }
    // No reading made it, or not in this order. The rows still expected stay: the next
    // true row must match them.
    ++madeUp_;
    remember(QStringLiteral("row no reading made: ") + row);
}

void MeasurementFollower::consume(qsizetype index) {
    std::deque<RowsFromTheLine::Row>& expected = line_.rows();
    // Readings before the first row recorded came before REC ON.
    (firstRowTaken_ ? missing_ : beforeFirst_) += index;
    firstRowTaken_ = true;
    expected.erase(expected.begin(), expected.begin() + index + 1);
}

void MeasurementFollower::remember(const QString& what) {
    if (examples_.size() < kExamples) {
        examples_ << what;
    }
}

}  // namespace kr5::longrun
