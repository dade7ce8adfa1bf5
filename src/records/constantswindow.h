// The Input const window (form kousei): the test's constants, their units, the Set Q
// scroll bar with its value label, OK and CANCEL. It is created once and only shown and
// hidden; closing it by its title bar acts as CANCEL.
#pragma once

#include "records/constantsform.h"

#include <QDialog>
#include <utility>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace kr5 {

class ConstantsWindow : public QDialog {
    Q_OBJECT

  public:
    explicit ConstantsWindow(ConstantsForm& constants, QWidget* parent = nullptr);

    // OK (Command1) is disabled while a measurement file is prepared, so that the
    // constants in its header cannot change under it.
    void setOkEnabled(bool enabled);

  public slots:
    // Escape acts as CANCEL.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void addRow(int row, const QString& caption, QWidget* field, const QString& unit);
    QLineEdit* addField(int row, const QString& name, const QString& caption,
                        QString InputFields::*field, const QString& unit = {});
    void showFields();
    void showSetQ();
    void okClicked();
    void cancelClicked();

    ConstantsForm& constants_;
    QGridLayout* grid_ = nullptr;
    std::vector<std::pair<QLineEdit*, QString InputFields::*>> fields_;
    QScrollBar* setQBar_ = nullptr;
    QLabel* setQLabel_ = nullptr;
    QLabel* problem_ = nullptr;
    QPushButton* okButton_ = nullptr;
    int nextUnitLabel_ = 10;
    bool adjustTyped_ = false;  // the change of Adjust under way comes from the keyboard
};

}  // namespace kr5
