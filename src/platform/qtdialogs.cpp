#include "qtdialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kr5 {

Dialogs::Answer QtDialogs::message(const QString& text, const QString& title, Buttons buttons,
                                   const QString& detail) {
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
    if (!detail.isEmpty()) {
        box.setDetailedText(detail);
    }
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

QStringList QtDialogs::nameFilters(const QString& filter) {
    if (filter.contains(QLatin1String(";;")) || !filter.contains(QLatin1Char('|'))) {
        return filter.split(QLatin1String(";;"), Qt::SkipEmptyParts);
    }
    // Pairs of shown name and pattern: Qt shows the name and reads the pattern from the
    // parentheses, so the name is kept with the pattern appended when it lacks one.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        const QString pattern = parts[i + 1];
        out << (name.contains(QLatin1Char('(')) ? name
                                                : name + QStringLiteral(" (%1)").arg(pattern));
    }
    return out;
}

QString QtDialogs::saveFileName(const SaveRequest& request, int* chosenFilter) {
    QFileDialog dialog(parent_, request.title);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAccessibleDescription(QStringLiteral("CommonDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.askOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = nameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    }
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    if (chosenFilter) {
        *chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::openFileName(const QString& title, const QString& filter) {
    QFileDialog dialog(parent_, title);
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setAccessibleDescription(QStringLiteral("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::askText(const QString& title, const QString& label,
                                          const QString& initial) {
    QInputDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("AskDialog"));
    dialog.setAccessibleDescription(QStringLiteral("AskDialog"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

}  // namespace kr5
