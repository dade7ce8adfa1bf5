#include "reportlayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <numeric>

namespace kr5 {

namespace {

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

constexpr qreal kLabelMm = 64;  // the labels' column of the fields

QFont fixedFont(qreal points) {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    return font;
}

}  // namespace

ReportLayout::ReportLayout(QPagedPaintDevice& device, const QString& programVersion,
                           const QString& header, const QDateTime& printed)
    : device_(device),
      version_(programVersion),
      header_(header),
      printed_(printed),
      width_(device.width()),
      height_(device.height()),
      smallFont_(reportFont(8)),
      fixedFont_(fixedFont(8)),
      bodyFont_(reportFont(10)),
      tableFont_(reportFont(8.5)),
      tableHeadFont_(reportFont(8, true)),
      captionFont_(reportFont(9)),
      headingFont_(reportFont(12, true)),
      titleFont_(reportFont(18, true)),
      bannerFont_(reportFont(28, true)),
      headerHeight_(lineHeight(smallFont_) + mm(4)) {}

qreal ReportLayout::mm(qreal millimetres) const {
    return millimetres * device_.logicalDpiY() / 25.4;
}

qreal ReportLayout::lineHeight(const QFont& font) const {
    return QFontMetricsF(font, &device_).height();
}

qreal ReportLayout::textHeight(const QFont& font, qreal width, const QString& text) const {
    return QFontMetricsF(font, &device_)
        .boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text)
        .height();
}

// The page less its header and footer, which are as tall as each other.
qreal ReportLayout::bodyHeight() const {
    return height_ - 2 * headerHeight_;
}

void ReportLayout::add(Block block) {
    blocks_.push_back(std::move(block));
}

void ReportLayout::addTitle(const QString& text) {
    const qreal h = textHeight(titleFont_, width_, text);
    add({h + mm(2), [=, font = titleFont_, w = width_](QPainter& p, qreal top) {
             p.setFont(font);
             p.drawText(QRectF(0, top, w, h), Qt::TextWordWrap, text);
         }});
}

void ReportLayout::addHeading(const QString& text) {
    const qreal space = mm(4);
    const qreal h = textHeight(headingFont_, width_, text);
    add({space + h + mm(1),
         [=, font = headingFont_, w = width_](QPainter& p, qreal top) {
             p.setFont(font);
             p.drawText(QRectF(0, top + space, w, h), Qt::TextWordWrap, text);
         },
         true});
}

void ReportLayout::addField(const QString& label, const QString& value, const QColor& colour) {
    addField(label, value, colour, bodyFont_);
}

void ReportLayout::addFixedField(const QString& label, const QString& value) {
    addField(label, value, Qt::black, fixedFont_);
}

void ReportLayout::addField(const QString& label, const QString& value, const QColor& colour,
                            const QFont& valueFont) {
    const qreal labelWidth = mm(kLabelMm);
    const qreal valueWidth = width_ - labelWidth;
    const qreal h = std::max(textHeight(bodyFont_, labelWidth - mm(2), label),
                             textHeight(valueFont, valueWidth, value));
    add({h + mm(0.8), [=, font = bodyFont_](QPainter& p, qreal top) {
             p.setFont(font);
             p.drawText(QRectF(0, top, labelWidth - mm(2), h), Qt::TextWordWrap, label);
             p.setFont(valueFont);
             p.setPen(colour);
             p.drawText(QRectF(labelWidth, top, valueWidth, h),
                        Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, value);
         }});
}

void ReportLayout::addText(const QString& text, const QColor& colour) {
    const qreal h = textHeight(bodyFont_, width_, text);
    add({h + mm(1), [=, font = bodyFont_, w = width_](QPainter& p, qreal top) {
             p.setFont(font);
             p.setPen(colour);
             p.drawText(QRectF(0, top, w, h), Qt::TextWordWrap, text);
         }});
}

void ReportLayout::addBanner(const QString& text, const QColor& colour) {
    const qreal h = textHeight(bannerFont_, width_, text);
    add({h + mm(2), [=, font = bannerFont_, w = width_](QPainter& p, qreal top) {
             p.setFont(font);
             p.setPen(colour);
             p.drawText(QRectF(0, top + mm(1), w, h), Qt::TextWordWrap, text);
         }});
}

// Each column as wide as its widest cell or title; a stretching column takes what is left
// of the page, or is narrowed to it (its text wraps).
std::vector<qreal> ReportLayout::columnWidths(const std::vector<Column>& columns,
                                              const std::vector<QStringList>& rows) const {
    const QFontMetricsF head(tableHeadFont_, &device_);
    const QFontMetricsF body(tableFont_, &device_);
    const qreal pad = mm(1);
    std::vector<qreal> widths;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        qreal w = head.horizontalAdvance(columns[c].title);
        for (const QStringList& row : rows) {
            if (static_cast<qsizetype>(c) < row.size()) {
                w = std::max(w, body.horizontalAdvance(row[static_cast<qsizetype>(c)]));
            }
        }
        // A little more than the text: measured and drawn widths differ by their rounding.
        widths.push_back(w + 2 * pad + mm(0.5));
    }
    const qreal used = std::accumulate(widths.begin(), widths.end(), 0.0);
    const auto stretch =
        std::find_if(columns.begin(), columns.end(), [](const Column& c) { return c.stretch; });
    if (stretch != columns.end()) {
        qreal& w = widths[static_cast<std::size_t>(stretch - columns.begin())];
        w = std::max(mm(15), w + width_ - used);
    }
    return widths;
}

void ReportLayout::addTable(const std::vector<Column>& columns,
                            const std::vector<QStringList>& rows) {
    const std::vector<qreal> widths = columnWidths(columns, rows);
    const qreal pad = mm(1);
    const auto rowHeight = [&](const QStringList& cells, const QFont& font) {
        qreal h = lineHeight(font);
        for (qsizetype c = 0; c < cells.size() && c < qsizetype(widths.size()); ++c) {
            h = std::max(h, textHeight(font, widths[std::size_t(c)] - 2 * pad, cells[c]));
        }
        return h + 2 * pad;
    };
    QStringList titles;
    for (const Column& c : columns) {
        titles << c.title;
    }
    std::vector<qreal> heights{rowHeight(titles, tableHeadFont_)};
    for (const QStringList& row : rows) {
        heights.push_back(rowHeight(row, tableFont_));
    }
    const qreal total = std::accumulate(heights.begin(), heights.end(), 0.0);
    const qreal right = std::accumulate(widths.begin(), widths.end(), 0.0);
    add({mm(1.5) + total + mm(1),
         [=, font = tableFont_, bold = tableHeadFont_](QPainter& p, qreal tableTop) {
             qreal y = tableTop + mm(1.5);
             for (std::size_t r = 0; r < heights.size(); ++r) {
                 const QStringList& cells = r == 0 ? titles : rows[r - 1];
                 p.setFont(r == 0 ? bold : font);
                 qreal x = 0;
                 for (std::size_t c = 0; c < widths.size(); ++c) {
                     const QRectF box(x + pad, y + pad, widths[c] - 2 * pad, heights[r] - 2 * pad);
                     if (qsizetype(c) < cells.size()) {
                         p.drawText(box, columns[c].align | Qt::AlignVCenter | Qt::TextWordWrap,
                                    cells[qsizetype(c)]);
                     }
                     x += widths[c];
                 }
                 y += heights[r];
             }
             p.setPen(QPen(Qt::gray, mm(0.15)));
             y = tableTop + mm(1.5);
             for (std::size_t r = 0; r <= heights.size(); ++r) {
                 p.drawLine(QPointF(0, y), QPointF(right, y));
                 y += r < heights.size() ? heights[r] : 0;
             }
             qreal x = 0;
             for (std::size_t c = 0; c <= widths.size(); ++c) {
                 p.drawLine(QPointF(x, tableTop + mm(1.5)), QPointF(x, y));
                 x += c < widths.size() ? widths[c] : 0;
             }
         }});
}

void ReportLayout::addFigure(double aspect, const Figure& figure, const QString& caption,
                             double maxShare) {
    const qreal captionHeight = textHeight(captionFont_, width_, caption);
    qreal w = width_;
    qreal h = w / aspect;
    if (h > bodyHeight() * maxShare) {
        h = bodyHeight() * maxShare;
        w = h * aspect;
    }
    const qreal left = (width_ - w) / 2;
    const qreal space = mm(3);
    add({space + h + mm(1.5) + captionHeight + mm(1),
         [=, font = captionFont_, full = width_](QPainter& p, qreal top) {
             const QRectF target(left, top + space, w, h);
             p.save();
             figure(p, target);
             p.restore();
             p.setPen(QPen(Qt::gray, mm(0.2)));
             p.drawRect(target);
             p.setFont(font);
             p.setPen(Qt::black);
             p.drawText(QRectF(0, target.bottom() + mm(1.5), full, captionHeight),
                        Qt::AlignHCenter | Qt::TextWordWrap, caption);
         }});
}

void ReportLayout::addSignatures(const std::vector<std::pair<QString, QString>>& rolesAndNames) {
    const qreal row = mm(16);
    const QStringList columns{tr("Name"), tr("Date"), tr("Signature")};
    const qreal roleWidth = mm(32);
    const qreal cell = (width_ - roleWidth) / 3;
    add({row * qreal(rolesAndNames.size()) + mm(2),
         [=, font = bodyFont_, small = smallFont_](QPainter& p, qreal top) {
             for (std::size_t i = 0; i < rolesAndNames.size(); ++i) {
                 const qreal line = top + row * qreal(i + 1) - mm(5);
                 p.setFont(font);
                 p.setPen(Qt::black);
                 p.drawText(QRectF(0, line - mm(6), roleWidth, mm(6)), Qt::AlignBottom,
                            rolesAndNames[i].first);
                 p.drawText(QRectF(roleWidth + mm(1), line - mm(6), cell - mm(3), mm(6)),
                            Qt::AlignBottom, rolesAndNames[i].second);
                 p.setFont(small);
                 for (int c = 0; c < 3; ++c) {
                     const qreal x = roleWidth + c * cell;
                     p.setPen(QPen(Qt::black, mm(0.2)));
                     p.drawLine(QPointF(x + mm(1), line), QPointF(x + cell - mm(3), line));
                     p.drawText(QRectF(x + mm(1), line + mm(0.5), cell - mm(4), mm(4)),
                                Qt::AlignLeft | Qt::AlignTop, columns[c]);
                 }
             }
         }});
}

void ReportLayout::paginate() {
    pages_.assign(1, {});
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
        pages_.back().emplace_back(i, headerHeight_ + y);
        y += blocks_[i].height;
    }
}

void ReportLayout::drawHeaderAndFooter(QPainter& p, int page) const {
    p.save();
    p.setFont(smallFont_);
    p.setPen(Qt::black);
    const qreal line = lineHeight(smallFont_);
    p.drawText(QRectF(0, 0, width_, line), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("kr5au ") + version_);
    p.drawText(QRectF(0, 0, width_, line), Qt::AlignRight | Qt::AlignVCenter, header_);
    p.setPen(QPen(Qt::gray, mm(0.2)));
    p.drawLine(QPointF(0, line + mm(1)), QPointF(width_, line + mm(1)));
    const qreal footerTop = height_ - line;
    p.drawLine(QPointF(0, footerTop - mm(1)), QPointF(width_, footerTop - mm(1)));
    p.setPen(Qt::black);
    p.drawText(QRectF(0, footerTop, width_, line), Qt::AlignLeft | Qt::AlignVCenter,
               tr("Printed %1")
                   .arg(printed_.isValid() ? printed_.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                           : QStringLiteral("—")));
    p.drawText(QRectF(0, footerTop, width_, line), Qt::AlignRight | Qt::AlignVCenter,
               tr("Page %1 of %2").arg(page + 1).arg(pageCount()));
    p.restore();
}

void ReportLayout::drawPage(QPainter& p, int page) const {
    drawHeaderAndFooter(p, page);
    for (const auto& [block, top] : pages_[static_cast<std::size_t>(page)]) {
        p.save();
        p.setPen(Qt::black);
        blocks_[block].draw(p, top);
        p.restore();
    }
}

}  // namespace kr5
