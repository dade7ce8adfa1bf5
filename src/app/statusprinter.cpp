#include "statusprinter.h"

#include "app/statusline.h"

#include <cstdio>

namespace kr5 {

StatusPrinter::StatusPrinter(const Parts& parts) : p_(parts), out_(stdout) {}

void StatusPrinter::setCycleTime(const QString& text) {
    cycleTime_ = text;
}

void StatusPrinter::printHeader() {
    const UnitsOnLine& units = p_.units;
    out_ << "KR-5AU(" << units.portDigit() << ") " << units.unit(UnitKind::Detector).ident << ' '
         << units.unit(UnitKind::AcUnit).ident << ' '
         << units.unit(UnitKind::NoiseDiscriminator).ident << Qt::endl;
}

void StatusPrinter::printLine() {
    const QString trouble =
        p_.loopWindows.portGone() ? QStringLiteral("LOST") : p_.unitStatus.text();
    const bool testSet = p_.acceptance.state() != AcceptanceTest::State::NoTest;
    out_ << statusLine(p_.units, p_.panel.readouts(), cycleTime_, trouble,
                       testSet ? p_.acceptance.statusText() : QString(), p_.recorder.waitingCount(),
                       resultsWaiting_)
         << Qt::endl;
}

void StatusPrinter::printSummary() {
    out_ << p_.unitStatus.summary() << Qt::endl;
}

}  // namespace kr5
