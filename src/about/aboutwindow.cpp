#include "aboutwindow.h"

#include "platform/controlnames.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kr5 {

namespace {

QPixmap programIcon(const QWidget* window) {
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        icon = window->style()->standardIcon(QStyle::SP_ComputerIcon);
    }
    const int side = window->style()->pixelMetric(QStyle::PM_LargeIconSize);
    return icon.pixmap(QSize(side, side), window->devicePixelRatioF());
}

}  // namespace

QString AboutWindow::versionText() {
    return QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
        .arg(KR5_VERSION_MAJOR)
        .arg(KR5_VERSION_MINOR)
        .arg(KR5_VERSION_PATCH);
}

AboutWindow::AboutWindow(Dialogs& dialogs, Launcher& launcher, SysInfoPlaces places,
                         QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), launcher_(launcher), places_(std::move(places)) {
    nameControl(this, QStringLiteral("About"));
    const QString title = QCoreApplication::applicationName();
    setWindowTitle(title + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));

    auto* iconLabel = namedLabel(QStringLiteral("picIcon"), QString(), this);
    iconLabel->setPixmap(programIcon(this));
    iconLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* titleLabel = namedLabel(QStringLiteral("lblTitle"), title, this);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleLabel->setFont(titleFont);

    auto* text = new QVBoxLayout;
    text->addWidget(titleLabel);
    text->addWidget(namedLabel(QStringLiteral("lblVersion"), versionText(), this));
    text->addWidget(namedLabel(QStringLiteral("lblDescription"),
                               QStringLiteral("Partial discharge detector system"), this));
    text->addSpacing(fontMetrics().height() / 2);
    text->addWidget(namedLabel(QStringLiteral("Label1"), QStringLiteral("Units"), this));
    krLabel_ = namedLabel(QStringLiteral("Label2"), QString(), this);
    acuLabel_ = namedLabel(QStringLiteral("Label3"), QString(), this);
    znLabel_ = namedLabel(QStringLiteral("Label4"), QString(), this);
    for (QLabel* unit : {krLabel_, acuLabel_, znLabel_}) {
        unit->setIndent(fontMetrics().averageCharWidth() * 2);
        text->addWidget(unit);
    }
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(iconLabel);
    top->addLayout(text, 1);

    auto* rule = new QFrame(this);
    nameControl(rule, QStringLiteral("Line1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    clockReadsLabel_ = namedLabel(QStringLiteral("Label5"), QStringLiteral("0"), this);
    auto* okButton = namedButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), this);
    auto* systemInfoButton =
        namedButton(QStringLiteral("cmdSysInfo"), QStringLiteral("system info.(&S)..."), this);
    okButton->setDefault(true);

    auto* bottom = new QGridLayout;
    bottom->addWidget(clockReadsLabel_, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignBottom);
    bottom->setColumnStretch(1, 1);
    bottom->addWidget(okButton, 0, 2);
    bottom->addWidget(systemInfoButton, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(rule);
    layout->addLayout(bottom);

    connect(okButton, &QPushButton::clicked, this, &AboutWindow::okClicked);
    connect(systemInfoButton, &QPushButton::clicked, this, &AboutWindow::systemInfoClicked);
}

void AboutWindow::setUnitIds(const QString& krid, const QString& acuid, const QString& znid) {
    krLabel_->setText(krid);
    acuLabel_->setText(acuid);
    znLabel_->setText(znid);
}

void AboutWindow::setClockCalibration(qint32 clockReads) {
    clockReadsLabel_->setText(QString::number(clockReads));
}

void AboutWindow::closeEvent(QCloseEvent* event) {
    // Closing by the title bar only hides the window, as OK does.
    event->ignore();
    okClicked();
}

void AboutWindow::okClicked() {
    hide();
}

void AboutWindow::systemInfoClicked() {
    startSysInfo(launcher_, dialogs_, places_);
}

}  // namespace kr5
