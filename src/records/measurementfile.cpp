#include "measurementfile.h"

#include "recordlines.h"

#include <QCoreApplication>
#include <QDir>

namespace kr5 {

MeasurementFile::MeasurementFile(const InputConstants& constants, const UnitsOnLine& units,
                                 Dialogs& dialogs, const Clock& clock, Recorder& recorder)
    : constants_(constants), units_(units), dialogs_(dialogs), clock_(clock), recorder_(recorder) {}

Dialogs::SaveRequest MeasurementFile::saveRequest() {
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("test.csv");
    request.filter = QStringLiteral("CSV File(*.csv)|*.csv|");
    return request;
}

bool MeasurementFile::prepareFile() {
    if (recorder_.filePrepared()) {
        return false;  // the item is disabled while a file is prepared
    }
    // The name the header will carry: the one OK stored, not what the field shows now.
    if (InputConstants::isUnnamed(constants_.name)) {
        dialogs_.message(QStringLiteral("Can not Save under no name."), QString(),
                         Dialogs::Buttons::Ok);
        emit nameNeeded();
        return false;
    }
    const QString path = dialogs_.saveFileName(saveRequest());
    if (path.isEmpty()) {
        return false;
    }
    QString problem;
    if (!createAt(path, &problem)) {
        dialogs_.message(QCoreApplication::translate("MeasurementFile",
                                                     "The measurement file %1 could not be "
                                                     "created (%2).")
                             .arg(QDir::toNativeSeparators(path), problem),
                         QString(), Dialogs::Buttons::Ok);
        return false;
    }
    return true;
}

bool MeasurementFile::createAt(const QString& path, QString* problem) {
    if (!recorder_.prepare(path, headerLines(constants_, units_, clock_.localTime().date()),
                           problem)) {
        return false;
    }
    emit captionChanged(QStringLiteral("KR-5(") + units_.portDigit() + QStringLiteral(")>") +
                        QDir::toNativeSeparators(path));
    return true;
}

}  // namespace kr5
