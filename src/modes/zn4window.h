// The noise discriminator panel ZN4, laid out as the unit's front panel: the heading, the
// input attenuators of channels A and B as two columns of ten lamp buttons with the steps
// between them, the FUNCTION buttons under their names, the REMOTE box and the menu item
// Close(&X). It shows the panel's model and hands the operator's clicks to it. Closing it
// by the title bar only hides it.
#pragma once

#include "modes/zn4panel.h"

#include <QMainWindow>
#include <array>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QRadioButton;
class QSpacerItem;
class QVBoxLayout;

namespace kr5 {

class Zn4Window : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr int peakbCount = 2 * Zn4Panel::steps;

    static constexpr int columnA = 10;  // peakb element of channel A at step 0

    explicit Zn4Window(Zn4Panel& panel, QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  signals:
    // The operator's clicks: requests for the session, which the window shows once taken.
    void channelAClicked(int step);
    void channelBClicked(int step);
    void functionClicked(int function);
    void remoteClicked(bool on);

  private:
    QWidget* buildHeading(QWidget* parent);
    QWidget* buildAttGroup(QWidget* parent);
    QFrame* buildColumn(QWidget* parent, int frameIndex, const QString& channel);
    QWidget* buildStepLabels(QWidget* parent);
    QWidget* buildFunctionGroup(QWidget* parent);
    QFrame* buildFunctionButtons(QWidget* parent);
    void buildShortcuts();
    void alignRows();
    void alignFunctionRow();
    void connectPanel();
    void peakbClicked(int element);
    void showSettings();
    void showControls();

    Zn4Panel& panel_;
    std::array<QRadioButton*, peakbCount> channelRadios_{};
    std::array<QRadioButton*, Zn4Panel::functions> functionRadios_{};
    std::array<QLabel*, Zn4Panel::steps> stepLabels_{};
    std::array<QFrame*, 2> channelFrames_{};  // Frame2(0): channel B, Frame2(1): channel A
    std::array<QButtonGroup*, 2> columnButtons_{};
    QFrame* functionFrame_ = nullptr;
    QButtonGroup* functionButtons_ = nullptr;
    QCheckBox* remoteBox_ = nullptr;
    QWidget* stepColumn_ = nullptr;
    QLabel* functionNames_ = nullptr;
    QHBoxLayout* functionRow_ = nullptr;
    // The gaps that put each FUNCTION button under its name.
    std::array<QSpacerItem*, Zn4Panel::functions> functionGaps_{};
};

}  // namespace kr5
