#include "vqsave.h"

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

bool sdata(Globals& g, Dialogs& dialogs, Inception& inception, const VqSaveHooks& hooks) {
    const QString name = hooks.inputName ? hooks.inputName() : g.kname;
    if (name == QLatin1String("no name")) {
        dialogs.message(QStringLiteral("Can not Save under no name."), QString(),
                        Dialogs::Buttons::Ok);
        if (hooks.showInputConst) {
            hooks.showInputConst();
        }
        return false;
    }
    Dialogs::SaveRequest request;
    request.title = QStringLiteral("Save");
    request.fileName = QStringLiteral("testCSV.csv");
    request.filter = QStringLiteral("CSV File(*.csv)|*.csv|");
    request.filterIndex = 1;
    request.askOverwrite = true;
    const QString path = dialogs.saveFileName(request);
    if (path.isEmpty()) {
        return false;
    }
    // The file is in the system's 8-bit encoding, like the measurement file.
    const QByteArray bytes = (inception.csvtext() + QStringLiteral("\r\n")).toLocal8Bit();
    if (!writeWhole(path, bytes)) {
        dialogs.message(QStringLiteral("Can not write the file ") + QDir::toNativeSeparators(path) +
                            QLatin1Char('.'),
                        QString(), Dialogs::Buttons::Ok);
        return false;
    }
    g.csvfile = path;
    if (hooks.setMainCaption) {
        hooks.setMainCaption(QStringLiteral("KR-5(") + g.portstr + QStringLiteral(")>") + path);
    }
    return true;
}

}  // namespace kr5
