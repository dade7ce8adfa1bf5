#include "windowmemory.h"

#include "app/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace kr5 {

namespace {

QString group(const QString& portDigit, const QString& window) {
    return QStringLiteral("port%1/windows/%2").arg(portDigit, window);
}

// What the window system's frame adds around a window once it has been shown; nothing
// before (Qt cannot tell it sooner), nor while the window system has not framed it yet.
std::optional<QMargins> shownFrame(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    if (window.windowHandle() == nullptr || frame == inside) {
        return std::nullopt;
    }
    return QMargins(inside.left() - frame.left(), inside.top() - frame.top(),
                    frame.right() - inside.right(), frame.bottom() - inside.bottom());
}

// A window's frame: its own once shown, else the one the main window got (all windows of
// the program have the same decorations), else the estimate.
QMargins frameMargins(const QWidget& window, const QWidget* main) {
    if (const auto own = shownFrame(window)) {
        return *own;
    }
    if (main != nullptr) {
        if (const auto mains = shownFrame(*main)) {
            return *mains;
        }
    }
    return {kFrameBorderEstimate, kFrameTitleEstimate, kFrameBorderEstimate, kFrameBorderEstimate};
}

// The size a window not yet shown will open with: Qt fits a window to its contents at
// the first show unless it was given a size; doing it now tells the size beforehand.
QSize openingSize(QWidget& window) {
    if (window.windowHandle() == nullptr && !window.testAttribute(Qt::WA_Resized)) {
        window.adjustSize();
    }
    return window.size();
}

// The least frame a window can be made, where its contents can shrink below the size it
// opens with; empty for one that cannot (a chart shown at its own size).
QSize smallestFrame(const QWidget& window, const QMargins& frame) {
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    if (!least.isValid() || least == window.size()) {
        return {};
    }
    return least.grownBy(frame);
}

// Moves the window to its place, and makes it the size it was given there.
void putAt(QWidget& window, const QPoint& framePos, const QSize& frameSize, const QMargins& frame) {
    const QSize size = frameSize.shrunkBy(frame);
    if (size != window.size()) {
        window.resize(size);
    }
    window.move(framePos);
}

// A remembered place that can still be reached, put on the window (its size now). Where
// the window would now run past the edge of its screen (left partly off it, or larger than
// it was, as a window is that has gained a part since), it moves onto the screen.
std::optional<QPoint> restore(const WindowMemory& memory, const QString& portDigit, QWidget& window,
                              const QMargins& frame, const std::vector<QRect>& screens) {
    const auto place = memory.recall(portDigit, window.objectName());
    if (!place || !reachable(QRect(place->framePos, place->size.grownBy(frame)), screens)) {
        return std::nullopt;
    }
    window.resize(place->size);
    if (place->maximised) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
    const QSize opening =
        place->size.expandedTo(window.minimumSizeHint()).expandedTo(window.minimumSize());
    const QRect remembered(place->framePos, opening.grownBy(frame));
    return inside(remembered, screenOf(remembered, screens));
}

// The spot of a window about to be placed: where it was remembered, if that can still be
// reached (put on the window, with its size then), else its frame as it opens.
WindowSpot spotOf(const WindowMemory& memory, const QString& portDigit, QWidget& window,
                  const QMargins& frame, const std::vector<QRect>& screens) {
    WindowSpot spot;
    spot.remembered = restore(memory, portDigit, window, frame, screens);
    spot.frame = openingSize(window).grownBy(frame);
    if (!spot.remembered) {
        spot.smallest = smallestFrame(window, frame);
    }
    return spot;
}

}  // namespace

WindowMemory::WindowMemory(const QString& path)
    : settings_(path.isEmpty()
                    ? std::make_unique<QSettings>(QStringLiteral("kr5au"), QStringLiteral("kr5au"))
                    : std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

WindowMemory::~WindowMemory() = default;

bool WindowMemory::wasShown(const QString& portDigit, const QString& window) const {
    return settings_->value(group(portDigit, window) + QStringLiteral("/shown"), false).toBool();
}

void WindowMemory::rememberShown(const QString& portDigit, const QString& window, bool shown) {
    settings_->setValue(group(portDigit, window) + QStringLiteral("/shown"), shown);
}

std::optional<WindowPlace> WindowMemory::recall(const QString& portDigit,
                                                const QString& window) const {
    settings_->beginGroup(group(portDigit, window));
    const QVariant pos = settings_->value(QStringLiteral("pos"));
    const QVariant size = settings_->value(QStringLiteral("size"));
    const bool maximised = settings_->value(QStringLiteral("maximized"), false).toBool();
    settings_->endGroup();
    // A file edited by hand may hold anything: only a position and a real size count.
    if (!pos.canConvert<QPoint>() || !size.canConvert<QSize>()) {
        return std::nullopt;
    }
    const QSize s = size.toSize();
    if (s.width() <= 0 || s.height() <= 0) {
        return std::nullopt;
    }
    return WindowPlace{pos.toPoint(), s, maximised};
}

void WindowMemory::remember(const QString& portDigit, const QString& window,
                            const WindowPlace& place) {
    settings_->beginGroup(group(portDigit, window));
    settings_->setValue(QStringLiteral("pos"), place.framePos);
    settings_->setValue(QStringLiteral("size"), place.size);
    settings_->setValue(QStringLiteral("maximized"), place.maximised);
    settings_->endGroup();
}

void WindowMemory::sync() {
    settings_->sync();
}

void placeMainWindow(const WindowMemory& memory, const QString& portDigit, QWidget& main,
                     const std::vector<QRect>& screens) {
    const QMargins frame = frameMargins(main, nullptr);
    PlacementRequest request;
    request.main.remembered = restore(memory, portDigit, main, frame, screens);
    request.main.frame = openingSize(main).grownBy(frame);
    // One without a place goes on the primary screen.
    request.available = screenOf(QRect(), screens);
    main.move(placeWindows(request).main);
}

namespace {

// The main window as it stands, which is where it was put or where the window system put
// it; its companions go on its screen.
PlacementRequest besideTheMainWindow(const QWidget& main, const std::vector<QRect>& screens) {
    PlacementRequest request;
    request.main = {main.frameGeometry().size(), main.frameGeometry().topLeft(), {}};
    request.available = screenOf(main.frameGeometry(), screens);
    return request;
}

}  // namespace

void placeCompanions(const WindowMemory& memory, const QString& portDigit, const QWidget& main,
                     const std::vector<QWidget*>& companions, const std::vector<QRect>& screens) {
    PlacementRequest request = besideTheMainWindow(main, screens);
    std::vector<QMargins> frames;
    for (QWidget* companion : companions) {
        frames.push_back(frameMargins(*companion, &main));
        request.companions.push_back(spotOf(memory, portDigit, *companion, frames.back(), screens));
    }
    const Placement placement = placeWindows(request);
    for (size_t i = 0; i < companions.size(); ++i) {
        putAt(*companions[i], placement.companions[i], placement.companionFrames[i], frames[i]);
    }
}

void placeLater(const WindowMemory& memory, const QString& portDigit, const QWidget& main,
                QWidget& window, const std::vector<const QWidget*>& shown,
                const std::vector<QRect>& screens) {
    PlacementRequest request = besideTheMainWindow(main, screens);
    // The windows on the screen stay as they are, where the new one goes around them.
    for (const QWidget* other : shown) {
        if (other != &window && other->isVisible()) {
            request.companions.push_back(
                {other->frameGeometry().size(), other->frameGeometry().topLeft(), {}});
        }
    }
    const QMargins frame = frameMargins(window, &main);
    request.companions.push_back(spotOf(memory, portDigit, window, frame, screens));
    const Placement placement = placeWindows(request);
    putAt(window, placement.companions.back(), placement.companionFrames.back(), frame);
}

void rememberWindows(WindowMemory& memory, const QString& portDigit,
                     const std::vector<QWidget*>& windows) {
    for (QWidget* window : windows) {
        if (window->windowHandle() == nullptr) {
            continue;  // never shown
        }
        WindowPlace place;
        const Qt::WindowStates state = window->windowState();
        place.maximised = state.testFlag(Qt::WindowMaximized);
        if (state & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
            // The place it returns to, with the frame it has.
            const QRect normal = window->normalGeometry();
            if (!normal.isValid()) {
                continue;
            }
            const QMargins frame = frameMargins(*window, nullptr);
            place.framePos = normal.topLeft() - QPoint(frame.left(), frame.top());
            place.size = normal.size();
        } else {
            place.framePos = window->frameGeometry().topLeft();
            place.size = window->size();
        }
        memory.remember(portDigit, window->objectName(), place);
    }
    memory.sync();
}

std::vector<QRect> availableScreens() {
    std::vector<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        screens.push_back(primary->availableGeometry());
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) {
            screens.push_back(screen->availableGeometry());
        }
    }
    return screens;
}

}  // namespace kr5
