#include "discriminator.h"

#include <algorithm>
#include <iterator>

namespace kr5::sim {

namespace {
// In local operation the operator turns one knob every few seconds.
constexpr double kTouchMinS = 4.0;
constexpr double kTouchMaxS = 12.0;

int stepBeside(int step, SimRandom& r) {
    if (step <= 0) {
        return 1;
    }
    if (step >= 9) {
        return 8;
    }
    return r.below(2) == 0 ? step - 1 : step + 1;
}
}  // namespace

Discriminator::Discriminator(const UnitConfig& config, quint32 seed, bool operatorActive)
    : Unit(config, seed), operatorActive_(operatorActive) {
    history_.emplace_back(0.0, Settings{});
    nextTouchUs_ = nextTouchAfter(0.0);
}

double Discriminator::nextTouchAfter(double atUs) {
    return atUs + random().between(kTouchMinS, kTouchMaxS) * 1e6;
}

void Discriminator::planTouchesUntil(double atUs) {
    // Touches are planned one after the other from the unit's own random stream, so the
    // settings at a moment do not depend on how often anyone asked before.
    while (operatorActive_ && !history_.back().second.remote && nextTouchUs_ <= atUs) {
        Settings s = history_.back().second;
        SimRandom& r = random();
        switch (r.below(3)) {
            case 0:
                s.stepA = stepBeside(s.stepA, r);
                break;
            case 1:
                s.stepB = stepBeside(s.stepB, r);
                break;
            default:
                s.function = (s.function + 1 + r.below(3)) % 4;
                break;
        }
        history_.emplace_back(nextTouchUs_, s);
        nextTouchUs_ = nextTouchAfter(nextTouchUs_);
    }
}

Discriminator::Settings Discriminator::settingsAt(double atUs) {
    planTouchesUntil(atUs);
    auto it = std::upper_bound(history_.begin(), history_.end(), atUs,
                               [](double t, const auto& entry) { return t < entry.first; });
    return it == history_.begin() ? history_.front().second : std::prev(it)->second;
}

double Discriminator::noisePassAt(double atUs) {
    return kNoisePass[static_cast<size_t>(settingsAt(atUs).function)];
}

Discriminator::Settings& Discriminator::changeAt(double atUs) {
    const Settings now = settingsAt(atUs);
    while (history_.size() > 1 && history_.back().first > atUs) {
        history_.pop_back();
    }
    history_.emplace_back(std::max(atUs, history_.back().first), now);
    return history_.back().second;
}

std::optional<Answer> Discriminator::handleOwn(const QByteArray& command, double atUs) {
    if (command == "g") {
        const Settings s = settingsAt(atUs);
        QByteArray payload;
        payload += static_cast<char>('0' + s.stepA);
        payload += static_cast<char>('0' + s.function);
        payload += s.remote ? '1' : '0';
        payload += static_cast<char>('0' + s.stepB);
        return dataReply('g', payload);
    }
    if (command == "m1" || command == "m0") {
        changeAt(atUs).remote = command == "m1";
        nextTouchUs_ = nextTouchAfter(atUs);
        return ack();
    }
    if (const int d = settingDigit(command, 'a', 9); d >= 0) {
        changeAt(atUs).stepA = d;
        return ack();
    }
    if (const int d = settingDigit(command, 'c', 9); d >= 0) {
        changeAt(atUs).stepB = d;
        return ack();
    }
    if (const int d = settingDigit(command, 'f', 3); d >= 0) {
        changeAt(atUs).function = d;
        return ack();
    }
    return std::nullopt;
}

}  // namespace kr5::sim
