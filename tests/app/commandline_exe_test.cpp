// The built kr5au on its command line, without a display or with its ports pointing nowhere.
// What each option is read into is in commandline_test.cpp.
#include "records/recordlines.h"
#include "support/filebytes.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace kr5 {
namespace {

struct Ended {
    int status = -1;
    QString out, err;
};

// Runs kr5au to its end in env, within a time limit.
Ended runProgram(const QStringList& arguments, const QProcessEnvironment& env,
                 const QString& folder = QString()) {
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder);  // none: this process's own
    program.start(QStringLiteral(KR5AU_PATH), arguments);
    Ended run;
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished(2000);
        run.err = QStringLiteral("<did not end>");
        return run;
    }
    run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.err += QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

// The environment of a machine without any display: not even Qt's platform named.
QProcessEnvironment noDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(QLatin1String(name));
    }
    return env;
}

TEST(CommandLineExe, WithoutADisplayHelpAndVersionPrintAndEndWithZeroABadOptionWithOne) {
    const Ended help = runProgram({QStringLiteral("--help")}, noDisplay());
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    // The text itself is checked in commandline_test.cpp: here, that it is what is printed.
    EXPECT_TRUE(help.out.startsWith(QLatin1String("Usage:")) &&
                help.out.contains(QLatin1String("Exit codes:")))
        << help.out.toStdString();

    const Ended version = runProgram({QStringLiteral("--version")}, noDisplay());
    EXPECT_EQ(version.status, 0) << version.err.toStdString();
    EXPECT_TRUE(version.out.contains(QStringLiteral(KR5AU_VERSION))) << version.out.toStdString();
    EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();

    const Ended ports = runProgram({QStringLiteral("--list-ports")}, noDisplay());
    EXPECT_EQ(ports.status, 0) << ports.err.toStdString();
    EXPECT_FALSE(ports.out.isEmpty());  // the ports, or that there are none

    // A bad option or value ends with 1 and says which on standard error; which ones are bad
    // is commandline_test's.
    const Ended bad = runProgram({QStringLiteral("--speed"), QStringLiteral("7")}, noDisplay());
    EXPECT_EQ(bad.status, 1) << bad.err.toStdString();
    EXPECT_TRUE(bad.out.isEmpty()) << bad.out.toStdString();
    EXPECT_TRUE(bad.err.contains(QLatin1String("speed"))) << bad.err.toStdString();
}

// A measurement file as the program writes it: the header, then the voltage up through
// Set Q (inception at 8 kV), down (extinction at 7 kV) and up again (a second inception
// without its extinction).
QByteArray measurementFile() {
    InputConstants constants;
    constants.name = QStringLiteral("Rod 7");
    constants.setQ = 10.0;
    const QDateTime prepared(QDate(2026, 12, 7), QTime(10, 0));
    QStringList lines = headerLines(constants, UnitsOnLine{}, prepared.date());
    lines << markerLine(QStringLiteral("RECON"), prepared);
    for (const int kv : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 9, 8, 7, 6, 7, 8, 9}) {
        lines << dataRowLine(0, kv >= 8 ? 40.0 : 1.0, 1, 100.0, kv * 1000.0);
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// The user's folders inside dir, so that the results store is the test's own.
QProcessEnvironment ownFolders(const QTemporaryDir& dir) {
    QProcessEnvironment env = noDisplay();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    return env;
}

// --report draws the test from its file, without a display or a port, writes the PDF and
// stores the test with it; a file that is not a measurement file ends with 8 and says where
// it went wrong.
TEST(CommandLineExe, ReportWritesThePdfOfAMeasurementFileWithoutADisplay) {
    QTemporaryDir dir;
    const QProcessEnvironment env = ownFolders(dir);
    const QString csv = dir.filePath(QStringLiteral("rod.csv"));
    ASSERT_TRUE(test::writeBytes(csv, measurementFile()));
    const QString pdf = dir.filePath(QStringLiteral("rod-report.pdf"));
    // A summary that is a FIFO would wait for ever: the report does without it.
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("rod.json"))).constData(), 0600), 0);
    // The test stored with its report; reported again, it names the newer report.
    for (const QString& report : {dir.filePath(QStringLiteral("old.pdf")), pdf}) {
        const Ended run =
            runProgram({QStringLiteral("--report"), csv, QStringLiteral("-o"), report}, env);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const Ended stored = runProgram(
            {QStringLiteral("--results"), QStringLiteral("--format"), QStringLiteral("json")}, env);
        const QJsonArray tests = QJsonDocument::fromJson(stored.out.toUtf8()).array();
        ASSERT_EQ(tests.size(), 1) << stored.out.toStdString();
        EXPECT_EQ(tests[0].toObject()[QStringLiteral("report_path")].toString(), report);
    }
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000)) << "pdftotext (poppler-utils) is needed";
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(words.contains(QStringLiteral("Rod 7"))) << words.toStdString();
    // Every pair the rows give; the last inception awaits its extinction.
    const QString simplified = words.simplified();
    EXPECT_TRUE(simplified.contains(QStringLiteral("1 8.00 kV 7.00 kV 10.0 pC")) &&
                simplified.contains(QStringLiteral("2 8.00 kV — 10.0 pC")))
        << words.toStdString();

    const QString junk = dir.filePath(QStringLiteral("junk.csv"));
    ASSERT_TRUE(test::writeBytes(junk, QByteArray("\177ELF\2\1\1\0\0\0junk\r\nmore\r\n", 20)));
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    const Ended refused =
        runProgram({QStringLiteral("--report"), junk, QStringLiteral("-o"), none}, env);
    EXPECT_EQ(refused.status, 8);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Line 1: expected")))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(none));
}

// A frame log that cannot be written stops the program before it starts; the port options
// win over the environment.
TEST(CommandLineExe, AnUnwritableFrameLogStopsTheProgramAndThePortOptionsWinOverTheEnvironment) {
    // On a machine with an offscreen display, the ports pointing nowhere.
    QTemporaryDir dir;
    const QString envPort2 = dir.filePath(QStringLiteral("env-port2"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KR5AU_PORT1"), dir.filePath(QStringLiteral("env-port1")));
    env.insert(QStringLiteral("KR5AU_PORT2"), envPort2);
    const QString log = dir.filePath(QStringLiteral("no-folder/frames.log"));
    const Ended badLog =
        runProgram({QStringLiteral("--status"), QStringLiteral("--log-frames"), log}, env);
    // 1, not the 2 of the missing port: the port was never tried.
    EXPECT_EQ(badLog.status, 1) << badLog.err.toStdString();
    EXPECT_TRUE(badLog.err.contains(log)) << badLog.err.toStdString();
    EXPECT_FALSE(badLog.err.contains(QLatin1String("Can not find KR-5")))
        << badLog.err.toStdString();

    const QString port1 = dir.filePath(QStringLiteral("option-port1"));
    const Ended run =
        runProgram({QStringLiteral("--status"), QStringLiteral("--port1"), port1}, env, dir.path());
    EXPECT_EQ(run.status, 2) << run.err.toStdString();  // no such device
    EXPECT_TRUE(run.err.contains(QStringLiteral("Port 1 (%1): no such device.").arg(port1)))
        << run.err.toStdString();
    // Port 2 without its option still follows the variable.
    EXPECT_TRUE(run.err.contains(QStringLiteral("Port 2 (%1): no such device.").arg(envPort2)))
        << run.err.toStdString();
}

// --store keeps a recorded test once, with the details of the summary beside it; --results
// prints the store back as JSON and CSV, filtered; a server that cannot be reached keeps the
// test in the local queue and says so with exit code 10.
TEST(CommandLineExe, StoreKeepsRecordedTestsOnceAndResultsPrintsThemBack) {
    QTemporaryDir dir;
    const QProcessEnvironment env = ownFolders(dir);
    const QString plain = dir.filePath(QStringLiteral("rod.csv"));
    ASSERT_TRUE(test::writeBytes(plain, measurementFile()));
    const QString cable = dir.filePath(QStringLiteral("cable.csv"));
    ASSERT_TRUE(test::writeBytes(cable, measurementFile() + "\r\n"));
    ASSERT_TRUE(
        test::writeBytes(dir.filePath(QStringLiteral("cable.json")),
                         R"({"start": "2026-03-02T10:00:00", "rows": 17, "largestChargePc": 40,
            "details": {"objectId": "CAB-1", "objectType": "cable", "customer": "Grid, North"}})"));

    for (const QString& file : {plain, cable, plain}) {
        const Ended stored = runProgram({QStringLiteral("--store"), file}, env);
        EXPECT_EQ(stored.status, 0) << stored.err.toStdString();
    }
    const Ended json = runProgram(
        {QStringLiteral("--results"), QStringLiteral("--format"), QStringLiteral("json")}, env);
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    const QJsonArray tests = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(tests.size(), 2) << json.out.toStdString();  // rod.csv once
    const QJsonObject last = tests[1].toObject();
    EXPECT_EQ(last[QStringLiteral("object_id")].toString(), QStringLiteral("CAB-1"));
    EXPECT_EQ(last[QStringLiteral("object_type")].toString(), QStringLiteral("cable"));
    // Judged anew from the rows: the last inception, at 8 kV, still awaits its extinction.
    EXPECT_DOUBLE_EQ(last[QStringLiteral("inception_v")].toDouble(), 8000.0);
    EXPECT_TRUE(last[QStringLiteral("extinction_v")].isNull());
    EXPECT_EQ(last[QStringLiteral("measurement_path")].toString(), cable);

    const Ended csv = runProgram(
        {QStringLiteral("--results"), QStringLiteral("--object"), QStringLiteral("CAB-1"),
         QStringLiteral("--since"), QStringLiteral("2026-03-02")},
        env);
    ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
    const QStringList lines = csv.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << csv.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("id,started_at,")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral(",CAB-1,cable,\"Grid, North\",")))
        << lines[1].toStdString();
    // Only the header: none started later, none before, none of a customer named otherwise
    // (the whole name counts), none failed.
    for (const QStringList& filter :
         {QStringList{QStringLiteral("--since"), QStringLiteral("2026-03-03")},
          QStringList{QStringLiteral("--until"), QStringLiteral("2020-01-01")},
          QStringList{QStringLiteral("--customer"), QStringLiteral("Grid")},
          QStringList{QStringLiteral("--verdict"), QStringLiteral("FAIL")}}) {
        const Ended none = runProgram(QStringList{QStringLiteral("--results")} + filter, env);
        EXPECT_EQ(none.out.count(QStringLiteral("\r\n")), 1) << none.out.toStdString();
    }
    for (const char* bad : {"--format=xml", "--verdict=maybe", "--until=March"}) {
        EXPECT_EQ(runProgram({QStringLiteral("--results"), QLatin1String(bad)}, env).status, 1)
            << bad;
    }

    // A server that is not there: the test waits in the queue, and the command says so.
    QDir().mkpath(dir.filePath(QStringLiteral("config/kr5au")));
    ASSERT_TRUE(test::writeBytes(dir.filePath(QStringLiteral("config/kr5au/kr5au.conf")),
                                 "[results]\nurl=postgresql://kr5@localhost/results?host=" +
                                     QFile::encodeName(dir.filePath(QStringLiteral("none"))) +
                                     "\n"));
    const Ended queued = runProgram({QStringLiteral("--store"), cable}, env);
    EXPECT_EQ(queued.status, 10);
    EXPECT_TRUE(queued.err.contains(QStringLiteral("local queue"))) << queued.err.toStdString();
    EXPECT_EQ(runProgram({QStringLiteral("--results")}, env).status, 10);
}

}  // namespace
}  // namespace kr5
