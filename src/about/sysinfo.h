// Starting the operating system's system-information tool from the About box.
#pragma once

#include "platform/dialogs.h"
#include "platform/launcher.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kr5 {

inline const QString kNoSysInfoText = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");

// Where the tool is looked for. On Windows the registry names it; elsewhere the first
// installed program of a short list is taken.
struct SysInfoPlaces {
    // Reads a value under HKEY_LOCAL_MACHINE; empty when the key or the value is missing.
    // Empty function: there is no registry.
    std::function<QString(const QString& key, const QString& value)> machineValue;
    std::function<bool(const QString& path)> fileExists;
    QStringList programs;
};

// The places of the platform the program runs on.
SysInfoPlaces platformSysInfoPlaces();

// StartSysInfo: finds and starts the tool, or shows kNoSysInfoText when there is none.
// A tool that is found but will not start ends the attempt quietly.
void startSysInfo(Launcher& launcher, Dialogs& dialogs, const SysInfoPlaces& places);

}  // namespace kr5
