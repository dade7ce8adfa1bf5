// The colour legend window `Color`: which colour the rate curve has in each attenuator
// range. The legend is drawn when the window is first shown, with the Adjust of that
// moment; OK and the frame's close button only hide the window.
#pragma once

#include "charts/colours.h"
#include "charts/legend.h"
#include "core/inputconstants.h"
#include "platform/imagesurface.h"

#include <QMainWindow>

namespace kr5 {

class ColorWindow : public QMainWindow {
  public:
    ColorWindow(const InputConstants& constants, const ColourTable& colours,
                QWidget* parent = nullptr);

    const ImageSurface& legend() const { return legend_; }
    // Where the legend's texts and bars lie, measured in the picture's font.
    const LegendLayout& legendLayout() const { return layout_; }

    // wcoler of the trend window: draws the legend on first use, then shows the window.
    void showLegend();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    const InputConstants& constants_;
    const ColourTable& colours_;
    const LegendLayout layout_;
    ImageSurface legend_{layout_.width, layout_.height};
    bool drawn_ = false;
};

}  // namespace kr5
