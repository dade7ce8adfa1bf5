// The whole program where it once showed or recorded something false, or changed what it
// should have left alone: the charts cleared during a Q-N measurement and the program ended
// during one, and windows held up while recording. The tour is in wholeprogram_test, a
// misbehaving line in wholeprogram_faults_test.
#include "wholeprogram.h"

#include <QImage>
#include <numeric>

namespace kr5::test {
namespace {

// Erase, the constants' OK and TV Multi's Set clear the charts during a Q-N measurement;
// the measurement still takes exactly its passes, and a Non Stop block its 31. The end
// asked for during the next block ends it after the pass under way.
TEST_F(WholeProgram, ClearingTheChartsOrEndingDuringAQnMeasurementKeepsItsPasses) {
    const auto eraseAndRescale = [&](const QString& tvButton) {
        trigger(QStringLiteral("VQ"), QStringLiteral("verase"));
        trigger(QStringLiteral("wave"), QStringLiteral("wclear"));
        options(2, {tvButton});  // TV Multi
    };
    QString measurement;
    qint64 firstEnded = 0;
    at(4000, "five passes", [&] {
        enterConstants(QStringLiteral("qn"));
        startQn(0);
    });
    at(9000, "clear in pass 2", [&] {
        eraseAndRescale(QStringLiteral("Option2(1)"));
        menu("kouseiin")->trigger();
        click(QStringLiteral("kousei"), QStringLiteral("Command1"));  // OK: no file is open
    });
    step(
        "recorded non stop", [&] { return !program->qnRunning() && now() > 10000; },
        [&] {
            firstEnded = now();
            measurement = record(QStringLiteral("qn"));
            startQn(6);
        });
    for (const qint64 ms : {25000, 45000}) {
        at(ms, "clear in the block", [&] { eraseAndRescale(QStringLiteral("Option2(0)")); });
    }
    // SIGINT or SIGTERM ask the program to end as File > Exit does, here in the next block.
    step(
        "block changed, end", [&] { return body(readLines(measurement)).markers.size() >= 3; },
        [&] { program->requestEnd(); });
    runProgram();

    // Five passes of ten gates each before the first measurement ended.
    EXPECT_EQ(std::count_if(port->frameLog().begin(), port->frameLog().end(),
                            [&](const auto& f) {
                                return f.atUs < double(firstEnded) * 1000.0 && f.command == "c100";
                            }),
              5 * 10);
    // The recorded Non Stop run: a block of 31 passes between its markers. Ending during the
    // next completed the pass under way, then wrote the measurement's end and the file's close.
    const Body b = body(readLines(measurement));
    EXPECT_EQ(b.markers,
              (QStringList{"RECON", "QNstartD", "QNend", "QNstartD", "QNend", "RECOFF", "PAUSE"}));
    ASSERT_EQ(b.after.size(), 7);
    EXPECT_EQ(b.after[1].size(), 31 * 10);
    EXPECT_EQ(b.after[3].size(), 10);
}

// The trend window's Save picture left open for 10 s, then the windows' side taking nothing
// (a paint that does not return) for 5 s, while the test is recorded: the measurement goes
// on behind them, every cycle of that time is taken and recorded with no gap between two
// readings, and the answer that comes at the end is carried out.
TEST_F(WholeProgram, ADialogLeftOpenOrStalledWindowsHoldUpNoCycleAndNoRow) {
    steadyDischarge(scenario);
    const QString picture = dir.filePath(QStringLiteral("held.png"));
    QString measurement;
    qsizetype rows[4] = {};
    qint64 times[4] = {};
    const auto mark = [&](int i) {
        times[i] = now();
        rows[i] = body(readLines(measurement)).rows.size();
    };
    qsizetype postsHeld = 0;
    at(4000, "name and file", [&] { measurement = record(QStringLiteral("held")); });
    at(8000, "Save picture, left open", [&] {
        dialogs.holdNext = true;
        trigger(QStringLiteral("wave"), QStringLiteral("savepic"));
        ASSERT_TRUE(dialogs.held);
        mark(0);
    });
    at(18000, "answered after 10 s", [&] {
        mark(1);
        dialogs.answerHeld(picture);
    });
    at(19000, "windows stalled", [&] {
        toWindows.hold();
        mark(2);
    });
    at(24000, "windows back", [&] {
        mark(3);
        postsHeld = toWindows.waiting();
        toWindows.release();
    });
    at(25000, "end", [&] { menu("cend")->trigger(); });
    runProgram();

    // The detector's readings on the line while held: how many, and the longest gap.
    for (const auto& [from, atLeast] : {std::pair(0, 100), std::pair(2, 50)}) {
        SCOPED_TRACE(from);
        std::vector<double> x;
        for (const auto& f : port->frameLog()) {
            if (f.command == "x" && f.atUs >= double(times[from]) * 1000.0 &&
                f.atUs < double(times[from + 1]) * 1000.0) {
                x.push_back(f.atUs / 1000.0);
            }
        }
        const auto readings = static_cast<qsizetype>(x.size());
        ASSERT_GT(readings, atLeast);
        // A cycle under way at either end may leave its row on the other side.
        const qsizetype recorded = rows[from + 1] - rows[from];
        EXPECT_LE(std::abs(recorded - readings), 1) << recorded << " rows for " << readings;
        // A range command waits 200 ms after it by design; nothing else may hold up a cycle.
        std::adjacent_difference(x.begin(), x.end(), x.begin());
        EXPECT_LE(*std::max_element(x.begin() + 1, x.end()), 300.0);
    }
    EXPECT_GT(postsHeld, 50) << "the windows were held up";
    EXPECT_FALSE(QImage(picture).isNull());
}

}  // namespace
}  // namespace kr5::test
