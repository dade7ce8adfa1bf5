// Where the program's windows were when it last ended, remembered per port in a settings
// file (the user's configuration folder, kr5au/kr5au.conf, through QSettings), and the
// windows put in their places before they are first shown: each where it was remembered
// if that is on a screen now, the others beside the main window (placeWindows).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QSettings;
class QWidget;

namespace kr5 {

// A window's place: the top-left corner of its frame and its size within the frame; a
// maximised window's place is the one it returns to.
struct WindowPlace {
    QPoint framePos;
    QSize size;
    bool maximised = false;
};

class WindowMemory {
  public:
    // path: a settings file of its own, in INI format (the tests give a temporary one);
    // empty: the user's configuration folder, organisation and application "kr5au".
    explicit WindowMemory(const QString& path = QString());
    ~WindowMemory();
    WindowMemory(const WindowMemory&) = delete;
    WindowMemory& operator=(const WindowMemory&) = delete;

    // Group "port<digit>/windows/<window>".
    std::optional<WindowPlace> recall(const QString& portDigit, const QString& window) const;
    void remember(const QString& portDigit, const QString& window, const WindowPlace& place);
    // Whether the window was open when the program last ended on the port (for the windows
    // the program does not open by itself, such as History).
    bool wasShown(const QString& portDigit, const QString& window) const;
    void rememberShown(const QString& portDigit, const QString& window, bool shown);
    // Writes what was remembered to the file now.
    void sync();

  private:
    std::unique_ptr<QSettings> settings_;
};

// The frame a window system draws around a window, which Qt cannot tell before the window
// is first shown (and on X11 not until the window manager has framed it): the companions
// are given the main window's once it has one, else this estimate, generous on purpose (a
// 30 px title bar, 4 px borders, more than most desktops draw) so that windows side by
// side leave a small gap rather than overlap.
inline constexpr int kFrameTitleEstimate = 30;
inline constexpr int kFrameBorderEstimate = 4;

// The windows of one port go by their object names in the settings.

// Before the main window is first shown: where it was remembered if that can still be
// reached on a screen, else in the top-left corner of the primary screen. screens: the
// available geometry of each screen, the primary one first.
void placeMainWindow(const WindowMemory& memory, const QString& portDigit, QWidget& main,
                     const std::vector<QRect>& screens);

// Once the main window is shown, before its companions first are (the most important
// first): each where it was remembered if that can still be reached, the others beside
// the main window on its screen (placeWindows). They open where they were put whenever
// they are shown.
void placeCompanions(const WindowMemory& memory, const QString& portDigit, const QWidget& main,
                     const std::vector<QWidget*>& companions, const std::vector<QRect>& screens);

// Before a window the program shows only on request (Q-N, History, help) is first shown:
// where it was remembered if that can still be reached, else beside the main window on its
// screen, around the windows shown now (the more important first), made smaller where it
// can be to stay off the main window (placeWindows).
void placeLater(const WindowMemory& memory, const QString& portDigit, const QWidget& main,
                QWidget& window, const std::vector<const QWidget*>& shown,
                const std::vector<QRect>& screens);

// Remembers where each window is that has been shown; one never shown keeps what was
// remembered before.
void rememberWindows(WindowMemory& memory, const QString& portDigit,
                     const std::vector<QWidget*>& windows);

// The available geometry of each screen, the primary one first.
std::vector<QRect> availableScreens();

}  // namespace kr5
