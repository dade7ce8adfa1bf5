#include "replay.h"

#include "measure/inception.h"
#include "modes/qm.h"
#include "records/recordedreadings.h"

#include <algorithm>

namespace kr5 {

namespace {

// One Q-N block: its bars pass by pass on the Q-N face, the chart to the Q-N window.
void drawQnBlock(const RecordedQnBlock& block, const std::vector<Reading>& readings,
                 Charts& charts) {
    charts.showQnFace(block.testVoltage + QLatin1Char(' ') + block.condition);
    int pass = 0;
    int lastRange = -1;
    const int end = std::min<int>(block.firstRow + block.rowCount, int(readings.size()));
    for (int row = block.firstRow; row < end; ++row) {
        const Reading& step = readings[size_t(row)];
        if (step.attRange <= lastRange) {
            ++pass;  // the ranges start again: the next pass
        }
        lastRange = step.attRange;
        charts.plotter().plotQnBar(pass, step);
    }
    charts.copyQnChart();
}

}  // namespace

ReplayResult replayTest(const RecordedTest& test, const InputConstants& constants, Charts& charts,
                        const Clock& clock) {
    const std::vector<Reading> readings = readingsOf(test, constants);
    ReplayResult result;

    for (const RecordedQnBlock& block : test.qnBlocks) {
        drawQnBlock(block, readings, charts);
    }
    if (!test.qnBlocks.empty()) {
        const RecordedQnBlock& last = test.qnBlocks.back();
        QmTracker qm;
        for (const QnRates& pass : last.passes) {
            for (int range = 0; range < kAttenuatorRanges; ++range) {
                qm.takeStep(range, pass[size_t(range)]);
            }
            qm.passDone();
        }
        result.qnPasses = last.passes;
        result.qnLabel = last.testVoltage + QLatin1Char(' ') + last.condition;
        result.qmLastPass = qm.lastPass(constants.adjust).text();
        result.qmBlock = qm.block(constants.adjust).text();
    }

    charts.showNormalFace();
    charts.plotter().eraseVq();  // no result table of another judgement stays
    InceptionDetector detector(constants, clock);
    for (const Reading& r : readings) {
        if (const auto found = detector.judge(r)) {
            charts.plotter().showInception(*found);
            result.resultTable = found->table;
        }
        charts.plotter().plotReading(r, detector.inceptionStanding());
        if (!r.isQnStep() && r.complete()) {
            result.largestChargePc = std::max(result.largestChargePc.value_or(r.charge), r.charge);
            result.largestRatePps =
                std::max(result.largestRatePps.value_or(r.pulseRate), r.pulseRate);
        }
    }
    charts.refresh();
    result.inceptionV = detector.inceptionVolts();
    result.extinctionV = detector.extinctionVolts();
    result.doubt = result.extinctionV ? detector.doubt() : QString();
    result.resultFileText = detector.resultFileText();
    return result;
}

}  // namespace kr5
