// Finds the discharge inception voltage (CSV: the charge rises above Set Q while the
// voltage rises and the pulse rate has reached the Start count) and the extinction
// voltage (CEV: the charge falls below Set Q again while the voltage falls), and keeps the
// result table: tab-separated for the V-Q window's text box, comma-separated for the
// result file. It judges the complete readings of normal cycles.
#pragma once

#include "core/inputconstants.h"
#include "measure/reading.h"
#include "platform/clock.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace kr5 {

class InceptionDetector {
  public:
    // What one reading found: the label for the V-Q chart, drawn at x 40 and labelY, and
    // the new text of the result box: the titles, then a line for each pair since the
    // table was last erased (CSV alone while the inception stands).
    static constexpr int kInceptionLabelY = 40;
    static constexpr int kExtinctionLabelY = 60;
    struct Finding {
        QString label;
        int labelY = 0;
        QString table;
        // Why the pair just completed cannot be trusted; empty when it can.
        QString doubt;
    };

    // One inception with the extinction that ended it (none while it stands), the Set Q it
    // was judged with and when each was found.
    struct Pair {
        double inceptionV = 0.0;
        std::optional<double> extinctionV;
        double setQPc = 0.0;
        QDateTime inceptionAt;
        QDateTime extinctionAt;
        QString doubt;
    };

    InceptionDetector(const InputConstants& constants, const Clock& clock)
        : constants_(constants), clock_(clock) {}

    // Judges one reading. Charge and rate below 0.1 count as 0.1, as on the charts; both
    // comparisons with Set Q are strict. A reading is judged with the direction of the
    // last voltage change before it. Readings that are not complete, and Q-N steps, are
    // not judged.
    std::optional<Finding> judge(const Reading& reading);

    // An inception stands, with no extinction since.
    bool inceptionStanding() const { return csvFound_; }

    // Why the last inception and extinction pair cannot be trusted, empty when it can: an
    // extinction above the inception (Set Q within the background noise, as a rule), or
    // an extinction found only after the voltage had fallen and risen again since the
    // inception. A fall or rise counts from a tenth of the highest voltage since the
    // inception, so that the jitter of the reading does not.
    QString doubt() const { return pairs_.empty() ? QString() : pairs_.back().doubt; }

    // The last inception voltage found and the extinction that ended it, in volts; no
    // extinction while the inception stands.
    std::optional<double> inceptionVolts() const {
        return pairs_.empty() ? std::nullopt : std::optional(pairs_.back().inceptionV);
    }
    std::optional<double> extinctionVolts() const {
        return pairs_.empty() ? std::nullopt : pairs_.back().extinctionV;
    }

    // Every pair found since the program started, the oldest first.
    const std::vector<Pair>& pairs() const { return pairs_; }

    // The result table shows the pairs found from now on (and an inception that stands):
    // the table was erased.
    void startNewTable();

    // The last pair as comma-separated text: the quoted titles, CR LF, then name, number,
    // CSV, CEV (empty while the inception stands) and the current date and time, without
    // a line end.
    QString resultFileText() const;

  private:
    Finding inception(double tv);
    Finding extinction(double tv);
    void followVoltageCycle(double tv);
    QString tableText() const;
    static QString dateTime(const QDateTime& t);

    const InputConstants& constants_;
    const Clock& clock_;
    bool rising_ = false;  // the voltage rose at its last change
    bool csvFound_ = false;
    double lastEs_ = 0.0;
    // The voltage since the inception: its highest, its lowest after it fell, and whether
    // it fell and rose again.
    double peakVolts_ = 0.0;
    double troughVolts_ = 0.0;
    bool fell_ = false;
    bool roseAgain_ = false;
    std::vector<Pair> pairs_;
    // Each pair's voltages and time as the result table shows them, made once: a recorded
    // test drawn again finds hundreds of pairs, each finding with the whole table.
    std::vector<QString> pairCells_;
    size_t tableFrom_ = 0;  // the first pair the result table shows
};

}  // namespace kr5
