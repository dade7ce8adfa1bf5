// The whole program when the port goes away and comes back: the loss shown in the status
// bar, nothing recorded meanwhile, a Q-N measurement ended as if stopped, the units found
// and told everything again, the recording going on. The loop's side of it is in the
// measure tests.
#include "wholeprogram.h"

namespace kr5::test {
namespace {

TEST_F(WholeProgram, APulledPortIsShownAndTheRecordingGoesOnWhenItIsBack) {
    scenario.pulls = {sim::PortPull{1, 10.0, 14.0, false}};
    QString measurement;
    QString statusWhileGone;
    bool staleWhileGone = false;
    qsizetype rowsWhenLost = 0;
    at(4000, "record and count", [&] {
        measurement = record(QStringLiteral("pulled"));
        startQn(6);
    });
    at(10400, "gone", [&] {
        rowsWhenLost = body(readLines(measurement)).rows.size();
        const auto* label = program->mainWindow().findChild<QLabel*>(QStringLiteral("portStatus"));
        statusWhileGone = label && !label->isHidden() ? label->text() : QString();
        staleWhileGone = program->panel().readouts().detectorStale;
        EXPECT_FALSE(program->qnRunning());  // ended as if stopped
    });
    at(13800, "still gone",
       [&] { EXPECT_EQ(body(readLines(measurement)).rows.size(), rowsWhenLost); });
    at(17000, "exit", [&] { menu("cend")->trigger(); });
    runProgram();

    EXPECT_EQ(statusWhileGone, QStringLiteral("Port 1 (sim:port1) lost, reconnecting"));
    EXPECT_TRUE(staleWhileGone);
    const auto* label = program->mainWindow().findChild<QLabel*>(QStringLiteral("portStatus"));
    EXPECT_TRUE(label == nullptr || label->isHidden());
    const QStringList lines = readLines(measurement);
    const Body b = body(lines);
    EXPECT_EQ(b.markers, (QStringList{"RECON", "QNstartD", "QNend", "RECOFF", "PAUSE"}));
    // Rows again after the return, each one true.
    EXPECT_GT(b.rows.size(), rowsWhenLost + 10);
    expectRowsTrue(b.rows, rowsFromTheLine(InputConstants{}));
}

}  // namespace
}  // namespace kr5::test
