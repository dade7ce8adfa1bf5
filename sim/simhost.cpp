#include "simhost.h"

#include <poll.h>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace kr5::sim {

namespace {
// While a line has hung up, look at it again this often instead of polling it.
constexpr double kHungRetryUs = 100000.0;
// Even with nothing due, wake now and then to follow the scenario's port pulls.
constexpr double kIdleWakeUs = 1000000.0;
// Never more than this early for an answer, however late the machine's timers come back:
// a machine that slow is too busy to be punctual anyway.
constexpr double kMostLeadUs = 500.0;

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}
}  // namespace

SimHost::SimHost(Bench& bench, HostOptions options)
    : bench_(bench), options_(std::move(options)), start_(std::chrono::steady_clock::now()) {}

SimHost::~SimHost() {
    for (auto& [number, port] : ports_) {
        unplug(number, port);
    }
    if (!options_.portsFile.isEmpty()) {
        QFile::remove(options_.portsFile);
    }
}

double SimHost::nowUs() const {
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start_)
        .count();
}

bool SimHost::start(QString* error) {
    if (!options_.logPath.isEmpty()) {
        log_ = std::make_unique<QFile>(options_.logPath);
        if (!log_->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            *error = QStringLiteral("cannot write the log %1").arg(options_.logPath);
            return false;
        }
        bench_.setFrameObserver([this](const FrameRecord& frame) {
            log_->write((formatFrame(frame) + QLatin1Char('\n')).toLatin1());
            log_->flush();  // a test reads it while the simulator runs
        });
    }
    if (!options_.linkDir.isEmpty() && !QDir().mkpath(options_.linkDir)) {
        *error = QStringLiteral("cannot make %1").arg(options_.linkDir);
        return false;
    }
    for (const int number : bench_.scenario().ports()) {
        Port& port = ports_[number];
        if (bench_.portPresent(number, 0.0) && !plug(number, port, error)) {
            return false;
        }
    }
    publish();
    // Where the log's times start on the machine's monotonic clock, so that a program
    // watching from outside can put them on its own clock.
    const auto zeroUs =
        std::chrono::duration_cast<std::chrono::microseconds>(start_.time_since_epoch()).count();
    say(QStringLiteral("CLOCK=%1").arg(static_cast<qint64>(zeroUs)));
    say(QStringLiteral("READY"));
    return true;
}

bool SimHost::plug(int number, Port& port, QString* error) {
    QString why;
    if (!port.line.create(&why)) {
        if (error != nullptr) {
            *error = QStringLiteral("port %1: %2").arg(number).arg(why);
        }
        return false;
    }
    port.hungSinceUs = -1.0;
    if (!options_.linkDir.isEmpty()) {
        const QString link = QDir(options_.linkDir).filePath(QStringLiteral("port%1").arg(number));
        QFile::remove(link);
        QFile::link(port.line.slavePath(), link);
    }
    return true;
}

void SimHost::unplug(int number, Port& port) {
    port.line.destroy();
    port.outgoing.clear();
    if (!options_.linkDir.isEmpty()) {
        QFile::remove(QDir(options_.linkDir).filePath(QStringLiteral("port%1").arg(number)));
    }
}

void SimHost::publish() {
    QString lines;
    for (const auto& [number, port] : ports_) {
        QString device;
        if (port.line.isUp()) {
            device =
                options_.linkDir.isEmpty()
                    ? port.line.slavePath()
                    : QDir(options_.linkDir).absoluteFilePath(QStringLiteral("port%1").arg(number));
        }
        lines += QStringLiteral("PORT%1=%2\n").arg(number).arg(device);
    }
    std::fputs(qPrintable(lines), stdout);
    std::fflush(stdout);
    if (!options_.portsFile.isEmpty()) {
        QSaveFile file(options_.portsFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
            file.write(lines.toLocal8Bit());
            file.commit();
        }
    }
}

void SimHost::followPresence(double now) {
    bool changed = false;
    for (auto& [number, port] : ports_) {
        const bool present = bench_.portPresent(number, now);
        if (present && !port.line.isUp()) {
            QString why;
            if (!plug(number, port, &why)) {
                std::fputs(qPrintable(QStringLiteral("kr5sim: %1\n").arg(why)), stderr);
            }
            changed = true;
        } else if (!present && port.line.isUp()) {
            unplug(number, port);
            changed = true;
        }
    }
    if (changed) {
        publish();
    }
}

void SimHost::readFrom(int number, Port& port, bool hangUpOnly) {
    const QByteArray bytes = port.line.readAvailable();
    if (bytes.isEmpty() && (hangUpOnly || port.line.hungUp())) {
        port.hungSinceUs = nowUs();
    }
    port.line.clearHangUp();
    if (bytes.isEmpty()) {
        return;
    }
    port.hungSinceUs = -1.0;
    // A pseudo-terminal delivers at once; on a cable the bytes would still be on their
    // way for 10 bit times each, behind any bytes before them.
    const int baud = port.line.baud();
    port.inFreeUs =
        std::max(nowUs(), port.inFreeUs) + static_cast<double>(bytes.size()) * byteTimeUs(baud);
    for (LineBytes& lb : bench_.receive(number, baud, bytes, port.inFreeUs)) {
        port.outgoing.emplace(lb.atUs, std::move(lb));
    }
}

void SimHost::sendDue(double now) {
    for (auto& [number, port] : ports_) {
        if (!port.line.isUp()) {
            continue;
        }
        QByteArray due;
        double dueUs = 0.0;
        const int baud = port.line.baud();
        auto it = port.outgoing.begin();
        while (it != port.outgoing.end() && it->first <= now) {
            for (const char b : it->second.bytes) {
                due += it->second.baud == baud ? b : misreadByte(b);
            }
            dueUs = it->first;
            it = port.outgoing.erase(it);
        }
        if (!due.isEmpty()) {
            port.line.write(due);
            const double behindUs = now - dueUs;
            ++punctuality_.runs;
            punctuality_.lateRuns += behindUs > Punctuality::kLateUs ? 1 : 0;
            punctuality_.latestUs = std::max(punctuality_.latestUs, behindUs);
            punctuality_.totalBehindUs += behindUs;
        }
    }
}

// The moment the run of bytes at the head of the queue is complete: bytes that follow one
// another on the line without a pause are handed to the terminal together, as a serial
// port's receive FIFO hands a reply to the computer. A pause (an answer in pieces, a late
// answer) ends the run, so the program sees pieces and lateness as on a cable.
double SimHost::endOfRun(const Port& port) {
    const double gapUs = 1.5 * byteTimeUs(port.line.baud());
    auto it = port.outgoing.begin();
    double end = it->first;
    for (++it; it != port.outgoing.end() && it->first - end <= gapUs; ++it) {
        end = it->first;
    }
    return end;
}

double SimHost::nextWakeUs(double now) const {
    double wake = now + kIdleWakeUs;
    for (const auto& [number, port] : ports_) {
        if (!port.outgoing.empty()) {
            wake = std::min(wake, endOfRun(port));
        }
        if (port.hungSinceUs >= 0.0) {
            wake = std::min(wake, now + kHungRetryUs);
        }
        const std::vector<double> changes = bench_.presenceChangesAfter(number, now);
        if (!changes.empty()) {
            wake = std::min(wake, changes.front());
        }
    }
    return wake;
}

double SimHost::nextAnswerUs() const {
    double due = std::numeric_limits<double>::infinity();
    for (const auto& [number, port] : ports_) {
        if (!port.outgoing.empty()) {
            due = std::min(due, endOfRun(port));
        }
    }
    return due;
}

double SimHost::wakeLeadUs() const {
    return std::min(kMostLeadUs, *std::max_element(wakeLateness_.begin(), wakeLateness_.end()));
}

void SimHost::noteWakeLateness(double lateUs) {
    wakeLateness_[nextLateness_] = std::max(0.0, lateUs);
    nextLateness_ = (nextLateness_ + 1) % wakeLateness_.size();
}

void SimHost::run(const volatile std::sig_atomic_t& stop, const sigset_t& waitMask) {
    while (stop == 0) {
        double now = nowUs();
        followPresence(now);
        sendDue(now);

        std::vector<pollfd> fds;
        std::vector<int> numbers;
        for (auto& [number, port] : ports_) {
            // A hung-up line reports POLLHUP at once and for ever: leave it out of the
            // poll and look again after a pause instead of spinning on it.
            const bool resting = port.hungSinceUs >= 0.0 && now - port.hungSinceUs < kHungRetryUs;
            if (port.line.isUp() && !resting) {
                fds.push_back(pollfd{port.line.masterFd(), POLLIN, 0});
                numbers.push_back(number);
            }
        }
        // A unit's answer leaves it on time; a computer's timer wakes late, by a tenth of
        // a millisecond or more. So the host wakes that much early for an answer and holds
        // it back to its moment, which the program would otherwise pay for in every
        // exchange.
        const double wakeUs = nextWakeUs(now);
        const double answerUs = nextAnswerUs();
        const bool forAnswer = answerUs <= wakeUs;
        const double sleepUntilUs = forAnswer ? wakeUs - wakeLeadUs() : wakeUs;
        const double waitUs = std::max(0.0, sleepUntilUs - now);
        timespec timeout{};
        timeout.tv_sec = static_cast<time_t>(waitUs / 1e6);
        timeout.tv_nsec = static_cast<long>(std::fmod(waitUs, 1e6) * 1000.0);
        const int ready = ppoll(fds.data(), fds.size(), &timeout, &waitMask);
        if (ready < 0) {
            continue;  // EINTR: a signal; the loop condition decides
        }
        if (ready == 0 && waitUs > 0.0) {
            noteWakeLateness(nowUs() - sleepUntilUs);
            while (forAnswer && nowUs() < answerUs) {
                // at most the lead: the time a wake-up on this machine is late by
            }
        }
        for (size_t i = 0; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                readFrom(numbers[i], ports_[numbers[i]], (fds[i].revents & POLLIN) == 0);
            }
        }
    }
}

}  // namespace kr5::sim
