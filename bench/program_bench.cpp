// Runs the real program against kr5sim (the detector, the AC unit and the noise
// discriminator on port 1 at addresses 3, 7 and 12) and prints what an operator would feel,
// each figure a median, beside its target:
//   - start-up: launch to the first "x" frame, over three launches;
//   - idle: processor time with a sample time of 500 ms;
//   - the period of normal cycles with sample time MIN at 9600, 19200 and 38400 baud against
//     the line's own limit (41 characters of frames and replies at 10 bits each plus three
//     turnarounds of 2 ms), and the processor time per cycle;
//   - 38400 baud flat out for ten minutes: processor time in 10-second windows and resident
//     memory, headless; then two minutes with the windows shown on an X server of its own
//     (Xvfb), when it is installed;
//   - with --load only: replies missed at 38400 baud flat out while other processes load
//     every core;
//   - with --history only: the cycle at 38400 baud on Xvfb without and with the History
//     window open (the full run ends with it too);
//   - with --stall only: the longest gap between readings while the X server the windows
//     are shown on stands still for 5 s;
//   - with --remote only: the cycle at 38400 baud with the remote control listening, without
//     a client and with one asking READ? every 50 ms, and that client's replies and their
//     latency;
//   - with --storing only: the cycle at 38400 baud while a client closes a measurement file
//     every 100 ms, each stored in the results store, beside the same run without it.
// Figures are printed, never judged by a test: the machine is shared and noisy.
#include "program_session.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

using kr5::bench::Frame;
using kr5::bench::ProgramSession;

QTextStream out(stdout);

struct Row {
    QString figure;
    QString measured;
    QString target;
    bool met;
};
std::vector<Row> rows;

void report(const QString& figure, double value, const QString& unit, double target,
            const QString& detail = QString()) {
    const QString measured = QString::number(value, 'f', value < 10 ? 3 : 1) + unit;
    rows.push_back({figure, measured + detail,
                    QStringLiteral("≤ ") + QString::number(target) + unit, value <= target});
    out << figure << ": " << measured << detail << " (target ≤ " << target << unit << ")"
        << Qt::endl;
}

double median(std::vector<double> v) {
    if (v.empty()) {
        return 0.0;
    }
    std::sort(v.begin(), v.end());
    const size_t mid = v.size() / 2;
    return v.size() % 2 == 1 ? v[mid] : (v[mid - 1] + v[mid]) / 2.0;
}

void sleepMs(double ms) {
    QThread::msleep(static_cast<unsigned long>(std::max(0.0, ms)));
}

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2)
               : QStringLiteral("?");
}

struct Programs {
    QString sim;
    QString program;
};

ProgramSession::Setup setup(const Programs& p, const QStringList& args,
                            const QString& display = {}) {
    return {p.sim, p.program, args, display, QString()};
}

void startUp(const Programs& p) {
    std::vector<double> toX;
    std::vector<double> toProbe;
    for (int run = 0; run < 3; ++run) {
        ProgramSession s(setup(p, {}));
        double firstProbe = -1;
        double firstX = -1;
        const double giveUp = s.nowMs() + 15000;
        while (firstX < 0 && s.nowMs() < giveUp) {
            sleepMs(100);
            for (const Frame& f : s.frames()) {
                if (firstProbe < 0 && f.command == QLatin1String("v")) {
                    firstProbe = f.ms;
                }
                if (f.command == QLatin1String("x")) {
                    firstX = f.ms;
                    break;
                }
            }
        }
        toX.push_back(firstX - s.launchMs());
        toProbe.push_back(firstProbe - s.launchMs());
    }
    report(QStringLiteral("launch to the first x (median of 3 launches)"), median(toX),
           QStringLiteral(" ms"), 2000,
           QStringLiteral("; launch to the first probe %1 ms").arg(median(toProbe), 0, 'f', 0));
}

void idle(const Programs& p) {
    ProgramSession s(setup(p, {QStringLiteral("--sample"), QStringLiteral("500")}));
    sleepMs(6000);
    std::vector<double> percent;
    for (int window = 0; window < 6; ++window) {
        const double before = s.cpuSeconds();
        sleepMs(5000);
        percent.push_back(100.0 * (s.cpuSeconds() - before) / 5.0);
    }
    report(QStringLiteral("idle, sample time 500 ms (median of 6 × 5 s)"), median(percent),
           QStringLiteral(" % of a core"), 0.5);
}

// The History window open, as the program reopens it when it was open at the last end.
const QString kHistoryShown = QStringLiteral("[port1]\nwindows\\history\\shown=true\n");

const int kBauds[] = {9600, 19200, 38400};

// Waits with the event loop running, for a remote-control client's sake.
void serveMs(double ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(std::max(0.0, ms)), &loop, &QEventLoop::quit);
    loop.exec();
}

struct Cycles {
    double period = 0.0;  // ms, the median of the normal cycles
    double limit = 0.0;   // ms, the line's own
    size_t normal = 0;
    double cpuMsPerCycle = 0.0;
};

// Ten seconds of a running program's cycles at the speed it was started with, after seven
// for the search and the change of speed. `windowStarts` is called as the ten begin.
template <typename WindowStarts>
Cycles measureCycles(const ProgramSession& s, int baud, WindowStarts windowStarts) {
    serveMs(7000);
    windowStarts();
    const double cpuBefore = s.cpuSeconds();
    const qsizetype countBefore = s.frames().size();
    serveMs(10000);
    const double cpu = s.cpuSeconds() - cpuBefore;
    const QList<Frame> frames = s.frames(countBefore);
    // Normal cycles only: an "x" whose cycle exchanged just the three reads. A cycle that
    // also sent a range or remote command waits 200 ms after it by design.
    std::vector<double> periods;
    int allCycles = 0;
    qsizetype lastX = -1;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        if (frames[i].command != QLatin1String("x") || frames[i].baud != baud) {
            continue;
        }
        ++allCycles;
        if (lastX >= 0 && i - lastX == 3) {
            periods.push_back(frames[i].ms - frames[lastX].ms);
        }
        lastX = i;
    }
    Cycles c;
    c.limit = 41.0 * 10.0 * 1000.0 / baud + 3 * 2.0;
    c.period = median(periods);
    c.normal = periods.size();
    c.cpuMsPerCycle = allCycles > 0 ? 1000.0 * cpu / allCycles : 0.0;
    return c;
}

void reportCycles(const Cycles& c, int baud, const QString& how) {
    report(QStringLiteral("cycle period at %1 baud%4 (median of %2 cycles) / line limit %3 ms")
               .arg(baud)
               .arg(c.normal)
               .arg(c.limit, 0, 'f', 2)
               .arg(how),
           c.period / c.limit, QString(), 1.05,
           QStringLiteral(" (%1 ms; %2 ms of processor time per cycle)")
               .arg(c.period, 0, 'f', 2)
               .arg(c.cpuMsPerCycle, 0, 'f', 2));
}

void cyclePeriod(const Programs& p, int speedIndex, const QString& display = {},
                 const QString& config = {}, const QString& how = {}) {
    ProgramSession::Setup run =
        setup(p, {QStringLiteral("--speed"), QString::number(speedIndex)}, display);
    run.config = config;
    const ProgramSession s(run);
    const int baud = kBauds[speedIndex];
    reportCycles(measureCycles(s, baud, [] {}), baud, how);
}

// What a lab's script costs the measuring: the cycle at 38400 baud with the remote control
// listening, first with no client, then with one asking READ? 20 times a second.
void remoteShare(const Programs& p) {
    constexpr int kAskEveryMs = 50;
    const int baud = kBauds[2];
    const QStringList args{QStringLiteral("--speed"), QStringLiteral("2"),
                           QStringLiteral("--listen"), QStringLiteral("0")};
    Cycles alone;
    {
        const ProgramSession s(setup(p, args));
        if (s.remotePort(15000) == 0) {
            out << "the remote control did not listen" << Qt::endl;
            return;
        }
        alone = measureCycles(s, baud, [] {});
        reportCycles(alone, baud, QStringLiteral(", listening, no client"));
    }
    const ProgramSession s(setup(p, args));
    const quint16 port = s.remotePort(15000);
    kr5::bench::ReadClient client(port, kAskEveryMs);
    if (port == 0 || !client.connected()) {
        out << "the remote control did not take the client" << Qt::endl;
        return;
    }
    const Cycles served = measureCycles(s, baud, [&client] { client.restartCount(); });
    reportCycles(served, baud, QStringLiteral(", READ? every %1 ms").arg(kAskEveryMs));
    out << "cycle with the client / without: "
        << QString::number(served.period / served.limit / (alone.period / alone.limit), 'f', 3)
        << Qt::endl;
    const std::vector<double>& latencies = client.latenciesMs();
    out << "READ? replies in the 10 s: " << client.replies() << " (" << 10000 / kAskEveryMs
        << " asked)" << Qt::endl;
    out << "READ? reply latency: median " << QString::number(median(latencies), 'f', 2)
        << " ms, largest "
        << QString::number(
               latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end()), 'f',
               2)
        << " ms" << Qt::endl;
}

// Storing tests takes nothing from the cycle: at 38400 baud, a client makes a measurement
// file and closes it every 100 ms (about 100 tests for the results store in the 10 s
// measured), beside the same run without it.
void storingShare(const Programs& p) {
    const int baud = kBauds[2];
    const QStringList args{QStringLiteral("--speed"), QStringLiteral("2"),
                           QStringLiteral("--listen"), QStringLiteral("0")};
    Cycles alone;
    {
        const ProgramSession s(setup(p, args));
        alone = measureCycles(s, baud, [] {});
        reportCycles(alone, baud, QStringLiteral(", listening, no tests stored"));
    }
    const ProgramSession s(setup(p, args));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, s.remotePort(15000));
    if (!client.waitForConnected(5000)) {
        out << "the remote control did not take the client" << Qt::endl;
        return;
    }
    QTemporaryDir files;
    int closed = 0;
    bool recording = false;
    QTimer every;
    // A file made and recording on one tick, closed on the next.
    QObject::connect(&every, &QTimer::timeout, [&] {
        if (recording) {
            client.write("REC:STAT CLOS\n");
            ++closed;
        } else {
            const QString path = files.filePath(QStringLiteral("t%1.csv").arg(closed));
            // A name of its own: two files alike to the byte would be one test to the store.
            client.write("CONF:NAME \"bench " + QByteArray::number(closed) + "\";:REC:FILE \"" +
                         path.toUtf8() + "\";:REC:STAT ON\n");
        }
        recording = !recording;
    });
    const Cycles storing = measureCycles(s, baud, [&] { every.start(50); });
    every.stop();
    serveMs(3000);  // the last tests reach the store
    client.readAll();
    client.write("RES:COUN?\n");
    client.waitForReadyRead(5000);
    reportCycles(storing, baud, QStringLiteral(", a test stored every 100 ms"));
    out << "files closed: " << closed << ", tests in the store: " << client.readAll().trimmed()
        << Qt::endl;
    out << "cycle while storing / without: "
        << QString::number(storing.period / storing.limit / (alone.period / alone.limit), 'f', 3)
        << Qt::endl;
}

// The History window follows the readings between cycles: the same run at 38400 baud
// without and with it open.
void historyShare(const Programs& p, const QString& display) {
    cyclePeriod(p, 2, display, {}, QStringLiteral(", windows shown"));
    cyclePeriod(p, 2, display, kHistoryShown, QStringLiteral(", windows and History shown"));
}

// 38400 baud flat out: processor time per 10-second window and resident memory.
void flatOut(const Programs& p, const QString& display, int seconds, bool memory) {
    ProgramSession s(setup(p,
                           {QStringLiteral("--sample"), QStringLiteral("0"),
                            QStringLiteral("--speed"), QStringLiteral("2")},
                           display));
    sleepMs(8000);
    std::vector<double> percent;
    std::vector<double> resident;
    for (int window = 0; window < seconds / 10; ++window) {
        const double before = s.cpuSeconds();
        const double from = s.nowMs();
        sleepMs(10000);
        percent.push_back(100.0 * (s.cpuSeconds() - before) / ((s.nowMs() - from) / 1000.0));
        resident.push_back(s.residentMb());
    }
    const QString how =
        display.isEmpty() ? QStringLiteral("headless") : QStringLiteral("windows shown");
    report(QStringLiteral("38400 baud flat out, %1 (median of %2 × 10 s)")
               .arg(how)
               .arg(percent.size()),
           median(percent), QStringLiteral(" % of a core"), 4.0);
    if (memory && !resident.empty()) {
        report(QStringLiteral("resident memory over %1 min flat out (largest)").arg(seconds / 60),
               *std::max_element(resident.begin(), resident.end()), QStringLiteral(" MB"), 50);
        report(QStringLiteral("growth from the first to the last minute"),
               resident.back() - resident[std::min<size_t>(5, resident.size() - 1)],
               QStringLiteral(" MB"), 1.0,
               QStringLiteral(" (%1 → %2 MB)")
                   .arg(resident.front(), 0, 'f', 1)
                   .arg(resident.back(), 0, 'f', 1));
    }
}

double lineLimitMs(int baud) {
    return 41.0 * 10.0 * 1000.0 / baud + 3 * 2.0;
}

// The longest time between two readings (the detector's "x" frames at baud) from `from`
// to a second after `to`; a reading that never came after `from` counts until now. A setting
// sent between two readings (a range or the ZN-4's) is followed by a wait of 200 ms for the
// unit to settle, by design: that much of the gap is not counted, and *settings counts them.
double longestGap(const ProgramSession& s, int baud, double from, double to,
                  int* settings = nullptr) {
    constexpr double kSettleMs = 200.0;
    double previous = -1.0;
    double longest = 0.0;
    int settingsSent = 0;
    for (const Frame& f : s.frames()) {
        if (f.baud != baud || f.ms < from - 100.0) {
            continue;
        }
        if (f.command != QLatin1String("x")) {
            const bool poll = f.command == QLatin1String("t") || f.command == QLatin1String("g");
            settingsSent += poll ? 0 : 1;
            continue;
        }
        if (previous >= 0.0 && f.ms <= to + 1000.0) {
            longest = std::max(longest, f.ms - previous - kSettleMs * settingsSent);
            if (settings != nullptr) {
                *settings += settingsSent;
            }
        }
        settingsSent = 0;
        previous = f.ms;
    }
    if (previous < to) {
        longest = std::max(longest, s.nowMs() - std::max(previous, from));
    }
    return longest;
}

// Reports the longest gap between readings at 38400 baud from `from` to `to`, beside its
// target of two cycles at the line's limit.
void reportGap(const ProgramSession& s, double from, double to, const QString& while_,
               const QString& note) {
    const int baud = kBauds[2];
    int settings = 0;
    const double gap = longestGap(s, baud, from, to, &settings);
    report(QStringLiteral("longest gap between readings, ") + while_, gap, QStringLiteral(" ms"),
           2.0 * lineLimitMs(baud),
           QStringLiteral(" (%1%2 range or ZN-4 settings, their 200 ms waits not counted)")
               .arg(note.isEmpty() ? QString() : note + QStringLiteral("; "))
               .arg(settings));
}

// The longest gap between two readings (the detector's "x" frames) while the X server the
// windows are shown on stands still for 5 s, at 38400 baud flat out: what the measurement
// owes the windows. Target: no gap longer than two cycles at the line's limit.
void stalledDisplay(const Programs& p, kr5::bench::VirtualDisplay& display) {
    const ProgramSession s(
        setup(p, {QStringLiteral("--speed"), QStringLiteral("2")}, display.name()));
    serveMs(8000);
    const double from = s.nowMs();
    display.stop();
    sleepMs(5000);
    display.resume();
    const double to = s.nowMs();
    serveMs(2000);
    reportGap(s, from, to, QStringLiteral("X server stopped for 5 s"), QString());
}

// Runs xdotool on the display; false when it is not installed or failed.
bool xdotool(const QString& display, const QStringList& arguments, QByteArray* output = nullptr) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (tool.isEmpty()) {
        return false;
    }
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    run.setProcessEnvironment(env);
    run.start(tool, arguments);
    run.waitForFinished(5000);
    if (output != nullptr) {
        *output = run.readAllStandardOutput();
    }
    return run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
}

// The same while File > Open's dialog stands open for 5 s (opened with Ctrl+O, as an
// operator would, and closed with Escape). Needs xdotool.
void openDialog(const Programs& p, const kr5::bench::VirtualDisplay& display) {
    ProgramSession::Setup withDialogs =
        setup(p, {QStringLiteral("--speed"), QStringLiteral("2")}, display.name());
    withDialogs.statusLines = false;
    const ProgramSession s(withDialogs);
    serveMs(8000);
    QByteArray window;
    if (!xdotool(display.name(),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--name"), QStringLiteral("^KR-5AU")},
                 &window)) {
        out << "a dialog held open: skipped, xdotool is not installed or found no window"
            << Qt::endl;
        return;
    }
    const QString id = QString::fromLatin1(window.split('\n').front().trimmed());
    xdotool(display.name(), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    // Typed as the keyboard does (XTEST), to the window just focused.
    xdotool(display.name(), {QStringLiteral("key"), QStringLiteral("ctrl+o")});
    bool shown = false;
    for (int i = 0; i < 20 && !shown; ++i) {
        serveMs(250);
        shown = xdotool(display.name(), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--name"), QStringLiteral("^Open$")});
    }
    const double from = s.nowMs();
    serveMs(5000);
    const double to = s.nowMs();
    xdotool(display.name(), {QStringLiteral("key"), QStringLiteral("Escape")});
    serveMs(2000);
    reportGap(s, from, to, QStringLiteral("File > Open held open for 5 s"),
              shown ? QStringLiteral("dialog shown") : QStringLiteral("dialog NOT seen"));
}

// Busy processes on every core: threads that spin until told to stop.
class Load {
  public:
    explicit Load(int threads) {
        for (int i = 0; i < threads; ++i) {
            spinners_.emplace_back([this] {
                volatile unsigned long n = 0;
                while (!stop_) {
                    n = n + 1;
                }
            });
        }
    }
    ~Load() {
        stop_ = true;
        for (std::thread& t : spinners_) {
            t.join();
        }
    }

  private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> spinners_;
};

void missedUnderLoad(const Programs& p, int seconds) {
    const int spinners = 2 * static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    Load load(spinners);
    ProgramSession s(setup(p, {QStringLiteral("--speed"), QStringLiteral("2"),
                               QStringLiteral("--sample"), QStringLiteral("0")}));
    sleepMs(seconds * 1000.0);
    s.finish();
    out << "38400 baud flat out for " << seconds << " s beside " << spinners
        << " spinning threads: " << s.lastStatusLine() << Qt::endl;
    out << "  " << s.simulatorSummary() << Qt::endl;
}

void printTable() {
    out << Qt::endl
        << "| figure | measured | target | met |" << Qt::endl
        << "|---|---|---|---|" << Qt::endl;
    for (const Row& r : rows) {
        out << "| " << r.figure << " | " << r.measured << " | " << r.target << " | "
            << (r.met ? "yes" : "NO") << " |" << Qt::endl;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        out << "usage: program_bench KR5SIM KR5AU [--minutes N] [--load | --history | --remote | "
               "--stall | --storing]"
            << Qt::endl;
        return 2;
    }
    // The program runs in a folder of its own (for its settings file): absolute paths.
    const Programs programs{QFileInfo(args[1]).absoluteFilePath(),
                            QFileInfo(args[2]).absoluteFilePath()};
    if (args.contains(QStringLiteral("--load"))) {
        missedUnderLoad(programs, 120);
        return 0;
    }
    if (args.contains(QStringLiteral("--stall"))) {
        kr5::bench::VirtualDisplay display;
        if (display.name().isEmpty()) {
            out << "a stalled display needs Xvfb" << Qt::endl;
            return 1;
        }
        stalledDisplay(programs, display);
        openDialog(programs, display);
        printTable();
        return 0;
    }
    if (args.contains(QStringLiteral("--storing"))) {
        storingShare(programs);
        printTable();
        return 0;
    }
    if (args.contains(QStringLiteral("--remote"))) {
        remoteShare(programs);
        printTable();
        return 0;
    }
    if (args.contains(QStringLiteral("--history"))) {
        const kr5::bench::VirtualDisplay display;
        if (display.name().isEmpty()) {
            out << "the History's share needs Xvfb" << Qt::endl;
            return 1;
        }
        historyShare(programs, display.name());
        printTable();
        return 0;
    }
    const qsizetype minutesAt = args.indexOf(QStringLiteral("--minutes"));
    const int minutes = minutesAt > 0 ? std::max(1, args.value(minutesAt + 1).toInt()) : 10;
    out << "machine: " << std::thread::hardware_concurrency() << " cores, load average "
        << loadAverage() << " at the start" << Qt::endl;
    startUp(programs);
    idle(programs);
    for (int speed = 0; speed < 3; ++speed) {
        cyclePeriod(programs, speed);
    }
    flatOut(programs, QString(), minutes * 60, true);
    const kr5::bench::VirtualDisplay display;
    if (display.name().isEmpty()) {
        out << "windows shown: skipped, Xvfb is not installed" << Qt::endl;
    } else {
        flatOut(programs, display.name(), 120, false);
        historyShare(programs, display.name());
    }
    out << "load average " << loadAverage() << " at the end" << Qt::endl;
    printTable();
    return 0;
}
