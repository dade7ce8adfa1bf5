// Tells a chart window's owner when the window is shown or hidden by the program or the
// operator, so the Window menu's check marks follow the windows. Changes made by the
// window system on its own (the window minimised by itself) are not reported.
#pragma once

#include <QEvent>
#include <QWidget>
#include <functional>

namespace kr5::charts {

class ShownWatch {
  public:
    std::function<void(bool)> onShownChanged;

    // Called from the window's showEvent and hideEvent.
    void changed(const QWidget& window, const QEvent& event) const {
        if (!event.spontaneous() && onShownChanged) {
            onShownChanged(window.isVisible());
        }
    }
};

}  // namespace kr5::charts
