// The chart windows through Charts, with windows and menu items found by their names: the
// toggles, faces and captions, Copy, Erase, Color and Save, and the Q-N window's copy-in.
#include "charts/chartfeed.h"
#include "charts/chartprobe.h"
#include "charts/charts.h"
#include "platform/virtualclock.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImageReader>
#include <QPushButton>
#include <QTemporaryDir>

namespace kr5 {
namespace {

using namespace test;

// The first 385 x 321 pixels of two pictures are the same.
bool samePixels(const QImage& a, const QImage& b) {
    const auto top = [](const QImage& i) {
        return i.convertToFormat(QImage::Format_RGB32).copy(0, 0, 385, 321);
    };
    return top(a) == top(b);
}

struct ChartWindows : ::testing::Test {
    ChartWindows() {
        fillColourTable(colours);
        charts.setPortDigit(QStringLiteral("2"));
        QObject::connect(&charts.wave(), &WaveWindow::shownChanged,
                         [this](bool shown) { waveShown.push_back(shown); });
        QObject::connect(&charts.vq(), &VqWindow::shownChanged,
                         [this](bool shown) { vqShown.push_back(shown); });
    }

    void plot(const Reading& r, bool inceptionStanding = false) {
        charts.plotter().plotReading(r, inceptionStanding);
        charts.refresh();
    }
    QStringList captions() {
        return {charts.wave().windowTitle(), charts.vq().windowTitle(), charts.qn().windowTitle()};
    }
    QImage qnPicture() { return charts.qn().picture().surface().image(); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    Colour trendPixel(int x, int y) { return charts.wave().surface().pixel(x, y); }
    Colour vqPixel(int x, int y) { return charts.vq().surface().pixel(x, y); }

    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    Charts charts{constants, settings, colours, clipboard, dialogs};
    std::vector<bool> waveShown;
    std::vector<bool> vqShown;
    QTemporaryDir dir;
};

TEST_F(ChartWindows, LoopStartAndTheQnFacesSetCaptionsAndCharts) {
    EXPECT_FALSE(charts.wave().isVisible() || charts.vq().isVisible() || charts.qn().isVisible());
    charts.startLoop();
    EXPECT_EQ(captions(), QStringList({"T-QNV(2)", "V-Q(2)", "Q-N(2)"}));
    EXPECT_TRUE(charts.wave().isVisible() && charts.vq().isVisible());
    EXPECT_FALSE(charts.qn().isVisible());
    EXPECT_EQ(std::pair(waveShown, vqShown),
              std::pair(std::vector<bool>{true}, std::vector<bool>{true}));
    EXPECT_TRUE(charts.vq().resultTextShown());

    charts.showQnFace(QStringLiteral(" 12.5kV dry"));
    EXPECT_EQ(captions(), QStringList({"T-N(Q)V(2)", "Q-N(2)", "Q-N(2)"}));
    EXPECT_FALSE(charts.vq().resultTextShown());
    charts.setQnPassCaption(QStringLiteral("Q-N(2)  3/10"));
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("Q-N(2)  3/10"));
    // The Q-N charts have no Set Q line.
    EXPECT_FALSE(trendPixel(100, 248) == lightGreen || vqPixel(100, 248) == lightGreen);

    charts.showNormalFace();
    EXPECT_EQ(captions(), QStringList({"T-QNV(2)", "V-Q(2)", "Q-N(2)"}));
    EXPECT_TRUE(charts.vq().resultTextShown());
    EXPECT_TRUE(trendPixel(100, 248) == lightGreen && vqPixel(100, 248) == lightGreen);
}

// The trend's menu item and its frame's close hide the window; it shows again with the
// curves drawn meanwhile. Only Erase clears them; Copy copies them.
TEST_F(ChartWindows, TrendToggleKeepsTheCurvesEraseClearsThemCopyCopiesThem) {
    charts.startLoop();
    plot(cycleReading(0, 10, 1, 0));
    charts.toggleTrendWindow();
    EXPECT_FALSE(charts.wave().isVisible());
    plot(cycleReading(0, 10, 1, 0));  // drawn while hidden
    charts.toggleTrendWindow();
    EXPECT_TRUE(charts.wave().isVisible());
    plot(cycleReading(0, 10, 1, 0));  // and the sweep goes on where it was
    EXPECT_EQ(std::tuple(trendPixel(71, 200), trendPixel(72, 200), trendPixel(73, 200)),
              std::tuple(lightBlue, lightBlue, lightBlue));
    trigger(charts.wave(), "wcopy");
    EXPECT_EQ(std::pair(clipboard.clears, clipboard.held),
              std::pair(1, charts.wave().surface().image()));

    charts.wave().close();
    EXPECT_FALSE(charts.wave().isVisible());
    EXPECT_EQ(waveShown, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(trendPixel(73, 200), lightBlue);
    trigger(charts.wave(), "wclear");
    EXPECT_EQ(std::pair(trendPixel(71, 200), trendPixel(73, 200)), std::pair(grey, grey));
    plot(cycleReading(0, 1, 10, 0));  // a new sweep from the left edge
    EXPECT_EQ(trendPixel(71, 248), lightBlue);
}

TEST_F(ChartWindows, VqToggleShowsTheEmptyChartOfTheFace) {
    charts.startLoop();
    plot(cycleReading(0, 10, 1, 12));
    ASSERT_EQ(vqPixel(50, 200), lightBlue);  // on the segment from (30, 296) to (50, 200)
    charts.toggleVqWindow();
    EXPECT_FALSE(charts.vq().isVisible());
    EXPECT_EQ(vqPixel(50, 200), lightBlue);
    charts.toggleVqWindow();
    EXPECT_TRUE(charts.vq().isVisible());
    EXPECT_EQ(vqShown, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(vqPixel(50, 200), grey);  // the grid line again
    charts.showQnFace(QStringLiteral(" 12.5kV dry"));
    charts.plotter().plotQnBar(0, qnStepReading(3, 10));
    charts.toggleVqWindow();
    charts.toggleVqWindow();
    EXPECT_EQ(std::pair(vqPixel(130, 250), charts.vq().resultTextShown()),
              std::pair(kWhite, false));
}

// While a recorded test is shown the live readings are judged (the pairs are the
// measurement's record) but not drawn; Erase says so, for the result table to start anew.
TEST_F(ChartWindows, APausedFeedJudgesWithoutDrawingAndEraseIsAnnounced) {
    VirtualClock clock;
    ScreenPacer pacer{clock};
    constants.setQ = 100;
    InceptionDetector detector{constants, clock};
    ChartFeed feed{detector, charts, pacer};
    charts.startLoop();
    const QImage before = charts.vq().surface().image();
    feed.setPaused(true);
    for (const auto& [rawPeak, es] : {std::pair{10.0, 10.0}, {10.0, 11.0}, {120.0, 12.0}}) {
        feed.takeReading(cycleReading(0, rawPeak, 60, es));
    }
    EXPECT_EQ(detector.pairs().size(), 1u);
    EXPECT_TRUE(samePixels(charts.vq().surface().image(), before));
    int erased = 0;
    QObject::connect(&charts, &Charts::vqErased, [&erased] { ++erased; });
    trigger(charts.vq(), "verase");
    EXPECT_EQ(erased, 1);
}

// Erase empties the chart and the result box; closing the frame discards the window,
// which the next use loads anew, hidden.
TEST_F(ChartWindows, VqEraseEmptiesTheResultAndFrameCloseDiscardsTheWindow) {
    charts.startLoop();
    plot(cycleReading(0, 10, 60, 12));
    charts.plotter().showInception({QStringLiteral("CSV= 1.2kV"), 40, QStringLiteral("table"), {}});
    ASSERT_EQ(vqPixel(50, 200), lightBlue);
    trigger(charts.vq(), "verase");
    EXPECT_TRUE(charts.vq().resultText().isEmpty());
    EXPECT_EQ(vqPixel(50, 200), grey);

    // The new chart goes on from the last reading; the old curve went with the old chart.
    plot(cycleReading(0, 10, 60, 10));
    ASSERT_EQ(vqPixel(48, 200), lightRed);
    charts.plotter().showInception(
        {QStringLiteral("CEV= 980V"), 60, QStringLiteral("table 2"), {}});
    charts.vq().close();
    EXPECT_FALSE(charts.vq().isVisible());
    plot(cycleReading(0, 100, 60, 10));
    EXPECT_EQ(std::tuple(vqPixel(48, 200), vqPixel(46, 152), charts.vq().resultText()),
              std::tuple(grey, kBlack, QString()));
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q"));
    EXPECT_FALSE(charts.vq().isVisible());
    charts.toggleVqWindow();
    trigger(charts.vq(), "vqcls");
    EXPECT_FALSE(charts.vq().isVisible());
    EXPECT_EQ(vqShown, (std::vector<bool>{true, false, true, false}));

    int saveRequests = 0;  // Save only asks for the result file to be saved
    QObject::connect(&charts.vq(), &VqWindow::saveRequested, [&] { ++saveRequests; });
    trigger(charts.vq(), "sdata");
    EXPECT_EQ(saveRequests, 1);
    EXPECT_TRUE(dialogs.saveRequests.empty() && dialogs.shown.empty());
}

TEST_F(ChartWindows, LegendIsDrawnOnceWithTheAdjustOfItsFirstShow) {
    constants.adjust = 2.5;
    trigger(charts.wave(), "wcoler");
    ColorWindow& legend = charts.colorWindow();
    EXPECT_EQ(legend.legend().pixel(60, 40), lightRed);  // range 0's bar
    const QImage first = legend.legend().image();
    legend.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(legend.isVisible());
    constants.adjust = 1.0;
    trigger(charts.wave(), "wcoler");
    EXPECT_TRUE(legend.isVisible());
    EXPECT_EQ(legend.legend().image(), first);
}

// Each copy-in shows the Q-N window with the V-Q chart as it is then, filling the window as it
// grows (Close only hides it); Save writes it as BMP, or PNG by the filter or the name, or says it
// cannot.
TEST_F(ChartWindows, QnWindowTakesTheChartCopiesAndSavesIt) {
    dialogs.savePaths = {path("early.bmp")};
    trigger(charts.qn(), "qnsave");
    EXPECT_TRUE(dialogs.saveRequests.empty());
    charts.startLoop();
    charts.showQnFace(QStringLiteral(" 1.0kV"));
    charts.copyQnChart();
    const QImage empty = qnPicture();
    charts.qn().close();
    charts.plotter().plotQnBar(0, qnStepReading(3, 10));
    charts.copyQnChart();
    EXPECT_TRUE(charts.qn().isVisible());
    EXPECT_EQ(std::pair(qnPicture().size(), clipboard.held.size()),
              std::pair(QSize(385, 321), QSize(385, 345)));  // the clipboard keeps the chart
    EXPECT_TRUE(samePixels(qnPicture(), charts.vq().surface().image()));
    EXPECT_NE(qnPicture(), empty);
    // The still chart grows with the window, its shape kept: the picture's far corner is
    // drawn at the far corner of the enlarged chart.
    auto* gra = charts.qn().findChild<QWidget*>(QStringLiteral("GRA"));
    ASSERT_NE(gra, nullptr);
    charts.qn().resize(charts.qn().size() * 1.5);
    const QImage shown = gra->grab().toImage();
    const QSize filled = QSize(385, 321).scaled(gra->size(), Qt::KeepAspectRatio);
    EXPECT_GT(filled.height(), 321 * 5 / 4);
    EXPECT_EQ(shown.pixelColor(filled.width() - 2, filled.height() - 2),
              qnPicture().pixelColor(384, 320));
    trigger(charts.qn(), "qclose");
    EXPECT_FALSE(charts.qn().isVisible());
    clipboard.held = QImage();
    trigger(charts.qn(), "qcopy");
    EXPECT_EQ(clipboard.held, qnPicture());

    dialogs.savePaths = {path("qn.bmp"), path("chart"), path("chart.png"),
                         path("no/such/folder/qn.bmp")};
    dialogs.saveFilters = {1, 2, 1, 1};
    for (int i = 0; i < 4; ++i) {
        trigger(charts.qn(), "qnsave");
    }
    EXPECT_TRUE(dialogs.saveRequests.at(0).askOverwrite);
    for (const auto& [file, format] :
         {std::pair{"qn.bmp", "bmp"}, {"chart", "png"}, {"chart.png", "png"}}) {
        QImageReader reader(path(file));
        EXPECT_EQ(reader.format(), QByteArray(format)) << file;
        EXPECT_TRUE(samePixels(reader.read(), qnPicture())) << file;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QLatin1String("qn.bmp")));
}

}  // namespace
}  // namespace kr5
