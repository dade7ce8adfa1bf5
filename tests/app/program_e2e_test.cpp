// The real program against kr5sim on pseudo-terminals: cycles, status, its own frame log and
// release on SIGHUP (a closed terminal; SIGTERM and SIGINT take the same way) for both. The traffic
// in between, and a port pulled out and put back, are left to the acquisition and whole-program
// tests, in virtual time; a missing port's exit code is in commandline_exe_test.
#include "programrun.h"

#include <QRegularExpression>

#include <csignal>

namespace kr5 {
namespace {

constexpr int kSilentFromS = 15;  // simulator seconds after which the ZN-4 stops answering

TEST_F(ProgramRun, FindsTheUnitsRunsAndReleasesTheLineOnSighup) {
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

    ::kill(static_cast<pid_t>(program.processId()), SIGHUP);
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
    // As text, so that a failure prints the lines that differ.
    EXPECT_EQ(programFrames.join('\n').toStdString(), log.join('\n').toStdString());
    EXPECT_TRUE(replies.contains(QStringLiteral("9600 < A0vKR-5")))
        << replies.join('\n').toStdString();
    EXPECT_GT(
        replies.filter(QRegularExpression(QStringLiteral("^9600 < A0x[0-9A-F]{6}\\\\r\\\\n$")))
            .size(),
        5);
}

}  // namespace
}  // namespace kr5
