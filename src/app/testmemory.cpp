#include "testmemory.h"

#include "modes/remoteserver.h"
#include "records/testdetailsform.h"

#include <QSettings>
#include <cmath>

namespace kr5 {

namespace {

QString key(const QString& portDigit, const char* name) {
    return QStringLiteral("port%1/test/%2").arg(portDigit, QLatin1String(name));
}

// A number from the file within [min, max]; none when missing, not a number or outside.
std::optional<double> numberIn(const QSettings& s, const QString& key, double min, double max) {
    bool ok = false;
    const double v = s.value(key).toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < min || v > max) {
        return std::nullopt;
    }
    return v;
}

}  // namespace

TestMemory::TestMemory(const QString& path)
    : settings_(path.isEmpty()
                    ? std::make_unique<QSettings>(QStringLiteral("kr5au"), QStringLiteral("kr5au"))
                    : std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

TestMemory::~TestMemory() = default;

std::optional<AcceptanceLimits> TestMemory::acceptance(const QString& port) const {
    using F = AcceptanceForm;
    const auto kv = numberIn(*settings_, key(port, "testKv"), F::kMinTestKv, F::kMaxTestKv);
    const auto s = numberIn(*settings_, key(port, "holdS"), F::kMinHoldS, F::kMaxHoldS);
    const auto pc = numberIn(*settings_, key(port, "permissiblePc"), F::kMinPermissiblePc,
                             F::kMaxPermissiblePc);
    if (!kv || !s || !pc) {
        return std::nullopt;
    }
    return AcceptanceLimits{*kv, *s, *pc};
}

void TestMemory::setAcceptance(const QString& port, const std::optional<AcceptanceLimits>& l) {
    if (!l) {
        for (const char* name : {"testKv", "holdS", "permissiblePc"}) {
            settings_->remove(key(port, name));
        }
    } else {
        settings_->setValue(key(port, "testKv"), l->testKv);
        settings_->setValue(key(port, "holdS"), l->holdS);
        settings_->setValue(key(port, "permissiblePc"), l->permissiblePc);
    }
    settings_->sync();
}

std::optional<double> TestMemory::backgroundThresholdKv(const QString& port) const {
    return numberIn(*settings_, key(port, "backgroundBelowKv"), AcceptanceForm::kMinBackgroundKv,
                    AcceptanceForm::kMaxBackgroundKv);
}

void TestMemory::setBackgroundThresholdKv(const QString& port, double kv) {
    settings_->setValue(key(port, "backgroundBelowKv"), kv);
    settings_->sync();
}

std::optional<CalibrationRecord> TestMemory::calibration(const QString& port) const {
    using C = Calibration;
    CalibrationRecord r;
    r.at = settings_->value(key(port, "calibratedAt")).toDateTime();
    const auto q0 =
        numberIn(*settings_, key(port, "calibratorPc"), C::kMinChargePc, C::kMaxChargePc);
    const auto range =
        numberIn(*settings_, key(port, "calibrationRange"), 0, kAttenuatorRanges - 1);
    const auto raw = numberIn(*settings_, key(port, "calibrationRawV"), 0, C::kFullScaleV);
    const auto adjust = numberIn(*settings_, key(port, "calibrationAdjust"), 0, 1e12);
    if (!r.at.isValid() || !q0 || !range || !raw || !adjust || *adjust <= 0.0) {
        return std::nullopt;
    }
    r.q0Pc = *q0;
    r.attRange = static_cast<int>(*range);
    r.meanRawPeakV = *raw;
    r.adjust = *adjust;
    r.secondQ0Pc =
        numberIn(*settings_, key(port, "calibrationSecondPc"), C::kMinChargePc, C::kMaxChargePc);
    r.linearityPercent = numberIn(*settings_, key(port, "calibrationLinearity"), -1e6, 1e6);
    return r;
}

void TestMemory::setCalibration(const QString& port, const CalibrationRecord& r) {
    settings_->setValue(key(port, "calibratedAt"), r.at);
    settings_->setValue(key(port, "calibratorPc"), r.q0Pc);
    settings_->setValue(key(port, "calibrationRange"), r.attRange);
    settings_->setValue(key(port, "calibrationRawV"), r.meanRawPeakV);
    settings_->setValue(key(port, "calibrationAdjust"), r.adjust);
    const auto optional = [&](const char* name, std::optional<double> v) {
        if (v) {
            settings_->setValue(key(port, name), *v);
        } else {
            settings_->remove(key(port, name));
        }
    };
    optional("calibrationSecondPc", r.secondQ0Pc);
    optional("calibrationLinearity", r.linearityPercent);
    settings_->sync();
}

namespace {

QString detailsKey(const QString& portDigit, const char* name) {
    return QStringLiteral("port%1/test/details/%2").arg(portDigit, QLatin1String(name));
}

// The details' texts by their keys: the numbers and the date are read on their own.
const std::pair<const char*, QString TestDetails::*> kDetailTexts[] = {
    {"objectId", &TestDetails::objectId},
    {"objectType", &TestDetails::objectType},
    {"objectRating", &TestDetails::objectRating},
    {"customer", &TestDetails::customer},
    {"operator", &TestDetails::operatorName},
    {"standard", &TestDetails::standard},
    {"measuringImpedance", &TestDetails::measuringImpedance},
    {"calibratorId", &TestDetails::calibratorId},
    {"notes", &TestDetails::notes},
};

}  // namespace

TestDetails TestMemory::testDetails(const QString& port) const {
    using F = TestDetailsForm;
    TestDetails d;
    for (const auto& [name, field] : kDetailTexts) {
        // A text with a comma, edited by hand without its quotes, reads as a list.
        d.*field =
            settings_->value(detailsKey(port, name)).toStringList().join(QStringLiteral(", "));
    }
    d.couplingCapacitancePf = numberIn(*settings_, detailsKey(port, "couplingCapacitancePf"),
                                       F::kMinCapacitancePf, F::kMaxCapacitancePf);
    d.supplyFrequencyHz = numberIn(*settings_, detailsKey(port, "supplyFrequencyHz"),
                                   F::kMinFrequencyHz, F::kMaxFrequencyHz);
    d.calibratorCheckedOn = QDate::fromString(
        settings_->value(detailsKey(port, "calibratorCheckedOn")).toString(), Qt::ISODate);
    return d;
}

void TestMemory::setTestDetails(const QString& port, const TestDetails& d) {
    for (const auto& [name, field] : kDetailTexts) {
        settings_->setValue(detailsKey(port, name), d.*field);
    }
    const auto optional = [&](const char* name, std::optional<double> v) {
        if (v) {
            settings_->setValue(detailsKey(port, name), *v);
        } else {
            settings_->remove(detailsKey(port, name));
        }
    };
    optional("couplingCapacitancePf", d.couplingCapacitancePf);
    optional("supplyFrequencyHz", d.supplyFrequencyHz);
    if (d.calibratorCheckedOn.isValid()) {
        settings_->setValue(detailsKey(port, "calibratorCheckedOn"),
                            d.calibratorCheckedOn.toString(Qt::ISODate));
    } else {
        settings_->remove(detailsKey(port, "calibratorCheckedOn"));
    }
    settings_->sync();
}

QString TestMemory::remoteListen() const {
    return settings_->value(QStringLiteral("remote/listen")).toString().trimmed();
}

qint64 TestMemory::remoteIdleLimitMs() const {
    bool number = false;
    const qint64 seconds =
        settings_->value(QStringLiteral("remote/idle")).toString().trimmed().toLongLong(&number);
    return number && seconds > 0 ? seconds * 1000 : RemoteServer::kDefaultIdleLimitMs;
}

}  // namespace kr5
