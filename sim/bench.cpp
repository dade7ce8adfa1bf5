#include "bench.h"

#include <algorithm>

namespace kr5::sim {

namespace {
// A line that never sees LF is noise: give up on it rather than grow without end.
constexpr qsizetype kMaxPending = 256;
}  // namespace

char misreadByte(char byte) {
    // At the wrong speed a receiver samples the bits in the wrong places; what comes out
    // is some other byte. Any fixed mapping to bytes that are no command or hex digit
    // does: the high bit set.
    return static_cast<char>(0x80 | ((static_cast<unsigned char>(byte) * 37 + 11) & 0x7F));
}

Bench::Bench(const Scenario& scenario)
    : scenario_(scenario), physics_(std::make_unique<Physics>(scenario_)) {
    for (const UnitConfig& config : scenario_.units) {
        Slot slot;
        switch (config.kind) {
            case UnitKind::Detector:
                slot.unit =
                    std::make_unique<Detector>(config, scenario_.seed, *physics_,
                                               scenario_.calibration, scenario_.operatorActive);
                break;
            case UnitKind::AcUnit:
                slot.unit = std::make_unique<AcUnit>(config, scenario_.seed, *physics_);
                break;
            case UnitKind::Discriminator:
                slot.unit = std::make_unique<Discriminator>(config, scenario_.seed,
                                                            scenario_.operatorActive);
                break;
        }
        std::vector<FaultConfig> faults;
        for (const FaultRule& rule : scenario_.faults) {
            if (rule.matches(config)) {
                faults.push_back(rule.config);
            }
        }
        const auto key = static_cast<quint32>((static_cast<int>(config.kind) << 8) |
                                              (config.port << 4) | config.address);
        slot.faults = std::make_unique<FaultInjector>(std::move(faults), scenario_.seed, key);
        slots_.push_back(std::move(slot));
    }
    // The noise discriminator sits in the measuring circuit: whatever line it hangs on,
    // its function decides how much noise reaches the detectors.
    if (Discriminator* zn = discriminator()) {
        for (Slot& slot : slots_) {
            if (auto* kr = dynamic_cast<Detector*>(slot.unit.get())) {
                kr->setNoisePass([zn](double atUs) { return zn->noisePassAt(atUs); });
            }
        }
    }
}

Bench::~Bench() = default;

bool Bench::portPresent(int port, double atUs) const {
    if (scenario_.ports().count(port) == 0) {
        return false;
    }
    const double s = atUs / 1e6;
    return std::none_of(scenario_.pulls.begin(), scenario_.pulls.end(), [&](const PortPull& p) {
        return p.port == port && s >= p.fromS && s < p.toS;
    });
}

std::vector<double> Bench::presenceChangesAfter(int port, double afterUs) const {
    std::vector<double> out;
    for (const PortPull& p : scenario_.pulls) {
        for (const double s : {p.fromS, p.toS}) {
            if (p.port == port && s * 1e6 > afterUs && s < 1e12) {
                out.push_back(s * 1e6);
            }
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

const Bench::Slot* Bench::slotAt(int port, int address) const {
    for (const Slot& slot : slots_) {
        if (slot.unit->port() == port && slot.unit->address() == address) {
            return &slot;
        }
    }
    return nullptr;
}

Unit* Bench::unitAt(int port, int address) const {
    const Slot* slot = slotAt(port, address);
    return slot != nullptr ? slot->unit.get() : nullptr;
}

Detector* Bench::detector() const {
    for (const Slot& slot : slots_) {
        if (auto* u = dynamic_cast<Detector*>(slot.unit.get())) {
            return u;
        }
    }
    return nullptr;
}

AcUnit* Bench::acUnit() const {
    for (const Slot& slot : slots_) {
        if (auto* u = dynamic_cast<AcUnit*>(slot.unit.get())) {
            return u;
        }
    }
    return nullptr;
}

Discriminator* Bench::discriminator() const {
    for (const Slot& slot : slots_) {
        if (auto* u = dynamic_cast<Discriminator*>(slot.unit.get())) {
            return u;
        }
    }
    return nullptr;
}

std::vector<LineBytes> Bench::receive(int port, int baud, const QByteArray& bytes, double atUs) {
    std::vector<LineBytes> out;
    if (!portPresent(port, atUs)) {
        return out;
    }
    Line& line = lines_[port];
    line.pending += bytes;
    qsizetype lf;
    while ((lf = line.pending.indexOf('\n')) >= 0) {
        const QByteArray raw = line.pending.left(lf + 1);
        line.pending.remove(0, lf + 1);
        handleFrame(port, baud, raw, atUs, out);
    }
    if (line.pending.size() > kMaxPending) {
        handleFrame(port, baud, line.pending, atUs, out);
        line.pending.clear();
    }
    return out;
}

void Bench::handleFrame(int port, int baud, const QByteArray& raw, double atUs,
                        std::vector<LineBytes>& out) {
    FrameRecord record;
    record.atUs = atUs;
    record.port = port;
    record.baud = baud;
    record.raw = raw;
    parseFrame(record);
    record.answer = answerFrame(record, out);
    if (keepFrames_) {
        frames_.push_back(record);
    }
    if (observer_) {
        observer_(record);
    }
}

QByteArray Bench::answerFrame(const FrameRecord& frame, std::vector<LineBytes>& out) {
    const int port = frame.port;
    const double atUs = frame.atUs;
    if (frame.address < 0) {
        return {};
    }
    const Slot* slot = slotAt(port, frame.address);
    if (slot == nullptr || slot->faults->goneAt(atUs)) {
        return {};
    }
    Unit& unit = *slot->unit;
    for (const PortPull& pull : scenario_.pulls) {
        if (pull.port == port && pull.powerCycle && atUs >= pull.toS * 1e6) {
            unit.powerCycleAt(pull.toS * 1e6);
        }
    }
    const int unitBaud = unit.baudAt(atUs);
    // Sent at another speed the frame is noise to the unit; while counting it hears
    // nothing.
    if (unitBaud != frame.baud || unit.busyAt(atUs)) {
        return {};
    }
    const Answer answer = unit.handle(frame.command, atUs);
    const double readyUs = atUs + scenario_.turnaroundMs * 1000.0 + answer.holdUs;
    const double byteUs = byteTimeUs(unitBaud);

    Line& line = lines_[port];
    double endUs = readyUs;
    for (const FaultInjector::Piece& piece : slot->faults->shape(answer.bytes, atUs)) {
        double startUs = std::max(endUs + piece.delayUs, line.txFreeUs);
        for (const char b : piece.bytes) {
            startUs += byteUs;
            out.push_back(LineBytes{startUs, QByteArray(1, b), unitBaud});
        }
        endUs = startUs;
        line.txFreeUs = endUs;
    }
    if (answer.holdUs > 0.0) {
        unit.setBusyUntil(readyUs);
    }
    if (answer.switchToBaud != 0) {
        // The unit changes over when its acknowledgement is out, sent or not.
        unit.switchSpeedAt(
            answer.switchToBaud,
            std::max(endUs, readyUs + static_cast<double>(answer.bytes.size()) * byteUs));
    }
    return answer.bytes;
}

}  // namespace kr5::sim
