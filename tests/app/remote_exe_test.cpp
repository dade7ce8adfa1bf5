// The remote control of the real program against kr5sim, over a real socket: every command
// with its reply and the error it leaves, every error a command can make, and bad input
// (junk, NUL bytes, half and overlong lines, a client leaving mid-command, too many
// clients) that never stops the measuring nor the recording.
#include "programrun.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace kr5 {
namespace {

const QByteArray kNoError = "0,\"No error\"";

// The whole data rows of a measurement file's lines (after its 14 header lines).
int dataRows(const QList<QByteArray>& lines) {
    const QRegularExpression row(QStringLiteral("^ ?\\d,[\\d.]+, ?\\d,[\\d.]+,[\\d.]+\\r$"));
    int rows = 0;
    for (const QByteArray& line : lines.mid(14)) {
        rows += row.match(QString::fromLatin1(line)).hasMatch() ? 1 : 0;
    }
    return rows;
}

// The markers of a measurement file in order, with `fault` telling why the file is not whole:
// every line ends in CR LF, the 14 header lines come first, then data rows only while
// recording and the markers only in an order the recorder writes them, closed at the end.
QStringList markersOf(const QByteArray& text, QString& fault) {
    QStringList lines = QString::fromLatin1(text).split(QStringLiteral("\r\n"));
    if (!text.endsWith("\r\n") || text.count('\n') != text.count("\r\n") || lines.size() < 15) {
        fault = QStringLiteral("a line without CR LF, or a torn header");
        return {};
    }
    lines.removeLast();
    const QRegularExpression row(
        QRegularExpression::anchoredPattern(QStringLiteral(" ?\\d,[\\d.]+, ?\\d,[\\d.]+,[\\d.]+")));
    const QRegularExpression marker(QRegularExpression::anchoredPattern(QStringLiteral(
        "\"(RECON|PAUSE|RECOFF)\",\"\\d\\d:\\d\\d:\\d\\d\",\"dummy\",\"dummy\",\"dummy\"")));
    enum { Paused, On, Closed, ClosedPaused } state = Paused;
    QStringList tags;
    for (qsizetype i = 14; i < lines.size(); ++i) {
        const QString tag = marker.match(lines[i]).captured(1);
        const bool fits = tag == QLatin1String("RECON")   ? state == Paused
                          : tag == QLatin1String("PAUSE") ? state == On || state == Closed
                          : tag == QLatin1String("RECOFF")
                              ? state == Paused || state == On
                              : state == On && row.match(lines[i]).hasMatch();
        if (!fits) {
            fault = QStringLiteral("line %1 out of place: %2").arg(i + 1).arg(lines[i]);
            return tags;
        }
        if (!tag.isEmpty()) {
            tags << tag;
            state = tag == QLatin1String("RECON")    ? On
                    : tag == QLatin1String("RECOFF") ? Closed
                    : state == Closed                ? ClosedPaused
                                                     : Paused;
        }
    }
    if (state != Closed && state != ClosedPaused) {
        fault = QStringLiteral("not closed");
    }
    return tags;
}

// A file's last whole line; empty while it cannot be read.
QByteArray lastLine(const QString& path) {
    QFile file(path);
    const QList<QByteArray> lines =
        file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
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

    QByteArray readLine(QTcpSocket& socket) {
        if (!wait.until(5000, [&] { return socket.canReadLine(); })) {
            return "(no reply)";
        }
        return socket.readLine().chopped(1);
    }

    // Sends a line; its reply when one is expected, then the error it left.
    struct Outcome {
        QByteArray reply;
        QByteArray error;
    };
    Outcome run(const QByteArray& line, bool replies) {
        client->write(line + '\n');
        Outcome outcome;
        if (replies) {
            outcome.reply = readLine(*client);
        }
        client->write("SYST:ERR?\n");
        outcome.error = readLine(*client);
        return outcome;
    }
    QByteArray ask(const QByteArray& line) { return run(line, true).reply; }

    // Waits until the program has a valid reading to answer from.
    bool measuring() {
        return wait.until(20000, [&] {
            client->write("MEAS:CHAR?\n");
            const QByteArray reply = readLine(*client);
            client->write("*CLS\n");
            return reply != "9.91E37" && reply != "(no reply)";
        });
    }

    quint16 port = 0;
    std::unique_ptr<QTcpSocket> client;
};

TEST_F(RemoteRun, EveryCommandAnswersAndLeavesItsError) {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(start()) << simOut.toStdString() << programErr.toStdString();
    client = connectClient();
    ASSERT_TRUE(measuring());

    const QString file = dir.filePath(QStringLiteral("walk.csv"));
    const QByteArray number = "-?\\d+(\\.\\d+)?(e[-+]\\d+)?";
    const struct {
        QByteArray line;
        QByteArray reply;  // a pattern of the whole reply; empty: none is sent
        QByteArray error;  // how the error left begins
    } walk[] = {
        {"*IDN?", "KR5AU,KR-5,KR-5 SIM 0001,\\d+\\.\\d+\\.\\d+", kNoError},
        {"*OPC?", "1", kNoError},
        {"*CLS;*WAI;*OPC", "", kNoError},
        {"MEAS:CHAR?", number, kNoError},
        {"measure:charge?", number, kNoError},
        {"MEAS:RATE?", number, kNoError},
        {"MEAS:VOLT?", number, kNoError},
        {"MEAS:CHAR?;RATE?;VOLT?", number + ';' + number + ';' + number, kNoError},
        {"READ?",
         number + ',' + number + ',' + number + ",\\d,\\d,\"OK\",\"\\d{4}-\\d\\d-\\d\\dT[\\d:.]+\"",
         kNoError},
        {"SENS:ATT 3", "", kNoError},
        {"SENS:ATT?;ATT:AUTO?", "3;0", kNoError},
        {"SENSE:ATTENUATOR AUTO", "", kNoError},
        {"SENS:RATE 2;RATE?;RATE:AUTO?", "2;0", kNoError},
        {"SENS:RATE AUTO;:SENS:ATT:AUTO?;:SENS:RATE:AUTO?", "1;1", kNoError},
        {"CONF:SAMP 100;SAMP?", "100", kNoError},
        {"CONF:SAMP MIN;SAMP?", "0", kNoError},
        {"CONT:REM OFF;REM?", "0", kNoError},
        {"SENS:ATT 2", "", "-221,\"Settings conflict; REMOTE is off\""},
        {"CONT:REM ON;REM?", "1", kNoError},
        {"ZN:FUNC 1;FUNC?", "1", kNoError},
        {"ZN:ATT:A 3;A?", "3", kNoError},
        {"ZN:ATT:B 4;B?", "4", kNoError},
        {"MEAS:BACK?", "9.91E37", "-230,\"Data corrupt or stale; no background measured\""},
        {"VQ:EXT?", "9.91E37|" + number, ""},
        {"VQ:INC?", "9.91E37|" + number, ""},
        {"TEST:VERD?;STAT?", "NONE;\"Acceptance: no test\"", kNoError},
        {"REC:STAT ON", "", "-221,\"Settings conflict; no measurement file: RECord:FILE first\""},
        {"REC:FILE \"" + file.toUtf8() + '"', "", "-221,\"Settings conflict; the test has no name"},
        {"CONF:NAME \"walk\";NAME?", "\"walk\"", kNoError},
        {"REC:FILE \"" + file.toUtf8() + "\";STAT?", "PAUS", kNoError},
        {"REC:FILE?", '"' + file.toUtf8() + '"', kNoError},
        {"REC:STAT ON;STAT?", "ON", kNoError},
        {"QN:STAR;STAT?", "RUN", kNoError},
        {"REC:STAT PAUS", "", "-221,\"Settings conflict; a Q-N measurement is running\""},
        {"QN:STAR", "", "-221,\"Settings conflict; a Q-N measurement is running\""},
        {"QN:STOP;STAT?", "STOPPING", kNoError},
        // The errors of the text itself.
        {"FOO", "", "-113,\"Undefined header\""},
        {"MEAS:FOO?", "", "-113,\"Undefined header\""},
        {"MEASU:CHAR?", "", "-113,\"Undefined header\""},
        {"MEAS:CHAR? 1", "", "-108,\"Parameter not allowed\""},
        {"SENS:ATT", "", "-109,\"Missing parameter\""},
        {"SENS:ATT 10", "", "-222,\"Data out of range; attenuator range 0 to 9 or AUTO\""},
        {"SENS:RATE 1.5", "", "-222,\"Data out of range; rate range 0 to 3 or AUTO\""},
        {"CONF:SAMP 150", "", "-222,\"Data out of range; 0, 100, 200 or 500 ms\""},
        {"CONT:REM MAYBE", "", "-222,\"Data out of range; ON or OFF\""},
        {"ZN:FUNC 4", "", "-222,\"Data out of range; 0 to 3\""},
        {"REC:STAT FOO", "", "-222,\"Data out of range; ON, PAUSe or CLOSe\""},
        {"REC:FILE 5", "", "-104,\"Data type error; the file's path in quotes\""},
        {"CONF:NAME \"unclosed", "", "-102,\"Syntax error\""},
        {QByteArray("MEAS\0:CHAR?", 11), "", "-102,\"Syntax error\""},
        {"\x01\x02\x7f\xff", "", "-102,\"Syntax error\""},
        // A faulty command ends the line: what follows it is not run.
        {"FOO;*OPC?", "", "-113,\"Undefined header\""},
    };
    for (const auto& step : walk) {
        SCOPED_TRACE(step.line.toStdString());
        const Outcome outcome = run(step.line, !step.reply.isEmpty());
        if (!step.reply.isEmpty()) {
            const QRegularExpression whole(QStringLiteral("^(%1)$").arg(QString(step.reply)),
                                           QRegularExpression::CaseInsensitiveOption);
            EXPECT_TRUE(whole.match(QString::fromUtf8(outcome.reply)).hasMatch())
                << outcome.reply.toStdString();
        }
        EXPECT_TRUE(outcome.error.startsWith(step.error)) << outcome.error.toStdString();
    }

    // The pass ends by itself; its counts, then the recording paused and closed.
    ASSERT_TRUE(wait.until(30000, [&] { return ask("QN:STAT?") == "IDLE"; }));
    EXPECT_EQ(run("QN:DATA?", true).reply.split(',').size(), 10);
    EXPECT_EQ(ask("*RST;:REC:STAT?"), "PAUS");
    const QByteArray rows = ask("REC:COUN?");
    EXPECT_EQ(ask("REC:STAT CLOS;STAT?"), "CLOS");
    EXPECT_EQ(ask("REC:COUN?"), rows) << "the closed file's rows";

    program.terminate();
    ASSERT_TRUE(wait.until(10000, [&] { return program.state() == QProcess::NotRunning; }));
    EXPECT_EQ(program.exitCode(), 0);
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_TRUE(lines.front().startsWith("\"Name\",\"walk\""));
    EXPECT_EQ(dataRows(lines), rows.toInt());
}

// While a client sends junk, overlong lines and floods, and another leaves mid-command, a
// well-behaved client is answered and the recording goes on row by row.
TEST_F(RemoteRun, BadClientsAreCutOffWhileTheMeasuringAndRecordingGoOn) {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(start()) << simOut.toStdString() << programErr.toStdString();
    client = connectClient();
    ASSERT_TRUE(measuring());
    const QString file = dir.filePath(QStringLiteral("kept.csv"));
    ASSERT_EQ(run("CONF:NAME \"kept\";:REC:FILE \"" + file.toUtf8() + "\";STAT ON", false).error,
              kNoError);

    auto junk = connectClient();
    junk->write(QByteArray("\x00\x01\x02garbage\xff\xfe\n", 14));
    auto halfway = connectClient();
    halfway->write("MEAS:CH");
    halfway->waitForBytesWritten(1000);
    halfway->abort();
    auto overlong = connectClient();
    overlong->write(QByteArray(5000, 'A'));
    EXPECT_TRUE(
        wait.until(5000, [&] { return overlong->state() != QAbstractSocket::ConnectedState; }));

    // Eight at once is the most: the ninth is told why and closed.
    std::vector<std::unique_ptr<QTcpSocket>> more;
    for (int i = 0; i < 6; ++i) {
        more.push_back(connectClient());
    }
    auto ninth = connectClient();
    EXPECT_EQ(readLine(*ninth), "-200,\"Execution error; too many clients\"");
    EXPECT_TRUE(
        wait.until(5000, [&] { return ninth->state() != QAbstractSocket::ConnectedState; }));

    const int before = ask("REC:COUN?").toInt();
    wait.until(2000, [] { return false; });
    EXPECT_GT(ask("REC:COUN?").toInt(), before) << "the recording went on";
    EXPECT_EQ(run("*IDN?", true).error, kNoError);
    EXPECT_NE(ask("MEAS:CHAR?"), "9.91E37");
    EXPECT_EQ(run("REC:STAT CLOS", false).error, kNoError);

    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_GT(dataRows(csv.readAll().split('\n')), before);
    EXPECT_TRUE(programOut.contains(QLatin1String("cycle"))) << programOut.toStdString();
}

// Clients that change the recording and leave at once, while the change still waits its
// 100 ms, cost neither the program nor the files: the client that stays is answered
// throughout, every file is whole and the program ends as usual.
TEST_F(RemoteRun, ClientsLeavingMidRecordingChangeLeaveProgramAndFilesWhole) {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(start()) << simOut.toStdString() << programErr.toStdString();
    client = connectClient();
    ASSERT_TRUE(measuring());
    QStringList files;
    const auto prepare = [&] {
        const QByteArray name = "leaving " + QByteArray::number(files.size());
        files << dir.filePath(QString::fromLatin1(name) + QStringLiteral(".csv"));
        return run("CONF:NAME \"" + name + "\";:REC:FILE \"" + files.back().toUtf8() + '"', false)
            .error;
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
                client->write("*OPC?\n");
                return readLine(*client) == "1" && lastLine(files.back()).startsWith("\"PAUSE\"");
            }));
            ASSERT_EQ(prepare(), kNoError);
        }
    }
    EXPECT_TRUE(ask("*IDN?").startsWith("KR5AU,KR-5,"));

    program.terminate();
    ASSERT_TRUE(wait.until(10000, [&] { return program.state() == QProcess::NotRunning; }));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    ASSERT_EQ(files.size(), 7);
    for (qsizetype i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].toStdString());
        QFile csv(files[i]);
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        const QByteArray text = csv.readAll();
        EXPECT_TRUE(text.startsWith("\"Name\",\"leaving " + QByteArray::number(i) + '"'));
        QString fault;
        const QStringList tags = markersOf(text, fault);
        EXPECT_TRUE(fault.isEmpty()) << fault.toStdString();
        // The last file was paused when the program ended and closed it.
        const QStringList expected = i + 1 < files.size()
                                         ? QStringList{"RECON", "PAUSE", "RECON", "RECOFF", "PAUSE"}
                                         : QStringList{"RECON", "PAUSE", "RECOFF"};
        EXPECT_EQ(tags, expected);
    }
}

// A network address is said on standard error before anything else happens; a port that
// cannot be listened on ends the program before it opens a serial port.
TEST_F(RemoteRun, ANetworkAddressIsSaidAndABusyPortEndsTheProgram) {
    ASSERT_TRUE(dir.isValid());
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
