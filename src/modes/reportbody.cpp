#include "reportbody.h"

#include "core/format.h"
#include "core/ranges.h"
#include "modes/reporttexts.h"
#include "modes/voltagechart.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QPainter>
#include <algorithm>

namespace kr5 {

namespace {

namespace text = reporttext;

// Passes per Q-N table: more columns would no longer fit their numbers on A4.
constexpr int kPassesPerTable = 10;
// Inception and extinction pairs per table, so that a table fits on a page.
constexpr int kPairsPerTable = 25;

const QColor kPassColour(0, 128, 0);
const QColor kFailColour(200, 0, 0);
const QColor kDoubtColour(170, 90, 0);

class ReportBody {
    Q_DECLARE_TR_FUNCTIONS(ReportBody)

  public:
    ReportBody(ReportLayout& layout, const ReportContent& content)
        : l_(layout),
          c_(content),
          s_(content.summary),
          constants_(object(s_, "inputConstants")),
          details_(object(s_, "details")),
          acceptance_(object(s_, "acceptance")),
          ptRatio_(constants_.value(QStringLiteral("ptRatio")).toDouble(100.0)) {}

    void compose() {
        l_.addTitle(tr("Partial discharge test report"));
        testObject();
        test();
        circuit();
        calibration();
        conditions();
        background();
        discriminator();
        voltage();
        discharges();
        verdict();
        qn();
        charts();
        notesAndApproval();
    }

  private:
    static QJsonObject object(const QJsonObject& o, const char* key) {
        return o.value(QLatin1String(key)).toObject();
    }
    static QJsonValue value(const QJsonObject& o, const char* key) {
        return o.value(QLatin1String(key));
    }
    QString detail(const char* key) const { return text::text(value(details_, key)); }

    void testObject() {
        l_.addHeading(tr("Test object and customer"));
        l_.addField(tr("Test object"), detail("objectId"));
        l_.addField(tr("Type"), detail("objectType"));
        l_.addField(tr("Rating"), detail("objectRating"));
        l_.addField(tr("Customer"), detail("customer"));
    }

    void test() {
        l_.addHeading(tr("Test"));
        l_.addField(tr("Name and number"), reportHeader(c_));
        l_.addField(tr("Standard and clause applied"), detail("standard"));
        l_.addField(tr("Tested by"), detail("operator"));
        l_.addField(tr("Start"), text::dateTime(value(s_, "start")));
        l_.addField(tr("End"), text::dateTime(value(s_, "end")));
        l_.addField(tr("Rows"), text::typed(value(s_, "rows"), {}));
        l_.addField(tr("Measurement file"), text::text(value(s_, "measurementFile")));
        if (c_.measurementSha256.isEmpty()) {
            l_.addField(tr("SHA-256 of the measurement file"), tr("no measurement file"));
        } else {
            l_.addFixedField(tr("SHA-256 of the measurement file"), c_.measurementSha256);
        }
    }

    void circuit() {
        l_.addHeading(tr("Test circuit and measuring instrument"));
        l_.addField(tr("Coupling capacitor"),
                    text::typed(value(details_, "couplingCapacitancePf"), QStringLiteral("pF")));
        l_.addField(tr("Measuring impedance"), detail("measuringImpedance"));
        l_.addField(tr("Supply frequency"),
                    text::typed(value(details_, "supplyFrequencyHz"), QStringLiteral("Hz")));
        l_.addField(tr("Voltage transformer ratio"), text::typed(value(constants_, "ptRatio"), {}));
        const QJsonObject units = object(s_, "instruments");
        l_.addField(tr("Detector KR-5"), text::text(value(units, "detector")));
        l_.addField(tr("AC voltage unit"), text::text(value(units, "acUnit")));
        l_.addField(tr("Noise discriminator ZN-4"), text::text(value(units, "noiseDiscriminator")));
        l_.addField(tr("Recorded with"), text::text(value(s_, "program")));
    }

    void calibration() {
        l_.addHeading(tr("Calibration"));
        QString calibrator = detail("calibratorId");
        const QDate checked =
            QDate::fromString(value(details_, "calibratorCheckedOn").toString(), Qt::ISODate);
        if (checked.isValid()) {
            calibrator += tr(", last checked %1").arg(checked.toString(Qt::ISODate));
        }
        l_.addField(tr("Calibrator"), calibrator);
        const QJsonValue record = value(s_, "calibration");
        if (!record.isObject()) {
            l_.addField(tr("Calibration record"), tr("none"));
            l_.addField(tr("Scale factor Adjust in force"),
                        text::adjust(value(constants_, "adjustPcPerV")));
            return;
        }
        const QJsonObject cal = record.toObject();
        l_.addField(tr("Calibrated at"), text::dateTime(value(cal, "at")));
        l_.addField(tr("Calibrator charge q0"),
                    tr("%1 on range %2")
                        .arg(text::typed(value(cal, "calibratorPc"), QStringLiteral("pC")),
                             text::text(value(cal, "range"))));
        l_.addField(tr("Mean raw peak"), text::rawPeak(value(cal, "meanRawPeakV")));
        QString adjust = text::adjust(value(cal, "adjustPcPerV"));
        if (!value(cal, "adjustInForce").toBool(true)) {
            adjust += tr(" (not the Adjust in force, %1: it was changed after the calibration)")
                          .arg(text::adjust(value(constants_, "adjustPcPerV")));
        }
        l_.addField(tr("Scale factor Adjust"), adjust);
        const QJsonValue second = value(cal, "secondCalibratorPc");
        l_.addField(tr("Linearity"), second.isDouble()
                                         ? tr("%1 at %2")
                                               .arg(text::percent(value(cal, "linearityPercent")),
                                                    text::typed(second, QStringLiteral("pC")))
                                         : tr("not measured"));
    }

    void conditions() {
        l_.addHeading(tr("Conditions"));
        l_.addField(tr("Temperature"),
                    text::typedWithUnit(value(constants_, "temperature"), QStringLiteral("°C")));
        l_.addField(tr("Relative humidity"),
                    text::typedWithUnit(value(constants_, "humidity"), QStringLiteral("%")));
    }

    void background() {
        l_.addHeading(tr("Background"));
        const QJsonObject b = object(s_, "background");
        const QJsonValue off = value(b, "switchedOffPc");
        l_.addField(tr("With the high voltage off"),
                    off.isDouble()
                        ? tr("%1, measured %2")
                              .arg(text::charge(off), text::dateTime(value(b, "switchedOffAt")))
                        : tr("not measured"));
        l_.addField(
            tr("Test voltage below %1").arg(text::testLevel(value(b, "belowKv"))),
            value(b, "levelPc").isDouble() ? text::charge(value(b, "levelPc")) : tr("none"));
    }

    void discriminator() {
        l_.addHeading(tr("Noise discriminator"));
        const QJsonValue zn = value(s_, "noiseDiscriminator");
        if (!zn.isObject()) {
            l_.addField(tr("Settings"), tr("none: the noise discriminator was not on the line"));
            return;
        }
        const QJsonObject o = zn.toObject();
        l_.addField(tr("Function"), text::text(value(o, "function")));
        l_.addField(tr("Attenuator of channel A"), text::text(value(o, "channelA")));
        l_.addField(tr("Attenuator of channel B"), text::text(value(o, "channelB")));
    }

    std::optional<double> testLevelKv() const {
        const QJsonValue kv = value(acceptance_, "testKv");
        return kv.isDouble() ? std::optional(kv.toDouble()) : std::nullopt;
    }

    void voltage() {
        l_.addHeading(tr("Voltage applied"));
        if (acceptance_.isEmpty()) {
            l_.addField(tr("Test level"), tr("none: no acceptance test was set"));
        } else {
            l_.addField(tr("Test level"), text::testLevel(value(acceptance_, "testKv")));
            l_.addField(tr("Hold"), tr("%1 required, %2 held")
                                        .arg(text::seconds(value(acceptance_, "holdS")),
                                             text::seconds(value(acceptance_, "heldS"))));
        }
        if (c_.voltage.points.empty()) {
            l_.addField(tr("Test voltage over the test"), tr("no readings"));
            return;
        }
        const VoltageCurve curve = c_.voltage;
        const std::optional<double> level = testLevelKv();
        const double mm = l_.mm(1);
        l_.addFigure(
            2.6,
            [curve, level, mm](QPainter& p, const QRectF& target) {
                drawVoltageChart(p, target, curve, level, mm);
            },
            tr("The test voltage over the test"), 0.3);
    }

    void discharges() {
        l_.addHeading(tr("Partial discharges"));
        l_.addField(tr("Set Q"), text::charge(value(s_, "setQPc")));
        if (!acceptance_.isEmpty()) {
            l_.addField(tr("Largest charge during the hold"),
                        text::charge(value(acceptance_, "largestPc")));
            // A limit as the operator typed it.
            l_.addField(tr("Permissible charge"),
                        text::typed(value(acceptance_, "permissiblePc"), QStringLiteral("pC")));
        }
        l_.addField(tr("Largest charge recorded"), text::charge(value(s_, "largestChargePc")));
        l_.addField(tr("Largest pulse rate recorded"),
                    text::rate(value(s_, "largestPulseRatePps")));
        const QJsonObject ie = object(s_, "inceptionExtinction");
        const QJsonArray pairs = value(ie, "pairs").toArray();
        if (pairs.isEmpty()) {
            l_.addField(tr("Inception voltage"),
                        text::measuredKv(value(ie, "inceptionV"), ptRatio_));
            l_.addField(tr("Extinction voltage"),
                        text::measuredKv(value(ie, "extinctionV"), ptRatio_));
            const QString doubt = value(ie, "doubt").toString();
            if (!doubt.isEmpty()) {
                l_.addField(tr("Doubt"), doubt, kDoubtColour);
            }
            return;
        }
        pairTables(pairs);
    }

    // The pairs in tables that fit a page; the times of day where the pairs have them (a
    // recorded test judged again from its rows has none).
    void pairTables(const QJsonArray& pairs) {
        const bool timed = std::any_of(pairs.begin(), pairs.end(), [](const QJsonValue& p) {
            return p.toObject().value(QStringLiteral("inceptionAt")).isString();
        });
        std::vector<ReportLayout::Column> columns{{tr("Pair"), Qt::AlignRight},
                                                  {tr("Inception"), Qt::AlignRight},
                                                  {tr("at")},
                                                  {tr("Extinction"), Qt::AlignRight},
                                                  {tr("at")},
                                                  {tr("Set Q"), Qt::AlignRight},
                                                  {tr("Doubt"), Qt::AlignLeft, true}};
        if (!timed) {
            columns.erase(columns.begin() + 4);
            columns.erase(columns.begin() + 2);
        }
        std::vector<QStringList> rows;
        for (qsizetype i = 0; i < pairs.size(); ++i) {
            const QJsonObject pair = pairs[i].toObject();
            QStringList row{QString::number(i + 1),
                            text::measuredKv(value(pair, "inceptionV"), ptRatio_),
                            text::measuredKv(value(pair, "extinctionV"), ptRatio_),
                            text::charge(value(pair, "setQPc")), value(pair, "doubt").toString()};
            if (timed) {
                row.insert(2, text::timeOfDay(value(pair, "inceptionAt")));
                row.insert(4, text::timeOfDay(value(pair, "extinctionAt")));
            }
            rows.push_back(row);
            if (rows.size() == kPairsPerTable || i + 1 == pairs.size()) {
                l_.addTable(columns, rows);
                rows.clear();
            }
        }
    }

    void verdict() {
        l_.addHeading(tr("Verdict"));
        if (acceptance_.isEmpty()) {
            l_.addText(tr("No acceptance test was set: no verdict."));
            return;
        }
        const QString verdict = value(acceptance_, "verdict").toString();
        if (verdict == QLatin1String("PASS")) {
            l_.addBanner(verdict, kPassColour);
        } else if (verdict == QLatin1String("FAIL")) {
            l_.addBanner(verdict, kFailColour);
        } else {
            l_.addText(tr("No verdict: the hold at the test level was not completed."));
        }
        const QString warning = value(acceptance_, "backgroundWarning").toString();
        l_.addField(tr("Validity"),
                    warning.isEmpty() ? tr("valid") : tr("NOT VALID: %1").arg(warning),
                    warning.isEmpty() ? Qt::black : kFailColour);
        l_.addField(tr("Reasons"), text::text(value(acceptance_, "state")));
        const int withoutVoltage = value(acceptance_, "readingsWithoutVoltage").toInt();
        const int withoutCharge = value(acceptance_, "readingsWithoutCharge").toInt();
        if (withoutVoltage > 0 || withoutCharge > 0) {
            l_.addField(tr("Readings missing in the hold"),
                        tr("%1 without the voltage (their time not counted), %2 without the "
                           "charge")
                            .arg(withoutVoltage)
                            .arg(withoutCharge));
        }
    }

    void qn() {
        l_.addHeading(tr("Q-N measurement"));
        const QJsonValue qm = value(s_, "qm");
        if (qm.isObject()) {
            const QJsonObject q = qm.toObject();
            l_.addField(tr("Qm of the last pass"), text::text(value(q, "lastPass")));
            l_.addField(tr("Qm of the block"),
                        tr("%1 (%2 passes)")
                            .arg(text::text(value(q, "block")),
                                 text::typed(value(q, "passesInBlock"), {})));
        } else {
            l_.addField(tr("Qm"), tr("none"));
        }
        const QJsonValue nqn = value(s_, "nqn");
        if (nqn.isObject()) {
            const QJsonObject n = nqn.toObject();
            l_.addField(tr("NQN of the last pass"), text::nqn(value(n, "lastPass")));
            l_.addField(tr("NQN of the block"), text::nqn(value(n, "block")));
            l_.addText(
                tr("NQN = (FS / N) x [ (log10 n1 + log10 nN) / 2 + sum of log10 ni, i = 2 "
                   "to N-1 ], n_i the pulses/s above threshold i of N = 10, FS the highest "
                   "threshold in pC; a rate below 1 pulse/s counts as 1."));
        }
        chart(c_.qn, tr("Q-N: pulse rate above each charge threshold"));
        qnTables();
    }

    void qnTables() {
        const int passes = static_cast<int>(c_.qnCounts.size());
        const QString title = c_.qnTitle.isEmpty()
                                  ? tr("Q-N counts, pulses per second")
                                  : tr("Q-N counts, pulses per second: %1").arg(c_.qnTitle);
        if (passes == 0) {
            l_.addField(tr("Q-N passes"), tr("none"));
            return;
        }
        for (int first = 0; first < passes; first += kPassesPerTable) {
            const int count = std::min(kPassesPerTable, passes - first);
            l_.addText(passes > kPassesPerTable ? tr("%1 (passes %2 to %3 of %4)")
                                                      .arg(title)
                                                      .arg(first + 1)
                                                      .arg(first + count)
                                                      .arg(passes)
                                                : title);
            std::vector<ReportLayout::Column> columns{{tr("Range")},
                                                      {tr("Threshold pC"), Qt::AlignRight}};
            for (int i = 0; i < count; ++i) {
                columns.push_back({tr("Pass %1").arg(first + i + 1), Qt::AlignRight});
            }
            std::vector<QStringList> rows;
            for (int range = 0; range < kAttenuatorRanges; ++range) {
                QStringList row{QStringLiteral("1/%1").arg(attenuatorDivision(range)),
                                plainNumber(attenuatorDivision(range) * c_.adjust)};
                for (int i = 0; i < count; ++i) {
                    const auto& rate = c_.qnCounts[std::size_t(first + i)][std::size_t(range)];
                    row << (rate ? formatPattern(*rate, u"0.0") : QString());
                }
                rows.push_back(row);
            }
            l_.addTable(columns, rows);
        }
    }

    void chart(const SurfaceDrawing& drawing, const QString& caption) {
        if (drawing.isNull()) {
            l_.addText(tr("%1: no chart").arg(caption));
            return;
        }
        const QSize size = drawing.size();
        l_.addFigure(
            double(size.width()) / size.height(),
            [drawing, size](QPainter& p, const QRectF& target) {
                p.translate(target.topLeft());
                p.scale(target.width() / size.width(), target.height() / size.height());
                drawing.paint(p);
            },
            caption);
    }

    void charts() {
        l_.addHeading(tr("Charts as on the screen"));
        chart(c_.trend, tr("Trend of the charge, the pulse rate and the test voltage"));
        chart(c_.vq, tr("V-Q: charge against the test voltage"));
    }

    void notesAndApproval() {
        const QString notes = value(details_, "notes").toString().trimmed();
        if (!notes.isEmpty()) {
            l_.addHeading(tr("Notes"));
            l_.addText(notes);
        }
        l_.addHeading(tr("Approval"));
        const QString tester = value(details_, "operator").toString().trimmed();
        l_.addSignatures({{tr("Tested by"), tester}, {tr("Checked by"), QString()}});
    }

    ReportLayout& l_;
    const ReportContent& c_;
    const QJsonObject& s_;
    const QJsonObject constants_;
    const QJsonObject details_;
    const QJsonObject acceptance_;
    const double ptRatio_;
};

}  // namespace

QString reportHeader(const ReportContent& content) {
    const QJsonObject constants =
        content.summary.value(QStringLiteral("inputConstants")).toObject();
    return QCoreApplication::translate("kr5::Report", "%1, No. %2")
        .arg(reporttext::text(constants.value(QStringLiteral("name"))),
             reporttext::text(constants.value(QStringLiteral("number"))));
}

void composeReport(ReportLayout& layout, const ReportContent& content) {
    ReportBody(layout, content).compose();
}

}  // namespace kr5
