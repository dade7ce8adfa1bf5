#include "longrun_bench_run.h"

#include <malloc.h>
#include <unistd.h>
#include <QFile>
#include <QLabel>
#include <cstdio>

namespace kr5::longrun {

namespace {

constexpr int kNotMendedShown = 20;

QString hoursText(double seconds) {
    const auto minutes = static_cast<qint64>(seconds / 60.0);
    return QStringLiteral("%1:%2 h").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

Memory memoryNow() {
    Memory m;
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        m.residentMb = fields.value(1).toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) /
                       (1024.0 * 1024.0);
    }
    const struct mallinfo2 heap = mallinfo2();
    m.heapMb = static_cast<double>(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
    return m;
}

QString LongRun::statusText(const char* label) const {
    const auto* l = program_->mainWindow().findChild<QLabel*>(QLatin1String(label));
    return l != nullptr && !l->isHidden() ? l->text() : QString();
}

bool LongRun::troubleShown() const {
    const PanelReadouts& r = program_->panel().readouts();
    return r.detectorStale || r.voltageStale || !statusText("unitStatus").isEmpty() ||
           !statusText("portStatus").isEmpty() || !statusText("warning").isEmpty();
}

void LongRun::checkRecovered(const PlannedFault& fault, qint64 rowsBefore) {
    KindFigures& kind = kinds_[fault.type];
    ++kind.faults;
    QStringList wrong;
    const PanelReadouts& r = program_->panel().readouts();
    if (r.detectorStale) {
        wrong << QStringLiteral("detector readouts stale");
    }
    if (r.voltageStale) {
        wrong << QStringLiteral("voltage readouts stale");
    }
    if (!port_->isOpen() || !statusText("portStatus").isEmpty()) {
        wrong << QStringLiteral("port gone (%1)").arg(statusText("portStatus"));
    }
    if (!statusText("unitStatus").isEmpty()) {
        wrong << QStringLiteral("status bar: ") + statusText("unitStatus");
    }
    if (!statusText("warning").isEmpty()) {
        wrong << QStringLiteral("warning: ") + statusText("warning");
    }
    follower_.follow();
    const qint64 rows = follower_.rows() - rowsBefore;
    if (rows < 2) {
        wrong << QStringLiteral("%1 rows in the last 2 s").arg(rows);
    }
    if (wrong.isEmpty()) {
        ++kind.recovered;
    } else if (notMended_.size() < kNotMendedShown) {
        notMended_ << fault.describe() + QStringLiteral(": ") + wrong.join(QStringLiteral(", "));
    }
}

void LongRun::sampleMemory() {
    memoryLast_ = memoryNow();
    residentMaxMb_ = std::max(residentMaxMb_, memoryLast_.residentMb);
}

void LongRun::progress() {
    if (clock_.nowMs() / 1000 == lastProgressS_) {
        return;
    }
    lastProgressS_ = clock_.nowMs() / 1000;
    int faults = 0;
    int recovered = 0;
    for (const auto& [type, kind] : kinds_) {
        faults += kind.faults;
        recovered += kind.recovered;
    }
    say(QStringLiteral(
            "%1  real %2 s  RSS %3 MB  heap %4 MB  rows %5  missing %6  faults %7 (recovered %8)")
            .arg(hoursText(static_cast<double>(clock_.nowMs()) / 1000.0))
            .arg(static_cast<double>(real_.elapsed()) / 1000.0, 0, 'f', 1)
            .arg(memoryLast_.residentMb, 0, 'f', 1)
            .arg(memoryLast_.heapMb, 0, 'f', 2)
            .arg(follower_.rows())
            .arg(follower_.missing())
            .arg(faults)
            .arg(recovered));
}

void LongRun::report(int exitCode) {
    const double realS = static_cast<double>(real_.elapsed()) / 1000.0;
    const double simS = static_cast<double>(clock_.nowMs()) / 1000.0;
    if (exitCode != 0) {
        fail(QStringLiteral("the program ended with exit code %1").arg(exitCode));
    }
    if (!exitAsked_ || stoppedBySafetyNet_) {
        fail(QStringLiteral("the program did not end through File > Exit (at %1 s)").arg(simS));
    }
    int faults = 0;
    int recovered = 0;
    QStringList perKind;
    QStringList recoveredPerKind;
    QStringList bitPerKind;
    for (const auto& [type, kind] : kinds_) {
        faults += kind.faults;
        recovered += kind.recovered;
        perKind << QStringLiteral("%1 %2").arg(faultTypeName(type)).arg(kind.faults);
        recoveredPerKind << QStringLiteral("%1 %2/%3")
                                .arg(faultTypeName(type))
                                .arg(kind.recovered)
                                .arg(kind.faults);
        bitPerKind
            << QStringLiteral("%1 %2/%3").arg(faultTypeName(type)).arg(kind.bit).arg(kind.faults);
    }
    if (recovered < faults) {
        fail(QStringLiteral("%1 of %2 faults not mended %3 s after they cleared")
                 .arg(faults - recovered)
                 .arg(faults)
                 .arg(options_.recoverS));
    }
    const auto& f = follower_;
    if (f.torn() > 0) {
        fail(QStringLiteral("%1 torn lines").arg(f.torn()));
    }
    if (f.madeUp() > 0) {
        fail(QStringLiteral("%1 rows no reading made").arg(f.madeUp()));
    }
    if (f.shrank()) {
        fail(QStringLiteral("the measurement file lost lines already whole"));
    }
    if (f.badHeaderLines() > 0 || f.lines() < MeasurementFollower::kHeaderLines) {
        fail(QStringLiteral("the header is not 14 lines of five fields"));
    }
    if (f.matched() == 0) {
        fail(QStringLiteral("no row recorded"));
    }
    // The readings of the last cycles before the exit may have no row; more means the
    // recording stopped.
    if (f.trailing() > 4) {
        fail(QStringLiteral("%1 readings after the last row recorded").arg(f.trailing()));
    }
    QStringList markers;
    for (const auto& [tag, count] : f.markers()) {
        markers << QStringLiteral("%1 %2").arg(tag).arg(count);
    }
    // Growth from the first hour on, when the windows and caches have settled.
    const bool hourPassed = memoryAtFirstHour_.residentMb > 0.0;
    const Memory& base = hourPassed ? memoryAtFirstHour_ : memoryAtStart_;
    const double growthHours = simS / 3600.0 - (hourPassed ? 1.0 : 0.0);
    const double residentGrowth = memoryLast_.residentMb - base.residentMb;
    const double heapGrowth = memoryLast_.heapMb - base.heapMb;
    const auto perHour = [growthHours](double mb) {
        return QString::number(growthHours > 0.0 ? mb / growthHours : 0.0, 'f', 3);
    };

    const QString sep = QStringLiteral(", ");
    const auto mb = [](double v) { return QString::number(v, 'f', 1); };
    QStringList out;
    out << QString()
        << QStringLiteral("Long run: the whole program, sample 500 ms, speed index %1, seed %2")
               .arg(options_.speedIndex)
               .arg(options_.seed)
        << QStringLiteral("  simulated            %1 h (%2 s)")
               .arg(simS / 3600.0, 0, 'f', 2)
               .arg(simS, 0, 'f', 0)
        << QStringLiteral("  real                 %1 s").arg(realS, 0, 'f', 1)
        << QStringLiteral("  speed-up             %1 x")
               .arg(realS > 0 ? simS / realS : 0.0, 0, 'f', 0)
        << QStringLiteral("  frames on the line   %1").arg(frames_)
        << QStringLiteral("  faults               %1: %2").arg(faults).arg(perKind.join(sep))
        << QStringLiteral("  trouble shown        %1 (stale readouts or a status-bar message)")
               .arg(bitPerKind.join(sep))
        << QStringLiteral("  recovered            %1/%2 (normal cycle %3 s after it cleared): %4")
               .arg(recovered)
               .arg(faults)
               .arg(options_.recoverS)
               .arg(recoveredPerKind.join(sep))
        << QStringLiteral("  short writes         %1 (the full disk stopped a write part way)")
               .arg(files_.shortWrites())
        << QStringLiteral(
               "  rows the line made   %1 (%2 before the first row recorded, %3 after the last)")
               .arg(line_.made())
               .arg(f.beforeFirstRow())
               .arg(f.trailing())
        << QStringLiteral(
               "  rows expected        %1 (readings from the first row recorded to the last)")
               .arg(f.matched() + f.fromGarbled() + f.missing())
        << QStringLiteral("  rows written         %1").arg(f.rows())
        << QStringLiteral(
               "  rows missing         %1 (readings between the first and last row with no row)")
               .arg(f.missing())
        << QStringLiteral("  torn rows            %1").arg(f.torn())
        << QStringLiteral("  made-up rows         %1").arg(f.madeUp())
        << QStringLiteral("  rows from garbled    %1 (a garbled answer still read as valid)")
               .arg(f.fromGarbled())
        << QStringLiteral("  markers              %1").arg(markers.join(sep))
        << QStringLiteral("  file                 %1 lines, %2 MB")
               .arg(f.lines())
               .arg(mb(static_cast<double>(f.bytesRead()) / (1024.0 * 1024.0)))
        << QStringLiteral("  message boxes        %1").arg(dialogs_.messages)
        << QStringLiteral("  RSS MB               start %1, first hour %2, end %3, max %4")
               .arg(mb(memoryAtStart_.residentMb),
                    hourPassed ? mb(memoryAtFirstHour_.residentMb) : QStringLiteral("-"),
                    mb(memoryLast_.residentMb), mb(residentMaxMb_))
        << QStringLiteral("  heap in use MB       start %1, first hour %2, end %3")
               .arg(QString::number(memoryAtStart_.heapMb, 'f', 2),
                    hourPassed ? QString::number(memoryAtFirstHour_.heapMb, 'f', 2)
                               : QStringLiteral("-"),
                    QString::number(memoryLast_.heapMb, 'f', 2))
        << QStringLiteral("  growth since the %1  RSS %2 MB (%3 MB/h), heap %4 MB (%5 MB/h)")
               .arg(hourPassed ? QStringLiteral("first hour") : QStringLiteral("start     "),
                    mb(residentGrowth), perHour(residentGrowth),
                    QString::number(heapGrowth, 'f', 2), perHour(heapGrowth));
    for (const QString& m : dialogs_.firstMessages) {
        out << QStringLiteral("  box: ") + m;
    }
    for (const QString& e : f.examples()) {
        out << QStringLiteral("  file: ") + e;
    }
    for (const QString& n : notMended_) {
        out << QStringLiteral("  not mended: ") + n;
    }
    out << (failures_.isEmpty()
                ? QStringLiteral("RESULT: every check held")
                : QStringLiteral("RESULT: FAILED: ") + failures_.join(QStringLiteral("; ")));
    say(out.join(QLatin1Char('\n')));
}

}  // namespace kr5::longrun
