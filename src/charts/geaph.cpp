#include "geaph.h"

#include "charts/chartscale.h"
#include "charts/primitives.h"

namespace kr5 {

namespace {

constexpr int labelX = 40;  // inception and extinction labels on the V-Q chart

// Decimal text with a blank before a number that is not negative.
QString signedText(qint32 v) {
    return (v < 0 ? QString() : QStringLiteral(" ")) + QString::number(v);
}

}  // namespace

Geaph::Geaph(const Globals& g, const ColourTable& colours, const Clock& clock, Surface& trend,
             Surface& vq, VqView& vqView)
    : g_(g),
      vq_(vq),
      vqView_(vqView),
      trend_(trend, g, colours, state_),
      vqChart_(vq, g, colours, state_),
      inception_(g, clock) {}

void Geaph::gplot(double q0, double n, double v, qint32 att) {
    loadVq();
    q0 = chart::raised(q0);
    n = chart::raised(n);
    state_.lastq = chart::raised(state_.lastq);
    state_.lastn = chart::raised(state_.lastn);
    if (g_.qnmode) {
        plotQn(n, v, att);
    } else {
        plotNormal(q0, n, v, att);
    }
}

void Geaph::plotNormal(double q0, double n, double v, qint32 att) {
    trend_.plotReading(q0, n, v, att);
    if (trend_.advance()) {
        clrwave();
    }
    if (const auto found = inception_.check(q0, n, v)) {
        vqlabel(vq_, found->label, found->labelY, labelX);
        vqView_.setText1(found->table);
    }
    const Colour colour = vqChart_.segmentColour(v, inception_.csvfound);
    inception_.direction(v, state_.lastv);
    vqChart_.plotSegment(q0, v, colour);
    state_.lastq = q0;
    state_.lastn = n;
    state_.lastv = v;
}

void Geaph::plotQn(double n, double v, qint32 att) {
    trend_.plotChannel(n, v, att);
    if (trend_.advance()) {
        clrwave();
    }
    vqView_.setVqCaption(passCaption());
    vqChart_.plotBar(n, att);
    if (att == 9) {
        ++state_.qnpass;
        if (qnPassEnd) {
            qnPassEnd();
        }
    }
}

QString Geaph::passCaption() const {
    // The pass count: the signed text of the pass number, and that of qnloops without its
    // first character (the blank, or the minus sign of Non Stop's -1).
    return QStringLiteral("Q-N(") + g_.portstr + QStringLiteral(") ") +
           signedText(state_.qnpass + 1) + QLatin1Char('/') + signedText(g_.qnloops).mid(1);
}

void Geaph::clrwave() {
    trend_.dscle(attshown_);
}

void Geaph::chmcol(int ratt) {
    attshown_ = ratt;
    trend_.chmcol(ratt);
}

void Geaph::loadVq() {
    if (vqLoaded_) {
        return;
    }
    vqLoaded_ = true;
    vqView_.setVqCaption(QStringLiteral("V-Q"));
    vqView_.setText1(QString());
    drawVqFace();
}

void Geaph::drawVqFace() {
    vqView_.setText1Shown(!g_.qnmode);
    vqChart_.dscle();
}

void Geaph::clrvq() {
    loadVq();
    drawVqFace();
}

void Geaph::verase() {
    clrvq();
    vqView_.setText1(QString());
}

void Geaph::setVqCaption(const QString& caption) {
    loadVq();
    vqView_.setVqCaption(caption);
}

}  // namespace kr5
