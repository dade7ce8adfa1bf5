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
    // The least the frame may be made, for a window whose contents can shrink (a chart
    // drawn at its own size cannot); empty: it keeps its size.
    QSize smallest;
};

struct PlacementRequest {
    // The screen's available geometry (without task bars and docks).
    QRect available;
    WindowSpot main;
    // The main window's companions, the most important first: where the screen has no
    // room for all of them, the last ones are the ones covered.
    std::vector<WindowSpot> companions;
};

// The frames' top-left corners: the main window's, and the companions' in their order,
// with the frame size each companion is to have (its own unless it was made smaller).
struct Placement {
    QPoint main;
    std::vector<QPoint> companions;
    std::vector<QSize> companionFrames;
};

// Windows that are not remembered go inside the available geometry (one larger than it
// starts at its top-left corner, so that its title bar can be reached). A companion never
// covers the main window where it has room beside it, else as little of it as it can; then
// it covers the more important companions as little as it can, the most important first;
// then it stays as close to the main window as it can, upwards and leftwards first. A
// companion that may shrink is made no larger than the screen, and no larger than the room
// beside the main window where its own size would cover the main window.
Placement placeWindows(const PlacementRequest& request);

// Whether a remembered frame can still be reached: a piece of its top edge, where the
// title bar is, at least 64 px wide (its width if narrower) and 8 px high lies on one of
// the screens (their available geometries). One left on a monitor since unplugged cannot.
bool reachable(const QRect& frame, const std::vector<QRect>& screens);

// Where a frame's top-left corner goes so that the frame lies within the screen's available
// geometry (one larger than it at its top-left edge, where the title bar is).
QPoint inside(const QRect& frame, const QRect& screen);

// The screen that holds most of a frame; the first one (the primary) where none does.
QRect screenOf(const QRect& frame, const std::vector<QRect>& screens);

}  // namespace kr5
