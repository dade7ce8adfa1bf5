// Finds the discharge inception voltage (CSV: the charge rises above Set Q while the
// voltage rises and the pulse rate has reached the Start count) and the extinction
// voltage (CEV: the charge falls below Set Q again while the voltage falls), and keeps the
// result table: tab-separated for the V-Q window's text box, comma-separated for the
// result file. The chart update runs it once per reading in normal measurement.
#pragma once

#include "app/globals.h"
#include "platform/clock.h"

#include <QString>
#include <optional>

namespace kr5 {

class Inception {
  public:
    // What one reading found: the label for the V-Q chart, drawn at x 40 and labelY, and
    // the new text of the result box.
    struct Finding {
        QString label;
        int labelY = 0;
        QString table;
    };

    Inception(const Globals& g, const Clock& clock) : g_(g), clock_(clock) {}

    // The inception and extinction tests for one reading: q0 the charge without Adjust and
    // n the pulse rate (both already raised to at least 0.1), v the AC reading times TV
    // Multi. Both comparisons with Set Q are strict. The reading is judged with the
    // direction of the last voltage change before it.
    std::optional<Finding> check(double q0, double n, double v);

    // Records the direction of a voltage change; an unchanged value keeps it.
    void direction(double v, double lastv);

    // The result table as comma-separated text: the quoted titles, CR LF, then name,
    // number, CSV, CEV and the current date and time, without a line end. The table
    // keeps this form afterwards.
    QString csvtext();

    bool vrising = false;   // the voltage rose at its last change
    bool csvfound = false;  // an inception stands, with no extinction since
    QString csvlabel;       // "CSV=" + voltage + "V"
    QString cevlabel;
    QString csvval;  // inception voltage as plain number text
    QString cevval;
    QString csvhead;  // the table's title line
    QString csvline;  // the table's value line

  private:
    Finding inception(double tv);
    Finding extinction(double tv);
    void tabHead();
    QString now() const;

    const Globals& g_;
    const Clock& clock_;
};

}  // namespace kr5
