// The Options window (form Options, caption "Option"): the tab control OPtab with the
// tabs Sample time, Auto Range, TV Multi, Com. Speed and QN Conf., and the buttons Set
// (Command2) and Close (Command1). Close hides it; closing it by its title bar unloads
// it (the window is deleted), so the next opening starts from the initial selections.
#pragma once

#include "optionsform.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QTabWidget;

namespace kr5 {

class OptionsWindow : public QDialog {
    Q_OBJECT

  public:
    // Loading the window runs Form_Load of form: the initial selections and showAutoRanging.
    explicit OptionsWindow(OptionsForm& form, QWidget* parent = nullptr);

  public slots:
    // Escape acts as Close: the window is hidden, not unloaded.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* addTab(const QString& name, const QString& caption);
    QButtonGroup* addGroup(OptionsForm::Group group, const QString& arrayName,
                           const QStringList& captions, QWidget* parent);
    void buildAutoRange(QWidget* page);
    void buildQnConf(QWidget* page);
    void showChecks();
    void okClicked();
    void setClicked();

    OptionsForm& form_;
    QTabWidget* tabs_ = nullptr;
    QCheckBox* autoAttenuatorBox_ = nullptr;
    QCheckBox* autoRateBox_ = nullptr;
    QLabel* tvReadoutLabel_ = nullptr;
};

}  // namespace kr5
