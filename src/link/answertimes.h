// How long each kind of exchange usually takes, from the command to the last character of
// its whole reply, learned from the exchanges that went well. A reply that comes within
// the usual time is an answer to the command just sent; one that comes much later, from
// a unit that already missed an answer, may be that earlier answer arriving late.
#pragma once

#include "link/units.h"

#include <QtGlobal>
#include <array>
#include <map>
#include <optional>
#include <tuple>

namespace kr5 {

class AnswerTimes {
  public:
    // A new line or a new speed: nothing is known.
    void reset() { recent_.clear(); }

    // An exchange that went well took ms.
    void record(UnitKind unit, int len, int timeout, qint64 ms);

    // The latest a prompt answer completes: half as long again as the slowest of the last
    // few good exchanges of this kind, and at least 2 ms more. Nothing before any.
    std::optional<qint64> promptLimit(UnitKind unit, int len, int timeout) const;

  private:
    static constexpr int kept = 8;
    struct Recent {
        std::array<qint64, kept> ms{};
        int count = 0;
        int next = 0;
    };
    std::map<std::tuple<int, int, int>, Recent> recent_;
};

}  // namespace kr5
