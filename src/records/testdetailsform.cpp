#include "testdetailsform.h"

#include "core/format.h"

#include <QCoreApplication>

namespace kr5 {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("kr5::TestDetailsForm", text);
}

QString numberText(const std::optional<double>& v) {
    return v ? plainNumber(*v) : QString();
}

// An empty field is a number not given; anything else must be one in [min, max].
bool takeNumber(const QString& text, const QString& caption, double min, double max,
                std::optional<double>& out, QString* problem) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        out.reset();
        return true;
    }
    bool number = false;
    const double v = trimmed.toDouble(&number);
    // Written so that NaN fails too.
    if (!number || !(v >= min && v <= max)) {
        if (problem) {
            *problem = tr("%1 must be empty or a number from %2 to %3.")
                           .arg(caption, plainNumber(min), plainNumber(max));
        }
        return false;
    }
    out = v;
    return true;
}

}  // namespace

TestDetailsFields TestDetailsForm::fieldsOf(const TestDetails& d) {
    TestDetailsFields f;
    f.objectId = d.objectId;
    f.objectType = d.objectType;
    f.objectRating = d.objectRating;
    f.customer = d.customer;
    f.operatorName = d.operatorName;
    f.standard = d.standard;
    f.couplingCapacitancePf = numberText(d.couplingCapacitancePf);
    f.measuringImpedance = d.measuringImpedance;
    f.supplyFrequencyHz = numberText(d.supplyFrequencyHz);
    f.calibratorId = d.calibratorId;
    f.calibratorCheckedOn =
        d.calibratorCheckedOn.isValid() ? d.calibratorCheckedOn.toString(Qt::ISODate) : QString();
    f.notes = d.notes;
    return f;
}

std::optional<TestDetails> TestDetailsForm::detailsOf(const TestDetailsFields& f,
                                                      QString* problem) {
    TestDetails d;
    if (!takeNumber(f.couplingCapacitancePf, tr("Coupling capacitance, pF"), kMinCapacitancePf,
                    kMaxCapacitancePf, d.couplingCapacitancePf, problem) ||
        !takeNumber(f.supplyFrequencyHz, tr("Supply frequency, Hz"), kMinFrequencyHz,
                    kMaxFrequencyHz, d.supplyFrequencyHz, problem)) {
        return std::nullopt;
    }
    const QString date = f.calibratorCheckedOn.trimmed();
    d.calibratorCheckedOn = QDate::fromString(date, Qt::ISODate);
    if (!date.isEmpty() && !d.calibratorCheckedOn.isValid()) {
        if (problem) {
            *problem =
                tr("The calibrator's last check must be empty or a date written "
                   "year-month-day, such as 2026-03-31.");
        }
        return std::nullopt;
    }
    d.objectId = f.objectId.trimmed();
    d.objectType = f.objectType.trimmed();
    d.objectRating = f.objectRating.trimmed();
    d.customer = f.customer.trimmed();
    d.operatorName = f.operatorName.trimmed();
    d.standard = f.standard.trimmed();
    d.measuringImpedance = f.measuringImpedance.trimmed();
    d.calibratorId = f.calibratorId.trimmed();
    // The notes keep their lines; only blank ones around them go.
    d.notes = f.notes.trimmed();
    return d;
}

}  // namespace kr5
