#include "resultfile.h"

#include "records/systemtext.h"

#include <QDir>
#include <QSaveFile>

namespace kr5 {

namespace {

bool writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Where no temporary file can be made beside it, the file is written in place.
    file.setDirectWriteFallback(true);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

ResultSave saveResult(const InputConstants& constants, const InceptionDetector& detector,
                      Dialogs& dialogs) {
    if (InputConstants::isUnnamed(constants.name)) {
        dialogs.message(QStringLiteral("Can not Save under no name."), QString(),
                        Dialogs::Buttons::Ok);
        return ResultSave::Unnamed;
    }
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("testCSV.csv");
    request.filter = QStringLiteral("CSV File(*.csv)|*.csv|");
    const QString path = dialogs.saveFileName(request);
    if (path.isEmpty()) {
        return ResultSave::Cancelled;
    }
    // The file is in the system's 8-bit encoding, like the measurement file.
    const QByteArray bytes = toSystemBytes(detector.resultFileText() + QStringLiteral("\r\n"));
    if (!writeWhole(path, bytes)) {
        dialogs.message(QStringLiteral("Can not write the file ") + QDir::toNativeSeparators(path) +
                            QLatin1Char('.'),
                        QString(), Dialogs::Buttons::Ok);
        return ResultSave::NotWritten;
    }
    return ResultSave::Saved;
}

}  // namespace kr5
