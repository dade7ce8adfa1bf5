#include "windowplacement.h"

#include <algorithm>

namespace kr5 {
namespace {

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64{both.width()} * both.height();
}

// How far apart two rectangles are, along the axes; 0 where they touch or overlap.
qint64 gap(const QRect& a, const QRect& b) {
    const int dx =
        std::max({0, b.left() - (a.left() + a.width()), a.left() - (b.left() + b.width())});
    const int dy =
        std::max({0, b.top() - (a.top() + a.height()), a.top() - (b.top() + b.height())});
    return qint64{dx} + dy;
}

// One axis of a window: where it may start so that it lies within the screen's extent;
// one longer than the extent starts at its low edge, where the title bar is.
struct Axis {
    int low;
    int extent;
    int length;

    int into(int start) const {
        return length >= extent ? low : std::clamp(start, low, low + extent - length);
    }

    // The starts worth trying: against the screen's edges, and beside or in line with
    // each window already placed (start and end of that window on this axis).
    std::vector<int> starts(const std::vector<std::pair<int, int>>& placed) const {
        std::vector<int> out{into(low), into(low + extent - length)};
        for (const auto& [start, end] : placed) {
            for (const int s : {end, start - length, start, end - length}) {
                out.push_back(into(s));
            }
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }
};

struct Placed {
    QRect frame;
    int importance;  // the companion's index
};

// What a spot costs a companion, compared in order: the main window covered, then each
// companion covered from the most important on, then the distance from the main window,
// then how low and how far right it lies.
std::vector<qint64> cost(const QRect& spot, const QRect& main, const std::vector<Placed>& placed,
                         size_t companions) {
    std::vector<qint64> c(companions + 4, 0);
    c[0] = overlap(spot, main);
    for (const Placed& p : placed) {
        c[1 + static_cast<size_t>(p.importance)] += overlap(spot, p.frame);
    }
    c[companions + 1] = gap(spot, main);
    c[companions + 2] = spot.top();
    c[companions + 3] = spot.left();
    return c;
}

QRect bestSpot(const QSize& size, const QRect& available, const QRect& main,
               const std::vector<Placed>& placed, size_t companions) {
    std::vector<std::pair<int, int>> columns{{main.left(), main.left() + main.width()}};
    std::vector<std::pair<int, int>> rows{{main.top(), main.top() + main.height()}};
    for (const Placed& p : placed) {
        columns.emplace_back(p.frame.left(), p.frame.left() + p.frame.width());
        rows.emplace_back(p.frame.top(), p.frame.top() + p.frame.height());
    }
    const Axis x{available.left(), available.width(), size.width()};
    const Axis y{available.top(), available.height(), size.height()};
    QRect best;
    std::vector<qint64> bestCost;
    for (const int left : x.starts(columns)) {
        for (const int top : y.starts(rows)) {
            const QRect spot(QPoint(left, top), size);
            std::vector<qint64> c = cost(spot, main, placed, companions);
            if (bestCost.empty() || c < bestCost) {
                best = spot;
                bestCost = std::move(c);
            }
        }
    }
    return best;
}

QSize within(const QSize& size, const QSize& room, const QSize& smallest) {
    return size.boundedTo(room).expandedTo(smallest);
}

// The sizes a companion may open with, the one to prefer first: its own (no larger than
// the screen, if it may shrink), then, if it may shrink, as large as the room on each side
// of the main window allows, the largest room first.
std::vector<QSize> sizesToTry(const WindowSpot& spot, const QRect& available, const QRect& main) {
    if (spot.smallest.isEmpty()) {
        return {spot.frame};
    }
    const QSize own = within(spot.frame, available.size(), spot.smallest);
    const int right = available.left() + available.width() - (main.left() + main.width());
    const int below = available.top() + available.height() - (main.top() + main.height());
    std::vector<QSize> rooms{{right, available.height()},
                             {main.left() - available.left(), available.height()},
                             {available.width(), below},
                             {available.width(), main.top() - available.top()}};
    std::vector<QSize> out{own};
    for (const QSize& room : rooms) {
        if (room.width() > 0 && room.height() > 0) {
            out.push_back(within(own, room, spot.smallest));
        }
    }
    const auto larger = [](const QSize& a, const QSize& b) {
        return qint64{a.width()} * a.height() > qint64{b.width()} * b.height();
    };
    std::stable_sort(out.begin() + 1, out.end(), larger);
    return out;
}

// The best spot for a companion not remembered: at its first size that keeps it off the
// main window, else at its own size as well as can be.
QRect placeCompanion(const WindowSpot& spot, const QRect& available, const QRect& main,
                     const std::vector<Placed>& placed, size_t companions) {
    const std::vector<QSize> sizes = sizesToTry(spot, available, main);
    const QRect own = bestSpot(sizes.front(), available, main, placed, companions);
    if (!own.intersects(main)) {
        return own;
    }
    for (auto size = sizes.begin() + 1; size != sizes.end(); ++size) {
        const QRect smaller = bestSpot(*size, available, main, placed, companions);
        if (!smaller.intersects(main)) {
            return smaller;
        }
    }
    return own;
}

}  // namespace

Placement placeWindows(const PlacementRequest& request) {
    const QRect& available = request.available;
    // A main window without a place of its own takes the top-left corner, which leaves
    // the most room in one piece beside and below it.
    const QPoint mainAt = request.main.remembered.value_or(available.topLeft());
    const QRect main(mainAt, request.main.frame);

    const size_t count = request.companions.size();
    Placement out{mainAt, std::vector<QPoint>(count), std::vector<QSize>(count)};
    // The remembered companions stay where they are and are in the way of the others.
    std::vector<Placed> placed;
    for (size_t i = 0; i < count; ++i) {
        const WindowSpot& companion = request.companions[i];
        out.companionFrames[i] = companion.frame;
        if (companion.remembered) {
            out.companions[i] = *companion.remembered;
            placed.push_back({QRect(*companion.remembered, companion.frame), static_cast<int>(i)});
        }
    }
    for (size_t i = 0; i < count; ++i) {
        const WindowSpot& companion = request.companions[i];
        if (companion.remembered) {
            continue;
        }
        const QRect spot = placeCompanion(companion, available, main, placed, count);
        out.companions[i] = spot.topLeft();
        out.companionFrames[i] = spot.size();
        placed.push_back({spot, static_cast<int>(i)});
    }
    return out;
}

bool reachable(const QRect& frame, const std::vector<QRect>& screens) {
    constexpr int titleHeight = 32;
    const QRect top(frame.topLeft(), QSize(frame.width(), std::min(frame.height(), titleHeight)));
    const int width = std::min(frame.width(), 64);
    const int height = std::min(top.height(), 8);
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        const QRect piece = top.intersected(screen);
        return !piece.isEmpty() && piece.width() >= width && piece.height() >= height;
    });
}

QPoint inside(const QRect& frame, const QRect& screen) {
    const Axis x{screen.left(), screen.width(), frame.width()};
    const Axis y{screen.top(), screen.height(), frame.height()};
    return {x.into(frame.left()), y.into(frame.top())};
}

QRect screenOf(const QRect& frame, const std::vector<QRect>& screens) {
    QRect best = screens.empty() ? QRect() : screens.front();
    qint64 most = 0;
    for (const QRect& screen : screens) {
        const qint64 area = overlap(frame, screen);
        if (area > most) {
            most = area;
            best = screen;
        }
    }
    return best;
}

}  // namespace kr5
