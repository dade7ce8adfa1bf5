// The main window KR5AU: its menu bar, its caption with the port digit, the cycle-time
// readout and the area the front panel fills. It shows things and passes the operator's
// commands on; the acquisition loop does the work.
#pragma once

#include "app/help/helpwindow.h"
#include "platform/dialogs.h"
#include "platform/launcher.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace kr5 {

// The items of the menu bar, by what they do; their object names are the ones tools see.
struct MainMenu {
    QAction* file = nullptr;               // cfile: the File submenu
    QAction* save = nullptr;               // csave: prepare a measurement file
    QAction* open = nullptr;               // copen: open a recorded test
    QAction* judgeAgain = nullptr;         // cjudge: the open test with another Set Q
    QAction* closeRecorded = nullptr;      // cshut: back to the live measurement
    QAction* report = nullptr;             // creport: the test report as PDF
    QAction* exit = nullptr;               // cend
    QAction* windows = nullptr;            // cwin: the Window submenu
    QAction* trend = nullptr;              // dwave: show or hide the trend window
    QAction* vq = nullptr;                 // dvq: show or hide the V-Q window
    QAction* discriminator = nullptr;      // zn4w: show or hide the noise discriminator panel
    QAction* history = nullptr;            // dhist: show or hide the History window
    QAction* qn = nullptr;                 // dqn: show or hide the Q-N window
    QAction* inputConstants = nullptr;     // kouseiin
    QAction* qnMeasurement = nullptr;      // mesqn: start or stop a Q-N measurement
    QAction* options = nullptr;            // seting
    QAction* test = nullptr;               // ctest: the Test submenu
    QAction* calibrate = nullptr;          // calib: the Calibrate window
    QAction* measureBackground = nullptr;  // measbg
    QAction* acceptance = nullptr;         // acctest: the Acceptance test window
    QAction* testDetails = nullptr;        // testdet: the Test details window
    QAction* results = nullptr;            // testres: the Results window
    QAction* version = nullptr;            // dver
    QAction* help = nullptr;               // gohelp
};

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // about: the About window, which Version(&V) shows.
    MainWindow(Dialogs& dialogs, Launcher& launcher, QWidget& about, QWidget* parent = nullptr);

    // The folders Help(&H) looks for its page in, in order (the folder of the executable
    // until this is called).
    void setHelpFolders(const QStringList& folders) { helpFolders_ = folders; }
    // The window Help(&H) shows the page in; null until then.
    HelpWindow* helpWindow() const { return helpViewer_.window(); }
    // Puts the help window in its place before it is first shown.
    void setHelpPlacer(std::function<void(QWidget&)> place) {
        helpViewer_.setPlacer(std::move(place));
    }

    // Caption "KR-5AU(" + portDigit + ")".
    void setPortCaption(const QString& portDigit);

    const MainMenu& menu() const { return menu_; }

    // Window > ZN-4 can be used only when the noise discriminator was found.
    void setDiscriminatorAvailable(bool available);

    // The area the front panel fills; it has a vertical layout and is empty until then.
    QWidget* panelArea() const { return panelArea_; }

    // The cycle-time readout dst, already formatted.
    void showCycleTime(const QString& text);

    // A warning in the status bar that does not stop anything (a measurement file that
    // cannot be written, for instance); an empty text takes it away.
    void showWarning(const QString& text);
    // Which units did not answer lately ("KR-5: no reply (3)"), in red in the status
    // bar; an empty text takes it away.
    void showUnitStatus(const QString& text);
    // The port's state in red in the status bar ("Port 1 (/dev/ttyUSB0) lost,
    // reconnecting"); an empty text takes it away.
    void showPortStatus(const QString& text);
    // How many tests wait for the results store ("Results: 2 tests waiting"); an empty
    // text takes it away.
    void showResultsWaiting(const QString& text);

    // A window that follows the main window: hidden while the main window is minimised,
    // shown again on restore when showOnRestore returns true (an empty one always does),
    // even if the operator had closed it.
    void addCompanion(QWidget* window, std::function<bool()> showOnRestore = {});

  signals:
    // File > Exit or closing the window: the acquisition loop is asked to end the
    // program. The window itself stays open.
    void endRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct Companion {
        QPointer<QWidget> window;
        std::function<bool()> showOnRestore;
    };

    void buildMenus();
    void buildCentral();
    QMenu* addMenu(const QString& name, const QString& caption, QAction*& item);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    QLabel* statusLabel(QLabel*& label, const QString& name);
    void showStatusText(QLabel*& label, const QString& name, const QString& text);
    void followMinimised(bool leftMinimised);
    void askToEnd();
    void showAbout();
    void openHelp();

    Dialogs& dialogs_;
    QWidget& about_;
    MainMenu menu_;
    std::vector<Companion> companions_;
    QWidget* panelArea_ = nullptr;
    QLabel* cycleTimeReadout_ = nullptr;
    QLabel* warning_ = nullptr;
    QLabel* unitStatus_ = nullptr;
    QLabel* portStatus_ = nullptr;
    QLabel* resultsWaiting_ = nullptr;
    QStringList helpFolders_ = defaultHelpFolders();
    HelpWindowViewer helpViewer_;
};

}  // namespace kr5
