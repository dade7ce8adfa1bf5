// The AC unit: measures the test voltage through the PT of the test set (Es, in volts)
// and answers "t" with a code digit and three digits:
//   code 0, "000"        below 0.05 V (nothing applied)
//   code 2, Es*10        0.1 .. 99.9 V
//   code 3, Es*10-1000   100.0 .. 199.9 V
//   code 6, "000"        200 V and above (over range, read as 200)
// The flag bit of value 8 in the code is never set. "v" and "b3".."b5" as every unit.
#pragma once

#include "physics.h"
#include "unit.h"

namespace kr5::sim {

class AcUnit : public Unit {
  public:
    AcUnit(const UnitConfig& config, quint32 seed, const Physics& physics);

    // The voltage the unit measures at atUs, with its own small measuring noise.
    double measuredEsAt(double atUs);

    // The four payload characters for a voltage.
    static QByteArray encodeEs(double es);

  protected:
    std::optional<Answer> handleOwn(const QByteArray& command, double atUs) override;

  private:
    const Physics& physics_;
};

}  // namespace kr5::sim
