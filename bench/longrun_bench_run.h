// The long run: the whole program on the simulated bench in virtual time, recording at a
// 500 ms sample time for hours while a fault comes every minute, built as the whole-program
// tests build it. Unlike them it lets Qt deliver its own events (repaints, layouts) every
// virtual second, as the real program's waiter does. It follows the measurement file, checks
// that the program is back to its normal cycle some seconds after each fault, samples the
// memory, and prints its figures.
#pragma once

#include "app/program.h"
#include "benchfakes.h"
#include "longrun_bench_faults.h"
#include "longrun_bench_records.h"
#include "platform/qtfiles.h"
#include "platform/virtualclock.h"
#include "platform/virtualmailbox.h"
#include "sim/bench.h"
#include "sim/simport.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <map>
#include <memory>

namespace kr5::longrun {

struct RunOptions {
    double hours = 24.0;  // simulated
    quint32 seed = 1;     // of the bench and of the faults
    int speedIndex = 0;   // the line: 0 9600, 1 19200, 2 38400 baud
    // Qt's own events every so much virtual time; 0: never (its posted events then pile up).
    int qtEventsMs = 1000;
    int reportMinutes = 60;  // a progress line every so many simulated minutes
    double recoverS = 5.0;   // after a fault clears, the time the program has to mend
    // The faults drawn from, in turn (all six by default; none: a run without faults).
    std::vector<FaultType> faultTypes{kFaultTypes.begin(), kFaultTypes.end()};
};

// The message boxes and save dialogs: File > Save gets the measurement file, every box is
// answered OK and counted.
class BenchDialogs : public Dialogs {
  public:
    std::deque<QString> savePaths;
    int messages = 0;
    QStringList firstMessages;  // the first few texts

    void ask(const QString& text, const QString& title, Buttons buttons, const QString& detail,
             Answered answered) override;
    void askSaveFileName(const SaveRequest& request, SaveChosen chosen) override;
};

class NoLauncher : public Launcher {
  public:
    bool openDocument(const QString&, std::function<void()>) override { return false; }
    bool startProgram(const QString&, const QStringList&) override { return false; }
    QString findProgram(const QString&) override { return {}; }
};

// One line on standard output, at once (a long run's output goes to a file).
void say(const QString& line);
// The memory of this process, MB: resident (what the system gave it and has not taken
// back) and the heap's bytes in use (which falls again when memory is freed).
struct Memory {
    double residentMb = 0.0;
    double heapMb = 0.0;
};
Memory memoryNow();

class LongRun {
  public:
    explicit LongRun(const RunOptions& options);
    ~LongRun();
    LongRun(const LongRun&) = delete;
    LongRun& operator=(const LongRun&) = delete;

    // Runs the program to its end and prints the figures. Returns 0 when every check
    // held, 1 when one failed (the figures say which).
    int run();

  private:
    struct KindFigures {
        int faults = 0;
        int bit = 0;        // trouble was shown while the fault lasted
        int recovered = 0;  // back to normal recoverS after it cleared
    };

    void build();
    void at(double seconds, std::function<void()> action);
    // Whether a planned garbling fault covers the unit's answers at atUs.
    bool garbledAt(sim::UnitKind unit, double atUs) const;
    void startRecording();
    void everyMinute();
    void planMinute(const PlannedFault& fault);
    // The text of a label in the main window's status bar; empty while it is hidden.
    QString statusText(const char* label) const;
    // Stale readouts or a unit, port or file trouble in the status bar.
    bool troubleShown() const;
    void checkRecovered(const PlannedFault& fault, qint64 rowsBefore);
    void sampleMemory();
    void progress();
    void report(int exitCode);
    void fail(const QString& what);

    RunOptions options_;
    QString previousDir_;
    QTemporaryDir dir_;
    QString measurement_;
    std::vector<PlannedFault> plan_;
    size_t nextFault_ = 0;

    VirtualClock clock_;
    VirtualWaiter waiter_{clock_};
    VirtualMailbox toEngine_{clock_};
    VirtualMailbox toWindows_{clock_};
    InlineLoopRunner runner_{waiter_};
    std::unique_ptr<sim::Bench> bench_;
    std::unique_ptr<sim::SimPort> port_;
    BenchDialogs dialogs_;
    NoLauncher launcher_;
    bench::HeldClipboard clipboard_;
    QtFiles disk_;
    FillingDisk files_{disk_};
    std::unique_ptr<Program> program_;

    RowsFromTheLine line_;
    MeasurementFollower follower_;
    qint64 frames_ = 0;

    std::map<FaultType, KindFigures> kinds_;
    QStringList notMended_;  // the first few faults the program did not mend after
    QStringList failures_;
    bool exitAsked_ = false;
    bool stoppedBySafetyNet_ = false;

    QElapsedTimer real_;
    qint64 lastProgressS_ = -1;
    Memory memoryAtStart_;      // when the recording starts
    Memory memoryAtFirstHour_;  // after the first simulated hour (zero before)
    Memory memoryLast_;
    double residentMaxMb_ = 0.0;
};

}  // namespace kr5::longrun
