// The whole program on the simulated bench, in virtual time, driven through its windows as
// a test engineer would: constants entered, a measurement file prepared, recording on,
// the voltage ramped through inception and back through extinction, a Q-N measurement of
// five passes and a Non Stop run over a block change, the noise discriminator set from its
// panel, the line moved to 38400 baud and back, the result saved, then Exit. The
// measurement file and the simulator's frame log are checked line by line.
#include "app/program.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"
#include "windowfakes.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <deque>
#include <functional>

namespace kr5 {
namespace {

QWidget* window(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name) {
            return w;
        }
    }
    return nullptr;
}

template <typename T>
T* control(const QString& windowName, const QString& name) {
    QWidget* w = window(windowName);
    return w ? w->findChild<T*>(name) : nullptr;
}

void type(const QString& windowName, const QString& field, const QString& text) {
    auto* edit = control<QLineEdit>(windowName, field);
    ASSERT_NE(edit, nullptr) << field.toStdString();
    edit->selectAll();
    edit->insert(text);  // as typed: the window hears an edit
}

void click(const QString& windowName, const QString& name) {
    auto* button = control<QAbstractButton>(windowName, name);
    ASSERT_NE(button, nullptr) << windowName.toStdString() << ' ' << name.toStdString();
    button->click();
}

QStringList readLines(const QString& path, bool* crlf = nullptr) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray all = f.readAll();
    if (crlf) {
        *crlf = all.endsWith("\r\n") && all.count("\n") == all.count("\r\n");
    }
    QStringList lines = QString::fromUtf8(all).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

struct WholeProgram : ::testing::Test {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    VirtualClock clock;
    VirtualPump pump{clock};
    sim::Scenario scenario = [] {
        sim::Scenario s = sim::Scenario::defaultBench();
        s.seed = 7;
        s.operatorActive = false;
        // A quiet, shielded bench: the background stays well below the Start count, so
        // only the test object's discharges can start an inception.
        s.object.noisePps = 20;
        return s;
    }();
    sim::Bench bench{scenario};
    sim::SimPort port{bench, clock};
    test::FakeDialogs dialogs;
    windowfakes::RecordingLauncher launcher;
    test::FakeClipboard clipboard;
    std::unique_ptr<Program> program;

    // The engineer's steps: each waits for its condition, then acts.
    struct Step {
        QString what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    std::deque<Step> steps;
    QStringList done;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());  // the settings file lives in the working directory
        program = std::make_unique<Program>(
            Platform{clock, pump, port, dialogs, launcher, clipboard}, ProgramOptions{});
    }
    void TearDown() override {
        program.reset();
        QDir::setCurrent(previousDir);
    }

    const Globals& g() const { return program->globals(); }
    QAction* menu(const char* name) { return program->mainWindow().action(QLatin1String(name)); }
    qint64 now() const { return clock.nowMs(); }

    void step(const QString& what, std::function<bool()> ready, std::function<void()> act) {
        steps.push_back({what, std::move(ready), std::move(act)});
    }
    void runSteps() {
        while (!steps.empty() && steps.front().ready()) {
            Step s = steps.front();
            steps.pop_front();
            s.act();
            done << s.what;
        }
    }

    // Options: select a tab, click option buttons on it, then Set.
    void options(int tab, const QStringList& buttons) {
        menu("seting")->trigger();
        auto* tabs = control<QTabWidget>(QStringLiteral("Options"), QStringLiteral("OPtab"));
        ASSERT_NE(tabs, nullptr);
        tabs->setCurrentIndex(tab);
        for (const QString& b : buttons) {
            click(QStringLiteral("Options"), b);
        }
        click(QStringLiteral("Options"), QStringLiteral("Command2"));
    }
};

TEST_F(WholeProgram, ATestFromConstantsToExit) {
    const QString measurement = dir.filePath(QStringLiteral("cable.csv"));
    const QString result = dir.filePath(QStringLiteral("testCSV.csv"));
    dialogs.savePaths = {measurement, result};
    const QString name = QStringLiteral("Cable \"A\", phase 1");
    qint64 qnStarted = 0;

    step(
        "constants", [&] { return now() > 4000; },
        [&] {
            menu("kouseiin")->trigger();
            type(QStringLiteral("kousei"), QStringLiteral("Text1"), name);
            type(QStringLiteral("kousei"), QStringLiteral("Text2"), QStringLiteral("7"));
            control<QScrollBar>(QStringLiteral("kousei"), QStringLiteral("HScroll3"))->setValue(2);
            click(QStringLiteral("kousei"), QStringLiteral("Command1"));
        });
    step(
        "noise discriminator", [] { return true; },
        [&] {
            click(QStringLiteral("ZN4"), QStringLiteral("rateb(1)"));   // N OFF
            click(QStringLiteral("ZN4"), QStringLiteral("peakb(15)"));  // channel A 1/50
        });
    step(
        "file", [] { return true; }, [&] { menu("csave")->trigger(); });
    step(
        "rec on", [] { return true; },
        [&] { click(QStringLiteral("KR5AU"), QStringLiteral("Option1")); });
    step(
        "through inception and extinction", [&] { return now() > 26000; },
        [&] {
            options(4, {QStringLiteral("Option4(0)"), QStringLiteral("Option5(0)")});  // 100 ms, 5
            menu("mesqn")->trigger();
            qnStarted = now();
        });
    step(
        "five passes done", [&] { return !g().qnmode && now() > qnStarted + 1000; },
        [&] {
            options(4, {QStringLiteral("Option5(6)")});  // Non Stop
            menu("mesqn")->trigger();
            qnStarted = now();
        });
    step(
        "block changed",
        [&] {
            return g().qnmode &&
                   readLines(measurement).filter(QStringLiteral("\"QNend\"")).size() >= 2;
        },
        [&] { menu("mesqn")->trigger(); });
    step(
        "non stop ended", [&] { return !g().qnmode; },
        [&] {
            options(3, {QStringLiteral("Option3(2)")});  // 38400 baud
            qnStarted = now();
        });
    step(
        "back to 9600", [&] { return now() > qnStarted + 3000; },
        [&] {
            options(3, {QStringLiteral("Option3(0)")});
            qnStarted = now();
        });
    step(
        "pause, save the result, exit", [&] { return now() > qnStarted + 3000; },
        [&] {
            click(QStringLiteral("KR5AU"), QStringLiteral("Option2"));  // PAUSE
            window(QStringLiteral("VQ"))->findChild<QAction*>(QStringLiteral("sdata"))->trigger();
            menu("cend")->trigger();
        });
    const int ticker = clock.startTimer(200, [this] { runSteps(); });
    clock.scheduleAtUs(400'000'000, [this] { program->requestEnd(); });  // a safety net

    EXPECT_EQ(program->run(), 0);
    clock.stopTimer(ticker);
    ASSERT_TRUE(steps.empty()) << "stuck before: " << steps.front().what.toStdString() << " at "
                               << now() << " ms";

    // The finished Q-N charts went to the Q-N window.
    EXPECT_TRUE(window(QStringLiteral("QN"))->isVisible());

    // The measurement file, line by line.
    bool crlf = false;
    const QStringList lines = readLines(measurement, &crlf);
    EXPECT_TRUE(crlf);
    ASSERT_GT(lines.size(), 14);
    EXPECT_TRUE(lines.mid(0, 14)
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("\"Cable \"\"A\"\", phase 1\"")));
    const QRegularExpression row(QStringLiteral("^ \\d,\\d*\\.\\d, \\d,\\d*\\.\\d,\\d*\\.\\d$"));
    const QRegularExpression marker(QStringLiteral("^\"(\\w+)\",\"\\d\\d:\\d\\d:\\d\\d\""));
    QStringList markers;
    int rows = 0, qnRows = 0, rowsInFirstQn = 0;
    bool inQn = false;
    for (const QString& line : lines.mid(14)) {
        if (row.match(line).hasMatch()) {
            ++rows;
            if (inQn) {
                ++qnRows;
                EXPECT_TRUE(line.contains(QLatin1String(", 0,"))) << line.toStdString();
                if (markers.count(QStringLiteral("QNstartD")) == 1) {
                    ++rowsInFirstQn;
                }
            }
            continue;
        }
        const auto m = marker.match(line);
        ASSERT_TRUE(m.hasMatch()) << "not a row or marker: " << line.toStdString();
        markers << m.captured(1);
        inQn = m.captured(1) == QLatin1String("QNstartD");
    }
    EXPECT_EQ(markers, (QStringList{"RECON", "QNstartD", "QNend", "QNstartD", "QNend", "QNstartD",
                                    "QNend", "PAUSE"}));
    EXPECT_EQ(rowsInFirstQn, 5 * 10);
    EXPECT_GE(qnRows, 5 * 10 + 31 * 10);
    EXPECT_GT(rows - qnRows, 100);  // the normal readings of the ramp and after

    // Inception and extinction were found on the ramp and saved.
    const QStringList saved = readLines(result);
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved[0], QStringLiteral("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\""));
    const QRegularExpression values(
        QStringLiteral("^\"Cable \"\"A\"\", phase 1\",7,(\\d+),(\\d+),\"\\d\\d-\\d\\d-\\d{4} "
                       "\\d\\d:\\d\\d:\\d\\d\"$"));
    const auto v = values.match(saved[1]);
    ASSERT_TRUE(v.hasMatch()) << saved[1].toStdString();
    EXPECT_GT(v.captured(1).toDouble(), v.captured(2).toDouble());  // inception above extinction

    // The frame log: the panel's settings, the speed change and back, the release.
    QStringList frames;
    for (const auto& f : port.frameLog()) {
        frames << QStringLiteral("%1 %2 %3")
                      .arg(f.baud)
                      .arg(f.address)
                      .arg(QString::fromLatin1(f.command));
    }
    EXPECT_EQ(frames.filter(QRegularExpression(QStringLiteral("^9600 2 f1$"))).size(), 1);
    EXPECT_EQ(frames.filter(QRegularExpression(QStringLiteral("^9600 2 a5$"))).size(), 1);
    const auto at = [&](const QString& f) { return static_cast<int>(frames.indexOf(f)); };
    const int b5 = at(QStringLiteral("9600 0 b5"));
    ASSERT_GE(b5, 0);
    EXPECT_EQ(frames.mid(b5, 4), (QStringList{"9600 0 b5", "9600 1 b5", "9600 2 b5", "38400 0 v"}));
    EXPECT_TRUE(frames.contains(QStringLiteral("38400 0 x")));
    const int back = at(QStringLiteral("38400 0 b3"));
    ASSERT_GT(back, b5);
    EXPECT_EQ(frames.mid(back, 4),
              (QStringList{"38400 0 b3", "38400 1 b3", "38400 2 b3", "9600 0 v"}));
    EXPECT_EQ(frames.mid(frames.size() - 6), (QStringList{"9600 0 m0", "9600 2 m0", "9600 0 b3",
                                                          "9600 1 b3", "9600 2 b3", "9600 0 v"}));
}

}  // namespace
}  // namespace kr5
