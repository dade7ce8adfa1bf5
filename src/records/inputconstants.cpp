#include "inputconstants.h"

#include "app/format.h"
#include "app/numeric.h"
#include "numbertext.h"

#include <limits>

namespace kr5 {

namespace {

int clampedIndex(qint64 i) {
    return static_cast<int>(qBound(qint64{0}, i, qint64{InputConstants::qidxMax}));
}

}  // namespace

InputConstants::InputConstants(Globals& g, const SettingsFile& file) : g_(g), file_(file) {}

void InputConstants::ksetv() {
    InputValues v = InputValues::of(g_);
    file_.load(g_.portstr, v);
    v.storeIn(g_);

    fields.name = g_.kname;
    fields.num = g_.knum;
    fields.temp = g_.ktemp;
    fields.rh = g_.krh;
    fields.pt = numberForm(g_.kpt);
    fields.adj = plainNumber(g_.kadj);
    fields.start = QString::number(g_.kstart);
    fields.stop = QString::number(g_.kstop);
    fields.qidx = clampedIndex(roundEven(g_.kqidx));
    emit fieldsLoaded();
}

QString InputConstants::setqText() const {
    const double adj = leadingNumber(fields.adj).value;
    return plainNumber(adj * g_.atttbl[static_cast<size_t>(clampedIndex(fields.qidx))]);
}

bool InputConstants::takeNumber(const QString& text, const QString& caption, double& out) {
    const LeadingNumber n = leadingNumber(text);
    if (!n.fits) {
        problem_ = tr("%1 is too large a number.").arg(caption);
        return false;
    }
    out = n.value;
    return true;
}

bool InputConstants::takeCount(const QString& text, const QString& caption, qint32& out) {
    const LeadingCount c = leadingCount(text);
    if (!c.fits) {
        problem_ = tr("%1 must lie between %2 and %3.")
                       .arg(caption)
                       .arg(std::numeric_limits<qint32>::min())
                       .arg(std::numeric_limits<qint32>::max());
        return false;
    }
    out = c.value;
    return true;
}

InputConstants::OkResult InputConstants::command1Click() {
    problem_.clear();
    InputValues v = InputValues::of(g_);
    v.kname = fields.name;
    v.knum = fields.num;
    v.ktemp = fields.temp;
    v.krh = fields.rh;
    if (!takeNumber(fields.pt, tr("PT Ratio"), v.kpt) ||
        !takeNumber(fields.adj, tr("Adjust"), v.kadj) ||
        !takeCount(fields.start, tr("Start Count"), v.kstart) ||
        !takeCount(fields.stop, tr("Stop Count"), v.kstop)) {
        return OkResult::Refused;
    }
    const int qidx = clampedIndex(fields.qidx);
    v.kqidx = qidx;
    v.ksetq = g_.atttbl[static_cast<size_t>(qidx)] * v.kadj;

    QString reason;
    if (!file_.save(g_.portstr, v, &reason)) {
        problem_ = tr("The constants could not be saved in %1 (%2). Nothing was changed.")
                       .arg(file_.path(g_.portstr), reason);
        return OkResult::NotWritten;
    }
    v.storeIn(g_);
    if (constantsChanged) {
        constantsChanged();
    }
    return OkResult::Saved;
}

}  // namespace kr5
