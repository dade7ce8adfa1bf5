// The range titles of the panel ("INPUT ATT", "RATE METER RANGE"): labels that switch
// automatic ranging when clicked with the mouse, or reached with Tab and worked with
// Space or Enter.
#pragma once

#include <QLabel>

namespace kr5 {

class RangeTitle : public QLabel {
    Q_OBJECT

  public:
    RangeTitle(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::PointingHandCursor);
    }

  signals:
    void activated();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kr5
