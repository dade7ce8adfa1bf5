// The noise discriminator panel ZN4, laid out as the unit's front panel: the heading, the
// input attenuators of channels A and B as two columns of ten lamp buttons with the steps
// between them, the FUNCTION buttons under their names, the REMOTE box and the menu item
// Close(&X). It only shows and forwards: every click goes to the callbacks (normally the
// panel logic's handlers), and a selection from code runs the same callback once.
// Closing it by the title bar only hides it.
#pragma once

#include "modes/zn4panel.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QRadioButton;
class QSpacerItem;
class QVBoxLayout;

namespace kr5 {

class Zn4Window : public QMainWindow, public Zn4View {
    Q_OBJECT

  public:
    static constexpr int peakbCount = 2 * Zn4Panel::steps;

    explicit Zn4Window(QWidget* parent = nullptr);

    // The handlers of the controls: peakb(element) and rateb(i) clicked, REMOTE clicked
    // (with its new state), Close(&X) chosen or the window closed by its title bar.
    // Unset ones are skipped; an unset close handler just hides the window.
    std::function<void(int)> onPeakbClick;
    std::function<void(int)> onRatebClick;
    std::function<void(bool)> onRemoteClick;
    std::function<void()> onNclsClick;

    // Hands every click and the close to the panel logic's handlers.
    void forwardTo(Zn4Panel& panel);

    // Zn4View. An element or index outside the buttons is ignored.
    void selectPeakb(int element) override;
    void selectRateb(int i) override;
    void setFramesEnabled(bool enabled) override;
    void setWindowEnabled(bool enabled) override;
    void setCaption(const QString& caption) override;
    void showWindow() override;
    void hideWindow() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

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
    void peakbClicked(int element);
    void ratebClicked(int index);
    void remotebClicked(bool checked);
    void nclsClicked();

    std::array<QRadioButton*, peakbCount> peakb_{};
    std::array<QRadioButton*, Zn4Panel::functions> rateb_{};
    std::array<QLabel*, Zn4Panel::steps> stepLabels_{};
    std::array<QFrame*, 2> frame2_{};  // Frame2(0): channel B, Frame2(1): channel A
    std::array<QButtonGroup*, 2> columnButtons_{};
    QFrame* frame1_ = nullptr;
    QButtonGroup* functionButtons_ = nullptr;
    QCheckBox* remoteb_ = nullptr;
    QWidget* stepColumn_ = nullptr;
    QLabel* functionNames_ = nullptr;
    QHBoxLayout* functionRow_ = nullptr;
    // The gaps that put each FUNCTION button under its name.
    std::array<QSpacerItem*, Zn4Panel::functions> functionGaps_{};
};

}  // namespace kr5
