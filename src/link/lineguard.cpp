#include "lineguard.h"

#include <limits>

namespace kr5 {

namespace {

// A unit that stays silent for long would otherwise collect owed answers without end.
constexpr size_t maxOwed = 16;

}  // namespace

void LineGuard::reset() {
    for (auto& owed : owed_) {
        owed.clear();
    }
    lastUnit_ = -1;
    lastStrayMs_ = -horizonMs - 1;
}

void LineGuard::expire(qint64 nowMs) {
    for (size_t i = 0; i < owed_.size(); ++i) {
        auto& owed = owed_[i];
        // The answer to the last command is awaited as long as its exchange lasts (a
        // gate count takes seconds).
        const size_t keep = static_cast<int>(i) == lastUnit_ ? 1 : 0;
        while (owed.size() > keep && nowMs - owed.front() > horizonMs) {
            owed.pop_front();
        }
    }
}

void LineGuard::commandSent(UnitKind unit, qint64 nowMs) {
    expire(nowMs);
    auto& owed = owed_[static_cast<size_t>(unit)];
    if (owed.size() >= maxOwed) {
        owed.pop_front();
    }
    owed.push_back(nowMs);
    lastUnit_ = static_cast<int>(unit);
}

int LineGuard::olderAnswersOwed(UnitKind unit, qint64 nowMs) {
    expire(nowMs);
    const auto& owed = owed_[static_cast<size_t>(unit)];
    const int current = static_cast<int>(unit) == lastUnit_ && !owed.empty() ? 1 : 0;
    return static_cast<int>(owed.size()) - current;
}

bool LineGuard::othersOwe(UnitKind unit, qint64 nowMs) {
    expire(nowMs);
    for (size_t i = 0; i < owed_.size(); ++i) {
        if (i != static_cast<size_t>(unit) && !owed_[i].empty()) {
            return true;
        }
    }
    return false;
}

void LineGuard::straysSeen(qint64 nowMs) {
    expire(nowMs);
    lastStrayMs_ = nowMs;
    // Whoever sent them, the oldest owed answer is the likeliest.
    std::deque<qint64>* oldest = nullptr;
    qint64 oldestAt = std::numeric_limits<qint64>::max();
    for (size_t i = 0; i < owed_.size(); ++i) {
        auto& owed = owed_[i];
        // The answer to the last command is still to come in its own exchange.
        const size_t current = static_cast<int>(i) == lastUnit_ ? 1 : 0;
        if (owed.size() > current && owed.front() < oldestAt) {
            oldest = &owed;
            oldestAt = owed.front();
        }
    }
    if (oldest != nullptr) {
        oldest->pop_front();
    }
}

void LineGuard::answersReceived(UnitKind unit, int count, qint64 nowMs) {
    expire(nowMs);
    auto& owed = owed_[static_cast<size_t>(unit)];
    for (int i = 0; i < count && !owed.empty(); ++i) {
        owed.pop_front();
    }
}

void LineGuard::writeOff(UnitKind unit) {
    owed_[static_cast<size_t>(unit)].clear();
}

void LineGuard::answerMissed(UnitKind unit, qint64 nowMs) {
    auto& owed = owed_[static_cast<size_t>(unit)];
    if (!owed.empty()) {
        owed.back() = nowMs;
    }
}

bool LineGuard::lineSuspect(qint64 nowMs) {
    expire(nowMs);
    if (nowMs - lastStrayMs_ <= horizonMs) {
        return true;
    }
    // Commands and answers alternate, so only the answer to the last command is owed
    // on a line in step.
    size_t owedAnswers = 0;
    for (const auto& owed : owed_) {
        owedAnswers += owed.size();
    }
    return owedAnswers > 1;
}

}  // namespace kr5
