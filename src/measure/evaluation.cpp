#include "evaluation.h"

#include "app/format.h"
#include "link/wire.h"

namespace kr5 {

namespace {

const QString kChargePattern = QStringLiteral("######.00");
const QString kRatePattern = QStringLiteral("####.0");
const QString kEsPattern = QStringLiteral("00.0");

}  // namespace

Evaluation::Evaluation(Globals& g, PanelView& view, FrontPanel& panel)
    : g_(g), view_(view), panel_(panel) {}

double Evaluation::rawPeak(const QString& reply) {
    return hexField(reply, 4, 2) / 170.0 * 10.0;
}

double Evaluation::rawRate(const QString& reply) {
    return hexField(reply, 6, 2) / 170.0 * 100.0;
}

void Evaluation::plotPrevious() {
    if (gplot) {
        const auto att = static_cast<size_t>(attnow);
        const auto rate = static_cast<size_t>(ratenow);
        gplot(g_.atttbl[att] * vpraw, g_.ratetbl[rate] * ppsraw, acuval * g_.tvmulti, attnow);
    }
}

void Evaluation::showPeak(double raw, int att) {
    if (raw != vpshown) {
        const double q = g_.atttbl[static_cast<size_t>(att)] * raw * g_.kadj;
        view_.setReadout(Readout::Vpeak, formatPattern(q, kChargePattern));
        view_.setMeter(Meter::Scal2, raw);
        vpshown = raw;
    }
}

void Evaluation::detectorReply(const QString& reply) {
    vpraw = rawPeak(reply);
    ppsraw = rawRate(reply);
    attnow = digitField(reply, 8);
    // A garbled rate digit has no rate range: the last valid one stands for this cycle.
    const int rate = digitField(reply, 9);
    if (rate <= 3) {
        ratenow = rate;
    }
    showPeak(vpraw, attnow);
    if (ppsraw != ppsshown) {
        const double pps = g_.ratetbl[static_cast<size_t>(ratenow)] * ppsraw;
        view_.setReadout(Readout::Vpps, formatPattern(pps, kRatePattern));
        view_.setMeter(Meter::Scal1, ppsraw);
        ppsshown = ppsraw;
    }
    panel_.setattind(attnow);
    panel_.setrateind(ratenow);
}

void Evaluation::showVoltage(double es) {
    view_.setReadout(Readout::Des, formatPattern(es, kEsPattern));
    const QString tv = prefixfmt(es * g_.kpt) + QLatin1Char('V');
    view_.setReadout(Readout::Dtv, tv);
    if (showTv) {
        showTv(tv);
    }
    g_.qntv = tv;
}

void Evaluation::acReply(const QString& reply) {
    acudec(reply, acuval);
    showVoltage(acuval);
    if (g_.recon && dataRow) {
        const auto att = static_cast<size_t>(attnow);
        const auto rate = static_cast<size_t>(ratenow);
        dataRow(attnow, g_.atttbl[att] * vpraw * g_.kadj, ratenow, g_.ratetbl[rate] * ppsraw,
                acuval * g_.kpt);
    }
}

void Evaluation::noiseReply(const QString& reply) {
    if (showNoiseSettings) {
        showNoiseSettings(digitField(reply, 4), digitField(reply, 7), digitField(reply, 5));
    }
}

void Evaluation::autoRange() {
    if (!view_.remoteChecked()) {
        return;  // automatic ranging works only under remote control
    }
    if (g_.autoatt) {
        panel_.attauto(vpraw, attnow);
    }
    if (g_.autorate) {
        panel_.rateauto(ppsraw, ratenow);
    }
}

void Evaluation::qnStep(const QString& detector, const QString& ac, qint32 count, qint32 att) {
    const double p = rawPeak(detector);
    const int step = qBound(0, att, 9);
    showPeak(p, step);
    view_.setReadout(Readout::Vpps, formatPattern(g_.ratetbl[0] * double(count), kRatePattern));
    const double es = acudec(ac, acuval);
    showVoltage(es);
    const double q0 = g_.atttbl[static_cast<size_t>(step)] * p;
    if (g_.recon && dataRow) {
        dataRow(step, q0 * g_.kadj, 0, g_.ratetbl[0] * double(count), es * g_.kpt);
    }
    if (gplot) {
        gplot(q0, g_.ratetbl[0] * double(count), es * g_.tvmulti, step);
    }
}

}  // namespace kr5
