// The test report as a reader gets it: the PDF's text as pdftotext extracts it, its pages
// as pdftoppm renders them, and a report that cannot be written leaving nothing behind.
#include "modes/report.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QJsonDocument>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdlib>
#include <tuple>

namespace kr5 {
namespace {

// Runs one of poppler's tools; the report's tests cannot judge a PDF without them.
QByteArray runPoppler(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForStarted(10000)) {
        ADD_FAILURE() << program.toStdString()
                      << " could not be started: install poppler-utils to test the report";
        return {};
    }
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

QString pdfText(const QString& pdf) {
    return QString::fromUtf8(runPoppler(QStringLiteral("pdftotext"),
                                        {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
}

std::vector<QImage> renderPages(const QString& pdf, const QString& folder) {
    runPoppler(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"),
                                            QStringLiteral("-png"), pdf, folder + "/page"});
    std::vector<QImage> pages;
    for (const QString& name :
         QDir(folder).entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name)) {
        pages.emplace_back(folder + '/' + name);
    }
    return pages;
}

// A chart stand-in: squares of its colour and white in a checker, so that a chart that is
// cropped, flipped or squeezed shows in the rendering.
constexpr int kSquare = 100;
QImage checker(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int y = 0; y < h; y += kSquare) {
        for (int x = 0; x < w; x += kSquare) {
            if ((x / kSquare + y / kSquare) % 2 == 0) {
                p.fillRect(x, y, kSquare, kSquare, colour);
            }
        }
    }
    return image;
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

QJsonObject fullSummary() {
    return QJsonDocument::fromJson(R"({
        "measurementFile": "/data/T-2291.csv", "start": "2026-12-07T09:00:00",
        "end": "2026-12-07T10:30:05", "rows": 5421, "setQPc": 4.8,
        "inputConstants": {"name": "Bushing 24kV", "number": "T-2291", "temperature": "21.5",
                           "humidity": "47", "ptRatio": 250, "adjustPcPerV": 2.4},
        "calibration": {"at": "2026-12-07T08:41:10", "calibratorPc": 100, "range": "1/10",
                        "meanRawPeakV": 4.255, "adjustPcPerV": 2.35, "adjustInForce": false,
                        "secondCalibratorPc": 500, "linearityPercent": 1.8},
        "background": {"levelPc": 1.2, "belowKv": 1},
        "inceptionExtinction": {"inceptionV": 8450.5, "extinctionV": 7310, "doubt": "",
            "pairs": [{"inceptionV": 8510, "extinctionV": 7120, "setQPc": 4.8,
                       "inceptionAt": "2026-12-07T09:10:00", "extinctionAt": "2026-12-07T09:11:00"},
                      {"inceptionV": 8450.5, "extinctionV": 7310, "setQPc": 4.8,
                       "inceptionAt": "2026-12-07T09:20:00", "extinctionAt": "2026-12-07T09:21:30"}]},
        "acceptance": {"testKv": 22, "holdS": 60, "permissiblePc": 10, "heldS": 60,
                       "largestPc": 6.75, "verdict": "PASS", "state": "Acceptance: PASS",
                       "backgroundWarning": ""},
        "largestChargePc": 37.25, "largestPulseRatePps": 812.5,
        "qm": {"lastPass": "14.2 pC", "block": "13.9 pC", "passesInBlock": 15}})")
        .object();
}

struct Report : ::testing::Test {
    Report() {
        content.summary = fullSummary();
        content.programVersion = QStringLiteral("1.5.46");
        content.printedAt = QDateTime(QDate(2026, 12, 7), QTime(11, 2, 0));
        content.trend = checker(800, 300, trendColour);
        content.vq = checker(600, 400, vqColour);
        content.qn = checker(600, 400, qnColour);
        content.adjust = 2.4;
        content.qnTitle = QStringLiteral("dry, 22 kV");
        // Rates distinct per pass and range; the 1/1000 range never counted.
        for (int pass = 0; pass < 15; ++pass) {
            QnRates rates{};
            for (int range = 0; range < kAttenuatorRanges - 1; ++range) {
                rates[static_cast<std::size_t>(range)] = 100.0 * (pass + 1) + range + 0.5;
            }
            content.qnCounts.push_back(rates);
        }
    }

    QString write() {
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        QString problem;
        EXPECT_TRUE(writeReport(content, path, &problem)) << problem.toStdString();
        return path;
    }

    static QStringList lineStarting(const QString& text, const QString& start) {
        for (const QString& line : text.split('\n')) {
            if (line.trimmed().startsWith(start)) {
                return line.simplified().split(' ');
            }
        }
        return {};
    }

    QTemporaryDir dir;
    ReportContent content;
    const QColor trendColour{255, 140, 0};
    const QColor vqColour{200, 0, 200};
    const QColor qnColour{0, 160, 160};
};

TEST_F(Report, PrintsTheSummaryAndTheQnCountsAsText) {
    const QString text = pdfText(write());
    for (const QString& expected :
         QStringLiteral("Partial discharge test report|Bushing 24kV|T-2291|21.5|250|PASS|8450.5 V|"
                        "7310 V|2.35 pC/V|not the Adjust in force|1.8 % at 500 pC|1.2 pC|4.8 pC|"
                        "37.25 pC|812.5 pps|14.2 pC|2026-12-07 09:00:00|2026-12-07 10:30:05|5421|"
                        "dry, 22 kV|passes 11 to 15 of 15|Pair 1|inception 8510 V|"
                        "extinction 7120 V|Pair 2")
             .split('|')) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    }
    // One row per range with its threshold; a count where there is one, nothing where not.
    EXPECT_EQ(lineStarting(text, "1/1 "),
              (QStringList{"1/1", "2.4", "100.5", "200.5", "300.5", "400.5", "500.5", "600.5",
                           "700.5", "800.5", "900.5", "1000.5"}));
    EXPECT_EQ(lineStarting(text, "1/1000"), (QStringList{"1/1000", "2400"}));
    EXPECT_TRUE(text.contains(QRegularExpression("Pass 11 +Pass 12")));
    EXPECT_FALSE(text.contains(QRegularExpression("Pass 10 +Pass 11")));

    // Every page names the program and counts the pages.
    QStringList pages = text.split('\f');
    if (pages.last().trimmed().isEmpty()) {
        pages.removeLast();
    }
    ASSERT_GE(pages.size(), 2);
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].contains("kr5au 1.5.46")) << "page " << i + 1;
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size())))
            << "page " << i + 1;
    }
}

TEST_F(Report, PrintsWhatTheSummaryLacksAsNone) {
    QJsonObject s = fullSummary();
    for (const char* key : {"calibration", "acceptance", "qm", "largestChargePc"}) {
        s[key] = QJsonValue(QJsonValue::Null);
    }
    s["background"] = QJsonObject{{"levelPc", QJsonValue::Null}, {"belowKv", 1}};
    s["inceptionExtinction"] = QJsonObject{
        {"inceptionV", 8450.5}, {"extinctionV", QJsonValue::Null}, {"doubt", "no extinction seen"}};
    content.summary = s;
    content.vq = QImage();
    content.qnCounts.clear();
    const QString text = pdfText(write());

    EXPECT_EQ(lineStarting(text, "Largest charge"), (QStringList{"Largest", "charge", "—"}));
    EXPECT_EQ(lineStarting(text, "Extinction voltage"),
              (QStringList{"Extinction", "voltage", "—"}));
    EXPECT_EQ(lineStarting(text, "Doubt"), (QStringList{"Doubt", "no", "extinction", "seen"}));
    for (const char* label : {"Calibration record", "Background level", "Qm", "Q-N passes"}) {
        const QStringList line = lineStarting(text, label);
        EXPECT_TRUE(!line.isEmpty() && line.last() == "none") << label;
    }
    EXPECT_TRUE(text.contains("no acceptance test"));
    EXPECT_FALSE(text.contains("PASS"));
    EXPECT_TRUE(text.contains("V-Q: charge against the test voltage: no chart"));
}

TEST_F(Report, DrawsTheChartsAcrossThePageKeepingTheirShape) {
    const std::vector<QImage> pages = renderPages(write(), dir.path());
    const qreal bodyWidth = 180.0 / 25.4 * 50;  // A4 less 15 mm margins, at 50 dpi
    // The trend is wide enough to take the page's width; the others are narrowed instead.
    for (const auto& [image, colour, fillsWidth] :
         {std::tuple{&content.trend, trendColour, true}, std::tuple{&content.vq, vqColour, false},
          std::tuple{&content.qn, qnColour, false}}) {
        SCOPED_TRACE(colour.name().toStdString());
        int onPages = 0;
        for (const QImage& page : pages) {
            QRect box;  // where the chart went: the bounding box of its colour
            for (int y = 0; y < page.height(); ++y) {
                for (int x = 0; x < page.width(); ++x) {
                    if (near(page.pixelColor(x, y), colour)) {
                        box |= QRect(x, y, 1, 1);
                    }
                }
            }
            if (box.width() < 20 || box.height() < 20) {
                continue;
            }
            ++onPages;
            const qreal aspect = qreal(image->width()) / image->height();
            EXPECT_NEAR(qreal(box.width()) / box.height(), aspect, 0.05 * aspect);
            EXPECT_NEAR(box.width(), fillsWidth ? bodyWidth : bodyWidth * 0.9, bodyWidth * 0.1);
            // Each square of the checker lies where the scaled chart puts it.
            for (int iy = kSquare / 2; iy < image->height(); iy += kSquare) {
                for (int ix = kSquare / 2; ix < image->width(); ix += kSquare) {
                    const QColor seen =
                        page.pixelColor(box.left() + ix * box.width() / image->width(),
                                        box.top() + iy * box.height() / image->height());
                    const bool coloured = (ix / kSquare + iy / kSquare) % 2 == 0;
                    EXPECT_TRUE(near(seen, coloured ? colour : QColor(Qt::white)))
                        << "square " << ix / kSquare << "," << iy / kSquare;
                }
            }
        }
        EXPECT_EQ(onPages, 1);
    }
}

TEST_F(Report, LeavesNothingWhenItCannotBeWritten) {
    const QString path = dir.filePath(QStringLiteral("missing/report.pdf"));
    QString problem;
    EXPECT_FALSE(writeReport(content, path, &problem));
    EXPECT_TRUE(problem.contains(path)) << problem.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

}  // namespace
}  // namespace kr5
