// The range titles of the panel ("INPUT ATT", "RATE METER RANGE"): labels that switch
// automatic ranging when clicked with the mouse, or reached with Tab and worked with
// Space or Enter.
#pragma once

#include <QLabel>
#include <functional>

namespace kr5 {

class RangeTitle : public QLabel {
  public:
    RangeTitle(const QString& text, std::function<void()>& handler, QWidget* parent)
        : QLabel(text, parent), handler_(handler) {
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::PointingHandCursor);
    }

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void activate();

    std::function<void()>& handler_;  // the panel's callback, as set at the time of the click
};

}  // namespace kr5
