// The History window in virtual time: following while shown, the zoom, a whole hour, and a
// file without times on rows.
#include "charts/historywindow.h"
#include "charts/chartprobe.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QKeyEvent>
#include <QLineSeries>
#include <QWheelEvent>

namespace kr5 {
namespace {

struct HistoryView : ::testing::Test {
    // n readings 100 ms apart from the clock's time on, one a cycle.
    void feed(int n) {
        for (int i = 0; i < n; ++i) {
            Reading r = test::cycleReading(0, 10.0 + (taken_ % 7), 20.0 + (taken_ % 5), 60.0);
            r.takenAtMs = 100 * static_cast<qint64>(taken_++);
            model.takeReading(r);
        }
    }
    qsizetype shown() const { return window.chargeSeries().count(); }
    QChartView& view() { return *window.findChild<QChartView*>(QStringLiteral("histchart")); }
    void wheel(int notches) {
        const QPointF at = window.chart().plotArea().center();
        QWheelEvent event(at, view().viewport()->mapToGlobal(at.toPoint()), QPoint(),
                          QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(view().viewport(), &event);
    }

    VirtualClock clock{QDateTime(QDate(2026, 1, 5), QTime(9, 0, 0))};
    HistoryModel model{clock};
    HistoryWindow window{model, clock};
    int taken_ = 0;
};

TEST_F(HistoryView, CurvesFollowFromTheClockTimerOnlyWhileShown) {
    feed(10);
    clock.advanceMs(2000);
    EXPECT_EQ(shown(), 0);  // hidden: nothing moved

    window.show();
    EXPECT_EQ(shown(), 10);  // caught up when shown
    feed(5);
    clock.advanceMs(HistoryWindow::refreshMs - 1);
    EXPECT_EQ(shown(), 10);  // no more often than the timer
    clock.advanceMs(1);
    EXPECT_EQ(shown(), 15);
    const QPointF last = window.voltageSeries().at(14);
    EXPECT_EQ(last.y(), 6.0);  // kV
    EXPECT_EQ(window.rateSeries().at(14).y(), model.points()[14].pulseRate);
    EXPECT_EQ(last.x(), model.points()[14].x);

    window.hide();
    feed(5);
    clock.advanceMs(5000);
    EXPECT_EQ(shown(), 15);
    window.show();
    EXPECT_EQ(shown(), 20);
}

TEST_F(HistoryView, AnHourLongTestSpansItsHourAndWholeTestUndoesTheZoom) {
    window.show();
    feed(36000);
    clock.advanceMs(HistoryWindow::refreshMs);
    // The curve holds the lowest and highest of each bucket of the view, not every point:
    // its peaks are the test's.
    EXPECT_EQ(shown(), qsizetype(2 * HistoryWindow::shownBuckets));
    const auto highest = [](const QList<QPointF>& curve) {
        return std::max_element(curve.begin(), curve.end(),
                                [](QPointF a, QPointF b) { return a.y() < b.y(); })
            ->y();
    };
    EXPECT_EQ(highest(window.chargeSeries().points()), 16.0);  // the largest fed
    const double first = model.points().front().x;
    const double last = model.points().back().x;
    EXPECT_EQ(std::pair(window.xMin(), window.xMax()), std::pair(first, last));

    wheel(3);  // zoom in on the middle
    const double zoomedSpan = window.xMax() - window.xMin();
    EXPECT_LT(zoomedSpan, 0.6 * (last - first));
    EXPECT_FALSE(window.following());
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    const double before = window.xMin();
    QApplication::sendEvent(&view(), &left);
    EXPECT_LT(window.xMin(), before);
    EXPECT_NEAR(window.xMax() - window.xMin(), zoomedSpan, 1000);
    // Zoomed in, the curve holds the points of the view, finer than before.
    const QList<QPointF> zoomed = window.chargeSeries().points();
    EXPECT_LE(zoomed.size(), qsizetype(2 * HistoryWindow::shownBuckets));
    EXPECT_GE(zoomed.front().x(), window.xMin() - 1000);
    EXPECT_LE(zoomed.back().x(), window.xMax() + 1000);

    // New points do not move a zoomed view.
    const double zoomedMin = window.xMin();
    feed(100);
    clock.advanceMs(HistoryWindow::refreshMs);
    EXPECT_EQ(window.xMin(), zoomedMin);

    window.findChild<QAction*>(QStringLiteral("histreset"))->trigger();
    EXPECT_TRUE(window.following());
    EXPECT_EQ(window.xMin(), first);
    EXPECT_EQ(window.xMax(), model.points().back().x);
}

TEST_F(HistoryView, AFileWithoutTimesRunsOnRowsWithItsMarkers) {
    window.show();
    feed(30);
    clock.advanceMs(HistoryWindow::refreshMs);
    EXPECT_FALSE(window.onRowAxis());

    model.clear(HistoryModel::Axis::Row);
    for (int row = 1; row <= 50; ++row) {
        model.addRow(row, row * 2.0, 1, 1000);
    }
    model.addRowMarker(QStringLiteral("PAUSE"), 20);
    clock.advanceMs(HistoryWindow::refreshMs);
    EXPECT_TRUE(window.onRowAxis());
    EXPECT_EQ(shown(), 50);
    EXPECT_EQ(window.chargeSeries().at(49), QPointF(50, 100));
    EXPECT_EQ(std::pair(window.xMin(), window.xMax()), std::pair(1.0, 50.0));

    // The marker stands as a line in its colour at its row.
    const QImage picture = view().grab().toImage();
    const QRectF area = window.chart().plotArea();
    const int x = qRound(window.chart().mapToPosition(QPointF(20, 0), &window.chargeSeries()).x());
    int markerPixels = 0;
    for (int y = qCeil(area.top()); y < area.bottom(); ++y) {
        for (int dx = -1; dx <= 1; ++dx) {
            markerPixels += picture.pixelColor(x + dx, y) == QColor(0x80, 0x00, 0x80) ? 1 : 0;
        }
    }
    EXPECT_GT(markerPixels, area.height() / 3);
}

}  // namespace
}  // namespace kr5
