// The Test details window's logic: the details as texts in its fields, and the details those
// texts give, or why not. The texts are taken as typed, only trimmed; a number or the date
// may be left empty (not given) but must otherwise be one, within its range.
#pragma once

#include "core/testdetails.h"

#include <QString>
#include <optional>

namespace kr5 {

// The fields of the window as the operator typed them.
struct TestDetailsFields {
    QString objectId;
    QString objectType;
    QString objectRating;
    QString customer;
    QString operatorName;
    QString standard;
    QString couplingCapacitancePf;
    QString measuringImpedance;
    QString supplyFrequencyHz;
    QString calibratorId;
    QString calibratorCheckedOn;  // yyyy-mm-dd
    QString notes;
};

struct TestDetailsForm {
    // From a few picofarads (a gas-insulated divider) to the microfarads of a cable's length.
    static constexpr double kMinCapacitancePf = 1;
    static constexpr double kMaxCapacitancePf = 1e7;
    // 0 for a test at direct voltage; very low frequency systems run at 0.1 Hz.
    static constexpr double kMinFrequencyHz = 0;
    static constexpr double kMaxFrequencyHz = 1000;

    static TestDetailsFields fieldsOf(const TestDetails& details);
    // The details the fields give; none when a number or the date does not fit, with
    // problem (may be null) naming the field and what it takes.
    static std::optional<TestDetails> detailsOf(const TestDetailsFields& fields, QString* problem);
};

}  // namespace kr5
