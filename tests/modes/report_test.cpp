// The test report as a reader gets it: the PDF's text as pdftotext extracts it, grouped as a
// test report gives it, every number rounded and with its unit; the charts as vectors
// (pdfimages finds no picture) where pdftoppm renders them; and a report that cannot be
// written leaving nothing behind.
#include "modes/report.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
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

// A chart stand-in: filled in its colour (0x00BBGGRR) but for a white box in its middle,
// with a line and a label, so that a chart that is cropped or squeezed shows in the
// rendering and its text can be searched.
SurfaceDrawing chart(int w, int h, Colour colour, const QString& label) {
    SurfaceDrawing d(QSize(w, h), kWhite, QFont(QStringLiteral("DejaVu Sans")));
    d.box(0, 0, w - 1, h - 1, colour);
    d.box(w / 4, h / 4, w * 3 / 4 - 1, h * 3 / 4 - 1, kWhite);
    d.line(QPointF(w / 4, h / 2), QPointF(w * 3 / 4, h / 3), kBlack);
    d.text(QPointF(w / 4 + 4, h / 4 + 14), label, QRectF(w / 4 + 4, h / 4 + 2, 60, 12), kBlack);
    return d;
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

// The numbers come as the program computed them, with all their binary digits.
QJsonObject fullSummary() {
    return QJsonDocument::fromJson(R"({
        "program": "kr5au 1.5.40",
        "measurementFile": "T-2291.csv", "start": "2026-12-07T09:00:00",
        "end": "2026-12-07T10:30:05", "rows": 5421, "setQPc": 4.8,
        "inputConstants": {"name": "Bushing 24kV", "number": "T-2291", "temperature": "21.5",
                           "humidity": "47", "ptRatio": 100, "adjustPcPerV": 2.4},
        "calibration": {"at": "2026-12-07T08:41:10", "calibratorPc": 100, "range": "1/10",
                        "meanRawPeakV": 4.25490196078431, "adjustPcPerV": 2.35,
                        "adjustInForce": false, "secondCalibratorPc": 500,
                        "linearityPercent": 1.84313725490196},
        "background": {"levelPc": 1.17647058823529, "belowKv": 1,
                       "switchedOffPc": 0.423529411764706,
                       "switchedOffAt": "2026-12-07T08:50:00"},
        "inceptionExtinction": {"inceptionV": 8450.58823529412, "extinctionV": 7310, "doubt": "",
            "pairs": [{"inceptionV": 8512.94117647059, "extinctionV": 7120, "setQPc": 4.8,
                       "inceptionAt": "2026-12-07T09:10:00", "extinctionAt": "2026-12-07T09:11:00",
                       "doubt": ""},
                      {"inceptionV": 8450.58823529412, "extinctionV": 9310, "setQPc": 4.8,
                       "inceptionAt": "2026-12-07T09:20:00", "extinctionAt": "2026-12-07T09:21:30",
                       "doubt": "extinction above the inception"}]},
        "acceptance": {"testKv": 22, "holdS": 60, "permissiblePc": 10, "heldS": 60.0999999,
                       "largestPc": 6.75294117647059, "verdict": "PASS",
                       "state": "Acceptance: PASS, largest 6.75 pC in 60 s at 22.0 kV",
                       "backgroundWarning": "background 6.2 pC above half the limit",
                       "readingsWithoutVoltage": 2, "readingsWithoutCharge": 0},
        "largestChargePc": 37.2549019607843, "largestPulseRatePps": 255.882352941176,
        "qm": {"lastPass": "14.2 pC", "block": "13.9 pC", "passesInBlock": 15},
        "nqn": {"lastPass": 1234.5678, "block": null},
        "instruments": {"detector": "KR-5 V2.10 0417", "acUnit": "ACU V1.3 0032",
                        "noiseDiscriminator": "ZN-4 V1.1 0099"},
        "noiseDiscriminator": {"function": "N OFF", "channelA": "1/10", "channelB": "1/1000"},
        "details": {"objectId": "SN 4471-B", "objectType": "Condenser bushing",
                    "objectRating": "24 kV, 630 A", "customer": "Stadtwerke Süd",
                    "operator": "A. Tanaka", "standard": "IEC 60270:2000 / IEC 60076-3",
                    "couplingCapacitancePf": 1000, "measuringImpedance": "AKV 9310",
                    "supplyFrequencyHz": 50, "calibratorId": "CAL-7",
                    "calibratorCheckedOn": "2026-03-31",
                    "notes": "Bushing cleaned before the test."}})")
        .object();
}

struct Report : ::testing::Test {
    Report() {
        content.summary = fullSummary();
        content.programVersion = QStringLiteral("1.5.46");
        content.printedAt = QDateTime(QDate(2026, 12, 7), QTime(11, 2, 0));
        content.trend = chart(625, 321, 0x008CFF, QStringLiteral("TRENDLABEL"));
        content.vq = chart(385, 345, 0xC800C8, QStringLiteral("VQLABEL"));
        content.qn = chart(385, 321, 0xA0A000, QStringLiteral("QNLABEL"));
        for (int s = 0; s <= 600; ++s) {
            content.voltage.points.emplace_back(s, s < 300 ? s * 0.08 : 22.0);
        }
        content.adjust = 2.4;
        content.qnTitle = QStringLiteral("dry, 22 kV");
        content.measurementSha256 = QString(64, QLatin1Char('a')).replace(0, 4, "0f3c");
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

    static void expectAll(const QString& text, const QString& expected) {
        for (const QString& e : expected.split('|')) {
            EXPECT_TRUE(text.contains(e)) << e.toStdString() << "\nin: " << text.toStdString();
        }
    }

    // The value beside a field's label: the rest of the line after the label's column.
    static QString valueOf(const QString& text, const QString& label) {
        const QRegularExpression field(QStringLiteral("^\\s*") + QRegularExpression::escape(label) +
                                           QStringLiteral("\\s{2,}(.*)$"),
                                       QRegularExpression::MultilineOption);
        return field.match(text).captured(1).simplified();
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
};

// One report, read as a reader reads it: the test object and the instruments, the calibration
// and conditions, the voltage and every pair, the verdict and the Q-N results, every number
// rounded and with its unit, and every page numbered.
TEST_F(Report, GivesEveryPartOfTheTestRoundedWithUnitsAndNumbersEveryPage) {
    const QString text = pdfText(write());
    expectAll(
        text.simplified(),
        "Partial discharge test report|Test object SN 4471-B|Type Condenser bushing|"
        "Rating 24 kV, 630 A|Customer Stadtwerke Süd|Name and number Bushing 24kV, No. T-2291|"
        "Standard and clause applied IEC 60270:2000 / IEC 60076-3|Tested by A. Tanaka|"
        "Start 2026-12-07 09:00:00|End 2026-12-07 10:30:05|Rows 5421|"
        "Measurement file T-2291.csv|Coupling capacitor 1000 pF|"
        "Measuring impedance AKV 9310|Supply frequency 50 Hz|"
        "Voltage transformer ratio 100|Detector KR-5 KR-5 V2.10 0417|"
        "AC voltage unit ACU V1.3 0032|Noise discriminator ZN-4 ZN-4 V1.1 0099|"
        "Recorded with kr5au 1.5.40|SHA-256 of the measurement file 0f3caaaa" +
            QString(56, QLatin1Char('a')));
    expectAll(text.simplified(),
              "Calibrator CAL-7, last checked 2026-03-31|Calibrated at 2026-12-07 08:41:10|"
              "Calibrator charge q0 100 pC on range 1/10|Mean raw peak 4.255 V|"
              "Scale factor Adjust 2.35 pC/V (not the Adjust in force, 2.4 pC/V|"
              "Linearity 1.8 % at 500 pC|Temperature 21.5 °C|Relative humidity 47 %|"
              "With the high voltage off 0.42 pC, measured 2026-12-07 08:50:00|"
              "Test voltage below 1.0 kV 1.18 pC|Function N OFF|"
              "Attenuator of channel A 1/10|Attenuator of channel B 1/1000");
    expectAll(text.simplified(),
              "Test level 22.0 kV|Hold 60 s required, 60 s held|Set Q 4.80 pC|"
              "Largest charge during the hold 6.75 pC|Permissible charge 10 pC|"
              "Largest charge recorded 37.3 pC|Largest pulse rate recorded 255.9 pps|"
              "test level 22.0 kV|Test voltage, kV|Time since the start, s");
    EXPECT_EQ(lineStarting(text, "1 "),
              (QStringList{"1", "8.51", "kV", "09:10:00", "7.12", "kV", "09:11:00", "4.80", "pC"}));
    EXPECT_EQ(lineStarting(text, "2 "),
              (QStringList{"2", "8.45", "kV", "09:20:00", "9.31", "kV", "09:21:30", "4.80", "pC",
                           "extinction", "above", "the", "inception"}));
    // No number keeps the binary digits it was computed with.
    const QRegularExpression unrounded(QStringLiteral("\\d\\.\\d{4,}"));
    EXPECT_FALSE(text.contains(unrounded)) << text.toStdString();

    expectAll(text.simplified(),
              "PASS|Validity NOT VALID: background 6.2 pC above half the limit|"
              "Reasons Acceptance: PASS, largest 6.75 pC in 60 s at 22.0 kV|"
              "2 without the voltage|Qm of the last pass 14.2 pC|Qm of the block 13.9 pC (15 "
              "passes)|NQN of the last pass 1234.6|NQN of the block none|"
              "dry, 22 kV (passes 11 to 15 of 15)|Notes Bushing cleaned before the test.|"
              "Tested by A. Tanaka|Checked by|Name Date Signature");
    // One row per range with its threshold; a count where there is one, nothing where not.
    EXPECT_EQ(lineStarting(text, "1/1 "),
              (QStringList{"1/1", "2.4", "100.5", "200.5", "300.5", "400.5", "500.5", "600.5",
                           "700.5", "800.5", "900.5", "1000.5"}));
    EXPECT_EQ(lineStarting(text, "1/1000"), (QStringList{"1/1000", "2400"}));
    EXPECT_TRUE(text.contains(QRegularExpression("Pass 11 +Pass 12")));
    EXPECT_FALSE(text.contains(QRegularExpression("Pass 10 +Pass 11")));

    QStringList pages = text.split('\f');
    if (pages.last().trimmed().isEmpty()) {
        pages.removeLast();
    }
    ASSERT_GE(pages.size(), 3);
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].contains("kr5au 1.5.46")) << "page " << i + 1;
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size())))
            << "page " << i + 1;
    }
}

TEST_F(Report, PrintsWhatTheSummaryLacksAsNone) {
    // A summary of an older program: no details, instruments or discriminator.
    QJsonObject s = fullSummary();
    for (const char* key : {"details", "instruments", "noiseDiscriminator"}) {
        s.remove(key);
    }
    for (const char* key : {"calibration", "acceptance", "qm", "largestChargePc"}) {
        s[key] = QJsonValue(QJsonValue::Null);
    }
    s["background"] = QJsonObject{{"levelPc", QJsonValue::Null}, {"belowKv", 1}};
    s["inceptionExtinction"] = QJsonObject{
        {"inceptionV", 8450.5}, {"extinctionV", QJsonValue::Null}, {"doubt", "no extinction seen"}};
    content.summary = s;
    content.vq = SurfaceDrawing();
    content.voltage = {};
    content.qnCounts.clear();
    content.measurementSha256.clear();
    const QString text = pdfText(write());

    for (const char* label :
         {"Test object", "Customer", "Standard and clause applied", "Coupling capacitor",
          "Detector KR-5", "Largest charge recorded", "Extinction voltage"}) {
        EXPECT_EQ(valueOf(text, QLatin1String(label)), QStringLiteral("—")) << label;
    }
    EXPECT_EQ(valueOf(text, "Doubt"), QStringLiteral("no extinction seen"));
    expectAll(text.simplified(),
              "Calibration record none|Scale factor Adjust in force 2.4 pC/V|"
              "With the high voltage off not measured|"
              "Test voltage below 1.0 kV none|Settings none: the noise discriminator "
              "was not on the line|Test level none: no acceptance test was set|"
              "Test voltage over the test no readings|No acceptance test was set: no verdict.|"
              "Qm none|Q-N passes none|V-Q: charge against the test voltage: no chart|"
              "SHA-256 of the measurement file no measurement file");
    EXPECT_FALSE(text.contains("PASS"));
}

// The charts go into the PDF as drawings, not pictures, across the page in their own
// proportions, and their texts can be searched.
TEST_F(Report, DrawsTheChartsAsVectorsKeepingTheirShape) {
    const QString pdf = write();
    const QStringList imageList =
        QString::fromUtf8(runPoppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}))
            .trimmed()
            .split('\n');
    EXPECT_EQ(imageList.size(), 2) << imageList.join('\n').toStdString();  // the titles alone
    expectAll(pdfText(pdf), "TRENDLABEL|VQLABEL|QNLABEL");

    const std::vector<QImage> pages = renderPages(pdf, dir.path());
    const qreal bodyWidth = 180.0 / 25.4 * 50;  // A4 less 15 mm margins, at 50 dpi
    for (const auto& [drawing, colour, fillsWidth] :
         {std::tuple{&content.trend, QColor(255, 140, 0), true},
          std::tuple{&content.vq, QColor(200, 0, 200), false},
          std::tuple{&content.qn, QColor(0, 160, 160), false}}) {
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
            const qreal aspect = qreal(drawing->size().width()) / drawing->size().height();
            EXPECT_NEAR(qreal(box.width()) / box.height(), aspect, 0.05 * aspect);
            // The trend takes the page's width; the others are narrowed to keep their height.
            EXPECT_NEAR(box.width(), fillsWidth ? bodyWidth : bodyWidth * 0.65, bodyWidth * 0.1);
            // Its middle is the white box, not cut away or moved.
            EXPECT_TRUE(near(page.pixelColor(box.center()), Qt::white));
            EXPECT_TRUE(
                near(page.pixelColor(box.left() + box.width() / 8, box.center().y()), colour));
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
