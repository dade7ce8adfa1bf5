#include "simport.h"

#include <algorithm>
#include <cmath>

namespace kr5::sim {

namespace {
qint64 toClockUs(double us) {
    return static_cast<qint64>(std::llround(us));
}
}  // namespace

SimPort::SimPort(Bench& bench, kr5::VirtualClock& clock)
    : bench_(bench), clock_(clock), self_(std::make_shared<SimPort*>(this)) {}

SimPort::~SimPort() = default;

bool SimPort::open(int port, const QString& settings) {
    close();
    const auto parsed = kr5::LineSettings::parse(settings);
    const QString device = QStringLiteral("sim:port%1").arg(port);
    if (!parsed || !bench_.portPresent(port, static_cast<double>(clock_.nowUs()))) {
        problem_ = {kr5::PortProblem::Kind::Missing, device, QStringLiteral("no such device")};
        return false;
    }
    problem_ = {kr5::PortProblem::Kind::None, device, QString()};
    port_ = port;
    baud_ = parsed->baud;
    open_ = true;
    ++session_;
    watchPresence();
    return true;
}

bool SimPort::setSettings(const QString& settings) {
    const auto parsed = kr5::LineSettings::parse(settings);
    if (!open_ || !parsed) {
        return false;
    }
    baud_ = parsed->baud;
    return true;
}

void SimPort::close() {
    open_ = false;
    input_.clear();
    arriving_.clear();
}

bool SimPort::stillPlugged() {
    if (open_ && !bench_.portPresent(port_, static_cast<double>(clock_.nowUs()))) {
        // The adapter went away: the port is closed under the program, as a driver does.
        close();
        problem_.kind = kr5::PortProblem::Kind::Lost;
        problem_.detail = QStringLiteral("the device went away");
    }
    return open_;
}

void SimPort::watchPresence() {
    // Wake the program at the moment the adapter is pulled, so that a wait sees it then.
    // Only the next change matters to an open port: the pull ends this opening, and the
    // next opening watches for the pull after it.
    const std::vector<double> changes =
        bench_.presenceChangesAfter(port_, static_cast<double>(clock_.nowUs()));
    if (changes.empty()) {
        return;
    }
    const std::weak_ptr<SimPort*> weak = self_;
    const quint64 session = session_;
    clock_.scheduleAtUs(toClockUs(changes.front()), [weak, session] {
        if (const auto self = weak.lock(); self && (*self)->session_ == session) {
            (*self)->stillPlugged();
        }
    });
}

void SimPort::write(const QByteArray& bytes) {
    if (!stillPlugged() || bytes.isEmpty()) {
        return;
    }
    const double byteUs = byteTimeUs(baud_);
    double atUs = std::max(static_cast<double>(clock_.nowUs()), txFreeUs_);
    // Hand the bench each frame when its LF is through; a tail without LF when its last
    // byte is.
    qsizetype from = 0;
    while (from < bytes.size()) {
        qsizetype lf = bytes.indexOf('\n', from);
        const qsizetype to = lf < 0 ? bytes.size() : lf + 1;
        atUs += static_cast<double>(to - from) * byteUs;
        sendToBench(port_, baud_, bytes.mid(from, to - from), atUs);
        from = to;
    }
    txFreeUs_ = atUs;
}

void SimPort::sendToBench(int port, int baud, const QByteArray& bytes, double atUs) {
    const std::weak_ptr<SimPort*> weak = self_;
    Bench* bench = &bench_;
    const quint64 session = session_;
    clock_.scheduleAtUs(toClockUs(atUs), [weak, bench, port, baud, bytes, atUs, session] {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        SimPort& me = **self;
        for (LineBytes& lb : bench->receive(port, baud, bytes, atUs)) {
            const qint64 at = toClockUs(lb.atUs);
            me.arriving_.emplace(at, Arrival{std::move(lb.bytes), lb.baud, session});
            me.clock_.scheduleAtUs(at, [weak] {
                if (const auto s = weak.lock()) {
                    (*s)->collectArrived();
                }
            });
        }
    });
}

void SimPort::collectArrived() {
    const qint64 now = clock_.nowUs();
    auto it = arriving_.begin();
    while (it != arriving_.end() && it->first <= now) {
        if (open_ && it->second.session == session_) {
            for (const char b : it->second.bytes) {
                input_ += it->second.baud == baud_ ? b : misreadByte(b);
            }
        }
        it = arriving_.erase(it);
    }
}

QByteArray SimPort::takeInput() {
    if (!stillPlugged()) {
        return {};
    }
    // Bytes that are due have arrived even if the clock has not yet run their action.
    collectArrived();
    QByteArray out;
    out.swap(input_);
    return out;
}

void SimPort::discardInput() {
    if (!stillPlugged()) {
        return;
    }
    collectArrived();
    input_.clear();
}

}  // namespace kr5::sim
