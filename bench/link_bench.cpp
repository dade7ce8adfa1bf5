// What keeping the replies apart costs a cycle: the link's three exchanges of a normal
// cycle (detector, AC unit, noise discriminator) over a fake line in virtual time, with
// reply frames unlike the simulator's. Prints the processor time the link spends on a
// cycle against the 16.68 ms a cycle takes on the line at 38400 baud, and the time a cycle
// waits on a line in step and on one made suspect by stray bytes. No limit is checked.
#include "link/link.h"
#include "support/benchunits.h"
#include "support/fakelink.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

using kr5::Reply;
using kr5::UnitKind;

constexpr double kLineCycleMs = 16.68;  // 41 characters and three turnarounds at 38400 baud
constexpr int kCycles = 20000;

struct Figures {
    double processorUs = 0.0;  // per cycle
    double cycleMs = 0.0;      // virtual time per cycle
    int wholeReplies = 0;
};

// Runs the cycles; with strays, a byte nobody asked for comes between two cycles now and
// then, which makes the line suspect for half a second.
Figures run(bool strays) {
    kr5::test::FakeLinkParts line;
    kr5::test::startOnDefaultBench(line.units, line.link);
    line.timing.startTimers();
    // Each unit answers 2 ms after the frame's last byte at 38400 baud (4 characters).
    line.port.responder = [&line](const QByteArray& frame) {
        const char command = frame.size() > 1 ? frame[1] : '?';
        const QByteArray reply = command == 'x'   ? "K:x7F3121~|"
                                 : command == 't' ? "T1t2123;;"
                                 : command == 'g' ? "G2g3207;;"
                                 : command == 'v' ? "V0vKR-5 BENCH 01~|"
                                                  : "A~|";
        line.port.deliverIn(4, reply);
    };
    line.link.changeSpeed(2);
    Figures f;
    const qint64 startMs = line.clock.nowMs();
    const std::clock_t startCpu = std::clock();
    for (int i = 0; i < kCycles; ++i) {
        const std::pair<UnitKind, const char*> exchanges[] = {{UnitKind::Detector, "x"},
                                                              {UnitKind::AcUnit, "t"},
                                                              {UnitKind::NoiseDiscriminator, "g"}};
        for (const auto& [unit, command] : exchanges) {
            line.link.send(unit, QString::fromLatin1(command));
            const int length =
                unit == UnitKind::Detector ? kr5::kMeasureLength : kr5::kShortReadLength;
            f.wholeReplies += line.link.receive(unit, length, kr5::kNormalTimeout).whole() ? 1 : 0;
        }
        if (strays && i % 25 == 0) {
            line.port.deliverIn(1, "~");
        }
        line.clock.advanceMs(2);
    }
    const double cpuUs = 1e6 * double(std::clock() - startCpu) / CLOCKS_PER_SEC;
    f.processorUs = cpuUs / kCycles;
    f.cycleMs = double(line.clock.nowMs() - startMs) / kCycles;
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Figures clean = run(false);
    const Figures suspect = run(true);
    std::printf("link, %d cycles of three exchanges in virtual time:\n", kCycles);
    std::printf(
        "  processor time a cycle, line in step: %.1f us = %.2f %% of the %.2f ms "
        "cycle at 38400 baud (target <= 1 %%)\n",
        clean.processorUs, 100.0 * clean.processorUs / 1000.0 / kLineCycleMs, kLineCycleMs);
    std::printf("  time a cycle takes on the line, in step: %.2f ms (%d of %d replies whole)\n",
                clean.cycleMs, clean.wholeReplies, 3 * kCycles);
    std::printf(
        "  with a stray byte every 25 cycles: %.2f ms (%d of %d replies whole), "
        "%.1f us of processor time\n",
        suspect.cycleMs, suspect.wholeReplies, 3 * kCycles, suspect.processorUs);
    return 0;
}
