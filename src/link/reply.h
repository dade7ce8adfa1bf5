// A reply as the link collected it, and the fields the program reads from the replies
// it uses. A reply counts only when it came whole, alone and in time; its fields count
// only when they are of their kind (hex digits in a hex field, a decimal digit in a digit
// field). The characters before and after the payload are the instruments' own business
// and are never looked at.
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace kr5 {

struct Reply {
    enum class Status {
        Whole,     // exactly the expected characters, for the command just sent
        Missing,   // nothing came within the time-out
        Short,     // fewer characters than expected came within the time-out
        Overlong,  // more characters came than one reply has: something else was mixed in
    };

    Status status = Status::Missing;
    QString text;
    // Which reply on the line this was, counted from 1 by the link; 0 for one not taken
    // from the line.
    quint64 serial = 0;

    bool whole() const { return status == Status::Whole; }
};

// The detector's measurement, from its 11-character reply to "x".
struct DetectorFields {
    int peakCode = 0;   // characters 4-5, two hex digits: raw peak = code / 170 x 10 V
    int rateCode = 0;   // characters 6-7, two hex digits: raw rate = code / 170 x 100
    int attRange = 0;   // character 8: the attenuator range in use, 0..9
    int rateRange = 0;  // character 9: the rate range in use, 0..3

    double rawPeak() const { return peakCode / 170.0 * 10.0; }
    double rawRate() const { return rateCode / 170.0 * 100.0; }
};

// The AC unit's reading, from its 9-character reply to "t": a code (character 4, hex)
// and three decimal digits (characters 5-7).
struct AcFields {
    int code = 0;
    int digits = 0;

    // The voltage Es this reading gives. Codes 0 and 1 read 0 V, 2 is digits / 10, 3 is
    // (1000 + digits) / 10, 6 is 200 V; code 2 with the digits 000 and any other code
    // leave the previous value standing. The bit of value 8 in the code is a flag of the
    // unit that is not used.
    double voltage(double previous) const;
    bool leavesPreviousStanding() const;
};

// The noise discriminator's settings, from its 9-character reply to "g": characters 4,
// 5 and 7 (character 6 is not used).
struct NoiseFields {
    int channelA = 0;  // attenuator step of channel A
    int function = 0;  // 0 ALL ON, 1 N OFF, 2 PD ON, 3 ANT OFF
    int channelB = 0;  // attenuator step of channel B
};

// Each reads a whole reply; nothing when the reply did not count or a field is not of
// its kind. A rate range digit beyond 3 names no range and spoils the reply.
std::optional<DetectorFields> detectorFields(const Reply& reply);
std::optional<AcFields> acFields(const Reply& reply);
std::optional<NoiseFields> noiseFields(const Reply& reply);
// The pulse count of a Q-N gate: four hex digits at characters 4-7, 0..65535.
std::optional<quint32> gateCount(const Reply& reply);

// Pulses per second from a gate count: count x 1000 / gate time, rounded (halves to
// even); 0 for a gate time that is not positive.
qint32 countRate(quint32 count, qint32 gateTimeMs);

}  // namespace kr5
