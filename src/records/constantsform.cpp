#include "constantsform.h"

#include "core/format.h"
#include "core/numeric.h"
#include "records/numbertext.h"

#include <cmath>
#include <limits>

namespace kr5 {

namespace {

int clampedIndex(qint64 i) {
    return static_cast<int>(qBound(qint64{0}, i, qint64{ConstantsForm::setQIndexMax}));
}

}  // namespace

ConstantsForm::ConstantsForm(InputConstants& constants, const SettingsFile& file)
    : constants_(constants), file_(file) {}

QString ConstantsForm::loadSettings() {
    QString ignored;
    file_.load(portDigit_, constants_, &ignored);
    fillFields();
    return ignored;
}

void ConstantsForm::fillFields() {
    fields.name = constants_.name;
    fields.number = constants_.number;
    fields.temperature = constants_.temperature;
    fields.humidity = constants_.humidity;
    fields.ptRatio = numberForm(constants_.ptRatio);
    fields.adjust = plainNumber(constants_.adjust);
    fields.start = QString::number(constants_.startCount);
    fields.stop = QString::number(constants_.stopCount);
    // The scroll bar stands at the step that gives Set Q; a Set Q that is no step (stored
    // by hand, or kept when a calibration changed Adjust) stays as it is until the bar is
    // moved.
    const std::optional<int> step = setQStep(constants_.setQ, constants_.adjust);
    fields.setQIndex = step.value_or(nearestSetQStep(constants_.setQ, constants_.adjust));
    fields.setQKept = step ? std::nullopt : std::optional(constants_.setQ);
    emit fieldsLoaded();
}

void ConstantsForm::moveSetQ(int index) {
    if (index != fields.setQIndex) {
        fields.setQIndex = clampedIndex(index);
        fields.setQKept.reset();
    }
}

double ConstantsForm::setQOfFields(double adjust) const {
    return fields.setQKept.value_or(attenuatorDivision(clampedIndex(fields.setQIndex)) * adjust);
}

QString ConstantsForm::setQText() const {
    return plainNumber(setQOfFields(leadingNumber(fields.adjust).value));
}

bool ConstantsForm::takeText(const QString& text, const QString& caption, QString& out) {
    // A longer text would be saved but never read back, and would end the reading of the
    // values after it.
    if (!SettingsFile::fitsOnALine(text)) {
        problem_ =
            tr("%1 is too long: at most %2 bytes.").arg(caption).arg(SettingsFile::maxLineBytes);
        return false;
    }
    out = text;
    return true;
}

bool ConstantsForm::takeNumber(const QString& text, const QString& caption, double& out) {
    const LeadingNumber n = leadingNumber(text);
    if (!n.fits) {
        problem_ = tr("%1 is too large a number.").arg(caption);
        return false;
    }
    out = n.value;
    return true;
}

bool ConstantsForm::takeCount(const QString& text, const QString& caption, qint32& out) {
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

ConstantsForm::OkResult ConstantsForm::ok() {
    problem_.clear();
    InputConstants v = constants_;
    if (!takeText(fields.name, tr("Name"), v.name) ||
        !takeText(fields.number, tr("No."), v.number) ||
        !takeText(fields.temperature, tr("Temp."), v.temperature) ||
        !takeText(fields.humidity, tr("RH"), v.humidity) ||
        !takeNumber(fields.ptRatio, tr("PT Ratio"), v.ptRatio) ||
        !takeNumber(fields.adjust, tr("Adjust"), v.adjust) ||
        !takeCount(fields.start, tr("Start Count"), v.startCount) ||
        !takeCount(fields.stop, tr("Stop Count"), v.stopCount)) {
        return OkResult::Refused;
    }
    v.setQIndex = clampedIndex(fields.setQIndex);
    v.setQ = setQOfFields(v.adjust);
    return save(v);
}

ConstantsForm::OkResult ConstantsForm::storeAdjust(double adjust) {
    problem_.clear();
    if (!std::isfinite(adjust)) {
        // It would be saved as a text that reads back as 0.
        problem_ = tr("Adjust must be a finite number.");
        return OkResult::Refused;
    }
    // Set Q stays what the operator set; it stands at a step of the new Adjust or apart.
    InputConstants v = constants_;
    v.adjust = adjust;
    v.setQIndex = setQStep(v.setQ, adjust).value_or(nearestSetQStep(v.setQ, adjust));
    const OkResult result = save(v);
    if (result == OkResult::Saved) {
        fillFields();
    }
    return result;
}

ConstantsForm::OkResult ConstantsForm::storeName(const QString& name) {
    problem_.clear();
    InputConstants v = constants_;
    if (!takeText(name, tr("Name"), v.name)) {
        return OkResult::Refused;
    }
    const OkResult result = save(v);
    if (result == OkResult::Saved) {
        fillFields();
    }
    return result;
}

ConstantsForm::OkResult ConstantsForm::save(const InputConstants& v) {
    QString reason;
    if (!file_.save(portDigit_, v, &reason)) {
        problem_ = tr("The constants could not be saved in %1 (%2). Nothing was changed.")
                       .arg(file_.path(portDigit_), reason);
        return OkResult::NotWritten;
    }
    constants_ = v;
    emit constantsChanged();
    return OkResult::Saved;
}

}  // namespace kr5
