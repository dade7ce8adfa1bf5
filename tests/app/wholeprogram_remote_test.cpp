// The remote control's commands in the whole program on the simulated bench, in virtual
// time: each one answers and leaves its error, each is the click it stands for, so the
// windows show it; a command the state forbids changes nothing; and a value the program
// does not have is never answered with a number.
#include "wholeprogram.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QRadioButton>
#include <QSettings>
#include <QThread>

#include <QRegularExpression>
#include <algorithm>

namespace kr5::test {
namespace {

constexpr const char* kNoError = "0,\"No error\"";
constexpr const char* kNotANumber = "9.91E37";

class Remote : public WholeProgram {
  protected:
    QByteArray send(const QByteArray& line) {
        return program->remoteCommands().execute(line, errors);
    }
    QByteArray error() { return errors.next(); }
    bool checked(const char* windowName, const char* name) {
        const auto* button = control<QAbstractButton>(windowName, name);
        return button != nullptr && button->isChecked();
    }

    ScpiErrorQueue errors;
};

TEST_F(Remote, CommandsAreTheClicksTheWindowsShowThemAndTheStateRefusesWhatItForbids) {
    const QString path = dir.filePath(QStringLiteral("remote.csv"));
    const QByteArray fileCommand = "REC:FILE \"" + path.toUtf8() + '"';
    at(100, "while the units are looked for", [&] {
        EXPECT_EQ(send("READ?"), "9.91E37,9.91E37,9.91E37,9.91E37,9.91E37,\"no reading yet\",\"\"");
        EXPECT_EQ(error(), "-230,\"Data corrupt or stale; no reading yet\"");
        EXPECT_EQ(send("*OPC?"), "1");
    });
    step(
        "ranges, sample time and the ZN-4 by command",
        [&] { return program->panel().remote() && now() > 3000; },
        [&] {
            EXPECT_EQ(send("SENS:ATT 4"), "");
            EXPECT_TRUE(checked("KR5AU", "peakb(4)"));
            // A range set by number ends the automatic ranging, which would undo it.
            EXPECT_EQ(send("SENS:ATT?;ATT:AUTO?"), "4;0");
            menu("seting")->trigger();  // the open window follows what the commands set
            EXPECT_FALSE(checked("Options", "Check1"));
            send("CONF:SAMP 200;:ZN:FUNC 2");
            EXPECT_EQ(error(), kNoError);
            EXPECT_TRUE(checked("Options", "Option1(2)") && checked("ZN4", "rateb(2)"));

            send("CONT:REM OFF");
            EXPECT_FALSE(checked("KR5AU", "remoteb"));
            send("SENS:ATT 6;:SENS:RATE AUTO");
            EXPECT_EQ(error() + error(),
                      QByteArray("-221,\"Settings conflict; REMOTE is off\"").repeated(2));
            EXPECT_EQ(send("SENS:ATT?;RATE:AUTO?"), "4;1");
            EXPECT_TRUE(checked("KR5AU", "peakb(4)"));
            send("CONT:REM ON;:SENS:ATT AUTO");
            EXPECT_EQ(send("CONT:REM?;:SENS:ATT:AUTO?"), "1;1");
        });
    at(4000, "a file for a named test", [&] {
        send(fileCommand.constData());
        EXPECT_EQ(error(),
                  "-221,\"Settings conflict; the test has no name: set one with CONFigure:NAME\"");
        EXPECT_FALSE(QFile::exists(path));
        send("CONF:NAME \"bushing \"\"B\"\"\"");
        EXPECT_EQ(control<QLineEdit>("kousei", "Text1")->text(), QStringLiteral("bushing \"B\""));
        send(fileCommand.constData());
        send("REC:STAT ON");
        EXPECT_EQ(error(), kNoError);
        EXPECT_TRUE(program->mainWindow().windowTitle().endsWith(path));
        EXPECT_TRUE(checked("KR5AU", "Option1"));
        EXPECT_EQ(send("REC:STAT?;FILE?"), "ON;\"" + path.toUtf8() + '"');
        // A second file, or another name, while this one is open.
        send("CONF:NAME \"other\"");
        EXPECT_TRUE(error().startsWith("-221,"));
        EXPECT_EQ(send("CONF:NAME?"), "\"bushing \"\"B\"\"\"");
    });
    at(8000, "a Q-N measurement locks what its menu locks", [&] {
        send("QN:STAR");
        EXPECT_TRUE(program->qnRunning());
    });
    // The windows show what the engine did once it has done it.
    at(8200, "the menu shows the measurement; what it locks is refused", [&] {
        EXPECT_EQ(menu("mesqn")->text(), QStringLiteral("T-QNV Mes.(&Q)"));
        send("REC:STAT PAUS;:SENS:ATT 2;:CONT:REM OFF;:QN:STAR;:ZN:ATT:A 3");
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(error(), "-221,\"Settings conflict; a Q-N measurement is running\"") << i;
        }
        EXPECT_EQ(send("REC:STAT?;:CONT:REM?;:QN:STAT?;:ZN:ATT:A?"), "ON;1;RUN;0");
        // *RST ends the measurement after its pass; the recording pauses once it has.
        send("*RST");
        EXPECT_EQ(send("QN:STAT?;:REC:STAT?"), "STOPPING;ON");
        send("QN:GATE 100");  // not within a measurement
        EXPECT_EQ(error(), "-221,\"Settings conflict; a Q-N measurement is running\"");
    });
    QByteArray counted;
    step(
        "after the pass: its counts, then *RST outside a Q-N measurement",
        [&] { return !program->qnRunning() && send("REC:STAT?") == "PAUS"; },
        [&] {
            const QList<QByteArray> counts = send("QN:DATA?").split(',');
            ASSERT_EQ(counts.size(), 10);
            EXPECT_GT(counts[0].toDouble(), 0.0);
            // NQN of the one pass, from its counts at the constants' Adjust, twice: the
            // block's means are that pass's rates. Qm too, or not-a-number with the reason.
            QnRates rates{};
            for (size_t r = 0; r < rates.size(); ++r) {
                rates[r] = counts[qsizetype(r)].toDouble();
            }
            const double adjust = InputConstants{}.adjust;  // never changed here
            const QList<QByteArray> nqn = send("QN:NQN?").split(',');
            ASSERT_EQ(nqn.size(), 2);
            EXPECT_NEAR(nqn[0].toDouble(), *normalisedQuantityNumber(rates, adjust),
                        1e-6 * nqn[0].toDouble());
            EXPECT_EQ(nqn[1], nqn[0]);
            const QList<QByteArray> qm = send("QN:QM?").split(',');
            ASSERT_EQ(qm.size(), 2);
            const Qm expected = chargeAtTenPulses(rates, adjust);
            if (expected.where == Qm::Where::Found) {
                EXPECT_NEAR(qm[0].toDouble(), expected.pC, 1e-6 * expected.pC);
            } else {
                EXPECT_EQ(qm[0], kNotANumber);
                EXPECT_TRUE(error().startsWith("-230,"));
            }
            send("REC:STAT ON");
            EXPECT_EQ(send("REC:STAT?"), "ON");
            send("*RST");
            EXPECT_EQ(send("REC:STAT?"), "PAUS");
            EXPECT_TRUE(checked("KR5AU", "Option2"));
            counted = send("REC:COUN?");
            // The window's report, written from afar once and never over a file.
            const QByteArray report =
                "REP \"" + dir.filePath(QStringLiteral("remote.pdf")).toUtf8() + '"';
            send(report);
            EXPECT_EQ(error(), kNoError);
            EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("remote.pdf"))));
            send(report);
            EXPECT_TRUE(error().endsWith("remote.pdf exists\""));
            EXPECT_EQ(send("REC:WAIT?"), "0");  // every row is in the file
            send("REC:STAT CLOS");
            EXPECT_EQ(send("REC:STAT?"), "CLOS");
            // An existing file is never replaced from afar.
            send("CONF:NAME \"again\"");
            send(fileCommand.constData());
            EXPECT_TRUE(error().startsWith("-200,\"Execution error; " + path.toUtf8() + " exists"));
        });
    // The closed test reaches the store on the results thread (in real time); its count
    // and figures come back as an event.
    step(
        "the closed test stored",
        [&] {
            QCoreApplication::processEvents();
            QThread::msleep(1);
            return send("RES:COUN?") == "1";
        },
        [&] {
            EXPECT_TRUE(QRegularExpression(
                            QStringLiteral("^\"[0-9a-f-]{36}\",NONE,[0-9.]+,(9.91E37|[0-9.]+),"))
                            .match(QString::fromUtf8(send("RES:LAST?")))
                            .hasMatch());
            EXPECT_EQ(error(), kNoError);
            menu("cend")->trigger();
        });
    runProgram(120'000);

    const Body recorded = body(readLines(path));
    EXPECT_EQ(QByteArray::number(recorded.rows.size()), counted);
    EXPECT_GT(recorded.rows.size(), 10);
    EXPECT_EQ(recorded.markers,
              (QStringList{"RECON", "QNstartD", "QNend", "PAUSE", "RECON", "PAUSE", "RECOFF"}));
}

// Every command the windows do not show, with the reply it gives (a pattern of the whole
// reply; none: no reply) and how the error it leaves begins, and every error the text of a
// command can make; then a value the program does not have is not a number, with its
// reason. The files read at the start: the user's configuration starts the server, where an
// address other than loopback had to be named, and the status bar says the program can be
// reached from the network; a settings file in the working folder that is no regular file
// is named in a message and the default constants are used.
TEST_F(Remote, EveryCommandAnswersAndLeavesItsErrorAndAValueNotHadIsNotANumber) {
    QSettings(windowMemoryPath(), QSettings::IniFormat)
        .setValue(QStringLiteral("remote/listen"), QStringLiteral("0.0.0.0:0"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    scenario.faults.push_back(sim::FaultRule{sim::UnitKind::Detector, -1,
                                             sim::FaultConfig{sim::FaultKind::Silent, 6.0, 12.0}});
    const QByteArray number = "-?\\d+(\\.\\d+)?(e[-+]\\d+)?";
    const struct {
        QByteArray line;
        QByteArray reply;
        QByteArray error;
    } walk[] = {
        {"*IDN?", "KR5AU,KR-5,KR-5 SIM 0001,[\\d.]*", kNoError},  // no version in a test
        {"*CLS;*WAI;*OPC", "", kNoError},
        {"measure:charge?", number, kNoError},
        {"READ?",
         number + ',' + number + ',' + number + ",\\d,\\d,\"OK\",\"\\d{4}-\\d\\d-\\d\\dT[\\d:.]+\"",
         kNoError},
        {"SENSE:ATTENUATOR AUTO", "", kNoError},
        {"SENS:RATE 2;RATE?;RATE:AUTO?", "2;0", kNoError},
        {"SENS:RATE AUTO;:SENS:ATT:AUTO?;:SENS:RATE:AUTO?", "1;1", kNoError},
        {"CONF:SAMP MIN;SAMP?", "0", kNoError},
        {"ZN:FUNC 1;FUNC?", "1", kNoError},
        {"ZN:ATT:A 3;A?", "3", kNoError},
        {"ZN:ATT:B 4;B?", "4", kNoError},
        {"VQ:INC?", "9.91E37|" + number, ""},
        {"TEST:VERD?;STAT?", "NONE;\"Acceptance: no test\"", kNoError},
        {"TEST:LIM?", "9.91E37", "-230,\"Data corrupt or stale; no acceptance test is set\""},
        // The acceptance test, calibration, background, Q-N options and test details commands
        // and their errors are the PyVISA client's walk; here what it leaves out.
        {"TEST:LEV 16.1;HOLD 60;LIM 100", "", kNoError},
        {"QN:PASS 7", "", "-222,\"Data out of range; 5 to 30 by 5, or NSTop\""},
        {"TEST:DET:FREQ 5000", "", "-222,\"Data out of range; Supply frequency"},
        {"TEST:RESTART;STAT?", "\"Acceptance: waiting for 16.1 kV.*", kNoError},
        {"REC:STAT ON", "", "-221,\"Settings conflict; no measurement file: RECord:FILE first\""},
        {"FOO", "", "-113,\"Undefined header\""},
        {"MEAS:CHAR? 1", "", "-108,\"Parameter not allowed\""},
        {"SENS:ATT", "", "-109,\"Missing parameter\""},
        {"SENS:ATT 10", "", "-222,\"Data out of range; attenuator range 0 to 9 or AUTO\""},
        {"SENS:RATE 1.5", "", "-222,\"Data out of range; rate range 0 to 3 or AUTO\""},
        {"CONF:SAMP 150", "", "-222,\"Data out of range; 0, 100, 200 or 500 ms\""},
        {"CONT:REM MAYBE", "", "-222,\"Data out of range; ON or OFF\""},
        {"ZN:FUNC 4", "", "-222,\"Data out of range; 0 to 3\""},
        {"REC:STAT FOO", "", "-222,\"Data out of range; ON, PAUSe or CLOSe\""},
        {"REC:FILE 5", "", "-104,\"Data type error; the file's path in quotes\""},
        {QByteArray("MEAS\0:CHAR?", 11), "", "-102,\"Syntax error\""},
    };
    QString shown;
    step(
        "the loop runs", [&] { return program->panel().remote(); },
        [&] { shown = statusMessage(); });
    step(
        "the walk", [&] { return now() > 3000; },
        [&] {
            for (const auto& c : walk) {
                SCOPED_TRACE(c.line.toStdString());
                const QByteArray reply = send(c.line);
                EXPECT_TRUE(QRegularExpression(QStringLiteral("^(%1)$").arg(QString(c.reply)),
                                               QRegularExpression::CaseInsensitiveOption)
                                .match(QString::fromUtf8(reply))
                                .hasMatch())
                    << reply.toStdString();
                EXPECT_TRUE(error().startsWith(c.error));
            }
        });
    at(9000, "the detector silent", [&] {
        EXPECT_EQ(send("MEAS:CHAR?"), kNotANumber);
        EXPECT_EQ(error(), "-230,\"Data corrupt or stale; no reply from the KR-5\"");
        EXPECT_NE(send("MEAS:VOLT?"), kNotANumber);  // the AC unit still answers
        const QList<QByteArray> fields = send("READ?").split(',');
        ASSERT_EQ(fields.size(), 7);
        EXPECT_EQ(fields.mid(0, 2), (QList<QByteArray>{kNotANumber, kNotANumber}));
        EXPECT_EQ(fields[5], "\"no reply: KR-5\"");
        EXPECT_EQ(error(), "-230,\"Data corrupt or stale; no reply from KR-5\"");
        EXPECT_EQ(send("MEAS:BACK?;:VQ:EXT?;:TEST:VERD?"), "9.91E37;9.91E37;NONE");
        EXPECT_TRUE(error().endsWith("no background measured\""));
        EXPECT_TRUE(error().endsWith("no extinction found\""));
    });
    at(16000, "answering again; then a Q-N pass stops the normal readings", [&] {
        EXPECT_NE(send("MEAS:CHAR?"), kNotANumber);
        EXPECT_EQ(error(), kNoError);
        const QList<QByteArray> fields = send("READ?").split(',');
        ASSERT_EQ(fields.size(), 7);
        EXPECT_EQ(fields[5], "\"OK\"");
        // Each measured value is the one READ? gives in its own place.
        EXPECT_EQ(send("MEAS:CHAR?;RATE?"), fields[0] + ';' + fields[1]);
        send("QN:STAR");
    });
    at(23000, "the latest reading is too old", [&] {
        EXPECT_EQ(send("MEAS:RATE?"), kNotANumber);
        EXPECT_TRUE(error().startsWith("-230,\"Data corrupt or stale; no reading for "));
        EXPECT_EQ(send("QN:STOP;STAT?"), "STOPPING");
        menu("cend")->trigger();
    });
    runProgram(60'000);

    EXPECT_TRUE(shown.startsWith(QStringLiteral("Remote control on 0.0.0.0:")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("reachable from the network")));
    EXPECT_FALSE(program->remoteServer().isListening()) << "closed when the program ended";
    const auto named =
        std::find_if(dialogs.shown.begin(), dialogs.shown.end(), [](const auto& box) {
            return box.text.contains(QStringLiteral("kr5au1.ini is not a regular file"));
        });
    ASSERT_NE(named, dialogs.shown.end());
    EXPECT_EQ(named->buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("kousei"), QStringLiteral("Text5"))->text(),
              QStringLiteral(" 100"));
}

}  // namespace
}  // namespace kr5::test
