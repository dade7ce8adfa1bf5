// Runs the real program against kr5sim and prints what an operator would feel:
//   - start-up: launch to the first "x" frame, split into what comes before the first
//     identify probe (process start and the reply-wait calibration) and discovery;
//   - idle cost: CPU time per second of running with a sample time of 500 ms;
//   - cycle period with sample time MIN at 9600, 19200 and 38400 baud against the line's
//     own limit (41 characters of frames and replies at 10 bits each plus three
//     turnarounds), and the CPU time per cycle;
//   - replies missed at 38400 baud flat out while other processes load every core, with
//     how late the simulator itself answered (a simulator that did not get the processor
//     in time answers late, and the program rightly counts that as no reply).
// Figures are printed, never judged: the machine is shared and noisy.
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct Frame {
    double ms;
    int baud;
    QString address;
    QString command;
};

QTextStream out(stdout);

QList<Frame> readLog(const QString& path) {
    QList<Frame> frames;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return frames;
    }
    for (const QString& line : QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'))) {
        const QStringList w = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (w.size() >= 5) {
            frames.append({w[0].toDouble(), w[2].toInt(), w[3], w[4]});
        }
    }
    return frames;
}

// User plus system CPU time of a process, in seconds.
double cpuSeconds(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0.0;
    }
    const QString text = QString::fromLatin1(f.readAll());
    const QStringList w = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
    // After the command name: state is field 3, utime field 14, stime field 15.
    const double ticks = w.value(11).toDouble() + w.value(12).toDouble();
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void sleepMs(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

class Session {
  public:
    Session(const QString& sim, const QString& program, const QStringList& args) {
        log_ = dir_.filePath(QStringLiteral("frames.log"));
        clock_.start();
        sim_.setStandardErrorFile(dir_.filePath(QStringLiteral("sim.txt")));
        sim_.start(sim, {QStringLiteral("--log"), log_, QStringLiteral("--operator"),
                         QStringLiteral("off")});
        sim_.waitForReadyRead(5000);
        QString lines;
        while (!lines.contains(QLatin1String("READY")) && sim_.waitForReadyRead(5000)) {
            lines += QString::fromLocal8Bit(sim_.readAllStandardOutput());
        }
        lines += QString::fromLocal8Bit(sim_.readAllStandardOutput());
        const QString device = QRegularExpression(QStringLiteral("^PORT1=(\\S+)$"),
                                                  QRegularExpression::MultilineOption)
                                   .match(lines)
                                   .captured(1);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KR5AU_PORT1"), device);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Window places are kept in the run's own folder, not the user's.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
        program_.setProcessEnvironment(env);
        program_.setWorkingDirectory(dir_.path());
        program_.setStandardOutputFile(dir_.filePath(QStringLiteral("status.txt")));

        launchMs_ = static_cast<double>(clock_.elapsed());
        program_.start(program, QStringList{QStringLiteral("--status")} + args);
        program_.waitForStarted();
    }
    ~Session() { finish(); }
    // Ends the program, then the simulator, as an operator would.
    void finish() {
        program_.terminate();
        program_.waitForFinished(15000);
        sim_.terminate();
        sim_.waitForFinished(5000);
    }
    // The last line the program printed, and the simulator's words at its end.
    QString lastStatusLine() const { return lastLine(QStringLiteral("status.txt")); }
    QString simulatorSummary() const { return lastLine(QStringLiteral("sim.txt")); }
    double launchMs() const { return launchMs_; }
    qint64 pid() const { return program_.processId(); }
    QList<Frame> frames() const { return readLog(log_); }

  private:
    QString lastLine(const QString& name) const {
        QFile f(dir_.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        const QStringList lines =
            QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.constLast();
    }

    QTemporaryDir dir_;
    QString log_;
    QElapsedTimer clock_;
    QProcess sim_;
    QProcess program_;
    double launchMs_ = 0.0;
};

void startUp(const QString& sim, const QString& program) {
    Session s(sim, program, {});
    sleepMs(6000);
    const QList<Frame> frames = s.frames();
    double firstProbe = -1, firstX = -1;
    for (const Frame& f : frames) {
        if (firstProbe < 0 && f.command == QLatin1String("v")) {
            firstProbe = f.ms;
        }
        if (f.command == QLatin1String("x")) {
            firstX = f.ms;
            break;
        }
    }
    out << "start-up: launch to first x frame " << (firstX - s.launchMs()) << " ms (target 3500)"
        << Qt::endl;
    out << "  launch to first probe (process start, calibration) " << (firstProbe - s.launchMs())
        << " ms; discovery and window to first x " << (firstX - firstProbe) << " ms" << Qt::endl;
}

void idle(const QString& sim, const QString& program) {
    Session s(sim, program, {QStringLiteral("--sample"), QStringLiteral("500")});
    sleepMs(6000);
    const double before = cpuSeconds(s.pid());
    const int seconds = 10;
    sleepMs(seconds * 1000);
    const double used = cpuSeconds(s.pid()) - before;
    out << "idle (sample time 500 ms): " << (100.0 * used / seconds)
        << " % of one core (target under 2 %)" << Qt::endl;
}

void cyclePeriod(const QString& sim, const QString& program, int speedIndex) {
    static const int bauds[] = {9600, 19200, 38400};
    const int baud = bauds[speedIndex];
    Session s(sim, program, {QStringLiteral("--speed"), QString::number(speedIndex)});
    sleepMs(7000);
    const double cpuBefore = cpuSeconds(s.pid());
    const int countBefore = static_cast<int>(s.frames().size());
    sleepMs(5000);
    const double cpu = cpuSeconds(s.pid()) - cpuBefore;
    const QList<Frame> frames = s.frames();
    // Normal cycles only: an "x" whose cycle exchanged just the three reads. A cycle that
    // also sent a range or remote command waits 200 ms after it by design.
    double total = 0.0;
    int cycles = 0;
    int lastX = -1;
    int allCycles = 0;
    for (qsizetype i = countBefore; i < frames.size(); ++i) {
        if (frames[i].command != QLatin1String("x") || frames[i].baud != baud) {
            continue;
        }
        ++allCycles;
        if (lastX >= 0 && i - lastX == 3) {
            total += frames[i].ms - frames[lastX].ms;
            ++cycles;
        }
        lastX = static_cast<int>(i);
    }
    if (cycles < 3) {
        out << baud << " baud: too few cycles measured" << Qt::endl;
        return;
    }
    const double mean = total / cycles;
    const double limit = 41.0 * 10.0 * 1000.0 / baud + 3 * 2.0;
    out << baud << " baud: mean cycle " << mean << " ms, line limit " << limit << " ms, ratio "
        << mean / limit << " (target 1.10) over " << cycles << " normal cycles; CPU "
        << (1000.0 * cpu / allCycles) << " ms per cycle" << Qt::endl;
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

void missedUnderLoad(const QString& sim, const QString& program, int seconds) {
    const int spinners = 2 * static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    Load load(spinners);
    Session s(sim, program,
              {QStringLiteral("--speed"), QStringLiteral("2"), QStringLiteral("--sample"),
               QStringLiteral("0")});
    sleepMs(seconds * 1000);
    s.finish();
    out << "38400 baud flat out for " << seconds << " s beside " << spinners
        << " spinning threads: " << s.lastStatusLine() << Qt::endl;
    out << "  " << s.simulatorSummary() << Qt::endl;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        out << "usage: program_bench KR5SIM KR5AU [--load]" << Qt::endl;
        return 2;
    }
    // The program runs in a folder of its own (for its settings file): absolute paths.
    const QString sim = QFileInfo(args[1]).absoluteFilePath();
    const QString program = QFileInfo(args[2]).absoluteFilePath();
    // --load: only the run under load.
    if (!args.contains(QStringLiteral("--load"))) {
        startUp(sim, program);
        idle(sim, program);
        for (int speed = 0; speed < 3; ++speed) {
            cyclePeriod(sim, program, speed);
        }
    }
    missedUnderLoad(sim, program, 120);
    return 0;
}
