// One reading of the units: the exchanges of a normal cycle (mesread) and of one step of
// a Q-N counting pass (qnread), in the order that overlaps the units' answer times.
// What is made of the replies (panel, records, charts) is handed to a ReadingSink.
#pragma once

#include "app/globals.h"
#include "link/link.h"
#include "platform/eventpump.h"

#include <QString>

namespace kr5 {

// Receives the replies of a reading at the points of the cycle where they are used.
class ReadingSink {
  public:
    virtual ~ReadingSink() = default;

    // Normal cycle. plotPrevious runs while the detector prepares its answer.
    virtual void plotPrevious() = 0;
    virtual void detectorReply(const QString& reply) = 0;
    virtual void acReply(const QString& reply) = 0;  // "0xx1000" without an AC unit
    virtual void noiseReply(const QString& reply) = 0;
    virtual void autoRange() = 0;

    // One step of a Q-N pass: the detector's and the AC unit's replies, then (after the
    // step's record and plot) the noise discriminator's.
    virtual void qnStep(const QString& detector, const QString& ac, qint32 count, qint32 att) = 0;
};

// The text that stands for the AC unit's reply when there is no AC unit: it reads as 0 V.
inline const QString kNoAcReply = QStringLiteral("0xx1000");

class Reading {
  public:
    Reading(Globals& g, Link& link, EventPump& pump, ReadingSink& sink)
        : g_(g), link_(link), pump_(pump), sink_(sink) {}

    void mesread();
    void qnread(qint32 count, qint32 att);

  private:
    QString collectAc();

    Globals& g_;
    Link& link_;
    EventPump& pump_;
    ReadingSink& sink_;
};

}  // namespace kr5
