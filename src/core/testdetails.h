// What a test report names that the measurement file cannot hold: the test object, for whom
// and by whom it was tested, the standard applied, the test circuit and the calibrator. The
// operator types it in the Test details window; it is kept per port with the rest of the
// test's setup and written into the summary, from which the report prints it. A plain value,
// so that any part of the program (a window, a remote command) can hand over a whole set.
#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace kr5 {

struct TestDetails {
    // The test object.
    QString objectId;      // its identification: serial number, tag
    QString objectType;    // what it is: "bushing", "cable termination", a type designation
    QString objectRating;  // its rating as the plate gives it: "24 kV, 630 A"
    QString customer;
    QString operatorName;  // who made the test, the "tested by" of the report
    QString standard;      // the standard and clause applied, as the test plan names them
    // The test circuit.
    std::optional<double> couplingCapacitancePf;
    QString measuringImpedance;  // type and identification of the impedance or quadripole
    std::optional<double> supplyFrequencyHz;
    // The charge calibrator and the date of its last check.
    QString calibratorId;
    QDate calibratorCheckedOn;
    QString notes;

    bool operator==(const TestDetails& o) const {
        return objectId == o.objectId && objectType == o.objectType &&
               objectRating == o.objectRating && customer == o.customer &&
               operatorName == o.operatorName && standard == o.standard &&
               couplingCapacitancePf == o.couplingCapacitancePf &&
               measuringImpedance == o.measuringImpedance &&
               supplyFrequencyHz == o.supplyFrequencyHz && calibratorId == o.calibratorId &&
               calibratorCheckedOn == o.calibratorCheckedOn && notes == o.notes;
    }
    bool operator!=(const TestDetails& o) const { return !(*this == o); }
};

}  // namespace kr5
