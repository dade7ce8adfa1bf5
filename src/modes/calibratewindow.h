// The Calibrate window: the calibrator's charge q0 and Measure, an optional second value q1
// and its Measure, the mean raw peak with its spread, the range, the proposed Adjust, the
// linearity, the warnings in red, Accept and Close. It shows the calibration's model and
// hands it the operator's entries; a refusal shows in the window itself. It is created once
// and only shown and hidden; closing it ends an average under way.
#pragma once

#include <functional>

#include "modes/calibration.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kr5 {

class CalibrateWindow : public QDialog {
    Q_OBJECT

  public:
    explicit CalibrateWindow(Calibration& calibration, QWidget* parent = nullptr);

    // Accept asks this instead of the calibration itself, which may refuse with a reason
    // (empty when accepted).
    void setAcceptIntent(std::function<QString()> intent) { acceptIntent_ = std::move(intent); }

  public slots:
    // Escape acts as Close.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void measureClicked();
    void measure2Clicked();
    void acceptClicked();
    void closeClicked();
    void showModel();

    Calibration& calibration_;
    QLineEdit* q0_ = nullptr;
    QLineEdit* q1_ = nullptr;
    QPushButton* measure_ = nullptr;
    QPushButton* measure2_ = nullptr;
    QLabel* raw_ = nullptr;
    QLabel* range_ = nullptr;
    QLabel* proposal_ = nullptr;
    QLabel* linearity_ = nullptr;
    QLabel* warnings_ = nullptr;
    QPushButton* accept_ = nullptr;
    std::function<QString()> acceptIntent_;
    QString refusal_;  // why the operator's last entry was refused
};

}  // namespace kr5
