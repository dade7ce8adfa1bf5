#include "helpwindow.h"

#include "platform/controlnames.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kr5 {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    nameControl(this, QStringLiteral("help"));
    setWindowTitle(QStringLiteral("KR-5AU help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    browser_ = new QTextBrowser(this);
    nameControl(browser_, QStringLiteral("helpText"));
    browser_->setReadOnly(true);
    // Links within the page move in this window; one to the outside world would need a
    // browser, which Open in browser is for.
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 4, 6, 4);
    buttons->addStretch(1);
    QPushButton* inBrowser =
        namedButton(QStringLiteral("helpbrowser"), QStringLiteral("Open in browser"), this);
    buttons->addWidget(inBrowser);
    layout->addLayout(buttons);
    connect(inBrowser, &QPushButton::clicked, this, [this] {
        if (!page_.isEmpty()) {
            emit browserRequested(page_);
        }
    });
    resize(640, 480);
}

void HelpWindow::showPage(const QString& path) {
    if (path != page_) {
        page_ = path;
        browser_->setSource(QUrl::fromLocalFile(path));
    }
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
        QObject::connect(window_.get(), &HelpWindow::browserRequested, window_.get(),
                         [this](const QString& page) {
                             // The page is on the screen already: a browser that does not
                             // start is only reported.
                             openHelpPage(launcher_, dialogs_, page, platformHelpRoute());
                         });
        if (place_) {
            place_(*window_);
        }
    }
    window_->showPage(path);
}

}  // namespace kr5
