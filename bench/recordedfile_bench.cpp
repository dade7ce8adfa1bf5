// Reading back a long recording: writes a measurement file of about 100 MB with the
// program's own line functions (header, markers, rows, Q-N blocks), reads it three times
// in the program's slices and prints the median time and MB/s beside the 3 s a read may
// take, and the longest slice.
// Run: build/bench/recordedfile_bench [--mb 100]
#include "benchrecording.h"
#include "records/recordedfile.h"

#include "charts/charts.h"
#include "charts/colours.h"
#include "core/operatingsettings.h"
#include "modes/replay.h"
#include "platform/virtualclock.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetSeconds = 3.0;
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qint64 megabytes = 100;
    const QStringList args = app.arguments();
    const auto mb = args.indexOf(QStringLiteral("--mb"));
    if (mb >= 0 && mb + 1 < args.size()) {
        megabytes = std::max(1, args[mb + 1].toInt());
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.csv"));
    const qint64 bytes = kr5::bench::writeRecording(path, megabytes * 1'000'000);
    if (bytes < 0) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
        return 1;
    }

    std::vector<double> seconds;
    std::size_t rows = 0;
    std::size_t blocks = 0;
    double longestSliceMs = 0.0;
    for (int run = 0; run < 3; ++run) {
        // In the program's slices, as File > Open reads it.
        QElapsedTimer timer;
        timer.start();
        kr5::RecordedTestReader reader(path);
        QElapsedTimer slice;
        for (bool done = reader.done(); !done;) {
            slice.start();
            done = reader.readSlice();
            longestSliceMs = std::max(longestSliceMs, double(slice.nsecsElapsed()) / 1e6);
        }
        const auto result = reader.result();
        seconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (const auto* problem = std::get_if<kr5::ReadProblem>(&result)) {
            std::fprintf(stderr, "Refused: %s\n", qPrintable(problem->text));
            return 1;
        }
        const auto& test = std::get<kr5::RecordedTest>(result);
        rows = test.rows.size();
        blocks = test.qnBlocks.size();
        std::printf("run %d: %.3f s\n", run + 1, seconds.back());
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[1];
    const double mbytes = static_cast<double>(bytes) / 1e6;
    std::printf("file: %.1f MB, %zu rows, %zu Q-N blocks; longest slice %.1f ms\n", mbytes, rows,
                blocks, longestSliceMs);
    std::printf("read (median of 3): %.3f s, %.0f MB/s; target %.1f s for 100 MB: %s\n", median,
                mbytes / median, kTargetSeconds,
                median * 100.0 / mbytes <= kTargetSeconds ? "within" : "OVER");

    // Opening it in the program also draws every row on the charts and judges it again.
    const auto test = std::get<kr5::RecordedTest>(kr5::readRecordedTest(path));
    kr5::InputConstants constants = test.constants;
    kr5::OperatingSettings settings;
    kr5::ColourTable colours;
    kr5::fillColourTable(colours);
    kr5::test::FakeClipboard clipboard;
    kr5::test::FakeDialogs dialogs;
    kr5::Charts charts(constants, settings, colours, clipboard, dialogs);
    kr5::VirtualClock clock;
    QElapsedTimer timer;
    timer.start();
    kr5::replayTest(test, constants, charts, clock);
    const double replay = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::printf("drawn again on the charts: %.3f s; read and drawn %.3f s for %.1f MB: %s\n",
                replay, median + replay, mbytes,
                (median + replay) * 100.0 / mbytes <= kTargetSeconds ? "within" : "OVER");
    return 0;
}
