#include "measurementfile.h"

#include "recordlines.h"

#include <QCoreApplication>
#include <QDir>

namespace kr5 {

MeasurementFile::MeasurementFile(Globals& g, Dialogs& dialogs, const Clock& clock,
                                 const InputConstants& constants, Recorder& recorder)
    : g_(g), dialogs_(dialogs), clock_(clock), constants_(constants), recorder_(recorder) {}

Dialogs::SaveRequest MeasurementFile::saveRequest() {
    Dialogs::SaveRequest request;
    request.title = QStringLiteral("Save");
    request.fileName = QStringLiteral("test.csv");
    request.filter = QStringLiteral("CSV File(*.csv)|*.csv|");
    request.filterIndex = 1;
    request.askOverwrite = true;
    return request;
}

bool MeasurementFile::csaveClick() {
    if (recorder_.csvready()) {
        return false;  // the item is disabled while a file is prepared
    }
    // The field, not kname: a name typed but not yet confirmed with OK passes.
    if (constants_.fields.name == QLatin1String("no name")) {
        dialogs_.message(QStringLiteral("Can not Save under no name."), QString(),
                         Dialogs::Buttons::Ok);
        if (showInputConst) {
            showInputConst();
        }
        return false;
    }
    const QString path = dialogs_.saveFileName(saveRequest());
    if (path.isEmpty()) {
        return false;
    }
    QString problem;
    if (!recorder_.prepare(path, headerLines(g_, clock_.localTime().date()), &problem)) {
        dialogs_.message(QCoreApplication::translate("MeasurementFile",
                                                     "The measurement file %1 could not be "
                                                     "created (%2).")
                             .arg(QDir::toNativeSeparators(path), problem),
                         QString(), Dialogs::Buttons::Ok);
        return false;
    }
    if (setCaption) {
        setCaption(QStringLiteral("KR-5(") + g_.portstr + QStringLiteral(")>") +
                   QDir::toNativeSeparators(path));
    }
    return true;
}

}  // namespace kr5
