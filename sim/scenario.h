// What a simulated bench is made of: the units with their addresses, ports and
// identification texts, the test voltage profile, the test object, the faults and the
// seed. The in-process tests build one in code; the kr5sim program reads it from its
// options and a scenario file (see README.md), through ScenarioBuilder.
#pragma once

#include <QString>
#include <QStringList>
#include <limits>
#include <optional>
#include <set>
#include <vector>

namespace kr5::sim {

enum class UnitKind { Detector, AcUnit, Discriminator };

// The two type letters a unit's identification text begins with: "KR", "AU", "ZN".
QString typeLetters(UnitKind kind);

enum class FaultKind {
    Silent,     // the unit obeys but its answer never reaches the line
    Garbled,    // some characters of the answer are replaced by noise
    Truncated,  // the answer stops short
    Pieces,     // the answer arrives in parts with pauses between them
    Late,       // the answer leaves only after a long delay
    Gone,       // the unit is not there: it neither hears nor answers
    Noise,      // bytes of line noise arrive just ahead of the answer
};

struct FaultConfig {
    FaultKind kind = FaultKind::Silent;
    double fromS = 0.0;  // window in seconds of bench time: [fromS, toS)
    double toS = std::numeric_limits<double>::infinity();
    double probability = 1.0;  // share of the frames within the window it hits
    double lateMs = 150.0;     // Late: extra delay before the answer leaves
    int keep = -1;             // Truncated: characters kept; -1 keeps half
    int pieces = 2;            // Pieces: number of parts
    double gapMs = 20.0;       // Pieces: pause between parts
    int count = 2;             // Garbled: characters replaced; Noise: bytes ahead

    bool coversUs(double atUs) const {
        const double s = atUs / 1e6;
        return s >= fromS && s < toS;
    }
};

struct UnitConfig {
    UnitKind kind = UnitKind::Detector;
    int address = 0;  // index 0..15: the unit answers the address byte 0xC0 + index
    int port = 1;     // 1 or 2
    QString ident;    // 13 characters beginning with the type letters
};

// A fault for the units of one kind, or for the one at an address of that kind.
struct FaultRule {
    UnitKind kind = UnitKind::Detector;
    int address = -1;  // -1: every unit of the kind
    FaultConfig config;

    bool matches(const UnitConfig& unit) const {
        return unit.kind == kind && (address < 0 || unit.address == address);
    }
};

// The operator at the transformer: from the start voltage up at upKvPerS to the peak,
// hold, down at downKvPerS, pause at the start voltage, and again if repeat is set.
// A rate that is not positive makes that ramp a step.
struct ProfileConfig {
    double startKv = 0.0;
    double peakKv = 12.0;
    double upKvPerS = 1.0;
    double holdS = 4.0;
    double downKvPerS = 1.0;
    double pauseS = 2.0;
    bool repeat = true;
    // Seconds at the start voltage before the first ramp: time to calibrate with the high
    // voltage off.
    double delayS = 0.0;
};

// The insulation under test. Discharges start when the voltage reaches inceptionKv and
// stop only when it falls below extinctionKv. While they burn, the charge of a pulse is
// Weibull-distributed with the scale chargePc * (V / inceptionKv)^chargeExponent and the
// given shape, and pulses come at ratePps * (V / inceptionKv)^rateExponent. Background
// noise pulses come at noisePps with the scale noisePc whatever the voltage.
struct ObjectConfig {
    double inceptionKv = 8.0;
    double extinctionKv = 6.0;
    double chargePc = 20.0;
    double chargeExponent = 4.0;
    double ratePps = 100.0;
    double rateExponent = 3.0;
    double shape = 1.0;
    double noisePc = 1.5;
    double noisePps = 300.0;
};

// A charge calibrator on the detector's input, as the test engineer connects one with the
// high voltage off: pulses of one known charge at a steady rate during [fromS, toS).
struct CalibratorConfig {
    double chargePc = 0.0;
    double ratePps = 100.0;
    double fromS = 0.0;
    double toS = std::numeric_limits<double>::infinity();

    bool coversS(double s) const { return s >= fromS && s < toS; }
};

// A port whose adapter is pulled out during [fromS, toS).
struct PortPull {
    int port = 1;
    double fromS = 0.0;
    double toS = std::numeric_limits<double>::infinity();
    // The units on the port were switched off and on meanwhile: they come back at 9600
    // baud.
    bool powerCycle = false;
};

struct Scenario {
    quint32 seed = 1;
    double turnaroundMs = 2.0;   // from the end of a frame to the first byte of the answer
    double ptRatio = 100.0;      // test voltage / the voltage the AC unit measures (Es)
    double calibration = 1.0;    // pC per volt of raw peak at the 1/1 range
    bool operatorActive = true;  // units in local mode change their settings by themselves
    std::vector<UnitConfig> units;
    std::set<int> emptyPorts;  // ports that have a line with no unit on it
    ProfileConfig profile;
    ObjectConfig object;
    // One calibrator setting after another; where their times overlap the first counts.
    std::vector<CalibratorConfig> calibrators;
    std::vector<FaultRule> faults;
    std::vector<PortPull> pulls;

    // Every port that has a line: the ports of the units and the empty ones.
    std::set<int> ports() const;

    // All three units on port 1 (detector 0, AC unit 1, noise discriminator 2) and a
    // ramp to 12 kV and back that passes inception and extinction every cycle.
    static Scenario defaultBench();
};

// The identification text a unit of this kind gets when the scenario gives none.
QString defaultIdent(UnitKind kind, int address);

// Builds a scenario from text lines, one setting per line (the keywords of README.md).
// Starts from the default bench; the first "unit" line replaces its units.
class ScenarioBuilder {
  public:
    ScenarioBuilder() : scenario_(Scenario::defaultBench()) {}

    // One line, such as "unit KR 0 1 KR-5 SIM 0001" or "fault AU late ms=150".
    // Blank lines and lines starting with '#' are accepted and do nothing. On an error the
    // scenario is unchanged and error (if given) says what was wrong.
    bool apply(const QString& line, QString* error = nullptr);

    // Every line of a text; stops at the first bad one, with its line number in the error.
    bool applyText(const QString& text, QString* error = nullptr);

    const Scenario& scenario() const { return scenario_; }

  private:
    bool applyWords(const QStringList& words, const QString& line, QString* error);

    Scenario scenario_;
    bool unitsGiven_ = false;
};

}  // namespace kr5::sim
