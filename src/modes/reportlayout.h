// The report's pages: a flow of blocks (headings, labelled values, tables, figures, the
// signature lines) laid out on A4 before any page is drawn, so that each page's header can
// give the program's version and its footer "Page N of M". A block never splits across
// pages; a heading moves on with the block after it.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QDateTime>
#include <QFont>
#include <QPagedPaintDevice>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class QPainter;

namespace kr5 {

class ReportLayout {
    Q_DECLARE_TR_FUNCTIONS(ReportLayout)

  public:
    // A table's column: its title, how its cells are aligned, and whether it takes the
    // width the others leave (its text wraps there).
    struct Column {
        QString title;
        Qt::Alignment align = Qt::AlignLeft;
        bool stretch = false;
    };
    // Draws a figure into the rectangle given, in the device's units.
    using Figure = std::function<void(QPainter&, const QRectF&)>;

    // header: what the page header names on the right (the test); printed: the footer's time.
    ReportLayout(QPagedPaintDevice& device, const QString& programVersion, const QString& header,
                 const QDateTime& printed);

    void addTitle(const QString& text);
    void addHeading(const QString& text);
    // A value beside its label; the value wraps.
    void addField(const QString& label, const QString& value, const QColor& colour = Qt::black);
    // A value read character by character (a file's digest), in a fixed-pitch face small
    // enough to keep it on one line.
    void addFixedField(const QString& label, const QString& value);
    void addText(const QString& text, const QColor& colour = Qt::black);
    // A word or two large enough to be read across a room (the verdict).
    void addBanner(const QString& text, const QColor& colour);
    void addTable(const std::vector<Column>& columns, const std::vector<QStringList>& rows);
    // A figure of the page's width (or narrower, so that it is no taller than maxShare of the
    // page) in the proportions of aspect (width / height), with its caption under it.
    void addFigure(double aspect, const Figure& figure, const QString& caption,
                   double maxShare = 0.4);
    // Lines to sign on: one row per role, with the name printed where it is known.
    void addSignatures(const std::vector<std::pair<QString, QString>>& rolesAndNames);

    // Places the blocks page by page, once all are added.
    void paginate();
    int pageCount() const { return static_cast<int>(pages_.size()); }
    void drawPage(QPainter& painter, int page) const;

    // Millimetres in the device's units.
    qreal mm(qreal millimetres) const;

  private:
    struct Block {
        qreal height = 0;
        std::function<void(QPainter&, qreal top)> draw;
        bool keepWithNext = false;
    };

    void add(Block block);
    qreal lineHeight(const QFont& font) const;
    qreal textHeight(const QFont& font, qreal width, const QString& text) const;
    void addField(const QString& label, const QString& value, const QColor& colour,
                  const QFont& valueFont);
    qreal bodyHeight() const;
    void drawHeaderAndFooter(QPainter& p, int page) const;
    std::vector<qreal> columnWidths(const std::vector<Column>& columns,
                                    const std::vector<QStringList>& rows) const;

    QPagedPaintDevice& device_;
    const QString version_;
    const QString header_;
    const QDateTime printed_;
    const qreal width_;
    const qreal height_;
    const QFont smallFont_;
    const QFont fixedFont_;
    const QFont bodyFont_;
    const QFont tableFont_;
    const QFont tableHeadFont_;
    const QFont captionFont_;
    const QFont headingFont_;
    const QFont titleFont_;
    const QFont bannerFont_;
    const qreal headerHeight_;
    std::vector<Block> blocks_;
    // Each page's blocks with their tops.
    std::vector<std::vector<std::pair<std::size_t, qreal>>> pages_;
};

}  // namespace kr5
