#include "qtdialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kr5 {

namespace {

// The box of message and notify: the program's title when none is given, the text's lone
// carriage returns as line breaks, the detail apart.
void fillBox(QMessageBox& box, const QString& text, const QString& title, const QString& detail) {
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
}

}  // namespace

void QtDialogs::ask(const QString& text, const QString& title, Buttons buttons,
                    const QString& detail, Answered answered) {
    // Modal over its window, but shown without an event loop of its own: the caller
    // returns at once and the box deletes itself when closed.
    auto* box = new QMessageBox(parent_);
    fillBox(*box, text, title, detail);
    if (buttons == Buttons::OkCancel) {
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    box->setDefaultButton(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (answered) {
        // Closing the box by its frame counts as its escape button.
        QObject::connect(box, &QDialog::finished, box, [box, answered] {
            answered(box->clickedButton() == box->button(QMessageBox::Ok) ? Answer::Ok
                                                                          : Answer::Cancel);
        });
    }
    box->open();
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

namespace {

// The save dialog of a request: the program's own (not the desktop's), asking before an
// existing file is replaced where the request says so.
QFileDialog* saveDialog(QWidget* parent, const Dialogs::SaveRequest& request) {
    auto* dialog = new QFileDialog(parent, request.title);
    dialog->setObjectName(QStringLiteral("CommonDialog1"));
    dialog->setAccessibleDescription(QStringLiteral("CommonDialog1"));
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.askOverwrite);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    const QStringList filters = QtDialogs::nameFilters(request.filter);
    dialog->setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
        dialog->selectNameFilter(filters[request.filterIndex - 1]);
    }
    dialog->selectFile(request.fileName);
    return dialog;
}

QFileDialog* openDialog(QWidget* parent, const QString& title, const QString& filter) {
    auto* dialog = new QFileDialog(parent, title);
    dialog->setObjectName(QStringLiteral("OpenDialog"));
    dialog->setAccessibleDescription(QStringLiteral("OpenDialog"));
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(QtDialogs::nameFilters(filter));
    return dialog;
}

QInputDialog* textDialog(QWidget* parent, const QString& title, const QString& label,
                         const QString& initial) {
    auto* dialog = new QInputDialog(parent);
    dialog->setObjectName(QStringLiteral("AskDialog"));
    dialog->setAccessibleDescription(QStringLiteral("AskDialog"));
    dialog->setWindowTitle(title);
    dialog->setLabelText(label);
    dialog->setTextValue(initial);
    return dialog;
}

// The file chosen in a finished dialog; empty when it was cancelled.
QString chosenFile(const QFileDialog& dialog, int result) {
    return result == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

int chosenFilter(const QFileDialog& dialog) {
    return static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
}

// Shows a dialog modal over its window without an event loop of its own; `finished` runs
// with the dialog once the operator has closed it, and the dialog is deleted after.
template <typename Dialog, typename Finished>
void showThen(Dialog* dialog, Finished finished) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, finished](int result) { finished(*dialog, result); });
    dialog->open();
}

}  // namespace

void QtDialogs::askSaveFileName(const SaveRequest& request, SaveChosen chosen) {
    showThen(saveDialog(parent_, request), [chosen](QFileDialog& dialog, int result) {
        const QString path = chosenFile(dialog, result);
        chosen(path, path.isEmpty() ? 0 : chosenFilter(dialog));
    });
}

void QtDialogs::askOpenFileName(const QString& title, const QString& filter,
                                std::function<void(const QString&)> chosen) {
    showThen(openDialog(parent_, title, filter),
             [chosen](QFileDialog& dialog, int result) { chosen(chosenFile(dialog, result)); });
}

void QtDialogs::askForText(const QString& title, const QString& label, const QString& initial,
                           std::function<void(const std::optional<QString>&)> answered) {
    showThen(textDialog(parent_, title, label, initial), [answered](QInputDialog& dialog,
                                                                    int result) {
        answered(result == QDialog::Accepted ? std::optional(dialog.textValue()) : std::nullopt);
    });
}

}  // namespace kr5
