// The remote control of the real program against kr5sim, over a real socket: clients that
// send junk or leave mid-command never stop the measuring nor the recording, and the address
// the program listens on is said or ends it. Each command's reply and error is tested in
// virtual time in wholeprogram_remote_test; the server's connection layer in the modes suite.
#include "programrun.h"
#include "support/filebytes.h"

#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>

#include <sys/resource.h>

#include <csignal>

#include <memory>

namespace kr5 {
namespace {

const QByteArray kNoError = "0,\"No error\"";

// The marker lines of a measurement file, in order; what lies between them is the
// recorder's tests'.
QStringList markersOf(const QByteArray& text) {
    static const QRegularExpression marker(
        QStringLiteral(
            "^\"(RECON|PAUSE|RECOFF)\",\"\\d\\d:\\d\\d:\\d\\d\",\"dummy\",\"dummy\",\"dummy\"\r$"),
        QRegularExpression::MultilineOption);
    QStringList tags;
    for (auto m = marker.globalMatch(QString::fromLatin1(text)); m.hasNext();) {
        tags << m.next().captured(1);
    }
    return tags;
}

// A file's last whole line; empty while it cannot be read.
QByteArray lastLine(const QString& path) {
    const QList<QByteArray> lines = test::readBytes(path).split('\n');
    return lines.size() < 2 ? QByteArray() : lines[lines.size() - 2];
}

class RemoteRun : public ProgramRun {
  protected:
    // Starts the simulator and the program listening on a port the system chooses; false
    // when either did not come up.
    bool start() {
        const QString device = startSimulator(dir.filePath(QStringLiteral("frames.log")), {});
        if (device.isEmpty()) {
            return false;
        }
        startProgram(device, {"--status", "--listen", "0"});
        const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        if (!wait.until(15000, [&] { return listening.match(programErr).hasMatch(); })) {
            return false;
        }
        port = listening.match(programErr).captured(1).toUShort();
        return true;
    }

    std::unique_ptr<QTcpSocket> connectClient() {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QStringLiteral("127.0.0.1"), port);
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    }

    QByteArray ask(const QByteArray& line) {
        client->write(line + '\n');
        if (!wait.until(5000, [&] { return client->canReadLine(); })) {
            return "(no reply)";
        }
        return client->readLine().chopped(1);
    }
    // Sends a line that has no reply; the error it left.
    QByteArray errorAfter(const QByteArray& line) {
        client->write(line + '\n');
        return ask("SYST:ERR?");
    }

    // Waits until the program has a valid reading to answer from.
    bool measuring() {
        return wait.until(20000, [&] {
            const QByteArray reply = ask("MEAS:CHAR?");
            client->write("*CLS\n");
            return reply != "9.91E37" && reply != "(no reply)";
        });
    }

    quint16 port = 0;
    std::unique_ptr<QTcpSocket> client;
};

// Clients that change the recording and leave at once, while the change still waits its
// 100 ms, cost neither the program nor the files: the client that stays is answered
// throughout, every file is whole and the program ends as usual. Junk and overlong lines are
// the server's tests' and the commands' walk's.
TEST_F(RemoteRun, ClientsLeavingMidRecordingChangeLeaveProgramAndFilesWhole) {
    ASSERT_TRUE(start()) << simOut.toStdString() << programErr.toStdString();
    client = connectClient();
    ASSERT_TRUE(measuring());
    QStringList files;
    const auto prepare = [&] {
        const QByteArray name = "leaving " + QByteArray::number(files.size());
        files << dir.filePath(QString::fromLatin1(name) + QStringLiteral(".csv"));
        return errorAfter("CONF:NAME \"" + name + "\";:REC:FILE \"" + files.back().toUtf8() + '"');
    };
    ASSERT_EQ(prepare(), kNoError);

    const struct {
        QByteArray lines;
        QByteArray state;  // what REC:STAT? says once the lines are handled
    } rounds[] = {
        {"REC:STAT ON\n", "ON"},
        {"REC:STAT ON\nREC:STAT PAUS\n", "PAUS"},
        {"REC:STAT ON\nREC:STAT CLOS\n", "CLOS"},
    };
    for (int i = 0; i < 20; ++i) {
        const auto& round = rounds[i % 3];
        SCOPED_TRACE("round " + std::to_string(i) + ": " + round.lines.toStdString());
        auto leaving = connectClient();
        leaving->write(round.lines);
        leaving->flush();
        leaving->abort();
        const bool handled = wait.until(10000, [&] {
            return program.state() != QProcess::Running || ask("REC:STAT?") == round.state;
        });
        ASSERT_EQ(program.state(), QProcess::Running)
            << (program.exitStatus() == QProcess::CrashExit ? "crashed, signal " : "ended, code ")
            << program.exitCode() << '\n'
            << programErr.toStdString();
        ASSERT_TRUE(handled);
        if (round.state == "CLOS") {
            // After a recording the close writes RECOFF, waits again and writes PAUSE; the
            // next file is prepared once that PAUSE is in the closed one.
            ASSERT_TRUE(wait.until(10000, [&] {
                return ask("*OPC?") == "1" && lastLine(files.back()).startsWith("\"PAUSE\"");
            }));
            ASSERT_EQ(prepare(), kNoError);
        }
    }

    // A closed terminal ends the program as SIGTERM does: the file open is closed, with its
    // summary.
    ::kill(static_cast<pid_t>(program.processId()), SIGHUP);
    ASSERT_TRUE(wait.until(10000, [&] { return program.state() == QProcess::NotRunning; }));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    ASSERT_EQ(files.size(), 7);
    EXPECT_TRUE(QFileInfo::exists(files.back().chopped(4) + QStringLiteral(".json")));
    for (qsizetype i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].toStdString());
        const QByteArray text = test::readBytes(files[i]);
        EXPECT_TRUE(text.startsWith("\"Name\",\"leaving " + QByteArray::number(i) + '"'));
        EXPECT_TRUE(text.endsWith("\r\n"));  // whole when the program ended
        const QStringList tags = markersOf(text);
        // The last file was paused when the program ended and closed it.
        const QStringList expected = i + 1 < files.size()
                                         ? QStringList{"RECON", "PAUSE", "RECON", "RECOFF", "PAUSE"}
                                         : QStringList{"RECON", "PAUSE", "RECOFF"};
        EXPECT_EQ(tags, expected);
    }
}

// The program's file size limit, set from outside: a disk that fills at that size.
bool limitFileSize(const QProcess& program, rlim_t bytes) {
    const rlimit limit{bytes, RLIM_INFINITY};
    return ::prlimit(static_cast<pid_t>(program.processId()), RLIMIT_FSIZE, &limit, nullptr) == 0;
}

// A full disk during a recording is told to every client once, as REC:STAT? and REC:WAIT?
// say while it lasts; once there is room the waiting rows follow, whole. A file prepared
// on a full disk is refused with the reason and leaves nothing behind.
TEST_F(RemoteRun, AFullDiskIsToldToEveryClientAndTheRowsWaitWhole) {
    ASSERT_TRUE(start()) << simOut.toStdString() << programErr.toStdString();
    client = connectClient();
    ASSERT_TRUE(measuring());
    auto other = connectClient();
    const QString path = dir.filePath(QStringLiteral("full.csv"));
    const auto rowsInFile = [&path] {
        static const QRegularExpression row(
            QStringLiteral("^ ?\\d+,[\\d.]+, ?\\d+,[\\d.]+,[\\d.]+\r$"));
        qsizetype rows = 0;
        for (const QByteArray& line : test::readBytes(path).split('\n')) {
            rows += row.match(QString::fromLatin1(line)).hasMatch() ? 1 : 0;
        }
        return rows;
    };
    ASSERT_EQ(errorAfter("CONF:NAME \"full\";:REC:FILE \"" + path.toUtf8() + "\";:REC:STAT ON"),
              kNoError);
    ASSERT_TRUE(wait.until(10000, [&] { return ask("REC:COUN?").toInt() > 5; }));

    ASSERT_TRUE(limitFileSize(program, static_cast<rlim_t>(QFileInfo(path).size())));
    ASSERT_TRUE(wait.until(10000, [&] { return ask("REC:STAT?") == "ON,WAIT"; }));
    EXPECT_GT(ask("REC:WAIT?").toInt(), 0);
    EXPECT_EQ(ask("REC:COUN?").toInt(), rowsInFile());  // the rows on the disk only
    const QByteArray told = ask("SYST:ERR?");
    EXPECT_TRUE(told.startsWith("-200,\"Execution error; ")) << told.toStdString();
    EXPECT_EQ(ask("SYST:ERR?"), kNoError);  // once for the whole trouble
    other->write("SYST:ERR?\n");
    ASSERT_TRUE(wait.until(5000, [&] { return other->canReadLine(); }));
    EXPECT_EQ(other->readLine().chopped(1), told);

    ASSERT_TRUE(limitFileSize(program, RLIM_INFINITY));
    ASSERT_TRUE(wait.until(10000, [&] { return ask("REC:STAT?") == "ON"; }));
    EXPECT_EQ(ask("REC:WAIT?"), "0");
    ASSERT_EQ(errorAfter("REC:STAT CLOS"), kNoError);
    ASSERT_TRUE(wait.until(10000, [&] { return lastLine(path).startsWith("\"PAUSE\""); }));
    EXPECT_EQ(ask("REC:COUN?").toInt(), rowsInFile());

    ASSERT_TRUE(limitFileSize(program, 0));
    const QString refused = dir.filePath(QStringLiteral("refused.csv"));
    const QByteArray error = errorAfter("REC:FILE \"" + refused.toUtf8() + '"');
    ASSERT_TRUE(limitFileSize(program, RLIM_INFINITY));
    EXPECT_TRUE(error.startsWith("-200,\"Execution error; ")) << error.toStdString();
    EXPECT_EQ(ask("REC:STAT?"), "CLOS");
    EXPECT_FALSE(QFileInfo::exists(refused));

    program.terminate();
    ASSERT_TRUE(wait.until(10000, [&] { return program.state() == QProcess::NotRunning; }));
    const QList<QByteArray> lines = test::readBytes(path).split('\n');
    EXPECT_TRUE(lines.back().isEmpty());  // ends with a whole line
    EXPECT_GT(rowsInFile(), 5);
    EXPECT_EQ(markersOf(lines.join('\n')), (QStringList{"RECON", "RECOFF", "PAUSE"}));
}

// A network address is said on standard error before anything else happens; a port that
// cannot be listened on ends the program before it opens a serial port.
TEST_F(RemoteRun, ANetworkAddressIsSaidAndABusyPortEndsTheProgram) {
    const QString missing = dir.filePath(QStringLiteral("no-such-port"));
    startProgram(missing, {"--status", "--listen", "0.0.0.0:0"});
    ASSERT_TRUE(wait.until(20000, [&] { return program.state() == QProcess::NotRunning; }));
    EXPECT_TRUE(programErr.contains(QLatin1String("remote control listening on 0.0.0.0:")));
    EXPECT_TRUE(programErr.contains(QLatin1String("can be reached from the network")));
    constexpr int kNoDevice = 2;
    EXPECT_EQ(program.exitCode(), kNoDevice) << programErr.toStdString();

    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
    programErr.clear();
    startProgram(missing, {"--status", "--listen", QString::number(holder.serverPort())});
    ASSERT_TRUE(wait.until(20000, [&] { return program.state() == QProcess::NotRunning; }));
    constexpr int kNoListen = 9;
    EXPECT_EQ(program.exitCode(), kNoListen) << programErr.toStdString();
    EXPECT_TRUE(programErr.contains(QLatin1String("remote control: Cannot listen on 127.0.0.1")))
        << programErr.toStdString();
    EXPECT_FALSE(programErr.contains(QLatin1String("Can not find KR-5")));
}

}  // namespace
}  // namespace kr5
