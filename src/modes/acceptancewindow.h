// The acceptance test window (form acceptance): the limits and the background threshold
// as the operator types them, OK, Restart, No test and Close, why OK refused, and what the
// test is doing. And the verdict label for the main window: PASS or FAIL large enough to
// read from the test bay, the hold progress while it counts.
#pragma once

#include "modes/acceptance.h"

#include <QDialog>
#include <QLabel>
#include <utility>
#include <vector>

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace kr5 {

class AcceptanceWindow : public QDialog {
    Q_OBJECT

  public:
    AcceptanceWindow(AcceptanceForm& form, AcceptanceTest& test, QWidget* parent = nullptr);

  public slots:
    // Escape acts as Close.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void addField(int row, const QString& name, const QString& caption,
                  QString AcceptanceFields::*field);
    void showFields();
    void showState();
    void showProblem(const QString& text);
    void okClicked();
    void closeClicked();

    AcceptanceForm& form_;
    AcceptanceTest& test_;
    QGridLayout* grid_ = nullptr;
    std::vector<std::pair<QLineEdit*, QString AcceptanceFields::*>> fields_;
    QLabel* problem_ = nullptr;
    QLabel* state_ = nullptr;
    QPushButton* restart_ = nullptr;
};

// Shown on the main window (form KR5AU): give it a parent there when it is made, or its
// plain words follow once it is put there.
class VerdictLabel : public QLabel {
    Q_OBJECT

  public:
    static constexpr QRgb passFace = 0x1B7F2A;
    static constexpr QRgb failFace = 0xC00000;
    static constexpr QRgb invalidFace = 0xFFB000;  // a verdict over too much background
    static constexpr double verdictScale = 2.5;    // the verdict's face against the window's

    explicit VerdictLabel(const AcceptanceTest& test, QWidget* parent = nullptr);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void showTest();

    const AcceptanceTest& test_;
};

}  // namespace kr5
