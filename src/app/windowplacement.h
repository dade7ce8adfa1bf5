// Where the program's windows open: the main window where it was last time (or in the
// top-left corner of the screen), the windows that go with it beside it. A pure function
// of sizes and rectangles, without a window system, so that any screen can be tried.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

namespace kr5 {

struct WindowSpot {
    // The window's size with the window system's frame around it.
    QSize frame;
    // The frame's top-left corner where the operator left the window last time; such a
    // window stays there (whoever remembered it checked that it is on a screen).
    std::optional<QPoint> remembered;
};

struct PlacementRequest {
    // The screen's available geometry (without task bars and docks).
    QRect available;
    WindowSpot main;
    // The main window's companions, the most important first: where the screen has no
    // room for all of them, the last ones are the ones covered.
    std::vector<WindowSpot> companions;
};

// The frames' top-left corners: the main window's, and the companions' in their order.
struct Placement {
    QPoint main;
    std::vector<QPoint> companions;
};

// Windows that are not remembered go inside the available geometry (one larger than it
// starts at its top-left corner, so that its title bar can be reached). A companion never
// covers the main window where it has room beside it, else as little of it as it can; then
// it covers the more important companions as little as it can, the most important first;
// then it stays as close to the main window as it can, upwards and leftwards first.
Placement placeWindows(const PlacementRequest& request);

// Whether a remembered frame can still be reached: a piece of its top edge, where the
// title bar is, at least 64 px wide (its width if narrower) and 8 px high lies on one of
// the screens (their available geometries). One left on a monitor since unplugged cannot.
bool reachable(const QRect& frame, const std::vector<QRect>& screens);

// The screen that holds most of a frame; the first one (the primary) where none does.
QRect screenOf(const QRect& frame, const std::vector<QRect>& screens);

}  // namespace kr5
