// The status line printed with --status. Printing it each second from the running program is
// left to program_e2e_test.
#include "app/statusline.h"
#include "link/units.h"
#include "measure/panelmodel.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

UnitsOnLine unitsOn(int port, bool ac, bool discriminator) {
    UnitsOnLine units;
    units.port = port;
    units.unit(UnitKind::Detector) = {0, QStringLiteral("KR-5 V1.20   ")};
    if (ac) {
        units.unit(UnitKind::AcUnit) = {1, QStringLiteral("AU-1 V2.00   ")};
    }
    if (discriminator) {
        units.unit(UnitKind::NoiseDiscriminator) = {2, QStringLiteral("ZN-4 V1.00   ")};
    }
    return units;
}

TEST(StatusLine, NamesThePortTheUnitsThePanelsTextsAndTheUnitsNotAnswering) {
    Requests requests;
    OperatingSettings settings;
    PanelModel panel(requests, settings);
    Reading reading;
    reading.detector = DetectorFields{0x55, 0x44, 2, 0};
    reading.attRange = 2;
    reading.rawPeak = reading.detector->rawPeak();  // 5 V
    reading.charge = 25.0;
    reading.rawRate = reading.detector->rawRate();  // 40
    reading.pulseRate = 40.0;
    reading.es = 61.25;
    reading.testVoltage = 6125.0;
    panel.takeReading(reading);
    const QString values =
        QStringLiteral("Q 25.00 pC | N 40.0 P.P.S. | Es 61.2 V | TV  6.12kV | cycle 38 ms");
    const struct {
        UnitsOnLine units;
        const char* unitStatus;
        const char* start;  // the line before the values
        const char* end;    // after them
    } cases[] = {
        {unitsOn(1, true, true), "", "port 1 | KR AU ZN | ", ""},
        {unitsOn(1, false, false), "", "port 1 | KR | ", ""},
        {unitsOn(2, true, false), "", "port 2 | KR AU | ", ""},
        {unitsOn(1, false, true), "", "port 1 | KR ZN | ", ""},
        {unitsOn(2, true, true), "ACU: no reply (1); ZN-4: no reply (12)", "port 2 | KR AU ZN | ",
         " | ACU: no reply (1); ZN-4: no reply (12)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        EXPECT_EQ(statusLine(c.units, panel.readouts(), QStringLiteral("38"),
                             QLatin1String(c.unitStatus)),
                  QLatin1String(c.start) + values + QLatin1String(c.end));
    }
}

}  // namespace
}  // namespace kr5
