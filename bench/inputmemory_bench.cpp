// The program's peak memory on hostile inputs: `kr5au --report` run on a small measurement
// file (the normal size), on a long one, and on inputs made to be read whole: a line of
// hundreds of MB with no line end, the same after a valid header, a summary that is a link
// to /dev/zero and one of hundreds of MB. Prints each run's peak resident size and how far
// it lies above the normal size, beside the 100 MB any input may add.
// Run: build/bench/inputmemory_bench build/src/app/kr5au [--mb 300]
#include "benchrecording.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace {

constexpr double kMostAboveNormalMb = 100.0;
constexpr int kHeaderLines = 14;

// Fills path with `bytes` copies of one character after `head`; false when it cannot.
bool writeFilled(const QString& path, const QByteArray& head, qint64 bytes, char fill) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(head) < 0) {
        return false;
    }
    const QByteArray block(1 << 20, fill);
    for (qint64 done = 0; done < bytes; done += block.size()) {
        if (file.write(block) != block.size()) {
            return false;
        }
    }
    return file.flush();
}

// The first lines of a file, with their line ends.
QByteArray firstLines(const QString& path, int count) {
    QFile file(path);
    QByteArray lines;
    if (file.open(QIODevice::ReadOnly)) {
        for (int i = 0; i < count; ++i) {
            lines += file.readLine();
        }
    }
    return lines;
}

struct Run {
    double peakMb = 0.0;
    int exitCode = -1;
};

// Runs `program --report input -o output` and returns its peak resident size.
Run reportPeak(const QString& program, const QString& input, const QString& output) {
    const QByteArray exe = program.toLocal8Bit();
    const QByteArray in = input.toLocal8Bit();
    const QByteArray out = output.toLocal8Bit();
    const pid_t child = fork();
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(exe.constData(), exe.constData(), "--report", in.constData(), "-o", out.constData(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "Run: inputmemory_bench KR5AU [--mb 300]\n");
        return 2;
    }
    const QString program = args[1];
    qint64 megabytes = 300;
    if (const auto mb = args.indexOf(QStringLiteral("--mb")); mb >= 0 && mb + 1 < args.size()) {
        megabytes = std::max(1, args[mb + 1].toInt());
    }
    const qint64 hostileBytes = megabytes * 1'000'000;
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return dir.filePath(QLatin1String(name)); };

    if (kr5::bench::writeRecording(at("small.csv"), 100'000) < 0 ||
        kr5::bench::writeRecording(at("long.csv"), 100'000'000) < 0) {
        std::fprintf(stderr, "Cannot write in %s\n", qPrintable(dir.path()));
        return 1;
    }
    const QByteArray header = firstLines(at("small.csv"), kHeaderLines);
    QFile::copy(at("small.csv"), at("zero.csv"));
    QFile::copy(at("small.csv"), at("bigsummary.csv"));
    if (!writeFilled(at("noend.csv"), {}, hostileBytes, 'x') ||
        !writeFilled(at("headed.csv"), header, hostileBytes, '1') ||
        !writeFilled(at("bigsummary.json"), "{\"a\":\"", hostileBytes, 'x') ||
        !QFile::link(QStringLiteral("/dev/zero"), at("zero.json"))) {
        std::fprintf(stderr, "Cannot write the hostile inputs in %s\n", qPrintable(dir.path()));
        return 1;
    }

    const Run normal = reportPeak(program, at("small.csv"), at("small.pdf"));
    std::printf("normal (a 0.1 MB file): peak %.1f MB, exit %d\n", normal.peakMb, normal.exitCode);
    const QByteArray hostile = QByteArray::number(megabytes) + " MB";
    const struct {
        QByteArray what;
        const char* input;
    } cases[] = {
        {"a measurement file of 100 MB", "long.csv"},
        {"a line of " + hostile + " with no end", "noend.csv"},
        {"a valid header, then a line of " + hostile, "headed.csv"},
        {"a summary linked to /dev/zero", "zero.csv"},
        {"a summary of " + hostile, "bigsummary.csv"},
    };
    bool within = true;
    for (const auto& c : cases) {
        const Run run = reportPeak(program, at(c.input), dir.filePath(QStringLiteral("out.pdf")));
        const double above = run.peakMb - normal.peakMb;
        within = within && above < kMostAboveNormalMb;
        std::printf("%s: peak %.1f MB, %.1f MB above normal, exit %d: %s\n", c.what.constData(),
                    run.peakMb, above, run.exitCode,
                    above < kMostAboveNormalMb ? "within" : "OVER");
    }
    std::printf("every input within %.0f MB of the normal size: %s\n", kMostAboveNormalMb,
                within ? "yes" : "NO");
    return 0;
}
