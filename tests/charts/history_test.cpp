// The history of a test: complete normal-cycle readings at their time of day, the row axis
// of a file without times, the recording markers, and the thinning beyond the cap.
#include "charts/history.h"
#include "charts/chartprobe.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

using test::cycleReading;

const QDateTime start(QDate(2026, 1, 5), QTime(10, 0, 0));

double msAt(int h, int m, int s) {
    return static_cast<double>(QDateTime(QDate(2026, 1, 5), QTime(h, m, s)).toMSecsSinceEpoch());
}

Reading at(qint64 takenAtMs, double raw, double rate, double es) {
    Reading r = cycleReading(0, raw, rate, es);
    r.takenAtMs = takenAtMs;
    return r;
}

std::vector<double> xs(const HistoryModel& model) {
    std::vector<double> out;
    for (const HistoryPoint& p : model.points()) {
        out.push_back(p.x);
    }
    return out;
}

struct History : ::testing::Test {
    VirtualClock clock{start};
    HistoryModel model{clock};
};

TEST_F(History, CompleteCycleReadingsAtTheirTimeOfDayAndMarkers) {
    clock.advanceMs(5000);
    model.takeReading(at(5000, 12.5, 3, 80));
    model.takeReading(at(5150, 14.0, 4, 81));
    model.takeReading(test::qnStepReading(2, 40));  // a Q-N step is no history
    Reading silent;                                 // nothing answered
    silent.takenAtMs = 5300;
    model.takeReading(silent);

    ASSERT_EQ(xs(model), (std::vector<double>{msAt(10, 0, 5), msAt(10, 0, 5) + 150.0}));
    const HistoryPoint& first = model.points()[0];
    EXPECT_EQ(std::tuple(first.charge, first.pulseRate, first.testVoltage),
              std::tuple(12.5, 3.0, 8000.0));

    clock.advanceMs(1000);
    model.addMarkerNow(QStringLiteral("REC ON"));
    model.addMarker(QStringLiteral("PAUSE"), QDateTime(QDate(2026, 1, 5), QTime(10, 0, 9)));
    ASSERT_EQ(model.markers().size(), 2u);
    EXPECT_EQ(model.markers()[0].tag, QStringLiteral("REC ON"));
    EXPECT_EQ(model.markers()[0].x, msAt(10, 0, 6));
    EXPECT_EQ(model.markers()[1].x, msAt(10, 0, 9));

    const int before = model.generation();
    model.clear();
    EXPECT_TRUE(model.points().empty() && model.markers().empty());
    EXPECT_NE(model.generation(), before);

    // A time function given by the caller decides alone.
    QDateTime now(QDate(2026, 3, 1), QTime(8, 30, 0));
    HistoryModel byFunction([&] { return now; });
    byFunction.takeReading(at(123456, 1, 1, 1));
    ASSERT_EQ(byFunction.points().size(), 1u);
    EXPECT_EQ(byFunction.points()[0].x, now.toMSecsSinceEpoch());
}

TEST_F(History, TheRowAxisTakesRowsButNoLiveReadingsAndBack) {
    model.addRow(1, 2, 3, 4);  // the time axis has no rows
    model.clear(HistoryModel::Axis::Row);
    EXPECT_EQ(model.axis(), HistoryModel::Axis::Row);
    model.takeReading(at(0, 1, 1, 1));
    model.addRow(1, 5.5, 2, 6000);
    model.addRow(2, 6.5, 3, 6100);
    model.addRowMarker(QStringLiteral("PAUSE"), 2);
    model.addMarker(QStringLiteral("REC ON"), start);
    EXPECT_EQ(xs(model), (std::vector<double>{1, 2}));
    EXPECT_EQ(model.markers().size(), 1u);

    model.clear();
    model.addRow(3, 1, 1, 1);
    model.takeReading(at(0, 1, 1, 1));
    EXPECT_EQ(xs(model), std::vector<double>{static_cast<double>(start.toMSecsSinceEpoch())});
}

TEST_F(History, BeyondTheCapTheOldestHalfKeepsEverySecondPoint) {
    model.clear(HistoryModel::Axis::Row);
    model.setCapacity(8);
    for (int row = 0; row < 8; ++row) {
        model.addRow(row, row, 0, 0);
    }
    const int before = model.generation();
    model.addRow(8, 8, 0, 0);
    EXPECT_EQ(xs(model), (std::vector<double>{0, 2, 4, 5, 6, 7, 8}));
    EXPECT_NE(model.generation(), before);

    for (int row = 9; row < 1000; ++row) {
        model.addRow(row, row, 0, 0);
        ASSERT_LE(model.points().size(), 8u);
    }
    const std::vector<double> kept = xs(model);
    EXPECT_EQ(kept.front(), 0.0);
    EXPECT_EQ(kept.back(), 999.0);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    // The latest quarter of the cap is always whole.
    EXPECT_EQ(std::vector<double>(kept.end() - 2, kept.end()), (std::vector<double>{998, 999}));
}

}  // namespace
}  // namespace kr5
