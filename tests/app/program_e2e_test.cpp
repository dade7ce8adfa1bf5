// The real program against kr5sim on pseudo-terminals: cycles, status, its own frame log,
// release on SIGTERM for both, and a pulled port. The traffic in between is left to the acquisition
// and whole-program tests, in virtual time; a missing port's exit code is in
// commandline_exe_test.
#include "programrun.h"

#include <QRegularExpression>

namespace kr5 {
namespace {

constexpr int kSilentFromS = 15;  // simulator seconds after which the ZN-4 stops answering

TEST_F(ProgramRun, FindsTheUnitsRunsAndReleasesTheLineOnSigterm) {
    const QString logPath = dir.filePath(QStringLiteral("frames.log"));
    const QString device =
        startSimulator(logPath, {"--fault", QStringLiteral("ZN silent from=%1").arg(kSilentFromS)});
    ASSERT_FALSE(device.isEmpty()) << simOut.toStdString();
    const QString programLog = dir.filePath(QStringLiteral("program.log"));
    startProgram(device, {"--status", "--log-frames", programLog});

    // Three status lines with a cycle time: the loop runs.
    const QRegularExpression cycling(QStringLiteral("cycle \\d+ ms"));
    ASSERT_TRUE(wait.until(20000, [&] { return programOut.count(cycling) >= 3; }))
        << programOut.toStdString() << programErr.toStdString();
    EXPECT_TRUE(programOut.contains(QLatin1String("port 1 | KR AU ZN |")))
        << programOut.toStdString();
    // The silent unit is named at the end of the line, with its count of misses.
    const QRegularExpression noReply(QStringLiteral("cycle \\d+ ms \\| ZN-4: no reply \\(\\d+\\)$"),
                                     QRegularExpression::MultilineOption);
    EXPECT_FALSE(programOut.contains(noReply)) << programOut.toStdString();
    EXPECT_TRUE(wait.until((kSilentFromS + 15) * 1000, [&] {
        return programOut.contains(noReply);
    })) << programOut.toStdString();

    program.terminate();  // SIGTERM
    ASSERT_TRUE(wait.until(10000, [&] { return program.state() == QProcess::NotRunning; }));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    sim.terminate();  // the simulator too ends cleanly on SIGTERM
    ASSERT_TRUE(wait.until(5000, [&] { return sim.state() == QProcess::NotRunning; }));
    EXPECT_EQ(sim.exitCode(), 0);

    // Remote off on both units, every unit back to 9600 baud, the line resynchronised.
    const QStringList log = frames(logPath);
    EXPECT_EQ(log.mid(log.size() - 6), (QStringList{"9600 C0 m0", "9600 C2 m0", "9600 C0 b3",
                                                    "9600 C1 b3", "9600 C2 b3", "9600 C0 v"}));

    // --log-frames: the program's log holds the frames the simulator logged, in the same
    // order and form, and a reply line after each one answered.
    QStringList programFrames, replies;
    for (const QString& line : frames(programLog)) {
        (line.section(QLatin1Char(' '), 1, 1) == QLatin1String("<") ? replies : programFrames)
            << line;
    }
    EXPECT_EQ(programFrames, log);
    EXPECT_TRUE(replies.contains(QStringLiteral("9600 < A0vKR-5")))
        << replies.join('\n').toStdString();
    EXPECT_GT(
        replies.filter(QRegularExpression(QStringLiteral("^9600 < A0x[0-9A-F]{6}\\\\r\\\\n$")))
            .size(),
        5);
}

// The adapter pulled out for a while, the line at 38400 baud: the status says LOST while
// it is gone, and once the device is back the program opens it again, finds the detector
// at 38400 baud and measures on.
TEST_F(ProgramRun, APulledPortIsReopenedAndTheLoopGoesOn) {
    constexpr int kPullFromS = 6;
    constexpr int kPullToS = 10;
    const QString logPath = dir.filePath(QStringLiteral("frames.log"));
    const QString device =
        startSimulator(logPath, {"--link-dir", dir.path(), "--pull",
                                 QStringLiteral("1 from=%1 to=%2").arg(kPullFromS).arg(kPullToS)});
    ASSERT_EQ(device, dir.filePath(QStringLiteral("port1"))) << simOut.toStdString();
    startProgram(device, {"--status", "--speed", "2"});

    const QRegularExpression lost(QStringLiteral("^port 1 \\| .*\\| LOST$"),
                                  QRegularExpression::MultilineOption);
    ASSERT_TRUE(wait.until((kPullToS + 10) * 1000, [&] { return programOut.contains(lost); }))
        << programOut.toStdString() << programErr.toStdString();
    // Measuring again: status lines with readings after the last LOST.
    const auto measuringAgain = [&] {
        const QString after = programOut.mid(programOut.lastIndexOf(QLatin1String("LOST")));
        return after.count(QRegularExpression(QStringLiteral("\\| KR AU ZN \\|.*cycle \\d+ ms$"),
                                              QRegularExpression::MultilineOption)) >= 3;
    };
    ASSERT_TRUE(wait.until(20000, measuringAgain)) << programOut.toStdString();

    program.terminate();
    ASSERT_TRUE(wait.until(10000, [&] { return program.state() == QProcess::NotRunning; }));
    EXPECT_EQ(program.exitCode(), 0);
    sim.terminate();
    wait.until(5000, [&] { return sim.state() == QProcess::NotRunning; });

    // After the return: the detector asked at the last speed, and readings at 38400 baud.
    const QStringList log = frames(logPath);
    const qsizetype back =
        log.lastIndexOf(QRegularExpression(QStringLiteral("^\\d+ C0 v$")), log.size() - 7);
    ASSERT_GT(back, 0) << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(log[back], QStringLiteral("38400 C0 v"));
    EXPECT_GE(log.mid(back).count(QStringLiteral("38400 C0 x")), 10);
}

}  // namespace
}  // namespace kr5
