#include "measurementfile.h"

#include "recordfile.h"
#include "recordlines.h"

#include <QCoreApplication>
#include <QDir>

namespace kr5 {

MeasurementFile::MeasurementFile(const InputConstants& constants, const UnitsOnLine& units,
                                 Dialogs& dialogs, const Clock& clock, Files& files,
                                 const RecorderView& recorder)
    : constants_(constants),
      units_(units),
      dialogs_(dialogs),
      clock_(clock),
      files_(files),
      recorder_(recorder) {}

Dialogs::SaveRequest MeasurementFile::saveRequest() {
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("test.csv");
    request.filter = QStringLiteral("CSV File(*.csv)|*.csv|");
    return request;
}

void MeasurementFile::prepareFile() {
    if (recorder_.filePrepared()) {
        return;  // the item is disabled while a file is prepared
    }
    // The name the header will carry: the one OK stored, not what the field shows now.
    if (InputConstants::isUnnamed(constants_.name)) {
        dialogs_.notify(QStringLiteral("Can not Save under no name."));
        emit nameNeeded();
        return;
    }
    dialogs_.askSaveFileName(saveRequest(),
                             [this](const QString& path, int) { createChosen(path); });
}

void MeasurementFile::createChosen(const QString& path) {
    // The recording went on while the dialog was open: a file prepared meanwhile (by the
    // remote control) stays the one in use.
    if (path.isEmpty() || recorder_.filePrepared()) {
        return;
    }
    QString problem;
    if (!createAt(path, &problem)) {
        dialogs_.notify(QCoreApplication::translate("MeasurementFile",
                                                    "The measurement file %1 could not be "
                                                    "created (%2).")
                            .arg(QDir::toNativeSeparators(path), problem));
    }
}

bool MeasurementFile::createAt(const QString& path, QString* problem) {
    RecordFile file(files_);
    const QStringList header = headerLines(constants_, units_, clock_.localTime().date());
    if (!file.create(path, header)) {
        if (problem != nullptr) {
            *problem = file.problem();
        }
        return false;
    }
    emit created(path, header);
    emit captionChanged(QStringLiteral("KR-5(") + units_.portDigit() + QStringLiteral(")>") +
                        QDir::toNativeSeparators(path));
    return true;
}

}  // namespace kr5
