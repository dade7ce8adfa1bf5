// Keeps the answers on the line apart. The units never speak unasked and answer in the
// order they were asked, so every command sent is an answer owed. An answer that misses
// its time-out may still come, late, in the middle of a later exchange; the guard remembers
// which answers are still owed so that such a late answer is never taken for the answer
// to the command just sent, and so that bytes no exchange expects make the line suspect
// for a while. Owed answers older than the horizon are written off as lost.
#pragma once

#include "link/units.h"

#include <QtGlobal>
#include <array>
#include <deque>

namespace kr5 {

class LineGuard {
  public:
    // How long a missed answer may still arrive, and how long stray bytes make the line
    // suspect.
    static constexpr qint64 horizonMs = 500;

    // A new line (port opened): nothing is owed.
    void reset();

    // A command went to the unit: one more answer owed.
    void commandSent(UnitKind unit, qint64 nowMs);

    // Answers the unit owes for commands before the last one.
    int olderAnswersOwed(UnitKind unit, qint64 nowMs);

    // Whether another unit owes an answer that may still come, late, in this unit's
    // exchange.
    bool othersOwe(UnitKind unit, qint64 nowMs);

    // Bytes arrived that belong to no exchange (dropped before a command, or more than
    // an exchange could hold). They are taken for the oldest answer still owed.
    void straysSeen(qint64 nowMs);

    // The unit's answers that came in one exchange: each pays the oldest one owed.
    void answersReceived(UnitKind unit, int count, qint64 nowMs);

    // The unit answered promptly after all: the answers it still owed are lost, and a
    // late one that comes after all will show as stray bytes.
    void writeOff(UnitKind unit);

    // The exchange of the last command ended without its answer: from now on that answer
    // is late, and it is awaited for the horizon.
    void answerMissed(UnitKind unit, qint64 nowMs);

    // Something may still be on its way, or arrived unasked lately: an exchange that
    // looks complete waits a moment longer for bytes that would spoil it.
    bool lineSuspect(qint64 nowMs);

  private:
    void expire(qint64 nowMs);

    // Per unit, oldest first: when each owed answer was due (the send time while its
    // exchange lasts, the end of the exchange once it missed).
    std::array<std::deque<qint64>, kUnitKinds> owed_;
    int lastUnit_ = -1;  // the unit of the last command, whose answer is due now
    qint64 lastStrayMs_ = -horizonMs - 1;
};

}  // namespace kr5
