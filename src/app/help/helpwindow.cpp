#include "helpwindow.h"

#include "platform/controlnames.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kr5 {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    nameControl(this, QStringLiteral("help"));
    setWindowTitle(QStringLiteral("KR-5AU help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    nameControl(browser_, QStringLiteral("helpText"));
    browser_->setReadOnly(true);
    // Links within the page move in this window; one to the outside world would need a
    // browser, which is just what is missing.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    resize(640, 480);
}

void HelpWindow::showPage(const QString& path) {
    browser_->setSource(QUrl::fromLocalFile(path));
    if (!browser_->documentTitle().isEmpty()) {
        setWindowTitle(browser_->documentTitle());
    }
    show();
    raise();
    activateWindow();
}

void HelpWindowViewer::showPage(const QString& path) {
    if (!window_) {
        window_ = std::make_unique<HelpWindow>();
    }
    window_->showPage(path);
}

}  // namespace kr5
