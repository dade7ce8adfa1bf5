// The trend window `wave`: shows the trend chart at 1:1 and forwards its menu. Closing it
// only hides it; the chart is kept and drawn on while hidden.
#pragma once

#include "charts/shownwatch.h"
#include "platform/clipboard.h"
#include "platform/imagesurface.h"

#include <QMainWindow>
#include <functional>

namespace kr5 {

class WaveWindow : public QMainWindow {
  public:
    static constexpr int graWidth = 625;
    static constexpr int graHeight = 321;

    explicit WaveWindow(Clipboard& clipboard, QWidget* parent = nullptr);

    ImageSurface& surface() { return surface_; }
    // Shows what has been drawn on the chart since the last refresh.
    void refresh();

    std::function<void()> onErase;  // wclear: clrwave
    std::function<void()> onColor;  // wcoler: the colour legend
    charts::ShownWatch shown;

    void wcloseClick() { hide(); }
    void wcopyClick();
    void wcolerClick();
    void wclearClick();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    Clipboard& clipboard_;
    ImageSurface surface_{graWidth, graHeight};
};

}  // namespace kr5
