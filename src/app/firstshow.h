// Windows the program shows only on request (Q-N, History) are shown from several places:
// a menu, the end of a Q-N measurement, a recorded test, the next start. Each is put in its
// place once, just before it first shows, whoever shows it.
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace kr5 {

class FirstShowPlacer : public QObject {
  public:
    explicit FirstShowPlacer(std::function<void(QWidget&)> place) : place_(std::move(place)) {}

    // place runs for the window when it is next shown (not by the window system itself),
    // before the window system maps it; then the window is let be.
    void watch(QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(QWidget&)> place_;
};

}  // namespace kr5
