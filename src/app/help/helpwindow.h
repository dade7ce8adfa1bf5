// The help page in a window of the program's own: read-only, its links followed inside the
// window. Help (F1) shows it here, at once: starting a browser can take seconds, with
// nothing to show for them, or fail after a while without a word. Open in browser hands
// the page to the desktop's browser for those who prefer one.
#pragma once

#include "app/help/helplauncher.h"

#include <QWidget>
#include <functional>
#include <memory>

class QTextBrowser;

namespace kr5 {

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the page and brings the window to the front.
    void showPage(const QString& path);

    QTextBrowser* browser() const { return browser_; }

  signals:
    // helpbrowser: the page shown, to a browser.
    void browserRequested(const QString& path);

  private:
    QTextBrowser* browser_ = nullptr;
    QString page_;
};

// The viewer Help(&H) shows the page in: one HelpWindow, made when it is first needed.
class HelpWindowViewer : public HelpViewer {
  public:
    HelpWindowViewer(Launcher& launcher, Dialogs& dialogs)
        : launcher_(launcher), dialogs_(dialogs) {}

    void showPage(const QString& path) override;
    // Null until a page was shown.
    HelpWindow* window() const { return window_.get(); }
    // Called with the window once, after it is made and before it is first shown, to put
    // it in its place.
    void setPlacer(std::function<void(QWidget&)> place) { place_ = std::move(place); }

  private:
    Launcher& launcher_;
    Dialogs& dialogs_;
    std::function<void(QWidget&)> place_;
    std::unique_ptr<HelpWindow> window_;
};

}  // namespace kr5
