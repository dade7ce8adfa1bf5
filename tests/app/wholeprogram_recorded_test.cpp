// A test recorded on the simulated bench, opened again while the program runs: the same
// inception and extinction voltages and Q-N passes come back from the file alone, another
// Set Q judges it anew, the report is written, and closing it brings the live charts back.
// Meanwhile nothing can be recorded. A file that is no measurement file is refused, and a
// long file is read in slices, its torn rows skipped and counted, and stored once opened.
#include "wholeprogram.h"

#include "records/recordlines.h"
#include "results/resultsstore.h"
#include "results/resultswindow.h"

#include <QJsonObject>
#include <QProgressDialog>
#include <QSettings>
#include <QTableView>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <vector>

namespace kr5::test {
namespace {

// "CSV CEV" of the V-Q window's result table.
QString resultPair() {
    const auto* table = control<QTableView>(QStringLiteral("VQ"), QStringLiteral("Text1"));
    if (table == nullptr || table->model()->rowCount() < 1) {
        return {};
    }
    const QAbstractItemModel& m = *table->model();
    return m.index(0, 2).data().toString() + QLatin1Char(' ') + m.index(0, 3).data().toString();
}

// Qm's line and NQN's under the Q-N chart.
QString qmText() {
    const auto* qm = control<QLabel>(QStringLiteral("QN"), QStringLiteral("qm"));
    const auto* nqn = control<QLabel>(QStringLiteral("QN"), QStringLiteral("nqn"));
    return qm != nullptr && nqn != nullptr ? qm->text() + QLatin1Char('\n') + nqn->text()
                                           : QString();
}

TEST_F(WholeProgram, ARecordedTestOpensAgainIsJudgedAnewAndReported) {
    // The charges of the detector's last three answers at Adjust 1 (division x peak code /
    // 17): a reading is shown once the line was used again, after its cycle.
    const auto chargesOnTheLine = [this] {
        std::vector<double> charges;
        const auto& log = port->frameLog();
        for (auto f = log.rbegin(); f != log.rend() && charges.size() < 3; ++f) {
            if (f->address == 0 && f->command == "x" && f->answer.size() >= 9) {
                charges.push_back(attenuatorDivision(f->answer.at(7) - '0') *
                                  f->answer.mid(3, 2).toInt(nullptr, 16) / 17.0);
            }
        }
        return charges;
    };
    const QString measurement = dir.filePath(QStringLiteral("rod.csv"));
    const QString pdf = dir.filePath(QStringLiteral("rod.pdf"));
    const QString pdfAfterClose = dir.filePath(QStringLiteral("closed.pdf"));
    const QString notes = dir.filePath(QStringLiteral("notes.csv"));
    const QString liveCounts = dir.filePath(QStringLiteral("live.csv"));
    const QString reopenedCounts = dir.filePath(QStringLiteral("reopened.csv"));
    double liveCharge = 0.0;
    std::vector<double> chargesFromLine;
    QString livePair, liveQm, reopenedPair, reopenedQm, rejudgedPair;
    qint64 mark = 0;
    const auto open = [&](const QString& path) {
        dialogs.openPaths.push_back(path);
        menu("copen")->trigger();
    };
    const auto lastShown = [&] {
        return dialogs.shown.empty() ? QString() : dialogs.shown.back().text;
    };
    at(4200, "record", [&] {
        enterConstants(QStringLiteral("Rod"), QStringLiteral("7"), 2, QStringLiteral("0.5"));
        startRecording(measurement);
    });
    at(26200, "Q-N after extinction", [&] {
        livePair = resultPair();
        startQn(0);  // 100 ms, 5 passes
        mark = now();
    });
    step(
        "close the file", [&] { return !program->qnRunning() && now() > mark + 1000; },
        [&] {
            liveQm = qmText();
            dialogs.savePaths.push_back(liveCounts);
            trigger(QStringLiteral("QN"), QStringLiteral("savecounts"));
            click(QStringLiteral("KR5AU"), QStringLiteral("bclose"));
            mark = now();
        });
    // The report a while after CLOSE is that of the file: its span, not the readings since.
    step(
        "report the file closed",
        [&] {
            return QFile::exists(dir.filePath(QStringLiteral("rod.json"))) && now() > mark + 3000;
        },
        [&] {
            dialogs.savePaths.push_back(pdfAfterClose);
            menu("creport")->trigger();
            // The live test goes on at Adjust 1; the file was recorded at 0.5.
            enterConstants(QStringLiteral("Rod"), QStringLiteral("8"), 2, QStringLiteral("1"));
            dialogs.textAnswers.push_back(std::nullopt);  // the file's Set Q
            open(measurement);
        });
    step(
        "the file read", [&] { return menu("cshut")->isEnabled(); },
        [&] {
            reopenedPair = resultPair();
            reopenedQm = qmText();
            liveCharge = program->panel().readouts().charge.toDouble();
            chargesFromLine = chargesOnTheLine();
            dialogs.savePaths.push_back(reopenedCounts);
            trigger(QStringLiteral("QN"), QStringLiteral("savecounts"));
            // Recording is not possible while the file is shown, nor a Q-N measurement.
            EXPECT_FALSE(menu("csave")->isEnabled());
            menu("mesqn")->trigger();
            EXPECT_EQ(lastShown(),
                      QStringLiteral("A Q-N measurement is not possible: a recorded test is open: "
                                     "close it first (File > Close recorded test)"));
            EXPECT_FALSE(program->qnRunning());
            dialogs.textAnswers.push_back(QStringLiteral("1000"));
            menu("cjudge")->trigger();
            rejudgedPair = resultPair();
            dialogs.savePaths.push_back(pdf);
            menu("creport")->trigger();
            menu("cshut")->trigger();
            EXPECT_TRUE(menu("csave")->isEnabled());
            // A file that is not a measurement file is refused with where it went wrong.
            writeBytes(notes,
                       "\"Name\",\"x\",\"dummy\",\"dummy\",\"dummy\"\r\n\"Colour\",\"red\"\r\n");
            open(notes);
        });
    step(
        "refused", [&] { return lastShown().startsWith(QStringLiteral("notes")); },
        [&] {
            EXPECT_TRUE(lastShown().startsWith(QStringLiteral(
                "notes.csv cannot be opened as a measurement file: Line 2: expected")))
                << lastShown().toStdString();
            EXPECT_TRUE(menu("csave")->isEnabled());
            EXPECT_FALSE(menu("cshut")->isEnabled());
            menu("testres")->trigger();
        });
    // The Results window lists the closed test with the report written last, read on the
    // results thread in real time; its row opens the file again.
    const auto results = [] {
        return qobject_cast<ResultsWindow*>(window(QStringLiteral("results")));
    };
    step(
        "the test in the Results window",
        [&] {
            QCoreApplication::processEvents();
            QThread::msleep(1);
            return results()->tests().rowCount() == 1;
        },
        [&] {
            EXPECT_EQ(results()->tests().valueAt(0, QStringLiteral("report_path")).toString(), pdf);
            results()->table().selectRow(0);
            dialogs.textAnswers.push_back(std::nullopt);
            click(QStringLiteral("results"), QStringLiteral("resopen"));
        });
    step(
        "opened from the Results window", [&] { return menu("cshut")->isEnabled(); },
        [&] { menu("cend")->trigger(); });
    runProgram();

    ASSERT_FALSE(livePair.isEmpty());
    EXPECT_EQ(reopenedPair, livePair);
    // The live readings are still evaluated with the live Adjust, not the file's.
    EXPECT_TRUE(std::any_of(chargesFromLine.begin(), chargesFromLine.end(), [&](double c) {
        return std::abs(liveCharge - c) <= 0.01 + c * 0.01;
    })) << liveCharge;
    EXPECT_NE(rejudgedPair, livePair);  // no discharge reaches 1000 pC
    ASSERT_FALSE(dialogs.textQuestions.empty());
    EXPECT_EQ(dialogs.textQuestions.front(), QStringLiteral("Set Q for judging the test, pC: 2.5"));
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^Qm at 10 pulses/s.*\nNQN: last pass "
                                                  "\\d+\\.\\d; block \\d+\\.\\d$"))
                    .match(liveQm)
                    .hasMatch())
        << liveQm.toStdString();
    EXPECT_EQ(reopenedQm, liveQm);
    // The Q-N counts pass by pass, as the Q-N window saves them (its form is the exports
    // tests').
    const QStringList counts = readLines(liveCounts);
    ASSERT_FALSE(counts.isEmpty());
    EXPECT_EQ(readLines(reopenedCounts), counts);
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF-"));
    const QJsonObject summary = summaryOf(dir.filePath(QStringLiteral("rod.json")));
    const QString end =
        QDateTime::fromString(summary[QStringLiteral("end")].toString(), Qt::ISODate)
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString closed = pdfText(pdfAfterClose).simplified();
    EXPECT_TRUE(
        closed.contains(QStringLiteral("End ") + end) &&
        closed.contains(QStringLiteral("Rows %1").arg(summary[QStringLiteral("rows")].toInt())))
        << end.toStdString() << "\n"
        << closed.toStdString();
}

// A long file is read a slice at a time while the program's clock goes on. An Open meanwhile
// takes the reading's place, and Cancel stops that with nothing opened: the test open before
// stays, and no Set Q is asked for the files given up.
TEST_F(WholeProgram, ALongFileIsReadInSlicesAndItsReadingCanBeCancelled) {
    const QString path = dir.filePath(QStringLiteral("long.csv"));
    QByteArray text;
    for (const QString& line : headerLines(InputConstants{}, UnitsOnLine{}, QDate(2026, 1, 5))) {
        text += line.toUtf8() + "\r\n";
    }
    text += (dataRowLine(3, 12.5, 1, 40.0, 1200.0).toUtf8() + "\r\n").repeated(40'000);
    // A row torn by a power failure is skipped, and the status bar says so.
    ASSERT_TRUE(writeBytes(path, text + "3,12.5,1\r\n"));
    const auto progress = [] {
        return control<QProgressDialog>(QStringLiteral("KR5AU"), QStringLiteral("openprogress"));
    };
    const auto open = [&] {
        dialogs.openPaths.push_back(path);
        menu("copen")->trigger();
    };
    bool readingMidway = false;
    QString note;
    qint64 mark = 0;
    at(4200, "open", [&] {
        dialogs.textAnswers.push_back(std::nullopt);
        open();
        clock.scheduleInMs(
            2, [&] { readingMidway = !menu("cshut")->isEnabled() && progress() != nullptr; });
    });
    step(
        "open again, and again, then cancel", [&] { return menu("cshut")->isEnabled(); },
        [&] {
            note = statusMessage();
            open();
            clock.scheduleInMs(2, open);
            clock.scheduleInMs(4, [&] {
                ASSERT_NE(progress(), nullptr);
                progress()->cancel();
            });
            mark = now();
        });
    step(
        "cancelled", [&] { return now() > mark + 1000; },
        [&] {
            EXPECT_TRUE(menu("cshut")->isEnabled());
            EXPECT_TRUE(program->mainWindow().findChildren<QProgressDialog*>().isEmpty());
            // Read from the live charts, while a Q-N measurement starts: not shown after all.
            menu("cshut")->trigger();
            dialogs.textAnswers.push_back(std::nullopt);
            open();
            clock.scheduleInMs(2, [&] { EXPECT_TRUE(program->session().startQn()); });
            mark = now();
        });
    step(
        "read, and refused", [&] { return now() > mark + 3000; },
        [&] {
            EXPECT_FALSE(menu("cshut")->isEnabled());
            ASSERT_FALSE(dialogs.shown.empty());
            EXPECT_EQ(dialogs.shown.back().text,
                      QStringLiteral("long.csv is not opened: the Q-N measurement runs: stop it "
                                     "first."));
            menu("cend")->trigger();
        });
    runProgram();
    EXPECT_TRUE(readingMidway);
    EXPECT_EQ(note, QStringLiteral("long.csv: 40000 rows, 1 line that could not be read skipped "
                                   "(the first is line 40015)"));
    EXPECT_EQ(dialogs.textQuestions.size(), 2u);
    // Opened once, the file recorded before went into the results store, once.
    program.reset();  // lets the results thread finish
    ResultsStore store(
        configuredLocation(QSettings(windowMemoryPath(), QSettings::IniFormat), configDir.path()));
    TestTable stored;
    QString problem;
    ASSERT_TRUE(store.list({}, &stored, &problem)) << problem.toStdString();
    ASSERT_EQ(stored.rows.size(), 1);
    EXPECT_EQ(stored.rows[0][stored.columns.indexOf(QStringLiteral("row_count"))].toInt(), 40000);
}

}  // namespace
}  // namespace kr5::test
