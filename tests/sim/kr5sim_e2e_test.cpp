// The kr5sim program on pseudo-terminals, reached through the program's own serial link on
// the Qt serial port: discovery replies, a reading, closing and reopening the port, a speed
// change and back, and the frame log that records all of it. The bench model itself is
// tested in process, in sim_model_test.
#include "core/timing.h"
#include "link/link.h"
#include "link/wire.h"
#include "platform/qtserialport.h"
#include "support/benchunits.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace kr5 {
namespace {

struct Kr5simRun : ::testing::Test {
    QTemporaryDir dir;
    QProcess sim;
    QString output;  // what the simulator printed; filled while events are handled
    test::RealTimeWait wait;

    void TearDown() override {
        if (sim.state() != QProcess::NotRunning) {
            sim.kill();
            sim.waitForFinished(1000);
        }
    }
};

TEST_F(Kr5simRun, ProgramTalksToTheSimulatorThroughItsOwnLink) {
    ASSERT_TRUE(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("frames.log"));
    QObject::connect(&sim, &QProcess::readyReadStandardOutput,
                     [this] { output += QString::fromLocal8Bit(sim.readAllStandardOutput()); });
    sim.start(QStringLiteral(KR5SIM_PATH),
              {QStringLiteral("--log"), logPath, QStringLiteral("--operator"),
               QStringLiteral("off"), QStringLiteral("--seed"), QStringLiteral("5")});
    ASSERT_TRUE(wait.until(5000, [&] { return output.contains(QLatin1String("READY")); }))
        << output.toStdString() << sim.readAllStandardError().toStdString();
    const auto device =
        QRegularExpression(QStringLiteral("^PORT1=(\\S+)$"), QRegularExpression::MultilineOption)
            .match(output);
    ASSERT_TRUE(device.hasMatch()) << output.toStdString();
    qputenv("KR5AU_PORT1", device.captured(1).toLocal8Bit());

    UnitsOnLine units;
    Timing timing(wait.clock(), wait.pump());
    QtSerialPort port;
    Link link(units, port, wait.clock(), wait.pump(), timing);
    ASSERT_TRUE(link.openPort(1));
    const char* types[] = {"KR", "AU", "ZN", ""};
    for (int i = 0; i < 4; ++i) {
        link.sendToAddress(i, QStringLiteral("v"));
        const Reply ident = link.receiveAny(kIdentLength, kNormalTimeout);
        EXPECT_EQ(unitType(ident.text), QLatin1String(types[i])) << "address " << i;
        EXPECT_EQ(ident.status, i < 3 ? Reply::Status::Whole : Reply::Status::Missing) << i;
    }
    test::defaultBenchUnits(units);
    const auto exchange = [&link](UnitKind unit, const char* command, int len) {
        link.send(unit, QString::fromLatin1(command));
        const Reply reply = link.receive(unit, len, kNormalTimeout);
        EXPECT_TRUE(reply.whole()) << command << ": " << reply.text.toStdString();
        return reply;
    };
    EXPECT_TRUE(detectorFields(exchange(UnitKind::Detector, "x", kMeasureLength)));
    // The simulator survives the port being closed and opened again.
    link.closePort();
    ASSERT_TRUE(link.openPort(1));
    EXPECT_EQ(exchange(UnitKind::Detector, "a3", kAckLength).text, QStringLiteral("A\r\n"));
    // At 19200 baud the units answer only once the port has followed them.
    link.changeSpeed(1);
    const auto fast = detectorFields(exchange(UnitKind::Detector, "x", kMeasureLength));
    EXPECT_EQ(fast ? fast->attRange : -1, 3);  // the setting made before reopening holds
    link.changeSpeed(0);
    EXPECT_TRUE(acFields(exchange(UnitKind::AcUnit, "t", kShortReadLength)));
    link.closePort();

    sim.terminate();
    ASSERT_TRUE(wait.until(3000, [&] { return sim.state() == QProcess::NotRunning; }));
    EXPECT_EQ(std::pair(sim.exitStatus(), sim.exitCode()), std::pair(QProcess::NormalExit, 0));
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList frames;  // "<port> <baud> <address> <command>" without the time
    double lastMs = -1.0;
    for (const QString& line :
         QString::fromLatin1(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList f = line.split(QLatin1Char(' '));
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        EXPECT_GE(f[0].toDouble(), lastMs);  // in time order
        lastMs = f[0].toDouble();
        frames << f.mid(1).join(QLatin1Char(' '));
    }
    EXPECT_EQ(frames,
              (QStringList{
                  "port1 9600 C0 v", "port1 9600 C1 v", "port1 9600 C2 v", "port1 9600 C3 v",
                  "port1 9600 C0 x", "port1 9600 C0 a3", "port1 9600 C0 b4", "port1 9600 C1 b4",
                  "port1 9600 C2 b4", "port1 19200 C0 v", "port1 19200 C0 x", "port1 19200 C0 b3",
                  "port1 19200 C1 b3", "port1 19200 C2 b3", "port1 9600 C0 v", "port1 9600 C1 t"}));
}

}  // namespace
}  // namespace kr5
