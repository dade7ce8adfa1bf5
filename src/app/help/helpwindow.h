// The help page in a window of the program's own, for a machine where no browser can be
// started: read-only, its links followed inside the window.
#pragma once

#include "app/help/helplauncher.h"

#include <QWidget>
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

  private:
    QTextBrowser* browser_ = nullptr;
};

// The viewer Help(&H) falls back on: one HelpWindow, made when it is first needed.
class HelpWindowViewer : public HelpViewer {
  public:
    void showPage(const QString& path) override;
    // Null until a page was shown.
    HelpWindow* window() const { return window_.get(); }

  private:
    std::unique_ptr<HelpWindow> window_;
};

}  // namespace kr5
