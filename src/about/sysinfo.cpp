#include "sysinfo.h"

#include <QFileInfo>
#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace kr5 {

namespace {

// The path of the tool, or empty when no place names an existing one.
QString findSysInfo(Launcher& launcher, const SysInfoPlaces& places) {
    if (places.machineValue) {
        const QString path = places.machineValue(
            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"));
        if (!path.isEmpty()) {
            return path;
        }
        const QString folder = places.machineValue(
            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"));
        if (!folder.isEmpty()) {
            const QString exe = folder + QStringLiteral("\\MSINFO32.EXE");
            if (places.fileExists && places.fileExists(exe)) {
                return exe;
            }
        }
    }
    for (const QString& program : places.programs) {
        const QString path = launcher.findProgram(program);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return QString();
}

}  // namespace

SysInfoPlaces platformSysInfoPlaces() {
    SysInfoPlaces places;
    places.fileExists = [](const QString& path) { return QFileInfo(path).isFile(); };
#ifdef Q_OS_WIN
    places.machineValue = [](const QString& key, const QString& value) {
        const QSettings reg(QStringLiteral("HKEY_LOCAL_MACHINE\\") + key, QSettings::NativeFormat);
        return reg.value(value).toString();
    };
#else
    places.programs = {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
                       QStringLiteral("gnome-system-monitor")};
#endif
    return places;
}

void startSysInfo(Launcher& launcher, Dialogs& dialogs, const SysInfoPlaces& places) {
    const QString tool = findSysInfo(launcher, places);
    if (tool.isEmpty()) {
        dialogs.notify(kNoSysInfoText);
        return;
    }
    launcher.startProgram(tool, {});
}

}  // namespace kr5
