// The units' replies as the link collects them, made by hand.
#pragma once

#include "link/reply.h"

#include <QString>

namespace kr5::test {

// A reply that came whole.
inline Reply whole(const QString& text) {
    return Reply{Reply::Status::Whole, text};
}

// The detector's whole reply to "x": the peak and rate codes in hex, then the attenuator and
// rate ranges.
inline Reply detectorReply(int peakCode, int rateCode, int att, int rateRange) {
    return whole(QString::asprintf("A0x%02X%02X%d%d\r\n", peakCode, rateCode, att, rateRange));
}

}  // namespace kr5::test
