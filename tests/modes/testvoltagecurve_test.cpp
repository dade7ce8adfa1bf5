// The test voltage over a test for the report: the rows of a recorded test placed in time by
// its markers, and the live History's readings from the file's start on.
#include "modes/testvoltagecurve.h"
#include "support/readings.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kr5 {
namespace {

RecordedTest withRows(int rows) {
    RecordedTest test;
    for (int i = 0; i < rows; ++i) {
        RecordedRow row;
        row.testVoltageV = 1000.0 * i;
        test.rows.push_back(row);
    }
    return test;
}

void mark(RecordedTest& test, const char* tag, const char* time, int rowsBefore) {
    RecordedMarker m;
    m.tag = QLatin1String(tag);
    m.time = QLatin1String(time);
    m.rowsBefore = rowsBefore;
    test.markers.push_back(m);
}

// Ten rows in ten seconds, a pause of 50 s, five rows in five seconds over midnight, and two
// rows after the last marker at the pace of the others.
TEST(TestVoltageCurve, RowsTakeTheirTimesFromTheMarkersAround) {
    RecordedTest test = withRows(17);
    mark(test, "RECON", "23:58:50", 0);
    mark(test, "PAUSE", "23:59:00", 10);
    mark(test, "RECON", "23:59:50", 10);
    mark(test, "QNstartD", "23:59:55", 15);
    const VoltageCurve curve = voltageCurveOf(test);
    ASSERT_FALSE(curve.byRow);
    ASSERT_EQ(curve.points.size(), 17u);
    for (const auto& [row, seconds] : {std::pair(0, 0.0), std::pair(5, 5.0), std::pair(10, 60.0),
                                       std::pair(14, 64.0), std::pair(16, 66.0)}) {
        EXPECT_DOUBLE_EQ(curve.points[std::size_t(row)].x(), seconds) << row;
        EXPECT_DOUBLE_EQ(curve.points[std::size_t(row)].y(), row * 1.0) << row;
    }
    // Without markers to give a pace the rows are drawn by their number.
    RecordedTest unmarked = withRows(3);
    mark(unmarked, "RECON", "10:00:00", 0);
    const VoltageCurve byRow = voltageCurveOf(unmarked);
    EXPECT_TRUE(byRow.byRow);
    EXPECT_EQ(byRow.points.back(), QPointF(3, 2));
}

TEST(TestVoltageCurve, TheLiveTestIsTheHistoryFromTheFilesStart) {
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0, 0));
    QDateTime now = start.addSecs(-30);
    HistoryModel history([&now] { return now; });
    for (int i = 0; i < 4; ++i) {
        history.takeReading(test::cycleReading(0, 1.0, 1.0, 10.0 * i));  // i kV
        now = now.addSecs(20);
    }
    const VoltageCurve curve = voltageCurveOf(history, start);
    EXPECT_FALSE(curve.byRow);
    EXPECT_EQ(curve.points, (std::vector<QPointF>{{0, 2}, {20, 3}}));
}

// A file of a million rows is drawn from a few thousand points, its one spike among them.
TEST(TestVoltageCurve, AMillionRowsKeepTheirEndsAndPeakInAFewThousandPoints) {
    RecordedTest test = withRows(1'000'000);
    test.rows[654'321].testVoltageV = 5e9;
    const VoltageCurve curve = voltageCurveOf(test);
    EXPECT_LT(curve.points.size(), 10'000u);
    EXPECT_EQ(curve.points.front(), QPointF(1, 0));
    EXPECT_EQ(curve.points.back(), QPointF(1'000'000, 999'999));
    EXPECT_TRUE(std::count(curve.points.begin(), curve.points.end(), QPointF(654'322, 5e6)));
}

}  // namespace
}  // namespace kr5
