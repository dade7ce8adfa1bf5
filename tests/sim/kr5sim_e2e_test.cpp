// The kr5sim program on pseudo-terminals through the program's own serial link at 19200 baud,
// its frame log and its clean end on SIGTERM.
#include "core/timing.h"
#include "link/link.h"
#include "platform/qtserialport.h"
#include "support/benchunits.h"
#include "support/filebytes.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace kr5 {
namespace {

TEST(Kr5simRun, AnswersAtAnotherSpeedLogsItAndEndsCleanly) {
    QTemporaryDir dir;
    QProcess sim;
    QString output;  // what the simulator printed; filled while events are handled
    test::RealTimeWait wait;
    const QString logPath = dir.filePath(QStringLiteral("frames.log"));
    QObject::connect(&sim, &QProcess::readyReadStandardOutput,
                     [&] { output += QString::fromLocal8Bit(sim.readAllStandardOutput()); });
    sim.start(QStringLiteral(KR5SIM_PATH),
              QStringList{"--log", logPath, "--operator", "off", "--seed", "5"});
    ASSERT_TRUE(wait.until(5000, [&] { return output.contains(QLatin1String("READY")); }))
        << output.toStdString() << sim.readAllStandardError().toStdString();
    const auto device =
        QRegularExpression(QStringLiteral("^PORT1=(\\S+)$"), QRegularExpression::MultilineOption)
            .match(output);
    ASSERT_TRUE(device.hasMatch()) << output.toStdString();
    qputenv("KR5AU_PORT1", device.captured(1).toLocal8Bit());

    UnitsOnLine units;
    test::defaultBenchUnits(units);
    Timing timing(wait.clock(), wait.pump());
    QtSerialPort port;
    Link link(units, port, wait.clock(), wait.pump(), timing);
    ASSERT_TRUE(link.openPort(1));
    link.changeSpeed(1);  // the units answer only once the port has followed them
    link.send(UnitKind::Detector, QStringLiteral("x"));
    const Reply reading = link.receive(UnitKind::Detector, kMeasureLength, kNormalTimeout);
    EXPECT_TRUE(detectorFields(reading)) << reading.text.toStdString();
    link.changeSpeed(0);
    link.closePort();

    sim.terminate();
    ASSERT_TRUE(wait.until(3000, [&] { return sim.state() == QProcess::NotRunning; }));
    EXPECT_EQ(std::pair(sim.exitStatus(), sim.exitCode()), std::pair(QProcess::NormalExit, 0));
    QStringList frames;  // "<port> <baud> <address> <command>" without the time
    for (const QByteArray& line : test::readBytes(logPath).trimmed().split('\n')) {
        frames << QString::fromLatin1(line).section(QLatin1Char(' '), 1);
    }
    EXPECT_EQ(frames, (QStringList{"port1 9600 C0 b4", "port1 9600 C1 b4", "port1 9600 C2 b4",
                                   "port1 19200 C0 v", "port1 19200 C0 x", "port1 19200 C0 b3",
                                   "port1 19200 C1 b3", "port1 19200 C2 b3", "port1 9600 C0 v"}));
}

}  // namespace
}  // namespace kr5
