// Where the windows open, as a pure function of the screen and the windows' sizes, on many
// screens; the real windows are in placement_wholeprogram_test.cpp.
#include "app/windowplacement.h"
#include "support/rects.h"

#include <algorithm>

namespace kr5 {
namespace {

using test::overlapping;

// The program's windows with their frames: the main window, then the trend, V-Q, ZN-4 and
// Q-N windows. As the offscreen platform frames them (2 px all round) and as they are
// placed before any is shown (the estimated 30 px title bar and 4 px borders), and larger,
// as with a bigger desktop font.
struct WindowSet {
    const char* name;
    QSize main;
    std::vector<QSize> companions;
};

const std::vector<WindowSet> kWindowSets{
    {"offscreen frames", {564, 593}, {{629, 344}, {389, 368}, {496, 358}, {389, 344}}},
    {"estimated frames", {568, 623}, {{633, 374}, {393, 398}, {500, 388}, {393, 374}}},
    {"large font", {660, 700}, {{700, 420}, {430, 420}, {560, 400}, {430, 400}}},
};

// Screens by name, with their room for windows.
const std::vector<std::pair<const char*, QRect>> kScreens{
    {"1366x768", {0, 0, 1366, 768}},
    {"1366x768 with a top panel", {0, 27, 1366, 741}},
    {"1600x1000", {0, 0, 1600, 1000}},
    {"1920x1080", {0, 0, 1920, 1080}},
    {"1920x1080 right of another", {1920, 0, 1920, 1050}},
    {"2560x1440", {0, 0, 2560, 1440}},
    {"1280x1024", {0, 0, 1280, 1024}},
    {"smaller than the main window", {0, 0, 640, 480}},
};

qint64 area(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64{both.width()} * both.height();
}

// The least a window of this size can cover of another, anywhere inside the screen (one
// too large for it starting at its edge), tried at every position. The covered area
// splits into a width and a height that depend each on one coordinate only, so the two
// are sought apart.
qint64 leastCover(const QSize& size, const QRect& other, const QRect& screen) {
    const auto least = [](int low, int extent, int length, int otherStart, int otherLength) {
        const int high = std::max(low, low + extent - length);
        int best = length;
        for (int start = low; start <= high; ++start) {
            const int covered =
                std::min(start + length, otherStart + otherLength) - std::max(start, otherStart);
            best = std::min(best, std::max(covered, 0));
        }
        return best;
    };
    return qint64{least(screen.left(), screen.width(), size.width(), other.left(), other.width())} *
           least(screen.top(), screen.height(), size.height(), other.top(), other.height());
}

PlacementRequest request(const QRect& available, const WindowSet& set) {
    PlacementRequest r;
    r.available = available;
    r.main.frame = set.main;
    for (const QSize& size : set.companions) {
        r.companions.push_back({size, std::nullopt, {}});
    }
    return r;
}

struct Placed {
    QRect main;
    std::vector<QRect> companions;
    std::vector<QRect> all() const {
        std::vector<QRect> frames{main};
        frames.insert(frames.end(), companions.begin(), companions.end());
        return frames;
    }
};

Placed place(const PlacementRequest& r) {
    const Placement p = placeWindows(r);
    Placed out{QRect(p.main, r.main.frame), {}};
    EXPECT_EQ(p.companions.size(), r.companions.size());
    for (size_t i = 0; i < r.companions.size() && i < p.companions.size(); ++i) {
        out.companions.emplace_back(p.companions[i], r.companions[i].frame);
    }
    return out;
}

bool fits(const QSize& size, const QRect& screen) {
    return size.width() <= screen.width() && size.height() <= screen.height();
}

// Where the screen has room (1600x1000 and up; 1920 wide for a large font) no two windows
// overlap.
TEST(WindowPlacement, OnEveryScreenTheWindowsStayOnItAndTheMainWindowIsCoveredOnlyWhereNeeded) {
    for (const auto& [name, screen] : kScreens) {
        for (const WindowSet& set : kWindowSets) {
            SCOPED_TRACE(std::string(name) + ", " + set.name);
            const Placed p = place(request(screen, set));
            // A main window too large for the screen starts at its corner, title bar first.
            EXPECT_EQ(p.main.topLeft(), screen.topLeft());
            if (fits(set.main, screen)) {
                EXPECT_TRUE(screen.contains(p.main));
            }
            for (size_t i = 0; i < p.companions.size(); ++i) {
                SCOPED_TRACE("companion " + std::to_string(i));
                const QRect& c = p.companions[i];
                EXPECT_TRUE(fits(c.size(), screen) ? screen.contains(c)
                                                   : screen.contains(c.topLeft()))
                    << ::testing::PrintToString(c);
                // Not at all where it has room beside the main window, else no more than
                // it must.
                EXPECT_EQ(area(c, p.main), leastCover(c.size(), p.main, screen));
            }
            const int roomyWidth = &set == &kWindowSets[2] ? 1920 : 1600;
            if (screen.width() >= roomyWidth && screen.height() >= 1000) {
                EXPECT_EQ(overlapping(p.all()), "");
            }
        }
    }
}

TEST(WindowPlacement, WhereOneMustCoverAnotherTheLeastImportantIsCovered) {
    // Beside the main window there is room for exactly four companions: the fifth covers
    // the fourth, the least important of them, whole, rather than a little of another.
    const Placed p =
        place(request({0, 0, 1200, 600}, {"", {400, 600}, std::vector<QSize>(5, {400, 300})}));
    const std::vector<QRect> all = p.all();
    EXPECT_EQ(overlapping({all.begin(), all.end() - 1}), "");
    EXPECT_EQ(p.companions[4], p.companions[3]);

    // Two companions that cannot both be beside the main window: the first gets the room.
    const Placed two =
        place(request({0, 0, 1000, 600}, {"", {400, 600}, {{500, 400}, {500, 400}}}));
    EXPECT_FALSE(two.companions[0].intersects(two.main));
    EXPECT_FALSE(two.companions[1].intersects(two.main));
    EXPECT_TRUE(two.companions[1].intersects(two.companions[0]));

    // Without room beside it, in the bottom-right corner over the main window's corner only.
    const Placed corner = place(request({0, 0, 1000, 800}, {"", {700, 700}, {{400, 400}}}));
    EXPECT_EQ(corner.companions[0], QRect(600, 400, 400, 400));
}

// A window whose contents can shrink (History, help) is made to fit beside the main window
// rather than cover it, and on the screen; never below its least size. One that cannot
// shrink keeps its size.
TEST(WindowPlacement, AWindowThatMayShrinkFitsBesideTheMainWindowAndOnTheScreen) {
    PlacementRequest r;
    r.available = QRect(0, 27, 1366, 741);
    r.main.frame = QSize(660, 700);
    r.companions = {{{828, 514}, std::nullopt, {300, 200}},
                    {{1600, 900}, std::nullopt, {300, 200}},
                    {{828, 514}, std::nullopt, {}},
                    {{828, 514}, std::nullopt, {800, 200}}};
    const Placement p = placeWindows(r);
    const QRect main(p.main, r.main.frame);
    const auto frame = [&p](size_t i) { return QRect(p.companions[i], p.companionFrames[i]); };
    EXPECT_EQ(frame(0), QRect(660, 27, 706, 514));
    EXPECT_FALSE(frame(1).intersects(main));
    EXPECT_TRUE(r.available.contains(frame(1))) << ::testing::PrintToString(frame(1));
    EXPECT_EQ(p.companionFrames[2], QSize(828, 514));
    EXPECT_EQ(p.companionFrames[3], QSize(828, 514)) << "it cannot be made narrow enough";
    EXPECT_EQ(area(frame(3), main), leastCover(QSize(828, 514), main, r.available));
}

TEST(WindowPlacement, RememberedWindowsStayWhereTheyWereAndTheOthersGoAroundThem) {
    PlacementRequest r = request(QRect(0, 0, 2560, 1440), kWindowSets[1]);
    r.main.remembered = QPoint(1000, 400);  // in the middle of the screen
    // The trend window where the V-Q window would otherwise go, and one half off the
    // screen, which the operator may have left there.
    r.companions[0].remembered = QPoint(1568, 400);
    r.companions[3].remembered = QPoint(2400, 1200);
    const Placed p = place(r);
    EXPECT_EQ(p.main.topLeft(), QPoint(1000, 400));
    EXPECT_EQ(p.companions[0].topLeft(), QPoint(1568, 400));
    EXPECT_EQ(p.companions[3].topLeft(), QPoint(2400, 1200));
    EXPECT_TRUE(r.available.contains(p.companions[1]) && r.available.contains(p.companions[2]));
    EXPECT_EQ(overlapping(p.all()), "");

    // Without remembered places the trend window, the first, touches the main window on its
    // right, at its top, rather than going across the screen.
    const Placed fresh = place(request(r.available, kWindowSets[0]));
    EXPECT_EQ(fresh.companions[0].topLeft(), fresh.main.topRight() + QPoint(1, 0));
}

TEST(WindowPlacement, ARememberedPlaceCountsOnlyWhereItsTitleBarCanBeReachedOnItsScreen) {
    const std::vector<QRect> one{QRect(0, 0, 1366, 768)};
    const std::vector<QRect> two{QRect(0, 0, 1366, 768), QRect(1366, 0, 1920, 1080)};
    const QRect onTheSecond(1500, 300, 600, 400);
    EXPECT_TRUE(reachable(QRect(100, 100, 600, 400), one));
    EXPECT_TRUE(reachable(onTheSecond, two));
    EXPECT_FALSE(reachable(onTheSecond, one)) << "the second monitor was unplugged";
    // Most of it off the screen, but the title bar's left end on it.
    EXPECT_TRUE(reachable(QRect(1200, 700, 600, 400), one));
    // Only 20 px of the title bar on the screen, or only the bottom of the window.
    EXPECT_FALSE(reachable(QRect(1346, 100, 600, 400), one));
    EXPECT_FALSE(reachable(QRect(100, -390, 600, 400), one));
    EXPECT_FALSE(reachable(QRect(100, 100, 600, 400), {}));
    // A window belongs to the screen that holds most of it, the first when none does.
    EXPECT_EQ(screenOf(QRect(1200, 0, 600, 400), two), two[1]);
    EXPECT_EQ(screenOf(QRect(1000, 0, 300, 400), two), two[0]);
    EXPECT_EQ(screenOf(QRect(), two), two[0]);
}

}  // namespace
}  // namespace kr5
