#include "report.h"

#include "core/format.h"
#include "core/ranges.h"
#include "platform/wholefile.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QJsonArray>
#include <QJsonValue>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <functional>
#include <vector>

namespace kr5 {

namespace {

const QString kDash = QStringLiteral("—");

// Passes per Q-N table: more columns would no longer fit their numbers on A4.
constexpr int kPassesPerTable = 10;

QString withUnit(const QString& number, const QString& unit) {
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

// A missing number prints as a dash: a 0 would read as a measured value.
QString numberOr(const QJsonValue& v, const QString& unit = {}) {
    return v.isDouble() ? withUnit(plainNumber(v.toDouble()), unit) : kDash;
}

QString textOr(const QJsonValue& v) {
    if (v.isDouble()) {
        return plainNumber(v.toDouble());
    }
    const QString text = v.toString();
    return text.isEmpty() ? kDash : text;
}

QString timeOr(const QJsonValue& v) {
    const QDateTime t = QDateTime::fromString(v.toString(), Qt::ISODate);
    if (!t.isValid()) {
        return textOr(v);
    }
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QFont reportFont(qreal points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Any letter spacing turns ligatures off: a searched or copied "file" must not come
    // out of the PDF as the single ligature glyph.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.05);
    return font;
}

// One piece of the page flow: how tall it is and how to draw it from a top edge. A block
// never splits across pages; one that keeps with the next (a heading) moves on with it.
struct Block {
    qreal height = 0;
    std::function<void(QPainter&, qreal top)> draw;
    bool keepWithNext = false;
};

class ReportPages {
    Q_DECLARE_TR_FUNCTIONS(ReportPages)

  public:
    ReportPages(const ReportContent& content, QPdfWriter& writer)
        : c_(content),
          writer_(writer),
          width_(writer.width()),
          height_(writer.height()),
          headerHeight_(lineHeight(smallFont_) + mm(4)),
          footerHeight_(lineHeight(smallFont_) + mm(4)) {
        build();
        paginate();
    }

    int pageCount() const { return static_cast<int>(pages_.size()); }

    void drawPage(QPainter& p, int page) const {
        drawHeaderAndFooter(p, page);
        for (const auto& [block, top] : pages_[static_cast<std::size_t>(page)]) {
            p.save();
            blocks_[block].draw(p, top);
            p.restore();
        }
    }

  private:
    qreal mm(qreal millimetres) const { return millimetres * writer_.resolution() / 25.4; }

    qreal lineHeight(const QFont& font) const { return QFontMetricsF(font, &writer_).height(); }

    qreal textHeight(const QFont& font, qreal width, const QString& text) const {
        return QFontMetricsF(font, &writer_)
            .boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text)
            .height();
    }

    qreal bodyTop() const { return headerHeight_; }
    qreal bodyHeight() const { return height_ - headerHeight_ - footerHeight_; }

    QString testLine() const {
        const QJsonObject constants = c_.summary.value(QStringLiteral("inputConstants")).toObject();
        return tr("%1, No. %2")
            .arg(textOr(constants.value(QStringLiteral("name"))),
                 textOr(constants.value(QStringLiteral("number"))));
    }

    void drawHeaderAndFooter(QPainter& p, int page) const {
        p.save();
        p.setFont(smallFont_);
        p.setPen(Qt::black);
        const qreal line = lineHeight(smallFont_);
        p.drawText(QRectF(0, 0, width_, line), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("kr5au ") + c_.programVersion);
        p.drawText(QRectF(0, 0, width_, line), Qt::AlignRight | Qt::AlignVCenter, testLine());
        p.setPen(QPen(Qt::gray, mm(0.2)));
        p.drawLine(QPointF(0, line + mm(1)), QPointF(width_, line + mm(1)));
        const qreal footerTop = height_ - line;
        p.drawLine(QPointF(0, footerTop - mm(1)), QPointF(width_, footerTop - mm(1)));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, footerTop, width_, line), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("Printed %1")
                       .arg(c_.printedAt.isValid()
                                ? c_.printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                : kDash));
        p.drawText(QRectF(0, footerTop, width_, line), Qt::AlignRight | Qt::AlignVCenter,
                   tr("Page %1 of %2").arg(page + 1).arg(pageCount()));
        p.restore();
    }

    // --- the blocks -----------------------------------------------------------------

    void addText(const QString& text, const QFont& font, const QColor& colour = Qt::black,
                 qreal spaceAbove = 0, bool keepWithNext = false) {
        const qreal h = textHeight(font, width_, text);
        blocks_.push_back({spaceAbove + h,
                           [=, w = width_](QPainter& p, qreal top) {
                               p.setFont(font);
                               p.setPen(colour);
                               p.drawText(QRectF(0, top + spaceAbove, w, h), Qt::TextWordWrap,
                                          text);
                           },
                           keepWithNext});
    }

    void addHeading(const QString& text) { addText(text, headingFont_, Qt::black, mm(4), true); }

    void addField(const QString& label, const QString& value, const QColor& colour = Qt::black) {
        const qreal labelWidth = mm(55);
        const qreal valueWidth = width_ - labelWidth;
        const qreal h = std::max(textHeight(bodyFont_, labelWidth, label),
                                 textHeight(bodyFont_, valueWidth, value));
        blocks_.push_back({h + mm(0.8), [=, font = bodyFont_](QPainter& p, qreal top) {
                               p.setFont(font);
                               p.setPen(Qt::black);
                               p.drawText(QRectF(0, top, labelWidth, h), Qt::TextWordWrap, label);
                               p.setPen(colour);
                               p.drawText(QRectF(labelWidth, top, valueWidth, h), Qt::TextWordWrap,
                                          value);
                           }});
    }

    void addChart(const QImage& image, const QString& caption) {
        const qreal captionHeight = textHeight(captionFont_, width_, caption);
        if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
            addText(tr("%1: no chart").arg(caption), captionFont_, Qt::black, mm(3));
            return;
        }
        // Three charts share about two pages: a tall chart is narrowed rather than cut.
        qreal w = width_;
        qreal h = w * image.height() / image.width();
        const qreal maxHeight = bodyHeight() * 0.42;
        if (h > maxHeight) {
            h = maxHeight;
            w = h * image.width() / image.height();
        }
        const qreal left = (width_ - w) / 2;
        const qreal space = mm(3);
        blocks_.push_back({space + h + mm(1.5) + captionHeight,
                           [=, font = captionFont_, full = width_](QPainter& p, qreal top) {
                               const QRectF target(left, top + space, w, h);
                               p.setRenderHint(QPainter::SmoothPixmapTransform);
                               p.drawImage(target, image);
                               p.setPen(QPen(Qt::gray, mm(0.2)));
                               p.drawRect(target);
                               p.setFont(font);
                               p.setPen(Qt::black);
                               p.drawText(QRectF(0, target.bottom() + mm(1.5), full, captionHeight),
                                          Qt::AlignHCenter | Qt::TextWordWrap, caption);
                           }});
    }

    void addQnTable(int firstPass, int passes) {
        const QFontMetricsF head(tableHeadFont_, &writer_);
        const QFontMetricsF body(tableFont_, &writer_);
        const qreal pad = mm(1);
        const qreal rangeWidth = std::max(head.horizontalAdvance(tr("Range")),
                                          body.horizontalAdvance(QStringLiteral("1/1000"))) +
                                 2 * pad;
        const qreal thresholdWidth =
            std::max(head.horizontalAdvance(tr("Threshold pC")),
                     body.horizontalAdvance(
                         plainNumber(attenuatorDivision(kAttenuatorRanges - 1) * c_.adjust))) +
            2 * pad;
        const qreal passWidth = (width_ - rangeWidth - thresholdWidth) / kPassesPerTable;
        const qreal row = body.height() * 1.5;
        const int rows = kAttenuatorRanges + 1;
        auto column = [=](int i) {
            // i: 0 the range, 1 the threshold, 2.. the passes.
            if (i == 0) {
                return QRectF(0, 0, rangeWidth, row);
            }
            if (i == 1) {
                return QRectF(rangeWidth, 0, thresholdWidth, row);
            }
            return QRectF(rangeWidth + thresholdWidth + (i - 2) * passWidth, 0, passWidth, row);
        };
        const QnPasses& counts = c_.qnCounts;
        const double adjust = c_.adjust;
        blocks_.push_back(
            {mm(2) + rows * row,
             [=, font = tableFont_, bold = tableHeadFont_](QPainter& p, qreal tableTop) {
                 const qreal top = tableTop + mm(2);
                 auto cell = [&](int col, int r, const QString& text, Qt::Alignment align) {
                     const QRectF box = column(col).translated(0, top + r * row);
                     p.drawText(box.adjusted(pad, 0, -pad, 0), align | Qt::AlignVCenter, text);
                 };
                 p.setPen(Qt::black);
                 p.setFont(bold);
                 cell(0, 0, tr("Range"), Qt::AlignLeft);
                 cell(1, 0, tr("Threshold pC"), Qt::AlignRight);
                 for (int i = 0; i < passes; ++i) {
                     cell(i + 2, 0, tr("Pass %1").arg(firstPass + i + 1), Qt::AlignRight);
                 }
                 p.setFont(font);
                 for (int range = 0; range < kAttenuatorRanges; ++range) {
                     const int r = range + 1;
                     cell(0, r, QStringLiteral("1/%1").arg(attenuatorDivision(range)),
                          Qt::AlignLeft);
                     cell(1, r, plainNumber(attenuatorDivision(range) * adjust), Qt::AlignRight);
                     for (int i = 0; i < passes; ++i) {
                         const auto& rate = counts[static_cast<std::size_t>(firstPass + i)]
                                                  [static_cast<std::size_t>(range)];
                         if (rate) {
                             cell(i + 2, r, formatPattern(*rate, u"0.0"), Qt::AlignRight);
                         }
                     }
                 }
                 p.setPen(QPen(Qt::gray, mm(0.15)));
                 const qreal right = column(passes + 1).right();
                 for (int r = 0; r <= rows; ++r) {
                     p.drawLine(QPointF(0, top + r * row), QPointF(right, top + r * row));
                 }
                 for (int col = 0; col <= passes + 1; ++col) {
                     const qreal x = column(col).left();
                     p.drawLine(QPointF(x, top), QPointF(x, top + rows * row));
                 }
                 p.drawLine(QPointF(right, top), QPointF(right, top + rows * row));
             }});
    }

    // --- what the report says ------------------------------------------------------

    void build() {
        const QJsonObject& s = c_.summary;
        const QJsonObject constants = s.value(QStringLiteral("inputConstants")).toObject();
        auto constant = [&](const char* key) { return constants.value(QLatin1String(key)); };

        addText(tr("Partial discharge test report"), titleFont_);

        addHeading(tr("Test"));
        addField(tr("Name"), textOr(constant("name")));
        addField(tr("Number"), textOr(constant("number")));
        addField(tr("Temperature"), textOr(constant("temperature")));
        addField(tr("Humidity"), textOr(constant("humidity")));
        addField(tr("PT ratio"), numberOr(constant("ptRatio")));
        addField(tr("Adjust"), numberOr(constant("adjustPcPerV"), tr("pC/V")));
        addField(tr("Start / Stop count"), tr("%1 / %2").arg(numberOr(constant("startCount")),
                                                             numberOr(constant("stopCount"))));
        addField(tr("Measurement file"), textOr(s.value(QStringLiteral("measurementFile"))));
        addField(tr("Start"), timeOr(s.value(QStringLiteral("start"))));
        addField(tr("End"), timeOr(s.value(QStringLiteral("end"))));
        addField(tr("Rows"), numberOr(s.value(QStringLiteral("rows"))));
        addField(tr("Printed"), c_.printedAt.isValid()
                                    ? c_.printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                    : kDash);

        buildCalibration(s.value(QStringLiteral("calibration")));

        addHeading(tr("Background and inception"));
        const QJsonObject background = s.value(QStringLiteral("background")).toObject();
        const QJsonValue level = background.value(QStringLiteral("levelPc"));
        addField(tr("Background level"),
                 level.isDouble()
                     ? tr("%1 (taken below %2)")
                           .arg(numberOr(level, tr("pC")),
                                numberOr(background.value(QStringLiteral("belowKv")), tr("kV")))
                     : tr("none"));
        addField(tr("Set Q"), numberOr(s.value(QStringLiteral("setQPc")), tr("pC")));
        const QJsonObject ie = s.value(QStringLiteral("inceptionExtinction")).toObject();
        addField(tr("Inception voltage"),
                 numberOr(ie.value(QStringLiteral("inceptionV")), tr("V")));
        addField(tr("Extinction voltage"),
                 numberOr(ie.value(QStringLiteral("extinctionV")), tr("V")));
        const QString doubt = ie.value(QStringLiteral("doubt")).toString();
        if (!doubt.isEmpty()) {
            addField(tr("Doubt"), doubt, QColor(170, 90, 0));
        }
        buildPairs(ie.value(QStringLiteral("pairs")).toArray());

        buildAcceptance(s.value(QStringLiteral("acceptance")));

        addHeading(tr("Results"));
        addField(tr("Largest charge"),
                 numberOr(s.value(QStringLiteral("largestChargePc")), tr("pC")));
        addField(tr("Largest pulse rate"),
                 numberOr(s.value(QStringLiteral("largestPulseRatePps")), tr("pps")));
        const QJsonValue qm = s.value(QStringLiteral("qm"));
        if (qm.isObject()) {
            const QJsonObject q = qm.toObject();
            addField(tr("Qm of the last pass"), textOr(q.value(QStringLiteral("lastPass"))));
            addField(tr("Qm of the block"),
                     tr("%1 (%2 passes)")
                         .arg(textOr(q.value(QStringLiteral("block"))),
                              numberOr(q.value(QStringLiteral("passesInBlock")))));
        } else {
            addField(tr("Qm"), tr("none"));
        }

        addHeading(tr("Charts"));
        addChart(c_.trend, tr("Trend of the charge and the test voltage"));
        addChart(c_.vq, tr("V-Q: charge against the test voltage"));
        addChart(c_.qn, tr("Q-N: pulse rate above each charge threshold"));

        buildQnTables();
    }

    // Each inception and extinction pair of the test on a line of its own, where there
    // is more than the one the fields above show.
    void buildPairs(const QJsonArray& pairs) {
        if (pairs.size() < 2) {
            return;
        }
        for (qsizetype i = 0; i < pairs.size(); ++i) {
            const QJsonObject pair = pairs[i].toObject();
            addField(tr("Pair %1").arg(i + 1),
                     tr("inception %1 at %2, extinction %3 at %4, Set Q %5")
                         .arg(numberOr(pair.value(QStringLiteral("inceptionV")), tr("V")),
                              timeOr(pair.value(QStringLiteral("inceptionAt"))),
                              numberOr(pair.value(QStringLiteral("extinctionV")), tr("V")),
                              timeOr(pair.value(QStringLiteral("extinctionAt"))),
                              numberOr(pair.value(QStringLiteral("setQPc")), tr("pC"))));
        }
    }

    void buildCalibration(const QJsonValue& value) {
        addHeading(tr("Calibration"));
        if (!value.isObject()) {
            addField(tr("Calibration record"), tr("none"));
            return;
        }
        const QJsonObject cal = value.toObject();
        addField(tr("Calibrated at"), timeOr(cal.value(QStringLiteral("at"))));
        addField(tr("Calibrator charge"),
                 tr("%1 on range %2")
                     .arg(numberOr(cal.value(QStringLiteral("calibratorPc")), tr("pC")),
                          textOr(cal.value(QStringLiteral("range")))));
        addField(tr("Mean raw peak"), numberOr(cal.value(QStringLiteral("meanRawPeakV")), tr("V")));
        QString adjust = numberOr(cal.value(QStringLiteral("adjustPcPerV")), tr("pC/V"));
        if (!cal.value(QStringLiteral("adjustInForce")).toBool(true)) {
            adjust += tr(" (not the Adjust in force: it was changed after the calibration)");
        }
        addField(tr("Calibrated Adjust"), adjust);
        const QJsonValue second = cal.value(QStringLiteral("secondCalibratorPc"));
        addField(tr("Linearity"),
                 second.isDouble()
                     ? tr("%1 at %2")
                           .arg(numberOr(cal.value(QStringLiteral("linearityPercent")), tr("%")),
                                numberOr(second, tr("pC")))
                     : tr("none"));
    }

    void buildAcceptance(const QJsonValue& value) {
        addHeading(tr("Acceptance test"));
        if (!value.isObject()) {
            addText(tr("no acceptance test"), bodyFont_, Qt::black, mm(1));
            return;
        }
        const QJsonObject a = value.toObject();
        addField(tr("Test voltage"), numberOr(a.value(QStringLiteral("testKv")), tr("kV")));
        addField(tr("Hold"), tr("%1, held %2")
                                 .arg(numberOr(a.value(QStringLiteral("holdS")), tr("s")),
                                      numberOr(a.value(QStringLiteral("heldS")), tr("s"))));
        addField(tr("Permissible charge"),
                 numberOr(a.value(QStringLiteral("permissiblePc")), tr("pC")));
        addField(tr("Largest charge in the hold"),
                 numberOr(a.value(QStringLiteral("largestPc")), tr("pC")));
        addField(tr("State"), textOr(a.value(QStringLiteral("state"))));
        const QString warning = a.value(QStringLiteral("backgroundWarning")).toString();
        if (!warning.isEmpty()) {
            addField(tr("Background"), warning, Qt::red);
        }
        const QString verdict = a.value(QStringLiteral("verdict")).toString();
        if (verdict == QLatin1String("PASS")) {
            addText(verdict, verdictFont_, QColor(0, 128, 0), mm(1));
        } else if (verdict == QLatin1String("FAIL")) {
            addText(verdict, verdictFont_, QColor(200, 0, 0), mm(1));
        } else {
            addText(tr("no verdict: the test did not finish"), headingFont_, Qt::darkGray, mm(1));
        }
    }

    void buildQnTables() {
        const int passes = static_cast<int>(c_.qnCounts.size());
        const QString title = c_.qnTitle.isEmpty()
                                  ? tr("Q-N counts, pulses per second")
                                  : tr("Q-N counts, pulses per second: %1").arg(c_.qnTitle);
        if (passes == 0) {
            addHeading(title);
            addField(tr("Q-N passes"), tr("none"));
            return;
        }
        for (int first = 0; first < passes; first += kPassesPerTable) {
            const int count = std::min(kPassesPerTable, passes - first);
            addHeading(passes > kPassesPerTable ? tr("%1 (passes %2 to %3 of %4)")
                                                      .arg(title)
                                                      .arg(first + 1)
                                                      .arg(first + count)
                                                      .arg(passes)
                                                : title);
            addQnTable(first, count);
        }
    }

    // Places the blocks page by page, so that the page count is known before any page is
    // drawn.
    void paginate() {
        pages_.emplace_back();
        qreal y = 0;
        for (std::size_t i = 0; i < blocks_.size(); ++i) {
            qreal needed = blocks_[i].height;
            if (blocks_[i].keepWithNext && i + 1 < blocks_.size()) {
                needed += blocks_[i + 1].height;
            }
            if (y > 0 && y + needed > bodyHeight()) {
                pages_.emplace_back();
                y = 0;
            }
            pages_.back().emplace_back(i, bodyTop() + y);
            y += blocks_[i].height;
        }
    }

    const ReportContent& c_;
    QPdfWriter& writer_;
    const qreal width_;
    const qreal height_;
    const QFont smallFont_ = reportFont(8);
    const QFont bodyFont_ = reportFont(10);
    const QFont captionFont_ = reportFont(9);
    const QFont tableFont_ = reportFont(8.5);
    const QFont tableHeadFont_ = reportFont(8, true);
    const QFont headingFont_ = reportFont(12, true);
    const QFont titleFont_ = reportFont(18, true);
    const QFont verdictFont_ = reportFont(28, true);
    const qreal headerHeight_;
    const qreal footerHeight_;
    std::vector<Block> blocks_;
    std::vector<std::vector<std::pair<std::size_t, qreal>>> pages_;
};

}  // namespace

bool writeReport(const ReportContent& content, const QString& pdfPath, QString* problem) {
    auto fail = [&](const QString& why) {
        if (problem) {
            *problem = QCoreApplication::translate("kr5::Report",
                                                   "The report could not be written to %1: %2")
                           .arg(pdfPath, why);
        }
        return false;
    };
    QString why;
    const auto draw = [&](QIODevice& file) {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setCreator(QStringLiteral("kr5au ") + content.programVersion);
        writer.setTitle(
            QCoreApplication::translate("kr5::Report", "Partial discharge test report"));

        const ReportPages pages(content, writer);
        QPainter painter;
        if (!painter.begin(&writer)) {
            why = QCoreApplication::translate("kr5::Report", "the PDF could not be started");
            return false;
        }
        for (int page = 0; page < pages.pageCount(); ++page) {
            if (page > 0 && !writer.newPage()) {
                painter.end();
                why = QCoreApplication::translate("kr5::Report", "no new page");
                return false;
            }
            pages.drawPage(painter, page);
        }
        if (!painter.end()) {
            why = QCoreApplication::translate("kr5::Report", "the PDF could not be finished");
            return false;
        }
        return true;
    };
    QString fileProblem;
    if (!writeWholeFile(pdfPath, draw, &fileProblem)) {
        return fail(why.isEmpty() ? fileProblem : why);
    }
    return true;
}

}  // namespace kr5
