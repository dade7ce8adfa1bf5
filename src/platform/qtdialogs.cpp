#include "qtdialogs.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace kr5 {

Dialogs::Answer QtDialogs::message(const QString& text, const QString& title, Buttons buttons) {
    QMessageBox box(parent_);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setAccessibleDescription(QStringLiteral("messageBox"));
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    // The program's texts break their lines with a lone carriage return, which a Qt
    // label does not treat as a line break.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

}  // namespace kr5
