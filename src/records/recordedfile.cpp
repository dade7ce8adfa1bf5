// A recording runs for hours at a row every few hundred milliseconds, so the file may
// hold millions of rows: the rows are read straight from the bytes, each number by hand
// in the forms the program writes, and only the header and the markers (a handful of
// lines) are turned into texts.
#include "recordedfile.h"

#include "core/ranges.h"
#include "records/measurementlayout.h"
#include "systemtext.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace kr5 {

namespace {

using layout::kColumns;
using layout::kFieldsPerLine;
using layout::kHeader;
using layout::kHeaderLines;
using layout::kProgramName;
using layout::Value;
// Below this every integer is exact in a double, so a row's number divided by ten is the
// correctly rounded value of its text.
constexpr quint64 kExactMantissa = quint64{1} << 53;

QString tr(const char* text) {
    return QCoreApplication::translate("RecordedFile", text);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A field of a header or marker line: a quoted text (with its doubled quotes undone) or
// the bytes of a number.
struct Field {
    bool quoted = false;
    QByteArray value;
};

// The fields of a line; false when a quote does not close or is followed by anything but
// a comma.
bool splitFields(QByteArrayView line, std::vector<Field>& fields) {
    fields.clear();
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (true) {
        Field f;
        if (i < n && line[i] == '"') {
            f.quoted = true;
            ++i;
            while (true) {
                if (i >= n) {
                    return false;
                }
                const char c = line[i++];
                if (c != '"') {
                    f.value += c;
                } else if (i < n && line[i] == '"') {
                    f.value += '"';
                    ++i;
                } else {
                    break;
                }
            }
        } else {
            const qsizetype start = i;
            while (i < n && line[i] != ',' && line[i] != '"') {
                ++i;
            }
            f.value = line.sliced(start, i - start).toByteArray();
        }
        fields.push_back(std::move(f));
        if (i == n) {
            return true;
        }
        if (line[i] != ',') {
            return false;
        }
        ++i;
    }
}

bool isText(const Field& f, const char* text) {
    return f.quoted && f.value == text;
}

bool hasDummyTail(const std::vector<Field>& fields) {
    return fields.size() == kFieldsPerLine && isText(fields[2], "dummy") &&
           isText(fields[3], "dummy") && isText(fields[4], "dummy");
}

// The bytes of one line being read as numbers.
struct Cursor {
    const char* p;
    const char* end;

    bool at(char c) const { return p != end && *p == c; }
    bool atDigit() const { return p != end && isDigit(*p); }
    // The field's end: a comma before the next field, or the end of the line after the last.
    bool endField(bool last) {
        if (last) {
            return p == end;
        }
        if (!at(',')) {
            return false;
        }
        ++p;
        return true;
    }
};

// A whole number in the number form (" 3", "-2"); at most nine digits, so that it fits.
bool readWhole(Cursor& c, int& out) {
    if (c.at(' ')) {
        ++c.p;
    }
    const bool negative = c.at('-');
    if (negative) {
        ++c.p;
    }
    const char* digits = c.p;
    int value = 0;
    while (c.atDigit() && c.p - digits < 9) {
        value = value * 10 + (*c.p - '0');
        ++c.p;
    }
    if (c.p == digits) {
        return false;
    }
    out = negative ? -value : value;
    return true;
}

// A number with exactly one decimal, as the rows are written ("123.5", ".5", "-2.0"): a
// field cut short at the end of a file ("12" of "1200.0") must not pass for a value.
bool readOneDecimal(Cursor& c, double& out) {
    if (c.at(' ')) {
        ++c.p;
    }
    const char* number = c.p;
    const bool negative = c.at('-');
    if (negative) {
        ++c.p;
    }
    quint64 mantissa = 0;
    int digits = 0;
    while (c.atDigit()) {
        if (digits < 18) {
            mantissa = mantissa * 10 + static_cast<quint64>(*c.p - '0');
        }
        ++digits;
        ++c.p;
    }
    if (!c.at('.')) {
        return false;
    }
    ++c.p;
    if (!c.atDigit()) {
        return false;
    }
    mantissa = mantissa * 10 + static_cast<quint64>(*c.p - '0');
    ++digits;
    ++c.p;
    if (digits <= 18 && mantissa <= kExactMantissa) {
        const double value = static_cast<double>(mantissa) / 10.0;
        out = negative ? -value : value;
        return true;
    }
    // Beyond the exact range the library rounds the text correctly instead.
    const auto result = std::from_chars(number, c.p, out);
    return result.ec == std::errc() && result.ptr == c.p;
}

// A header number in the number form: a blank or '-', then digits with an optional point
// and exponent (" 100", " .25", "-2", " 1E+15"). Finite values only.
std::optional<double> headerNumber(const QByteArray& text) {
    const char* p = text.constData();
    const char* end = p + text.size();
    if (p != end && *p == ' ') {
        ++p;
    }
    if (p == end || (*p != '-' && *p != '.' && !isDigit(*p))) {
        return std::nullopt;  // no "inf" or "nan", which from_chars would take
    }
    double value = 0.0;
    const auto result = std::from_chars(p, end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool isTime(const QByteArray& t) {
    if (t.size() != 8 || t[2] != ':' || t[5] != ':') {
        return false;
    }
    for (const int i : {0, 1, 3, 4, 6, 7}) {
        if (!isDigit(t[i])) {
            return false;
        }
    }
    const auto two = [&t](int i) { return (t[i] - '0') * 10 + (t[i + 1] - '0'); };
    return two(0) < 24 && two(3) < 60 && two(6) < 60;
}

QString expectedLine(int index) {
    if (index == kHeaderLines - 1) {
        QString columns;
        for (const char* c : kColumns) {
            columns += (columns.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1Char('"') +
                       QLatin1String(c) + QLatin1Char('"');
        }
        return columns;
    }
    const layout::HeaderField& h = kHeader[static_cast<size_t>(index)];
    QString value;
    switch (h.value) {
        case Value::Text:
            value = QStringLiteral("<text>");
            break;
        case Value::Date:
            value = QStringLiteral("\"<MM-DD-YYYY>\"");
            break;
        case Value::Number:
            value = QStringLiteral("<number>");
            break;
        case Value::Count:
            value = QStringLiteral("<whole number>");
            break;
        case Value::Program:
            value = QLatin1Char('"') + QLatin1String(kProgramName) + QLatin1Char('"');
            break;
    }
    return QLatin1Char('"') + QLatin1String(h.key) + QStringLiteral("\",") + value +
           QStringLiteral(",\"dummy\",\"dummy\",\"dummy\"");
}

QString expectedKey(int index) {
    return QLatin1String(index == kHeaderLines - 1 ? kColumns[0]
                                                   : kHeader[static_cast<size_t>(index)].key);
}

class Parser {
  public:
    // Room for the rows of the whole file at the length of those read so far, and a quarter
    // more: moving millions of rows when the vector grows would hold one slice up for a
    // tenth of a second.
    void expectRows(qint64 bytesRead, qint64 fileSize) {
        if (!test_.rows.empty() && bytesRead > 0) {
            const double bytesPerRow = double(bytesRead) / double(test_.rows.size());
            test_.rows.reserve(static_cast<size_t>(double(fileSize) / bytesPerRow * 1.25));
        }
    }

    bool refused() const { return problem_.has_value(); }
    int lines() const { return line_; }

    // One line without its LF; a CR before it is the line end's.
    void take(QByteArrayView line) {
        if (!line.isEmpty() && line.back() == '\r') {
            line.chop(1);
        }
        ++line_;
        if (line_ <= kHeaderLines) {
            takeHeader(line);
        } else if (!line.isEmpty() && line.front() == '"') {
            takeMarker(line);
        } else {
            takeRow(line);
        }
    }

    std::variant<RecordedTest, ReadProblem> finish() {
        if (problem_) {
            return *problem_;
        }
        if (line_ == 0) {
            return ReadProblem{1, tr("The file is empty.")};
        }
        if (line_ < kHeaderLines) {
            return ReadProblem{line_ + 1, tr("Line %1: the file ends where the \"%2\" line was "
                                             "expected.")
                                              .arg(line_ + 1)
                                              .arg(expectedKey(line_))};
        }
        closeBlock();
        InputConstants& c = test_.constants;
        c.setQIndex = setQStep(c.setQ, c.adjust).value_or(0);
        return std::move(test_);
    }

  private:
    void refuse() {
        problem_ =
            ReadProblem{line_, tr("Line %1: expected %2").arg(line_).arg(expectedLine(line_ - 1))};
    }

    void takeHeader(QByteArrayView line) {
        const int index = line_ - 1;
        if (!splitFields(line, fields_) || fields_.size() != kFieldsPerLine) {
            refuse();
            return;
        }
        if (index == kHeaderLines - 1) {
            for (size_t i = 0; i < kColumns.size(); ++i) {
                if (!isText(fields_[i], kColumns[i])) {
                    refuse();
                    return;
                }
            }
            return;
        }
        const layout::HeaderField& h = kHeader[static_cast<size_t>(index)];
        const Field& v = fields_[1];
        if (!isText(fields_[0], h.key) || !hasDummyTail(fields_) || !takeValue(index, h.value, v)) {
            refuse();
        }
    }

    // Where the value of a text or number line goes, by its header line.
    QString* textOf(int index) {
        InputConstants& c = test_.constants;
        switch (index) {
            case layout::Name:
                return &c.name;
            case layout::Number:
                return &c.number;
            case layout::Temperature:
                return &c.temperature;
            case layout::Humidity:
                return &c.humidity;
            case layout::Version:
                return &test_.version;
            case layout::DetectorUnit:
                return &test_.detectorIdent;
            default:
                return &test_.acIdent;
        }
    }

    double* numberOf(int index) {
        InputConstants& c = test_.constants;
        switch (index) {
            case layout::PtRatio:
                return &c.ptRatio;
            case layout::Adjust:
                return &c.adjust;
            default:
                return &c.setQ;
        }
    }

    bool takeValue(int index, Value kind, const Field& v) {
        InputConstants& c = test_.constants;
        switch (kind) {
            case Value::Text:
                if (v.quoted) {
                    *textOf(index) = fromSystemBytes(v.value);
                }
                return v.quoted;
            case Value::Date:
                test_.date =
                    QDate::fromString(QString::fromLatin1(v.value), QStringLiteral("MM-dd-yyyy"));
                return v.quoted && test_.date.isValid();
            case Value::Number: {
                const auto number = v.quoted ? std::nullopt : headerNumber(v.value);
                if (number) {
                    *numberOf(index) = *number;
                }
                return number.has_value();
            }
            case Value::Count: {
                const auto number = v.quoted ? std::nullopt : headerNumber(v.value);
                if (!number || *number != std::floor(*number) ||
                    std::fabs(*number) > std::numeric_limits<qint32>::max()) {
                    return false;
                }
                c.startCount = static_cast<qint32>(*number);
                return true;
            }
            case Value::Program:
                return isText(v, kProgramName);
        }
        return false;
    }

    void skip() {
        if (test_.skippedRows == 0) {
            test_.firstSkippedLine = line_;
        }
        ++test_.skippedRows;
    }

    void takeRow(QByteArrayView line) {
        Cursor c{line.data(), line.data() + line.size()};
        RecordedRow row;
        int attRange = 0;
        int rateRange = 0;
        const bool read = readWhole(c, attRange) && c.endField(false) &&
                          readOneDecimal(c, row.chargePc) && c.endField(false) &&
                          readWhole(c, rateRange) && c.endField(false) &&
                          readOneDecimal(c, row.pulseRatePps) && c.endField(false) &&
                          readOneDecimal(c, row.testVoltageV) && c.endField(true);
        if (!read || !isAttenuatorRange(attRange) || !isRateRange(rateRange)) {
            skip();
            return;
        }
        row.attRange = static_cast<qint8>(attRange);
        row.rateRange = static_cast<qint8>(rateRange);
        if (block_) {
            addStep(row);
        }
        test_.rows.push_back(row);
    }

    // The next step of the open Q-N block: a range at or below the last one starts the
    // next pass.
    void addStep(const RecordedRow& row) {
        RecordedQnBlock& b = test_.qnBlocks[*block_];
        if (b.passes.empty() || row.attRange <= lastStepRange_) {
            b.passes.emplace_back();
        }
        b.passes.back()[static_cast<size_t>(row.attRange)] = row.pulseRatePps;
        lastStepRange_ = row.attRange;
        ++b.rowCount;
    }

    void closeBlock() { block_.reset(); }

    void takeMarker(QByteArrayView line) {
        if (!splitFields(line, fields_) || fields_.size() != kFieldsPerLine || !fields_[0].quoted ||
            !fields_[1].quoted || !isTime(fields_[1].value)) {
            skip();
            return;
        }
        const QByteArray& tag = fields_[0].value;
        RecordedMarker m{QString::fromLatin1(tag),
                         QString::fromLatin1(fields_[1].value),
                         static_cast<int>(test_.rows.size()),
                         line_,
                         {},
                         {},
                         0};
        if (tag == "QNstartD") {
            const Field& passes = fields_[4];
            Cursor c{passes.value.constData(), passes.value.constData() + passes.value.size()};
            if (!fields_[2].quoted || !fields_[3].quoted || passes.quoted ||
                !readWhole(c, m.passes) || !c.endField(true) || m.passes < 0) {
                skip();
                return;
            }
            m.condition = fromSystemBytes(fields_[2].value);
            m.testVoltage = fromSystemBytes(fields_[3].value);
            closeBlock();
            test_.qnBlocks.push_back(
                {m.condition, m.testVoltage, static_cast<int>(test_.rows.size()), 0, {}});
            block_ = test_.qnBlocks.size() - 1;
        } else if (tag == "RECON" || tag == "PAUSE" || tag == "RECOFF" || tag == "QNend") {
            if (!hasDummyTail(fields_)) {
                skip();
                return;
            }
            if (tag != "RECON") {
                closeBlock();
            }
        } else {
            skip();
            return;
        }
        test_.markers.push_back(std::move(m));
    }

    RecordedTest test_;
    std::optional<ReadProblem> problem_;
    int line_ = 0;
    std::vector<Field> fields_;
    std::optional<size_t> block_;  // the Q-N block rows go to
    int lastStepRange_ = 0;
};

}  // namespace

struct RecordedTestReader::Reading {
    explicit Reading(const QString& p) : path(p), file(p) {}

    QString path;
    QFile file;
    qint64 size = 0;
    Parser parser;
    QByteArray slice;
    QByteArray pending;  // the start of a line that goes on in the next slice
    qint64 read = 0;
    std::optional<std::variant<RecordedTest, ReadProblem>> result;

    void finish() {
        // The last line may have lost its line end to a power failure.
        if (!pending.isEmpty() && !parser.refused()) {
            parser.take(pending);
        }
        pending.clear();
        result = parser.finish();
        file.close();
    }

    // The lines that end in got bytes of the slice.
    void takeLines(qint64 got) {
        const char* p = slice.constData();
        const char* const end = p + got;
        while (p < end && !parser.refused()) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
            if (lf == nullptr) {
                pending.append(p, end - p);
                refuseLongLine();
                break;
            }
            if (pending.isEmpty()) {
                parser.take(QByteArrayView(p, lf - p));
            } else {
                pending.append(p, lf - p);
                if (!refuseLongLine()) {
                    parser.take(pending);
                }
                pending.clear();
            }
            p = lf + 1;
        }
    }

    // A line longer than any the program writes is no measurement file's: refused at once,
    // so that a huge line is never held in memory.
    bool refuseLongLine() {
        if (pending.size() <= RecordedTestReader::kMaxLineBytes) {
            return false;
        }
        result = ReadProblem{parser.lines() + 1, tr("Line %1: longer than %2 bytes")
                                                     .arg(parser.lines() + 1)
                                                     .arg(RecordedTestReader::kMaxLineBytes)};
        pending.clear();
        file.close();
        return true;
    }
};

RecordedTestReader::RecordedTestReader(const QString& path) : r_(std::make_unique<Reading>(path)) {
    // A FIFO, a device or a folder could wait for ever or never end: only a regular file
    // (a link is taken for what it points to) is read.
    if (!QFileInfo(path).isFile()) {
        r_->result = ReadProblem{
            0, tr("%1 is not a regular file and is not read.").arg(QDir::toNativeSeparators(path))};
        return;
    }
    if (!r_->file.open(QIODevice::ReadOnly)) {
        r_->result =
            ReadProblem{0, tr("The file %1 cannot be opened (%2).")
                               .arg(QDir::toNativeSeparators(path), r_->file.errorString())};
        return;
    }
    r_->size = r_->file.size();
}

RecordedTestReader::~RecordedTestReader() = default;

bool RecordedTestReader::done() const {
    return r_->result.has_value();
}

double RecordedTestReader::progress() const {
    if (done() || r_->size <= 0) {
        return 1.0;
    }
    return std::min(1.0, double(r_->read) / double(r_->size));
}

bool RecordedTestReader::readSlice(qint64 sliceBytes) {
    Reading& r = *r_;
    if (r.result) {
        return true;
    }
    sliceBytes = std::max<qint64>(sliceBytes, 1);
    if (r.slice.size() < sliceBytes) {
        r.slice.resize(sliceBytes);
    }
    const qint64 got = r.file.read(r.slice.data(), sliceBytes);
    if (got < 0) {
        r.result =
            ReadProblem{r.parser.lines() + 1, tr("The file %1 cannot be read after line %2 (%3).")
                                                  .arg(QDir::toNativeSeparators(r.path))
                                                  .arg(r.parser.lines())
                                                  .arg(r.file.errorString())};
        r.file.close();
        return true;
    }
    const bool first = r.read == 0;
    r.read += got;
    r.takeLines(got);
    if (r.result) {
        return true;  // refused on a line too long
    }
    if (first && got == sliceBytes) {
        r.parser.expectRows(r.read, r.size);
    }
    // A file read short has ended.
    if (r.parser.refused() || got < sliceBytes) {
        r.finish();
    }
    return done();
}

std::variant<RecordedTest, ReadProblem> RecordedTestReader::result() {
    Q_ASSERT(done());
    return std::move(*r_->result);
}

std::variant<RecordedTest, ReadProblem> readRecordedTest(const QString& path) {
    RecordedTestReader reader(path);
    while (!reader.readSlice()) {
    }
    return reader.result();
}

}  // namespace kr5
