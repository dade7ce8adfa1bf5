#include "longrun_bench_run.h"

#include "support/windowlookup.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace kr5::longrun {

using test::control;
using test::window;

namespace {

constexpr int kMessagesShown = 5;

}  // namespace

void BenchDialogs::ask(const QString& text, const QString&, Buttons, const QString& detail,
                       Answered answered) {
    if (++messages <= kMessagesShown) {
        firstMessages << (detail.isEmpty() ? text : text + QStringLiteral(" (") + detail + ')');
    }
    if (answered) {
        answered(Answer::Ok);
    }
}

void BenchDialogs::askSaveFileName(const SaveRequest& request, SaveChosen chosen) {
    if (savePaths.empty()) {
        chosen(QString(), 0);
        return;
    }
    const QString path = savePaths.front();
    savePaths.pop_front();
    chosen(path, request.filterIndex);
}

LongRun::LongRun(const RunOptions& options)
    : options_(options),
      previousDir_(QDir::currentPath()),
      measurement_(dir_.filePath(QStringLiteral("longrun.csv"))),
      line_(InputConstants{},
            [this](sim::UnitKind unit, double atUs) { return garbledAt(unit, atUs); }),
      follower_(measurement_, line_) {}

LongRun::~LongRun() {
    program_.reset();
    QDir::setCurrent(previousDir_);
}

bool LongRun::garbledAt(sim::UnitKind unit, double atUs) const {
    // One fault a minute: only the last one started can cover the moment.
    const double s = atUs / 1e6;
    const auto after = std::upper_bound(
        plan_.begin(), plan_.end(), s, [](double t, const PlannedFault& f) { return t < f.fromS; });
    if (after == plan_.begin()) {
        return false;
    }
    const PlannedFault& f = *(after - 1);
    return f.type == FaultType::Garbled && f.unit == unit && s < f.toS;
}

void LongRun::at(double seconds, std::function<void()> action) {
    clock_.scheduleAtUs(std::llround(seconds * 1e6), std::move(action));
}

void LongRun::build() {
    // As the whole-program tests build it: a quiet bench (only the test object's
    // discharges start an inception), the units left to the program.
    sim::Scenario scenario = sim::Scenario::defaultBench();
    scenario.seed = options_.seed;
    scenario.operatorActive = false;
    scenario.object.noisePps = 20;
    const double endS = options_.hours * 3600.0;
    // The last fault's minute ends, with its check, before the exit.
    plan_ = planFaults(options_.seed, 1, static_cast<int>(std::floor(endS / 60.0)) - 1,
                       options_.faultTypes);
    addToScenario(plan_, scenario);

    bench_ = std::make_unique<sim::Bench>(scenario);
    bench_->setKeepFrames(false);
    bench_->setFrameObserver([this](const sim::FrameRecord& frame) {
        ++frames_;
        line_.take(frame);
    });
    port_ = std::make_unique<sim::SimPort>(*bench_, clock_);
    ProgramOptions programOptions;
    programOptions.sampleMs = 500;
    programOptions.speedIndex = options_.speedIndex;
    // The bench must not move the user's own windows.
    programOptions.windowMemoryPath = dir_.filePath(QStringLiteral("windows.conf"));
    program_ =
        std::make_unique<Program>(Platform{clock_, waiter_, *port_, dialogs_, launcher_, clipboard_,
                                           files_, toEngine_, toWindows_, runner_},
                                  programOptions);
}

void LongRun::fail(const QString& what) {
    failures_ << what;
    say(QStringLiteral("FAILED: ") + what);
}

void LongRun::startRecording() {
    // Input const: name, number, Set Q at its first step, Adjust 1, OK; File > Save; REC ON.
    program_->mainWindow().findChild<QAction*>(QStringLiteral("kouseiin"))->trigger();
    const auto type = [this](const char* field, const QString& text) {
        auto* edit = control<QLineEdit>(QStringLiteral("kousei"), QLatin1String(field));
        if (edit == nullptr) {
            fail(QStringLiteral("no field %1 in Input const").arg(QLatin1String(field)));
            return;
        }
        edit->selectAll();
        edit->insert(text);
    };
    type("Text1", QStringLiteral("longrun"));
    type("Text2", QStringLiteral("1"));
    type("Text6", QStringLiteral("1"));
    auto* setQ = control<QScrollBar>(QStringLiteral("kousei"), QStringLiteral("HScroll3"));
    auto* ok = control<QAbstractButton>(QStringLiteral("kousei"), QStringLiteral("Command1"));
    if (setQ == nullptr || ok == nullptr) {
        fail(QStringLiteral("Input const has no Set Q bar or OK"));
        return;
    }
    setQ->setValue(0);
    ok->click();

    dialogs_.savePaths.push_back(measurement_);
    program_->mainWindow().findChild<QAction*>(QStringLiteral("csave"))->trigger();
    auto* recOn = control<QAbstractButton>(QStringLiteral("KR5AU"), QStringLiteral("Option1"));
    if (recOn == nullptr) {
        fail(QStringLiteral("no REC ON button after File > Save"));
        return;
    }
    recOn->click();
}

void LongRun::planMinute(const PlannedFault& fault) {
    KindFigures& kind = kinds_[fault.type];
    if (fault.type == FaultType::DiskFull) {
        at(fault.fromS, [this, fault] { files_.fillUp(fault.roomBytes); });
        at(fault.toS, [this] { files_.makeRoom(); });
    }
    // Whether the program showed the trouble while it lasted (a late or split answer
    // within the reply wait is no trouble).
    auto bit = std::make_shared<bool>(false);
    for (double s = fault.fromS + 0.25; s < fault.toS + 1.0; s += 0.25) {
        at(s, [this, bit] { *bit = *bit || troubleShown(); });
    }
    at(fault.toS + 1.0, [&kind, bit] { kind.bit += *bit ? 1 : 0; });
    // Rows recorded in the last two seconds before the check.
    auto rowsBefore = std::make_shared<qint64>(0);
    at(fault.toS + options_.recoverS - 2.0, [this, rowsBefore] {
        follower_.follow();
        *rowsBefore = follower_.rows();
    });
    at(fault.toS + options_.recoverS,
       [this, fault, rowsBefore] { checkRecovered(fault, *rowsBefore); });
}

void LongRun::everyMinute() {
    follower_.follow();
    sampleMemory();
    const double nowS = static_cast<double>(clock_.nowMs()) / 1000.0;
    if (nowS >= 3600.0 && memoryAtFirstHour_.residentMb == 0.0) {
        memoryAtFirstHour_ = memoryLast_;
    }
    const auto minute = std::llround(nowS / 60.0);
    if (minute % options_.reportMinutes == 0) {
        progress();
    }
    // The faults of the coming minute.
    while (nextFault_ < plan_.size() && plan_[nextFault_].fromS < nowS + 60.0) {
        planMinute(plan_[nextFault_++]);
    }
}

int LongRun::run() {
    if (!dir_.isValid()) {
        say(QStringLiteral("FAILED: no temporary folder"));
        return 1;
    }
    QDir::setCurrent(dir_.path());  // the settings file lives in the working folder
    build();
    const double endS = options_.hours * 3600.0;
    at(4.0, [this] {
        startRecording();
        memoryAtStart_ = memoryNow();
        residentMaxMb_ = memoryAtStart_.residentMb;
        say(QStringLiteral("0:00 h  recording, RSS %1 MB  heap %2 MB")
                .arg(memoryAtStart_.residentMb, 0, 'f', 1)
                .arg(memoryAtStart_.heapMb, 0, 'f', 2));
    });
    const int minutes = clock_.startTimer(60'000, [this] { everyMinute(); });
    int qtEvents = 0;
    if (options_.qtEventsMs > 0) {
        // The real program's event loops let Qt repaint and deliver its posted events; the
        // virtual waiter runs only the clock's actions.
        qtEvents =
            clock_.startTimer(options_.qtEventsMs, [] { QCoreApplication::processEvents(); });
    }
    at(endS, [this] {
        follower_.follow();
        sampleMemory();
        progress();
        exitAsked_ = true;
        program_->mainWindow().findChild<QAction*>(QStringLiteral("cend"))->trigger();
    });
    at(endS + 120.0, [this] {
        stoppedBySafetyNet_ = true;
        program_->requestEnd();
    });

    real_.start();
    const int exitCode = program_->run();
    clock_.stopTimer(minutes);
    if (qtEvents != 0) {
        clock_.stopTimer(qtEvents);
    }
    follower_.finish();
    report(exitCode);
    return failures_.isEmpty() ? 0 : 1;
}

}  // namespace kr5::longrun
