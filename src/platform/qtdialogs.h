// Message boxes as real Qt boxes: modal, OK or OK and Cancel, with the program's own
// title when the caller gives none.
#pragma once

#include "dialogs.h"

#include <QPointer>

class QWidget;

namespace kr5 {

class QtDialogs : public Dialogs {
  public:
    // parent: the window the boxes stand over; may be null (before the main window shows)
    // and may change later through setParentWindow.
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    void setParentWindow(QWidget* parent) { parent_ = parent; }

    void ask(const QString& text, const QString& title, Buttons buttons, const QString& detail,
             Answered answered) override;
    void askSaveFileName(const SaveRequest& request, SaveChosen chosen) override;
    void askOpenFileName(const QString& title, const QString& filter,
                         std::function<void(const QString&)> chosen) override;
    void askForText(const QString& title, const QString& label, const QString& initial,
                    std::function<void(const std::optional<QString>&)> answered) override;

    // "CSV File(*.csv)|*.csv|All(*.*)|*.*" as Qt's list of name filters; Qt's own
    // ";;"-separated form passes through.
    static QStringList nameFilters(const QString& filter);

  private:
    QPointer<QWidget> parent_;
};

}  // namespace kr5
