#include "openedtest.h"

#include "core/format.h"
#include "modes/summary.h"
#include "records/recordedreadings.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProgressDialog>
#include <cmath>
#include <memory>

namespace kr5 {

namespace {

const QString kTitle = QStringLiteral("Open");
// The next slice as soon as the events waiting have been handled.
constexpr int kSliceIntervalMs = 0;
constexpr qint64 kShowProgressAfterMs = 300;

QJsonValue orNull(std::optional<double> v) {
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

// A summary the program writes is a few kilobytes; anything far larger is none.
constexpr qint64 kMaxSummaryBytes = qint64{4} * 1024 * 1024;

// The summary written beside the file, when there is one that reads as such: a regular
// file (a FIFO or a device could wait for ever or never end) of a sane size.
std::optional<QJsonObject> writtenSummary(const QString& measurementPath) {
    const QString path = summaryPath(measurementPath);
    QFile file(path);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > kMaxSummaryBytes ||
        !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(kMaxSummaryBytes));
    if (!doc.isObject()) {
        return std::nullopt;
    }
    return doc.object();
}

}  // namespace

struct OpenedTest::Reading {
    std::unique_ptr<RecordedTestReader> reader;
    std::unique_ptr<QProgressDialog> progress;
    QString path;
    Opened opened;
    qint64 startedMs = 0;
    int timer = 0;
};

OpenedTest::OpenedTest(const Parts& parts) : p_(parts) {}

OpenedTest::~OpenedTest() {
    stopReading();
}

void OpenedTest::open(Opened opened) {
    p_.dialogs.askOpenFileName(kTitle, QStringLiteral("CSV File(*.csv)|*.csv|All files(*)|*"),
                               [this, opened](const QString& path) {
                                   if (!path.isEmpty()) {
                                       openPath(path, opened);
                                   }
                               });
}

bool OpenedTest::openPath(const QString& path, Opened opened) {
    stopReading();
    auto reader = std::make_unique<RecordedTestReader>(path);
    if (reader->done()) {  // the file cannot be opened
        return afterReading(reader->result(), path, std::move(opened));
    }
    auto progress = std::make_unique<QProgressDialog>(
        QStringLiteral("Reading %1").arg(QFileInfo(path).fileName()), QStringLiteral("Cancel"), 0,
        1000, p_.parent);
    progress->setObjectName(QStringLiteral("openprogress"));
    progress->setWindowTitle(kTitle);
    progress->setWindowModality(Qt::NonModal);  // a modal one would pump events in setValue
    reading_ = std::make_unique<Reading>(Reading{std::move(reader), std::move(progress), path,
                                                 std::move(opened), p_.clock.nowMs(), 0});
    reading_->timer = p_.clock.startTimer(kSliceIntervalMs, [this] { readSlice(); });
    return true;
}

bool OpenedTest::openPathAtOnce(const QString& path, Opened opened) {
    stopReading();
    return afterReading(readRecordedTest(path), path, std::move(opened));
}

void OpenedTest::readSlice() {
    Reading& r = *reading_;
    if (r.progress->wasCanceled()) {
        stopReading();
        return;
    }
    if (!r.reader->readSlice()) {
        // Shown, and kept up to date, only once the reading takes a while.
        if (!r.progress->isVisible() && p_.clock.nowMs() - r.startedMs >= kShowProgressAfterMs) {
            r.progress->show();
        }
        if (r.progress->isVisible()) {
            r.progress->setValue(int(r.reader->progress() * 1000));
        }
        return;
    }
    auto read = r.reader->result();
    const QString path = r.path;
    Opened opened = std::move(r.opened);
    stopReading();
    afterReading(std::move(read), path, std::move(opened));
}

void OpenedTest::stopReading() {
    if (reading_) {
        p_.clock.stopTimer(reading_->timer);
        reading_.reset();
    }
}

bool OpenedTest::afterReading(std::variant<RecordedTest, ReadProblem> read, const QString& path,
                              Opened opened) {
    if (const auto* problem = std::get_if<ReadProblem>(&read)) {
        p_.dialogs.notify(QStringLiteral("%1 cannot be opened as a measurement file: %2")
                              .arg(QFileInfo(path).fileName(), problem->text),
                          kTitle);
        return false;
    }
    // Held while the operator is asked for Set Q; adopted only then.
    auto test = std::make_shared<RecordedTest>(std::get<RecordedTest>(std::move(read)));
    askSetQ(test->constants.setQ, [this, test, path, opened](std::optional<double> setQ) {
        if (const QString why = p_.refusal ? p_.refusal() : QString(); !why.isEmpty()) {
            p_.dialogs.notify(
                QStringLiteral("%1 is not opened: %2").arg(QFileInfo(path).fileName(), why),
                kTitle);
            return;
        }
        test->constants.setQ = setQ.value_or(test->constants.setQ);
        const bool fromLive = adopt(std::move(*test), path);
        if (opened) {
            opened(fromLive);
        }
    });
    return true;
}

bool OpenedTest::adopt(RecordedTest test, const QString& path) {
    const bool fromLive = !test_;
    if (fromLive) {
        live_ = p_.constants;
    }
    test_ = std::move(test);
    path_ = path;
    note_ = QStringLiteral("%1: %2 rows").arg(QFileInfo(path).fileName()).arg(test_->rows.size());
    if (test_->skippedRows > 0) {
        note_ +=
            QStringLiteral(", %1 %2 that could not be read skipped (the first is line %3)")
                .arg(test_->skippedRows)
                .arg(test_->skippedRows == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
                .arg(test_->firstSkippedLine);
    }
    draw();
    return fromLive;
}

void OpenedTest::judgeAgain(std::function<void()> judged) {
    if (!test_) {
        return;
    }
    askSetQ(test_->constants.setQ, [this, judged](std::optional<double> setQ) {
        // The test may have been closed while the question was open.
        if (!setQ || !test_) {
            return;
        }
        test_->constants.setQ = *setQ;
        draw();
        judged();
    });
}

void OpenedTest::close() {
    if (!test_) {
        return;
    }
    test_.reset();
    p_.constants = live_;
    p_.charts.showNormalFace();
}

void OpenedTest::askSetQ(double proposed, std::function<void(std::optional<double>)> chosen) {
    p_.dialogs.askForText(
        kTitle, QStringLiteral("Set Q for judging the test, pC"), plainNumber(proposed),
        [this, proposed, chosen](const std::optional<QString>& text) {
            if (!text) {
                chosen(std::nullopt);  // the file's stands
                return;
            }
            bool ok = false;
            const double v = text->trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(v) || v <= 0.0 || v > 1e6) {
                p_.dialogs.notify(QStringLiteral("Set Q must be a number from above 0 to 1000000 "
                                                 "pC; the test is judged with %1 pC.")
                                      .arg(plainNumber(proposed)),
                                  kTitle);
                chosen(std::nullopt);
                return;
            }
            chosen(v);
        });
}

void OpenedTest::draw() {
    p_.constants = test_->constants;
    result_ = replayTest(*test_, p_.constants, p_.charts, p_.clock);
}

QJsonObject OpenedTest::summary() const {
    QJsonObject s;
    if (const auto written = writtenSummary(path_)) {
        s = *written;
    } else {
        RecordingTally tally([] { return true; });
        InceptionDetector none(test_->constants, p_.clock);
        SummaryParts parts(test_->constants, tally, none);
        parts.measurementFile = QFileInfo(path_).fileName();
        parts.programVersion = test_->version;
        parts.rows = qint32(test_->rows.size());
        parts.detectorIdent = test_->detectorIdent;
        parts.acIdent = test_->acIdent;
        s = summaryObject(parts);
        s[QStringLiteral("largestChargePc")] = orNull(result_.largestChargePc);
        s[QStringLiteral("largestPulseRatePps")] = orNull(result_.largestRatePps);
        if (!result_.qmLastPass.isEmpty()) {
            s[QStringLiteral("qm")] = QJsonObject{{QStringLiteral("lastPass"), result_.qmLastPass},
                                                  {QStringLiteral("block"), result_.qmBlock}};
            s[QStringLiteral("nqn")] =
                QJsonObject{{QStringLiteral("lastPass"), orNull(result_.nqnLastPass)},
                            {QStringLiteral("block"), orNull(result_.nqnBlock)}};
        }
    }
    // A summary written before it named the units: the file's header names two of them.
    if (!s.contains(QStringLiteral("instruments"))) {
        s[QStringLiteral("instruments")] =
            QJsonObject{{QStringLiteral("detector"), test_->detectorIdent},
                        {QStringLiteral("acUnit"), test_->acIdent},
                        {QStringLiteral("noiseDiscriminator"), QJsonValue(QJsonValue::Null)}};
    }
    // This judgement's Set Q and what it found.
    s[QStringLiteral("setQPc")] = test_->constants.setQ;
    s[QStringLiteral("inceptionExtinction")] =
        QJsonObject{{QStringLiteral("inceptionV"), orNull(result_.inceptionV)},
                    {QStringLiteral("extinctionV"), orNull(result_.extinctionV)},
                    {QStringLiteral("doubt"), result_.doubt},
                    {QStringLiteral("pairs"), pairsJson(result_.pairs)}};
    return s;
}

}  // namespace kr5
