#include "resultfile.h"

#include "platform/wholefile.h"
#include "records/systemtext.h"

#include <QDir>

namespace kr5 {

namespace {

// Where no temporary file can be made beside it, the file is written in place.
bool writeWhole(const QString& path, const QByteArray& bytes) {
    return writeWholeFile(path, bytes, nullptr, WhereNoTemporary::WriteInPlace);
}

}  // namespace

void saveResult(const InputConstants& constants, const InceptionDetector& detector,
                Dialogs& dialogs, std::function<void(ResultSave)> done) {
    if (InputConstants::isUnnamed(constants.name)) {
        dialogs.notify(QStringLiteral("Can not Save under no name."));
        done(ResultSave::Unnamed);
        return;
    }
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("testCSV.csv");
    request.filter = QStringLiteral("CSV File(*.csv)|*.csv|");
    // The file is in the system's 8-bit encoding, like the measurement file; it holds the
    // result the operator saw when asking to save it.
    const QByteArray bytes = toSystemBytes(detector.resultFileText() + QStringLiteral("\r\n"));
    dialogs.askSaveFileName(request, [&dialogs, bytes, done](const QString& path, int) {
        if (path.isEmpty()) {
            done(ResultSave::Cancelled);
        } else if (!writeWhole(path, bytes)) {
            dialogs.notify(QStringLiteral("Can not write the file ") +
                           QDir::toNativeSeparators(path) + QLatin1Char('.'));
            done(ResultSave::NotWritten);
        } else {
            done(ResultSave::Saved);
        }
    });
}

}  // namespace kr5
