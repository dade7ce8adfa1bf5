#include "replay.h"

#include "charts/trendchart.h"
#include "measure/inception.h"
#include "modes/qm.h"
#include "records/recordedreadings.h"

#include <algorithm>

namespace kr5 {

namespace {

// One Q-N block: its bars pass by pass on the Q-N face, the chart to the Q-N window.
void drawQnBlock(const RecordedQnBlock& block, const RecordedReadings& readings, Charts& charts) {
    charts.showQnFace(block.testVoltage + QLatin1Char(' ') + block.condition);
    int pass = 0;
    int lastRange = -1;
    const int end = std::min<int>(block.firstRow + block.rowCount, int(readings.size()));
    for (int row = block.firstRow; row < end; ++row) {
        const Reading step = readings.at(size_t(row));
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
    const RecordedReadings readings(test, constants);
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
        result.nqnLastPass = qm.lastPassNqn(constants.adjust);
        result.nqnBlock = qm.blockNqn(constants.adjust);
    }

    charts.showNormalFace();
    charts.plotter().eraseVq();  // no result table of another judgement stays
    // The trend shows only what came since its last sweep began; the readings before go
    // on the V-Q chart alone. Every row's reading is drawn: a row is written only for a
    // reading with all its values.
    const size_t drawn = readings.size();
    const size_t lastSweep = drawn == 0 ? 0 : (drawn - 1) / TrendChart::sweep * TrendChart::sweep;
    size_t complete = 0;
    InceptionDetector detector(constants, clock);
    charts.plotter().holdResultTable();
    for (size_t i = 0; i < readings.size(); ++i) {
        const Reading r = readings.at(i);
        if (const auto found = detector.judge(r)) {
            charts.plotter().showInception(*found);
        }
        if (r.complete() && complete++ < lastSweep) {
            charts.plotter().plotVqOnly(r, detector.inceptionStanding());
        } else {
            charts.plotter().plotReading(r, detector.inceptionStanding());
        }
        if (!r.isQnStep() && r.complete()) {
            result.largestChargePc = std::max(result.largestChargePc.value_or(r.charge), r.charge);
            result.largestRatePps =
                std::max(result.largestRatePps.value_or(r.pulseRate), r.pulseRate);
        }
    }
    charts.plotter().releaseResultTable();
    charts.refresh();
    result.inceptionV = detector.inceptionVolts();
    result.extinctionV = detector.extinctionVolts();
    result.doubt = result.extinctionV ? detector.doubt() : QString();
    result.pairs = detector.pairs();
    for (InceptionDetector::Pair& pair : result.pairs) {
        pair.inceptionAt = pair.extinctionAt = QDateTime();
    }
    return result;
}

}  // namespace kr5
