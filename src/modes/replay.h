// A recorded test drawn again, at full speed and without any line traffic: its Q-N blocks
// on the Q-N face, each finished chart to the Q-N window, then every row on the trend and
// V-Q charts as the live measurement drew it, judged for inception and extinction with
// the constants chosen (the file's, or another Set Q). The opened test in the program and
// the report from the command line both draw it so.
#pragma once

#include "charts/charts.h"
#include "core/inputconstants.h"
#include "core/qncounts.h"
#include "measure/inception.h"
#include "platform/clock.h"
#include "records/recordedfile.h"

#include <QString>
#include <optional>
#include <vector>

namespace kr5 {

struct ReplayResult {
    std::optional<double> inceptionV;
    std::optional<double> extinctionV;
    QString doubt;  // why the pair cannot be trusted; empty when it can
    // Every pair the rows give; the rows carry no time of day, so the pairs carry none.
    std::vector<InceptionDetector::Pair> pairs;
    // The last Q-N block: its passes, its label and Qm of its last pass and of the block.
    QnPasses qnPasses;
    QString qnLabel;
    QString qmLastPass;
    QString qmBlock;
    std::optional<double> nqnLastPass;
    std::optional<double> nqnBlock;
    // The largest charge and pulse rate of the normal readings.
    std::optional<double> largestChargePc;
    std::optional<double> largestRatePps;
};

// charts: made with constants (they scale by them), which the caller has set to those the
// test is to be judged with. clock: gives the result table its date.
ReplayResult replayTest(const RecordedTest& test, const InputConstants& constants, Charts& charts,
                        const Clock& clock);

}  // namespace kr5
