// The whole program on the simulated bench, in virtual time, driven through its windows as
// a test engineer would: File > Save refused for a name not confirmed, constants entered
// (Adjust 0.5), a measurement file prepared, recording on, the trend window hidden and shown
// again, the voltage ramped through inception and back through extinction, a Q-N
// measurement of five passes and a Non Stop run over a block change, the noise
// discriminator set from its panel, the line moved to 38400 baud and back, the result
// saved, then Exit. Every frame on the line is compared with the recorded tour, and every
// data row with what the units answered. Then where the program once recorded something
// false: the charts cleared during a Q-N measurement and the program ended during one, and
// windows held up while recording. A misbehaving line is in wholeprogram_faults_test.
#include "wholeprogram.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <numeric>

namespace kr5::test {
namespace {

// The tour's frames, one "<baud> <address> <command>" per line; rewritten by a run with
// KR5_UPDATE_TOUR=1 when the traffic is meant to change.
const QString kTourFrames = QStringLiteral(KR5_TEST_DATA_DIR "/tour_frames.txt");

// The simulated bench's background noise (pulses of about 1.5 pC, 300 a second) read while
// the voltage is low: with the default Set Q of 1 pC the V-Q window warns that inception
// and extinction would be noise; Set Q at 50 pC takes the warning away.
TEST_F(WholeProgram, SetQWithinTheBackgroundNoiseIsWarnedOf) {
    const auto warning = [this] {
        auto* label =
            window(QStringLiteral("VQ"))->findChild<QLabel*>(QStringLiteral("noiseWarning"));
        return label != nullptr && label->isVisible() ? label->text() : QString();
    };
    QString warned;
    step(
        "warned", [&] { return !warning().isEmpty(); },
        [&] {
            warned = warning();
            enterConstants(QStringLiteral("noise"), QStringLiteral("1"), 5, QStringLiteral("1"));
        });
    step(
        "warning gone", [&] { return warning().isEmpty(); }, [&] { menu("measbg")->trigger(); });
    // On demand the background is measured below the threshold voltage; the bench's voltage
    // rises past it meanwhile.
    step(
        "measuring",
        [&] { return statusMessage().startsWith(QStringLiteral("Measuring the background")); },
        [] {});
    QString measured;
    step(
        "measured", [&] { return statusMessage().startsWith(QStringLiteral("Background")); },
        [&] {
            measured = statusMessage();
            menu("cend")->trigger();
        });
    runProgram();
    // The refusal's wording is the background tests'.
    EXPECT_TRUE(measured.startsWith(QStringLiteral("Background not measured: the test voltage")))
        << measured.toStdString();
    EXPECT_TRUE(
        warned.startsWith(QStringLiteral("Set Q 1 pC is not above twice the background of ")))
        << warned.toStdString();
}

// Beside the windows' listeners: the meter the panel shows when each reading reaches the
// windows. The engine's panel takes a reading before the windows do, so that the charts and
// the panel never show two different cycles. Windows that fall behind may find a newer
// state than the reading's, never an older one.
class PanelSeenWithEachReading : public ReadingListener {
  public:
    explicit PanelSeenWithEachReading(Program& program) : program_(program) {}
    void takeReading(const Reading& r) override {
        if (r.detectorAnswered()) {
            peaks_.push_back(r.rawPeak);
            seen_.push_back(program_.panel().readouts().peakMeter);
        }
    }
    size_t readings() const { return peaks_.size(); }
    // Readings that found the panel still showing the one before them.
    int behind() const {
        int count = 0;
        for (size_t i = 1; i + 1 < peaks_.size(); ++i) {
            const bool newer = seen_[i] == peaks_[i] || seen_[i] == peaks_[i + 1];
            count += !newer && seen_[i] == peaks_[i - 1] ? 1 : 0;
        }
        return count;
    }

  private:
    Program& program_;
    std::vector<double> peaks_, seen_;
};

TEST_F(WholeProgram, ATestFromConstantsToExit) {
    toWindows.deliverAtOnce();  // the windows' thread as quick as it can be
    build();
    PanelSeenWithEachReading panelSeen{*program};
    program->addWindowListener(panelSeen);
    const QString measurement = dir.filePath(QStringLiteral("cable.csv"));
    const QString result = dir.filePath(QStringLiteral("testCSV.csv"));
    const QString name = QStringLiteral("Cable \"A\", phase 1");
    qint64 mark = 0;
    qsizetype rowsAtSave = 0;
    QString caption;

    // File > Save takes the name OK stored: one typed into the field but not confirmed does
    // not count, and Input const is shown for it.
    at(4000, "a name typed, not confirmed", [&] {
        menu("kouseiin")->trigger();
        type(QStringLiteral("kousei"), QStringLiteral("Text1"), QStringLiteral("No Name"));
        window(QStringLiteral("kousei"))->hide();
        menu("csave")->trigger();
    });
    at(4200, "constants", [&] {
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Save under no name."));
        EXPECT_TRUE(window(QStringLiteral("kousei"))->isVisible());
        enterConstants(name, QStringLiteral("7"), 2, "0.5");
    });
    step(
        "noise discriminator", [] { return true; },
        [&] {
            click(QStringLiteral("ZN4"), QStringLiteral("rateb(1)"));   // N OFF
            click(QStringLiteral("ZN4"), QStringLiteral("peakb(15)"));  // channel A 1/50
        });
    step(
        "file and rec on", [] { return true; }, [&] { startRecording(measurement); });
    // The trend window hidden and shown again from the Window menu, its item ticked as it
    // shows; that the curves survive is the chart windows' test.
    const auto trendShown = [] { return window(QStringLiteral("wave"))->isVisible(); };
    at(6000, "trend hidden", [&] {
        menu("dwave")->trigger();
        EXPECT_FALSE(trendShown() || menu("dwave")->isChecked());
        menu("dwave")->trigger();
        EXPECT_TRUE(trendShown() && menu("dwave")->isChecked());
    });
    at(26200, "through inception and extinction", [&] {
        startQn(0);  // 100 ms, 5 passes
        mark = now();
    });
    step(
        "five passes done", [&] { return !program->qnRunning() && now() > mark + 1000; },
        [&] { startQn(6); });
    step(
        "block changed",
        [&] { return program->qnRunning() && body(readLines(measurement)).markers.size() >= 5; },
        [&] { menu("mesqn")->trigger(); });
    step(
        "non stop ended", [&] { return !program->qnRunning(); },
        [&] {
            options(3, {QStringLiteral("Option3(2)")});  // 38400 baud
            mark = now();
        });
    // The V-Q window's Save during the recording writes its result file and changes nothing
    // else: the rows go on into the measurement file, and the caption still names it.
    step(
        "back to 9600, save the result", [&] { return now() > mark + 3000; },
        [&] {
            options(3, {QStringLiteral("Option3(0)")});
            dialogs.savePaths.push_back(result);
            trigger(QStringLiteral("VQ"), QStringLiteral("sdata"));
            rowsAtSave = body(readLines(measurement)).rows.size();
            mark = now();
        });
    step(
        "pause, exit", [&] { return now() > mark + 3000; },
        [&] {
            caption = program->mainWindow().windowTitle();
            // Three more seconds of rows, and REC ON counts the rows written.
            const qsizetype rows = body(readLines(measurement)).rows.size();
            EXPECT_GT(rows, rowsAtSave + 10);
            EXPECT_EQ(control<QAbstractButton>(QStringLiteral("KR5AU"), QStringLiteral("Option1"))
                          ->text(),
                      QStringLiteral(" %1").arg(rows));
            click(QStringLiteral("KR5AU"), QStringLiteral("Option2"));  // PAUSE
            menu("cend")->trigger();
        });
    runProgram();
    EXPECT_GT(panelSeen.readings(), 100u);
    EXPECT_EQ(panelSeen.behind(), 0);

    // The Q-N window shows Qm of the passes under the finished Q-N charts.
    const QString qmValue =
        QStringLiteral("(\\d+\\.\\d+ pC|below the lowest threshold|above the highest|no counts)");
    const QString qm = control<QLabel>(QStringLiteral("QN"), QStringLiteral("qm"))->text();
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral("^Qm at 10 pulses/s: last pass %1; block, \\d+ pass(es)?: %1$")
                        .arg(qmValue))
                    .match(qm)
                    .hasMatch())
        << qm.toStdString();
    EXPECT_EQ(caption, QStringLiteral("KR-5(1)>") + QDir::toNativeSeparators(measurement));

    // The measurement file: the markers in order, five passes of ten steps and a Non Stop
    // block (the constants of its header are read back in wholeprogram_recorded_test)...
    const Body b = body(readLines(measurement));
    EXPECT_EQ(b.markers, (QStringList{"RECON", "QNstartD", "QNend", "QNstartD", "QNend", "QNstartD",
                                      "QNend", "PAUSE", "RECOFF"}));
    ASSERT_EQ(b.after.size(), 9);
    EXPECT_EQ(b.after[1].size(), 5 * 10);
    EXPECT_EQ(b.after[3].size(), 31 * 10);
    // ...and every row is what the units answered, in order, at Adjust 0.5.
    InputConstants constants;
    constants.adjust = 0.5;
    const QStringList fromLine = rowsFromTheLine(constants);
    const qsizetype first = fromLine.indexOf(b.rows.value(0));
    ASSERT_GE(first, 0) << b.rows.value(0).toStdString();
    EXPECT_EQ(b.rows, fromLine.mid(first, b.rows.size()));

    // Inception and extinction were found on the ramp; the result file holds the pair
    // that stood when it was saved (an inception may still await its extinction).
    const QStringList saved = readLines(result);
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved[0], QStringLiteral("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\""));
    const QRegularExpression values(
        QStringLiteral("^\"Cable \"\"A\"\", phase 1\",7,(\\d+),(\\d*),\"\\d\\d-\\d\\d-\\d{4} "
                       "\\d\\d:\\d\\d:\\d\\d\"$"));
    const auto v = values.match(saved[1]);
    ASSERT_TRUE(v.hasMatch()) << saved[1].toStdString();

    // The summary beside the measurement file tells the same test.
    const QJsonObject summary = summaryOf(dir.filePath(QStringLiteral("cable.json")));
    EXPECT_EQ(summary[QStringLiteral("measurementFile")].toString(), QStringLiteral("cable.csv"));
    EXPECT_EQ(summary[QStringLiteral("rows")].toInt(), b.rows.size());
    EXPECT_EQ(summary[QStringLiteral("inputConstants")][QStringLiteral("name")].toString(), name);
    EXPECT_TRUE(summary[QStringLiteral("nqn")][QStringLiteral("lastPass")].isDouble());
    // The pair saved is one the summary keeps; how the summary writes the rest is the
    // summary tests'.
    const QJsonArray pairs =
        summary[QStringLiteral("inceptionExtinction")][QStringLiteral("pairs")].toArray();
    EXPECT_TRUE(std::any_of(pairs.begin(), pairs.end(), [&](const QJsonValue& pair) {
        const QJsonValue cev = pair[QStringLiteral("extinctionV")];
        return pair[QStringLiteral("inceptionV")].toDouble() == v.captured(1).toDouble() &&
               (cev.isNull() ? QString() : QString::number(cev.toDouble())) == v.captured(2);
    }));

    // Frame for frame as the recorded tour: the panel's settings, the Q-N passes, the speed
    // change and back, and the release of the line.
    const QStringList now = frames();
    if (qEnvironmentVariableIsSet("KR5_UPDATE_TOUR")) {
        ASSERT_TRUE(writeBytes(kTourFrames, (now.join(QLatin1Char('\n')) + '\n').toLatin1()));
    }
    const QStringList tour =
        QString::fromLatin1(readBytes(kTourFrames)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(tour.isEmpty()) << kTourFrames.toStdString();
    for (qsizetype i = 0; i < std::min(now.size(), tour.size()); ++i) {
        ASSERT_EQ(now[i], tour[i]) << "frame " << i;
    }
    EXPECT_EQ(now.size(), tour.size());
}

// Erase, the constants' OK and TV Multi's Set clear the charts during a Q-N measurement;
// the measurement still takes exactly its passes, and a Non Stop block its 31. The end
// asked for during the next block ends it after the pass under way.
TEST_F(WholeProgram, ClearingTheChartsOrEndingDuringAQnMeasurementKeepsItsPasses) {
    const auto eraseAndRescale = [&](const QString& tvButton) {
        trigger(QStringLiteral("VQ"), QStringLiteral("verase"));
        trigger(QStringLiteral("wave"), QStringLiteral("wclear"));
        options(2, {tvButton});  // TV Multi
    };
    QString measurement;
    qint64 firstEnded = 0;
    at(4000, "five passes", [&] {
        enterConstants(QStringLiteral("qn"));
        startQn(0);
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
            measurement = record(QStringLiteral("qn"));
            startQn(6);
        });
    for (const qint64 ms : {25000, 45000}) {
        at(ms, "clear in the block", [&] { eraseAndRescale(QStringLiteral("Option2(0)")); });
    }
    // SIGINT or SIGTERM ask the program to end as File > Exit does, here in the next block.
    step(
        "block changed, end", [&] { return body(readLines(measurement)).markers.size() >= 3; },
        [&] { program->requestEnd(); });
    runProgram();

    // Five passes of ten gates each before the first measurement ended.
    EXPECT_EQ(std::count_if(port->frameLog().begin(), port->frameLog().end(),
                            [&](const auto& f) {
                                return f.atUs < double(firstEnded) * 1000.0 && f.command == "c100";
                            }),
              5 * 10);
    // The recorded Non Stop run: a block of 31 passes between its markers. Ending during the
    // next completed the pass under way, then wrote the measurement's end and the file's close.
    const Body b = body(readLines(measurement));
    EXPECT_EQ(b.markers,
              (QStringList{"RECON", "QNstartD", "QNend", "QNstartD", "QNend", "RECOFF", "PAUSE"}));
    ASSERT_EQ(b.after.size(), 7);
    EXPECT_EQ(b.after[1].size(), 31 * 10);
    EXPECT_EQ(b.after[3].size(), 10);
}

// The trend window's Save picture left open for 10 s, then the windows' side taking nothing
// (a paint that does not return) for 5 s, while the test is recorded: the measurement goes
// on behind them, every cycle of that time is taken and recorded with no gap between two
// readings, and the answer that comes at the end is carried out.
TEST_F(WholeProgram, ADialogLeftOpenOrStalledWindowsHoldUpNoCycleAndNoRow) {
    steadyDischarge(scenario);
    const QString picture = dir.filePath(QStringLiteral("held.png"));
    QString measurement;
    qsizetype rows[4] = {};
    qint64 times[4] = {};
    const auto mark = [&](int i) {
        times[i] = now();
        rows[i] = body(readLines(measurement)).rows.size();
    };
    qsizetype postsHeld = 0;
    at(4000, "name and file", [&] { measurement = record(QStringLiteral("held")); });
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

    // The detector's readings on the line while held: how many, and the longest gap.
    for (const auto& [from, atLeast] : {std::pair(0, 100), std::pair(2, 50)}) {
        SCOPED_TRACE(from);
        std::vector<double> x;
        for (const auto& f : port->frameLog()) {
            if (f.command == "x" && f.atUs >= double(times[from]) * 1000.0 &&
                f.atUs < double(times[from + 1]) * 1000.0) {
                x.push_back(f.atUs / 1000.0);
            }
        }
        const auto readings = static_cast<qsizetype>(x.size());
        ASSERT_GT(readings, atLeast);
        // A cycle under way at either end may leave its row on the other side.
        const qsizetype recorded = rows[from + 1] - rows[from];
        EXPECT_LE(std::abs(recorded - readings), 1) << recorded << " rows for " << readings;
        // A range command waits 200 ms after it by design; nothing else may hold up a cycle.
        std::adjacent_difference(x.begin(), x.end(), x.begin());
        EXPECT_LE(*std::max_element(x.begin() + 1, x.end()), 300.0);
    }
    EXPECT_GT(postsHeld, 50) << "the windows were held up";
    EXPECT_FALSE(QImage(picture).isNull());
}

}  // namespace
}  // namespace kr5::test
