#include "firstshow.h"

#include <QEvent>
#include <QWidget>

namespace kr5 {

void FirstShowPlacer::watch(QWidget& window) {
    window.installEventFilter(this);
}

bool FirstShowPlacer::eventFilter(QObject* watched, QEvent* event) {
    // Qt sends the show event after the window counts as visible and before it asks the
    // window system to map it: a move now is where the window first appears.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        watched->removeEventFilter(this);
        place_(*static_cast<QWidget*>(watched));
    }
    return false;
}

}  // namespace kr5
