// The whole program on a simulated bench in virtual time, driven through its windows as an
// operator would, with what the tests read back: the frames on the line with what each
// unit answered, the files, the panel's model and the status bar.
#pragma once

#include "app/program.h"
#include "platform/qtfiles.h"
#include "platform/virtualmailbox.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"
#include "support/filebytes.h"
#include "support/windowlookup.h"
#include "windowfakes.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

namespace kr5::test {

// Types into a field as the keyboard does: the window hears an edit.
inline void type(const QString& windowName, const QString& field, const QString& text) {
    auto* edit = control<QLineEdit>(windowName, field);
    ASSERT_NE(edit, nullptr) << field.toStdString();
    edit->selectAll();
    edit->insert(text);
}

inline void click(const QString& windowName, const QString& name) {
    auto* button = control<QAbstractButton>(windowName, name);
    ASSERT_NE(button, nullptr) << windowName.toStdString() << ' ' << name.toStdString();
    button->click();
}

inline void trigger(const QString& windowName, const QString& item) {
    QWidget* w = window(windowName);
    ASSERT_NE(w, nullptr) << windowName.toStdString();
    auto* action = w->findChild<QAction*>(item);
    ASSERT_NE(action, nullptr) << item.toStdString();
    action->trigger();
}

// The lines of a file written with CR LF ends.
QStringList readLines(const QString& path);

// The words of a PDF, as pdftotext (poppler-utils) reads them.
QString pdfText(const QString& path);

// Every recorded row is one the units' answers make, in their order; rows may be
// missing where a reply did not count, but none is made up.
void expectRowsTrue(const QStringList& rows, const QStringList& fromLine);

// The default bench with its test voltage ramp, quiet enough that only the test object's
// discharges start an inception.
sim::Scenario quietBench();
// A steady discharge at 10 kV: automatic ranging settles at 1/100 and x5 and stays.
void steadyDischarge(sim::Scenario& s);

class WholeProgram : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    // Stands for the user's configuration folder, where the windows' places are kept.
    QTemporaryDir configDir;
    VirtualClock clock;
    VirtualWaiter waiter{clock};
    // The engine and the windows share the test's thread; holding toWindows plays windows
    // that do not answer (a stalled display, a long repaint).
    VirtualMailbox toEngine{clock};
    VirtualMailbox toWindows{clock};
    InlineLoopRunner runner{waiter};
    sim::Scenario scenario = quietBench();
    std::unique_ptr<sim::Bench> bench;
    std::unique_ptr<sim::SimPort> port;
    FakeDialogs dialogs;
    windowfakes::RecordingLauncher launcher;
    FakeClipboard clipboard;
    QtFiles files;  // the measurement files on the real disk, where the tests read them
    std::unique_ptr<Program> program;

    // The operator's steps: each waits for its condition, then acts.
    struct Step {
        QString what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    std::deque<Step> steps;

    void SetUp() override;
    void TearDown() override;

    // Builds the bench from the scenario (faults added to it count) and the program.
    void build();
    // Runs the program until its steps are done and it has ended (the last step ends
    // it); stops it at endMs whatever happens.
    void runProgram(qint64 endMs = 400'000);

    void step(const QString& what, std::function<bool()> ready, std::function<void()> act) {
        steps.push_back({what, std::move(ready), std::move(act)});
    }
    // A step at a moment of virtual time.
    void at(qint64 ms, const QString& what, std::function<void()> act) {
        step(
            what, [this, ms] { return now() >= ms; }, std::move(act));
    }

    qint64 now() const { return clock.nowMs(); }
    QString windowMemoryPath() const { return configDir.filePath(QStringLiteral("kr5au.conf")); }
    QAction* menu(const char* name) {
        return program->mainWindow().findChild<QAction*>(QLatin1String(name));
    }
    // Input const: the name and number typed, the Set Q scroll bar at setQIndex, Adjust,
    // then OK.
    void enterConstants(const QString& name, const QString& number = QStringLiteral("1"),
                        int setQIndex = 0, const QString& adjust = QStringLiteral("1"));
    // Options: select a tab, click option buttons on it, then Set.
    void options(int tab, const QStringList& buttons);
    // File > Save to path, then REC ON.
    void startRecording(const QString& path);
    // Constants named name, then a recording to dir/<name>.csv; returns its path.
    QString record(const QString& name);
    // Acceptance test: the test voltage, the hold and the permissible charge typed, then OK.
    void setUpAcceptance(const QString& kv, const QString& holdS, const QString& pc);
    // Options: a Q-N gate of 100 ms and passes (an Option5 index, 6 for Non Stop), then
    // T-QNV Mes.
    void startQn(int passes);

    // "<baud> <address> <command>" of every frame.
    QStringList frames() const;
    // Data rows and markers of a measurement file, after its 14 header lines.
    struct Body {
        QStringList rows;
        QStringList markers;       // the tag of each marker line, in order
        QList<QStringList> after;  // the rows after each marker, up to the next
    };
    static Body body(const QStringList& lines);
    // The data row each reading of the run would have, from what the units answered on
    // the line, in the order of the readings: the rows recorded must be a run of these.
    QStringList rowsFromTheLine(const InputConstants& constants) const;
    // The status bar's line about units that do not answer.
    QString unitStatusText() const;
    // The status bar's passing message.
    QString statusMessage() const;
    // The summary written beside a measurement file; empty when there is none.
    static QJsonObject summaryOf(const QString& path);

  private:
    void runSteps();
};

}  // namespace kr5::test
