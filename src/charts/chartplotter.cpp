#include "chartplotter.h"

#include "charts/primitives.h"

namespace kr5 {

namespace {

constexpr int labelX = 40;  // inception and extinction labels on the V-Q chart

}  // namespace

ChartPlotter::ChartPlotter(const InputConstants& constants, const OperatingSettings& settings,
                           const ColourTable& colours, Surface& trend, Surface& vq, VqView& vqView)
    : settings_(settings),
      vq_(vq),
      vqView_(vqView),
      trend_(trend, constants, settings, colours, state_),
      vqChart_(vq, constants, settings, colours, state_) {}

void ChartPlotter::setFace(chart::Face face, const QString& qnLabel) {
    face_ = face;
    qnLabel_ = qnLabel;
}

double ChartPlotter::voltageValue(const Reading& r) const {
    // The voltage scales run 0 to 200 of the AC reading times TV Multi.
    return r.es.value_or(0.0) * settings_.tvDivisor();
}

void ChartPlotter::plotReading(const Reading& r, bool inceptionStanding) {
    // A Q-N step's count is its measurement: it is drawn whether or not the detector and
    // the AC unit answered beside it.
    if (r.isQnStep() ? !r.countAnswered() : !r.complete()) {
        return;
    }
    loadVq();
    const double rate = raised(r.pulseRate);
    state_.previousCharge = raised(state_.previousCharge);
    state_.previousRate = raised(state_.previousRate);
    if (r.isQnStep()) {
        trend_.plotChannel(rate, r.acAnswered() ? std::optional(voltageValue(r)) : std::nullopt,
                           r.attRange);
        if (trend_.advance()) {
            clearTrend();
        }
        return;
    }
    const double voltage = voltageValue(r);
    const double charge = raised(r.chargeUnadjusted());
    trend_.plotReading(charge, rate, voltage, r.attRange);
    if (trend_.advance()) {
        clearTrend();
    }
    vqChart_.plotSegment(charge, voltage, vqChart_.segmentColour(voltage, inceptionStanding));
    state_.previousCharge = charge;
    state_.previousRate = rate;
    state_.previousVoltage = voltage;
}

void ChartPlotter::plotVqOnly(const Reading& r, bool inceptionStanding) {
    if (!r.complete() || r.isQnStep()) {
        return;
    }
    loadVq();
    // As plotReading does: the first segment starts from the scale's floor, not from a
    // charge of 0, which lies below the chart.
    state_.previousCharge = raised(state_.previousCharge);
    const double charge = raised(r.chargeUnadjusted());
    const double voltage = voltageValue(r);
    vqChart_.plotSegment(charge, voltage, vqChart_.segmentColour(voltage, inceptionStanding));
    state_.previousCharge = charge;
    state_.previousRate = raised(r.pulseRate);
    state_.previousVoltage = voltage;
}

void ChartPlotter::showInception(const InceptionDetector::Finding& finding) {
    loadVq();
    // Each label covers the longest one that can stand in its place, and a new inception
    // takes the old extinction's value away: the chart never shows a pair that is none.
    constexpr int kLabelWidth = 11;  // "CSV=" and "999.9kV"
    drawLabel(vq_, finding.label.leftJustified(kLabelWidth), finding.labelY, labelX);
    if (finding.labelY == InceptionDetector::kInceptionLabelY) {
        drawLabel(vq_, QStringLiteral("CEV=").leftJustified(kLabelWidth),
                  InceptionDetector::kExtinctionLabelY, labelX);
    }
    if (resultTableHeld_) {
        heldFinding_ = finding;
        return;
    }
    vqView_.setResultText(finding.table);
    vqView_.setResultDoubt(finding.doubt);
}

void ChartPlotter::holdResultTable() {
    resultTableHeld_ = true;
}

void ChartPlotter::releaseResultTable() {
    resultTableHeld_ = false;
    if (heldFinding_) {
        vqView_.setResultText(heldFinding_->table);
        vqView_.setResultDoubt(heldFinding_->doubt);
        heldFinding_.reset();
    }
}

void ChartPlotter::plotQnBar(int pass, const Reading& step) {
    if (!step.countAnswered()) {
        return;
    }
    loadVq();
    vqChart_.plotBar(pass, raised(step.pulseRate), step.attRange);
}

void ChartPlotter::clearTrend() {
    trend_.drawEmpty(face_, rateColourRange_);
}

void ChartPlotter::recolourRateScale(int range) {
    rateColourRange_ = range;
    trend_.recolourRateScale(range);
}

void ChartPlotter::loadVq() {
    if (vqLoaded_) {
        return;
    }
    vqLoaded_ = true;
    vqView_.setCaption(QStringLiteral("V-Q"));
    vqView_.setResultText(QString());
    clearVq();
}

void ChartPlotter::clearVq() {
    loadVq();
    vqView_.setResultTextShown(face_ == chart::Face::Normal);
    vqChart_.drawEmpty(face_, qnLabel_);
}

void ChartPlotter::eraseVq() {
    clearVq();
    vqView_.setResultText(QString());
}

void ChartPlotter::setVqCaption(const QString& caption) {
    loadVq();
    vqView_.setCaption(caption);
}

}  // namespace kr5
