// The About box's clock calibration runs beside the start on the real clock, and at once (the
// same every time) on a virtual one.
#include "core/loopcalibration.h"
#include "core/timing.h"
#include "platform/virtualclock.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>

#include <QThread>
#include <optional>

namespace kr5 {
namespace {

TEST(LoopCalibration, OnAVirtualClockTheFigureIsThereAtOnceAndTheSame) {
    const QDateTime start(QDate(2026, 1, 5), QTime(10, 0, 0, 250));
    VirtualClock reference(start);
    reference.setTimeOfDayReadCostUs(400);
    VirtualClock clock(start);
    clock.setTimeOfDayReadCostUs(400);

    std::optional<qint32> figure;
    LoopCalibration calibration;
    calibration.start(clock, [&figure](qint32 f) { figure = f; });
    ASSERT_TRUE(figure.has_value());
    EXPECT_EQ(*figure, calibrateLoop(reference));
    EXPECT_EQ(clock.nowMs(), reference.nowMs());  // the start waited for it, as before
    EXPECT_FALSE(calibration.running());
}

TEST(LoopCalibration, OnTheRealClockItRunsBesideTheStartReportsOnItsThreadOrStopsWithIt) {
    test::RealTimeWait wait;
    std::optional<qint32> figure;
    QThread* reportedOn = nullptr;
    LoopCalibration calibration;
    calibration.start(wait.clock(), [&](qint32 f) {
        figure = f;
        reportedOn = QThread::currentThread();
    });
    // Back at once: the figure takes one to two seconds of reading the clock.
    EXPECT_FALSE(figure.has_value());
    EXPECT_TRUE(calibration.running());

    // At idle priority it may wait for the processor while other programs run.
    ASSERT_TRUE(wait.until(60000, [&] { return figure.has_value(); }));
    EXPECT_GT(*figure, 0);
    EXPECT_EQ(reportedOn, QThread::currentThread());

    // Ending before the figure is known stops it and reports nothing.
    bool reported = false;
    {
        LoopCalibration ended;
        ended.start(wait.clock(), [&reported](qint32) { reported = true; });
        ASSERT_TRUE(ended.running());
    }  // the program ended during discovery
    // Longer than a whole calibration: nothing may arrive from the stopped thread.
    EXPECT_FALSE(wait.until(2500, [&reported] { return reported; }));
}

}  // namespace
}  // namespace kr5
