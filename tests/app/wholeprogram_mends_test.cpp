// The whole program where it once showed or recorded something false, or changed what it
// should have left alone: a silent, late or noisy unit on the line, File > Save with a name
// typed but not confirmed, the V-Q window's Save during a recording, the trend window
// shown again, and the charts cleared during a Q-N measurement. The tour itself is in
// wholeprogram_test.
#include "wholeprogram.h"

#include <QImage>
#include <algorithm>

#include "charts/wavewindow.h"

namespace kr5::test {
namespace {

// A steady discharge at 10 kV: automatic ranging settles at 1/100 and x5 and stays.
void steadyDischarge(sim::Scenario& s) {
    s.profile = sim::ProfileConfig{10.0, 10.0, 0.0, 1000.0, 0.0, 0.0, false};
    s.object.chargePc = 200.0;
    s.object.shape = 20.0;
    s.object.ratePps = 300.0;
    s.object.rateExponent = 0.0;
}

// Range commands to the detector among the frames sent between two moments.
QStringList rangeCommandsBetween(const std::vector<sim::FrameRecord>& log, double fromMs,
                                 double toMs) {
    QStringList out;
    for (const auto& f : log) {
        const double ms = f.atUs / 1000.0;
        const QString command = QString::fromLatin1(f.command);
        if (ms >= fromMs && ms < toMs && f.address == 0 && command.size() == 2 &&
            (command[0] == QLatin1Char('a') || command[0] == QLatin1Char('r'))) {
            out << command;
        }
    }
    return out;
}

// The detector silent for a second, then the AC unit answering late for four: each is
// shown while it lasts, no range moves, and no row is made up.
TEST_F(WholeProgram, ASilentDetectorOrALateAcUnitIsShownRecordsNothingAndMovesNoRange) {
    steadyDischarge(scenario);
    scenario.faults.push_back(sim::FaultRule{sim::UnitKind::Detector, -1,
                                             sim::FaultConfig{sim::FaultKind::Silent, 14.0, 15.0}});
    scenario.faults.push_back(sim::FaultRule{
        sim::UnitKind::AcUnit, -1, sim::FaultConfig{sim::FaultKind::Late, 20.0, 24.0, 1.0, 300.0}});
    const QString measurement = dir.filePath(QStringLiteral("silent.csv"));
    QString statusDuring;
    QString lateStatus;
    bool staleDuring = false;
    QString chargeEarly;
    at(4000, "name and file", [&] {
        enterConstants(QStringLiteral("silence"), QStringLiteral("1"), 0, "1");
        startRecording(measurement);
    });
    at(14400, "early in the silence", [&] { chargeEarly = program->panel().readouts().charge; });
    at(14800, "during", [&] {
        statusDuring = unitStatusText();
        staleDuring = program->panel().readouts().detectorStale;
        EXPECT_EQ(program->panel().readouts().charge, chargeEarly);  // the last value kept
    });
    at(16800, "the REC ON counter counts the rows written", [&] {
        EXPECT_EQ(
            control<QAbstractButton>(QStringLiteral("KR5AU"), QStringLiteral("Option1"))->text(),
            QStringLiteral(" %1").arg(body(readLines(measurement)).rows.size()));
    });
    at(22000, "the AC unit late", [&] { lateStatus = unitStatusText(); });
    at(27000, "exit", [&] { menu("cend")->trigger(); });
    runProgram();

    EXPECT_TRUE(statusDuring.startsWith(QLatin1String("KR-5: no reply (")))
        << statusDuring.toStdString();
    EXPECT_TRUE(staleDuring);
    // The late answers land in the other units' exchanges too, which then count as no
    // reply: a mix is never taken apart by guessing.
    EXPECT_TRUE(lateStatus.contains(QLatin1String("ACU: no reply ("))) << lateStatus.toStdString();
    EXPECT_EQ(unitStatusText(), QString());  // answering again at the end
    EXPECT_EQ(rangeCommandsBetween(port->frameLog(), 10000, 27000), QStringList{});
    const Body b = body(readLines(measurement));
    const QStringList fromLine = rowsFromTheLine(InputConstants{});
    expectRowsTrue(b.rows, fromLine);
    // About seven cycles of silence and four seconds without a voltage have no rows.
    const qsizetype first = fromLine.indexOf(b.rows.value(0));
    const qsizetype last = fromLine.lastIndexOf(b.rows.value(b.rows.size() - 1));
    EXPECT_GE((last - first + 1) - b.rows.size(), 25);
}

TEST_F(WholeProgram, NoiseOnTheLineNeverBecomesARow) {
    for (const auto unit : {sim::UnitKind::Detector, sim::UnitKind::AcUnit}) {
        scenario.faults.push_back(sim::FaultRule{
            unit, -1, sim::FaultConfig{sim::FaultKind::Noise, 3.0, 1e9, 0.15, 0, -1, 2, 0, 1}});
    }
    const QString measurement = dir.filePath(QStringLiteral("noise.csv"));
    at(4000, "file", [&] {
        enterConstants(QStringLiteral("noise"), QStringLiteral("1"), 0, "1");
        startRecording(measurement);
    });
    at(30000, "exit", [&] { menu("cend")->trigger(); });
    runProgram();
    const QStringList rows = body(readLines(measurement)).rows;
    EXPECT_GT(rows.size(), 150);
    expectRowsTrue(rows, rowsFromTheLine(InputConstants{}));
}

// File > Save takes the name OK stored: one typed into the field but not confirmed does
// not count, so the header can never carry another name than the one checked. The V-Q
// window's Save during the recording then writes its result file and changes nothing
// else: the rows go on into the measurement file, and the caption still names it.
TEST_F(WholeProgram, FileSaveChecksTheNameOkStoredAndSavingTheResultLeavesTheRecordingAlone) {
    const QString measurement = dir.filePath(QStringLiteral("named.csv"));
    const QString result = dir.filePath(QStringLiteral("result.csv"));
    qsizetype linesAtSave = 0;
    QString captionAtSave;
    at(4000, "typed, not confirmed", [&] {
        menu("kouseiin")->trigger();
        type(QStringLiteral("kousei"), QStringLiteral("Text1"), QStringLiteral("No Name"));
        window(QStringLiteral("kousei"))->hide();
        dialogs.savePaths.push_back(measurement);
        menu("csave")->trigger();
    });
    at(4600, "confirmed, then REC ON", [&] {
        EXPECT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown.back().text, QStringLiteral("Can not Save under no name."));
        EXPECT_TRUE(dialogs.saveRequests.empty());
        EXPECT_TRUE(window(QStringLiteral("kousei"))->isVisible());
        EXPECT_FALSE(QFile::exists(measurement));
        click(QStringLiteral("kousei"), QStringLiteral("Command1"));
        menu("csave")->trigger();
        click(QStringLiteral("KR5AU"), QStringLiteral("Option1"));
    });
    at(8000, "save the result", [&] {
        captionAtSave = program->mainWindow().windowTitle();
        linesAtSave = readLines(measurement).size();
        dialogs.savePaths.push_back(result);
        trigger(QStringLiteral("VQ"), QStringLiteral("sdata"));
    });
    at(12000, "exit", [&] { menu("cend")->trigger(); });
    runProgram();

    const QStringList lines = readLines(measurement);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral("\"Name\",\"No Name\",\"dummy\",\"dummy\",\"dummy\""));
    EXPECT_EQ(captionAtSave, QStringLiteral("KR-5(1)>") + QDir::toNativeSeparators(measurement));
    EXPECT_EQ(program->mainWindow().windowTitle(), captionAtSave);
    const QStringList saved = readLines(result);
    ASSERT_EQ(saved.size(), 2);
    EXPECT_TRUE(saved[1].startsWith(QLatin1String("\"No Name\",1,"))) << saved[1].toStdString();
    EXPECT_GT(lines.size(), linesAtSave + 15);  // four more seconds of rows
}

// The trend window shown again from the Window menu keeps its curves, and the curves
// drawn while it was hidden.
TEST_F(WholeProgram, TheTrendWindowShownAgainKeepsItsCurves) {
    QImage beforeHiding;
    at(6000, "hide", [&] {
        beforeHiding = static_cast<WaveWindow*>(window(QStringLiteral("wave")))->surface().image();
        menu("dwave")->trigger();
        EXPECT_FALSE(window(QStringLiteral("wave"))->isVisible());
        EXPECT_FALSE(menu("dwave")->isChecked());
    });
    at(8000, "show again", [&] {
        menu("dwave")->trigger();
        EXPECT_TRUE(window(QStringLiteral("wave"))->isVisible());
        EXPECT_TRUE(menu("dwave")->isChecked());
    });
    at(8400, "exit", [&] { menu("cend")->trigger(); });
    runProgram();
    const QImage shown =
        static_cast<WaveWindow*>(window(QStringLiteral("wave")))->surface().image();
    // The columns drawn before hiding are as they were; more were drawn since.
    int drawn = 0;
    int kept = 0;
    int added = 0;
    for (int x = 71; x < 580; ++x) {
        for (int y = 8; y < 296; ++y) {
            const bool before = beforeHiding.pixel(x, y) != beforeHiding.pixel(75, 20);
            const bool after = shown.pixel(x, y) != shown.pixel(75, 20);
            drawn += before ? 1 : 0;
            kept += before && after ? 1 : 0;
            added += !before && after ? 1 : 0;
        }
    }
    EXPECT_GT(drawn, 100);
    EXPECT_EQ(kept, drawn);
    EXPECT_GT(added, 50);
}

// Erase, the constants' OK and TV Multi's Set clear the charts during a Q-N measurement;
// the measurement still takes exactly its passes, and a Non Stop block its 31.
TEST_F(WholeProgram, ClearingTheChartsDuringAQnMeasurementKeepsItsPassCount) {
    const QString measurement = dir.filePath(QStringLiteral("qn.csv"));
    const auto eraseAndRescale = [&](const QString& tvButton) {
        trigger(QStringLiteral("VQ"), QStringLiteral("verase"));
        trigger(QStringLiteral("wave"), QStringLiteral("wclear"));
        options(2, {tvButton});  // TV Multi
    };
    qint64 firstEnded = 0;
    at(4000, "five passes", [&] {
        enterConstants(QStringLiteral("qn"), QStringLiteral("1"), 0, "1");
        options(4, {QStringLiteral("Option4(0)"), QStringLiteral("Option5(0)")});  // 100 ms, 5
        menu("mesqn")->trigger();
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
            startRecording(measurement);
            options(4, {QStringLiteral("Option5(6)")});
            menu("mesqn")->trigger();
        });
    for (const qint64 ms : {25000, 45000}) {
        at(ms, "clear in the block", [&] { eraseAndRescale(QStringLiteral("Option2(0)")); });
    }
    step(
        "block changed",
        [&] { return readLines(measurement).filter(QStringLiteral("\"QNend\"")).size() >= 1; },
        [&] { menu("mesqn")->trigger(); });
    step(
        "exit", [&] { return !program->qnRunning(); }, [&] { menu("cend")->trigger(); });
    runProgram();

    // Five passes of ten gates each before the first measurement ended.
    int gates = 0;
    for (const auto& f : port->frameLog()) {
        gates += f.atUs / 1000.0 < static_cast<double>(firstEnded) && f.command == "c100" ? 1 : 0;
    }
    EXPECT_EQ(gates, 5 * 10);
    // The recorded Non Stop run: a block of 31 passes between its markers.
    const QStringList lines = readLines(measurement).mid(14);
    std::vector<int> rowsPerSpan(1, 0);
    QStringList markers;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('"'))) {
            markers << line.section(QLatin1Char('"'), 1, 1);
            rowsPerSpan.push_back(0);
        } else {
            ++rowsPerSpan.back();
        }
    }
    ASSERT_GE(markers.size(), 3);
    EXPECT_EQ(markers.mid(0, 3), (QStringList{"RECON", "QNstartD", "QNend"}));
    EXPECT_EQ(rowsPerSpan[2], 31 * 10);
}

// Ending during a recorded Q-N measurement writes the same markers in the same order
// whether it comes from File > Exit or from SIGINT or SIGTERM (which ask the program to
// end as requestEnd does): the measurement's end, then the file's close.
class EndingTheProgram : public WholeProgram, public ::testing::WithParamInterface<bool> {};

TEST_P(EndingTheProgram, EndsTheQnMeasurementAndClosesTheFileWithTheirMarkers) {
    const bool bySignal = GetParam();
    const QString measurement = dir.filePath(QStringLiteral("ending.csv"));
    at(4000, "record and count", [&] {
        enterConstants(QStringLiteral("ending"), QStringLiteral("1"), 0, "1");
        startRecording(measurement);
        options(4, {QStringLiteral("Option4(0)")});  // gate 100 ms, Non Stop
        menu("mesqn")->trigger();
    });
    at(9000, "end during a pass", [&] {
        if (bySignal) {
            program->requestEnd();
        } else {
            menu("cend")->trigger();
        }
    });
    runProgram();
    const QStringList lines = readLines(measurement);
    EXPECT_EQ(body(lines).markers, (QStringList{"RECON", "QNstartD", "QNend", "RECOFF", "PAUSE"}));
    // The pass under way was completed first: whole passes of ten steps.
    const auto lineOf = [&lines](const char* tag) {
        const QString head = QLatin1Char('"') + QLatin1String(tag) + QLatin1Char('"');
        return std::find_if(lines.begin(), lines.end(),
                            [&](const QString& l) { return l.startsWith(head); }) -
               lines.begin();
    };
    const qsizetype start = lineOf("QNstartD");
    const qsizetype end = lineOf("QNend");
    ASSERT_GT(end, start);
    EXPECT_GT(end - start - 1, 0);
    EXPECT_EQ((end - start - 1) % 10, 0);
}

INSTANTIATE_TEST_SUITE_P(ExitOrSignal, EndingTheProgram, ::testing::Bool());

// The trend window's Save picture left open for 10 s while the test is recorded: the
// measurement goes on behind the dialog, every cycle of that time is taken and recorded,
// no gap opens between two readings, and the answer that comes at the end is carried out.
// The detector's readings on the line between fromMs and toMs: how many, and the longest
// gap between two.
struct Cycles {
    int readings = 0;
    double longestGapMs = 0.0;
};

Cycles cyclesBetween(const sim::SimPort& port, qint64 fromMs, qint64 toMs) {
    Cycles c;
    double previousMs = -1.0;
    for (const auto& f : port.frameLog()) {
        const double ms = f.atUs / 1000.0;
        if (QString::fromLatin1(f.command) != QLatin1String("x") || ms < double(fromMs) ||
            ms >= double(toMs)) {
            continue;
        }
        ++c.readings;
        if (previousMs >= 0.0) {
            c.longestGapMs = std::max(c.longestGapMs, ms - previousMs);
        }
        previousMs = ms;
    }
    return c;
}

// While the windows are held up (a dialog left open, a display that does not answer), every
// cycle is taken and recorded: the rows on disk grow by one a reading.
void expectEveryCycleRecorded(const Cycles& held, qsizetype rows, int atLeast) {
    EXPECT_GT(held.readings, atLeast);
    // A cycle under way at either end may leave its row on the other side.
    EXPECT_LE(std::abs(rows - held.readings), 1) << rows << " rows for " << held.readings;
    // A range command waits 200 ms after it by design; nothing else may hold up a cycle.
    EXPECT_LE(held.longestGapMs, 300.0);
}

TEST_F(WholeProgram, ADialogLeftOpenOrStalledWindowsHoldUpNoCycleAndNoRow) {
    steadyDischarge(scenario);
    const QString measurement = dir.filePath(QStringLiteral("held.csv"));
    const QString picture = dir.filePath(QStringLiteral("held.png"));
    const auto rowsOnDisk = [&] { return body(readLines(measurement)).rows.size(); };
    qsizetype rows[4] = {};
    qint64 at_[4] = {};
    const auto mark = [&](int i) {
        at_[i] = now();
        rows[i] = rowsOnDisk();
    };
    qsizetype postsHeld = 0;
    at(4000, "name and file", [&] {
        enterConstants(QStringLiteral("held"), QStringLiteral("1"), 0, "1");
        startRecording(measurement);
    });
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
    // The windows' side stops taking anything (a paint that does not return) for 5 s.
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

    expectEveryCycleRecorded(cyclesBetween(*port, at_[0], at_[1]), rows[1] - rows[0], 100);
    expectEveryCycleRecorded(cyclesBetween(*port, at_[2], at_[3]), rows[3] - rows[2], 50);
    EXPECT_GT(postsHeld, 50) << "the windows were held up";
    EXPECT_FALSE(QImage(picture).isNull());
}

}  // namespace
}  // namespace kr5::test
