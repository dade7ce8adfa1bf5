// The V-Q window's result table: the detector's tab-separated result text as titles and rows,
// shown whole in the font in use.
#include "charts/resulttable.h"
#include "charts/chartprobe.h"
#include "charts/vqwindow.h"
#include "measure/inception.h"
#include "platform/virtualclock.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

namespace kr5 {
namespace {

const QStringList titles = {"name", "no.", "CSV", "CEV", "date time"};

struct ResultTable : ::testing::Test {
    ResultTable() {
        constants.setQ = 100;
        constants.name = QStringLiteral("Cable joint 3, phase L2, wet 1");
        constants.number = QStringLiteral("12345");
        window.show();
    }

    // The detector's tables of an inception at 11.5 kV and the extinction at 9.85 kV.
    std::pair<QString, QString> inceptionAndExtinction() {
        const auto judge = [this](double rawPeak, double es) {
            return detector.judge(test::cycleReading(0, rawPeak, 60, es));
        };
        judge(10, 100);
        const auto inception = judge(120, 115);
        judge(50, 99);
        const auto extinction = judge(50, 98.5);
        EXPECT_TRUE(inception && extinction);
        return {inception ? inception->table : QString(),
                extinction ? extinction->table : QString()};
    }

    QTableView& table() { return window.resultTable(); }
    // The texts of a row, or of the titles for row -1.
    QStringList row(int r) {
        const QAbstractItemModel& model = *table().model();
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            cells << (r < 0 ? model.headerData(c, Qt::Horizontal) : model.index(r, c).data())
                         .toString();
        }
        return cells;
    }

    InputConstants constants;
    VirtualClock clock{QDateTime(QDate(2026, 12, 24), QTime(23, 58, 7))};
    InceptionDetector detector{constants, clock};
    test::FakeClipboard clipboard;
    test::FakeDialogs dialogs;
    VqWindow window{clipboard, dialogs};
};

TEST_F(ResultTable, EachValueLiesUnderItsTitleAndTheTextIsKeptAsSet) {
    ASSERT_EQ(constants.name.size(), 30);
    const auto [inception, extinction] = inceptionAndExtinction();

    window.setResultText(inception);
    EXPECT_EQ(row(-1), titles);
    ASSERT_EQ(table().model()->rowCount(), 1);
    // The inception's row ends before CEV: those cells stay blank, nothing moves left.
    EXPECT_EQ(row(0), QStringList({constants.name, "12345", "11500", "", ""}));
    EXPECT_EQ(window.resultText(), inception);

    window.setResultText(extinction);
    ASSERT_EQ(table().model()->rowCount(), 1);
    EXPECT_EQ(row(0),
              QStringList({constants.name, "12345", "11500", "9850", "12-24-2026 23:58:07"}));
    EXPECT_EQ(window.resultText(), extinction);

    // The cell of each value is drawn in the column of its title.
    QHeaderView* header = table().horizontalHeader();
    for (int c = 0; c < titles.size(); ++c) {
        const QRect cell = table().visualRect(table().model()->index(0, c));
        EXPECT_EQ(
            std::pair(header->logicalIndexAt(cell.left()), header->logicalIndexAt(cell.right())),
            std::pair(c, c));
    }

    window.setResultText(QString());  // Erase
    EXPECT_EQ(std::pair(table().model()->rowCount(), table().model()->columnCount()),
              std::pair(0, 0));
    EXPECT_TRUE(window.resultText().isEmpty());
}

// A 30-character name and a full row: no column is narrower than its texts, the table
// scrolls sideways to the last one, and its height holds the titles, the row and the bar.
TEST_F(ResultTable, EveryColumnShowsItsTextsWholeAndTheRowFits) {
    window.setResultText(inceptionAndExtinction().second);
    QHeaderView* header = table().horizontalHeader();
    const QFontMetrics cellFont = table().fontMetrics();
    const QFontMetrics titleFont = header->fontMetrics();
    // The margins the item delegate and the header leave on either side of a text.
    const int cellMargin =
        2 * (table().style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &table()) + 1);
    const int titleMargin =
        2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    int widths = 0;
    for (int c = 0; c < titles.size(); ++c) {
        const QString value = row(0)[c];
        SCOPED_TRACE(value.toStdString());
        EXPECT_GE(table().columnWidth(c), cellFont.horizontalAdvance(value) + cellMargin);
        EXPECT_GE(table().columnWidth(c), titleFont.horizontalAdvance(titles[c]) + titleMargin);
        widths += table().columnWidth(c);
    }
    EXPECT_EQ(header->length(), widths);

    QScrollBar* sideways = table().horizontalScrollBar();
    const int viewWidth = table().viewport()->width();
    if (widths > viewWidth) {
        EXPECT_TRUE(sideways->isVisible());
        EXPECT_EQ(sideways->maximum(), widths - viewWidth);
    }
    sideways->setValue(sideways->maximum());
    const QRect last = table().visualRect(table().model()->index(0, 4));
    EXPECT_GE(last.left(), 0);
    EXPECT_LE(last.right(), viewWidth - 1);

    const int bar = sideways->isVisible() ? sideways->height() : 0;
    EXPECT_GE(table().viewport()->height(), table().rowHeight(0));
    EXPECT_GE(table().height(),
              2 * table().frameWidth() + header->height() + table().rowHeight(0) + bar);
}

// A doubtful pair turns its CSV and CEV red with the reason as their tool tip; the text
// stays as the detector set it, and a new text takes the mark away.
TEST_F(ResultTable, ADoubtfulPairIsMarkedWithoutChangingTheText) {
    const auto [inception, extinction] = inceptionAndExtinction();
    window.setResultText(extinction);
    const QStringList cells = row(0);
    const QString doubt = QStringLiteral("CEV above CSV");
    window.setResultDoubt(doubt);
    EXPECT_EQ(row(0), cells);
    QAbstractItemModel& model = *table().model();
    for (int c = 0; c < model.columnCount(); ++c) {
        SCOPED_TRACE(c);
        const bool marked = c == 2 || c == 3;
        EXPECT_EQ(model.index(0, c).data(Qt::ToolTipRole).toString(), marked ? doubt : QString());
        EXPECT_EQ(model.index(0, c).data(Qt::ForegroundRole).value<QColor>(),
                  marked ? QColor(Qt::red) : QColor());
    }
    window.setResultText(inception);
    EXPECT_EQ(model.index(0, 2).data(Qt::ToolTipRole).toString(), QString());
}

// The model alone: LF line ends read as CR LF do, and a row with more fields than titles
// keeps them all.
TEST(ResultTableModel, ReadsLinesAndFieldsWhateverTheirCount) {
    ResultTableModel model;
    model.setTable(QStringLiteral("a\tb\nx\ty\tz\r\n1"));
    EXPECT_EQ(std::pair(model.rowCount(), model.columnCount()), std::pair(2, 3));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("b"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QString());
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("z"));
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("1"));
    EXPECT_EQ(model.index(1, 1).data().toString(), QString());
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

}  // namespace
}  // namespace kr5
