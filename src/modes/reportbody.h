// What the test report says, section by section, in the order a reader of a test report
// looks for it: the test object and customer, the test, the circuit and the instrument, the
// calibration, the conditions, the background, the noise discriminator, the voltage
// applied, the partial discharges with every inception and extinction, the verdict, the
// Q-N results, the charts, the notes and the signatures.
#pragma once

#include "modes/report.h"
#include "modes/reportlayout.h"

namespace kr5 {

// The blocks of the report, added to the layout.
void composeReport(ReportLayout& layout, const ReportContent& content);

// The page header's right side: the test's name and number.
QString reportHeader(const ReportContent& content);

}  // namespace kr5
