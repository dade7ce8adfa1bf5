// The About window: the program's title and version, the identification texts of the
// units found at start-up, the reply-wait calibration number, and a button that starts
// the system-information tool. It is only shown and hidden, never closed.
#pragma once

#include "sysinfo.h"

#include <QDialog>

class QLabel;

namespace kr5 {

class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    AboutWindow(Dialogs& dialogs, Launcher& launcher,
                SysInfoPlaces places = platformSysInfoPlaces(), QWidget* parent = nullptr);

    // The identification texts of the detector, the AC unit and the noise discriminator.
    void setUnitIds(const QString& krid, const QString& acuid, const QString& znid);

    // The start-up count of clock reads per second / 20, shown in the About box.
    void setClockCalibration(qint32 clockReads);

    // "ﾊﾞｰｼﾞｮﾝ " + major.minor.revision of this build.
    static QString versionText();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void okClicked();
    void systemInfoClicked();

    Dialogs& dialogs_;
    Launcher& launcher_;
    SysInfoPlaces places_;
    QLabel* krLabel_ = nullptr;
    QLabel* acuLabel_ = nullptr;
    QLabel* znLabel_ = nullptr;
    QLabel* clockReadsLabel_ = nullptr;
};

}  // namespace kr5
