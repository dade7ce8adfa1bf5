// The chart windows through Charts: names and captions, the start of the acquisition loop,
// the Window menu's toggles (the trend keeps its curves, the V-Q chart is redrawn empty)
// with their shown signals, the faces of the Q-N measurement, close and frame-close
// behaviour, Copy, Erase, the colour legend, the V-Q window's Save request, and the Q-N
// window's copy-in and saves read back. What the plotter draws is tested in
// chartplotter_test.cpp; the result file the Save request leads to in the records suite.
#include "charts/charts.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace kr5 {
namespace {

constexpr Colour grey = 0x808080;
constexpr Colour lightBlue = 0xFF0000;
constexpr Colour lightGreen = 0x00FF00;

// The first 385 x 321 pixels of two pictures are the same.
bool samePixels(const QImage& a, const QImage& b) {
    const auto top = [](const QImage& i) {
        return i.convertToFormat(QImage::Format_RGB32).copy(0, 0, 385, 321);
    };
    return top(a) == top(b);
}

// A save dialog's request in one line.
QString requestText(const Dialogs::SaveRequest& r) {
    return QStringList{r.title, r.fileName, r.filter, QString::number(r.filterIndex),
                       QLatin1String(r.askOverwrite ? "ask" : "overwrite")}
        .join(QLatin1Char(' '));
}

// A complete reading of a normal cycle at range 0: charge, pulse rate and Es.
Reading cycle(double charge, double pulseRate, double es) {
    Reading r;
    r.detector = DetectorFields{};
    r.rawPeak = charge;
    r.charge = charge;
    r.pulseRate = pulseRate;
    r.es = es;
    r.testVoltage = es * 100;
    return r;
}

// A complete step of a Q-N pass.
Reading qnStep(int att, qint32 countRate) {
    Reading r = cycle(0, countRate, 0);
    r.kind = Reading::Kind::QnStep;
    r.attRange = att;
    r.countRate = countRate;
    return r;
}

class ChartWindows : public ::testing::Test {
  protected:
    ChartWindows() {
        fillColourTable(colours);
        charts.setPortDigit(QStringLiteral("2"));
        QObject::connect(&charts.wave(), &WaveWindow::shownChanged,
                         [this](bool shown) { waveShown.push_back(shown); });
        QObject::connect(&charts.vq(), &VqWindow::shownChanged,
                         [this](bool shown) { vqShown.push_back(shown); });
    }

    static void trigger(QWidget& window, const char* item) {
        auto* action = window.findChild<QAction*>(QLatin1String(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
    }
    // The named menu items of a window as "name=caption"; each carries its name for tools.
    static QString items(const QWidget& window) {
        QStringList out;
        for (const QAction* a : window.findChildren<QAction*>()) {
            if (!a->objectName().isEmpty()) {
                EXPECT_EQ(a->property("accessibleDescription").toString(), a->objectName());
                out << a->objectName() + QLatin1Char('=') + a->text();
            }
        }
        return out.join(QLatin1Char(' '));
    }
    void plot(const Reading& r, bool inceptionStanding = false) {
        charts.plotter().plotReading(r, inceptionStanding);
        charts.refresh();
    }
    QImage qnPicture() { return charts.qn().picture().surface().image(); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    Colour trendPixel(int x, int y) { return charts.wave().surface().pixel(x, y); }
    Colour vqPixel(int x, int y) { return charts.vq().surface().pixel(x, y); }

    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    test::FakeDialogs dialogs;
    test::FakeClipboard clipboard;
    Charts charts{constants, settings, colours, clipboard, dialogs};
    std::vector<bool> waveShown;
    std::vector<bool> vqShown;
    QTemporaryDir dir;
};

TEST_F(ChartWindows, NamesCaptionsAndMenus) {
    const std::tuple<QWidget*, const char*, const char*, const char*> windows[] = {
        {&charts.wave(), "wave", "T-QNV",
         "wclose=Close(&X) wcopy=Copy(&C) wcoler=Color(&L) wclear=Erase(&D)"},
        {&charts.vq(), "VQ", "V-Q",
         "vqcls=Close(&X) vcopy=Copy(&C) verase=Erase(&D) sdata=Save(&S)"},
        {&charts.qn(), "QN", "Q-N", "qclose=Close(&X) qnsave=Save(&S) qcopy=Copy(&C)"},
        {&charts.colorWindow(), "Color", "Color", "ccop=Copy"}};
    for (const auto& [window, name, caption, menu] : windows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(window->objectName(), QLatin1String(name));
        EXPECT_EQ(window->accessibleDescription(), QLatin1String(name));
        EXPECT_EQ(window->windowTitle(), QLatin1String(caption));
        EXPECT_EQ(items(*window), QLatin1String(menu));
        EXPECT_TRUE(window == &charts.colorWindow() ||
                    window->findChild<QWidget*>(QStringLiteral("GRA")) != nullptr);
        EXPECT_FALSE(window->isVisible()) << "made hidden";
    }
    auto* text1 = charts.vq().findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(text1, nullptr);
    EXPECT_EQ(text1->geometry(), QRect(32, 80, 337, 49));
    QStringList labels;
    for (const char* name : {"Label1", "Label2"}) {
        const auto* label = charts.colorWindow().findChild<QLabel*>(QLatin1String(name));
        labels << (label ? label->text() : QStringLiteral("<none>"));
    }
    EXPECT_EQ(labels, QStringList({"P.P.S Graph color. Change for Att Range", "ATT Range"}));
    EXPECT_NE(charts.colorWindow().findChild<QWidget*>(QStringLiteral("Coltbl")), nullptr);
    auto* ok = charts.colorWindow().findChild<QPushButton*>(QStringLiteral("Command1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
}

TEST_F(ChartWindows, LoopStartClearsCaptionsAndShows) {
    charts.startLoop();
    EXPECT_EQ(QStringList({charts.wave().windowTitle(), charts.vq().windowTitle(),
                           charts.qn().windowTitle()}),
              QStringList({"T-QNV(2)", "V-Q(2)", "Q-N(2)"}));
    EXPECT_TRUE(charts.wave().isVisible());
    EXPECT_TRUE(charts.vq().isVisible());
    EXPECT_FALSE(charts.qn().isVisible());
    EXPECT_EQ(waveShown, std::vector<bool>{true});
    EXPECT_EQ(vqShown, std::vector<bool>{true});
    // The empty charts with their Set Q lines, and the result box.
    EXPECT_EQ(std::pair(trendPixel(70, 248), vqPixel(30, 248)), std::pair(lightGreen, lightGreen));
    EXPECT_TRUE(charts.vq().resultTextShown());
}

// The trend's menu item hides the window and shows it again with the curves drawn meanwhile;
// only Erase clears them.
TEST_F(ChartWindows, TrendToggleKeepsTheCurvesAndEraseClearsThem) {
    charts.startLoop();
    plot(cycle(10, 1, 0));
    charts.toggleTrendWindow();
    EXPECT_FALSE(charts.wave().isVisible());
    plot(cycle(10, 1, 0));  // drawn while hidden
    charts.toggleTrendWindow();
    EXPECT_TRUE(charts.wave().isVisible());
    EXPECT_EQ(waveShown, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(std::pair(trendPixel(71, 200), trendPixel(72, 200)), std::pair(lightBlue, lightBlue));
    plot(cycle(10, 1, 0));  // and the sweep goes on where it was
    EXPECT_EQ(trendPixel(73, 200), lightBlue);

    charts.wave().close();  // the frame's close only hides
    EXPECT_FALSE(charts.wave().isVisible());
    EXPECT_EQ(waveShown.back(), false);
    EXPECT_EQ(trendPixel(73, 200), lightBlue);
    trigger(charts.wave(), "wclear");
    EXPECT_EQ(std::pair(trendPixel(71, 200), trendPixel(73, 200)), std::pair(grey, grey));
    plot(cycle(1, 10, 0));  // a new sweep from the left edge
    EXPECT_EQ(trendPixel(71, 248), lightBlue);
}

// The V-Q window's menu item hides it with its chart, and shows it with the empty chart of
// the face in force.
TEST_F(ChartWindows, VqToggleShowsTheEmptyChartOfTheFace) {
    charts.startLoop();
    plot(cycle(10, 1, 12));
    const int x = 50;  // on the segment from (30, 296) to (50, 200)
    ASSERT_EQ(vqPixel(x, 200), lightBlue);
    charts.toggleVqWindow();
    EXPECT_FALSE(charts.vq().isVisible());
    EXPECT_EQ(vqPixel(x, 200), lightBlue);
    charts.toggleVqWindow();
    EXPECT_TRUE(charts.vq().isVisible());
    EXPECT_EQ(vqShown, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(vqPixel(x, 200), grey);  // the grid line again
    EXPECT_TRUE(charts.vq().resultTextShown());

    charts.showQnFace(QStringLiteral(" 12.5kV dry"));
    charts.plotter().plotQnBar(0, qnStep(3, 10));
    ASSERT_EQ(vqPixel(130, 250), lightBlue);
    charts.toggleVqWindow();
    charts.toggleVqWindow();
    EXPECT_EQ(vqPixel(130, 250), kWhite);
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("Q-N(2)"));
    EXPECT_FALSE(charts.vq().resultTextShown());
}

TEST_F(ChartWindows, QnAndNormalFacesSetCaptionsAndCharts) {
    charts.startLoop();
    charts.showQnFace(QStringLiteral(" 12.5kV dry"));
    EXPECT_EQ(charts.wave().windowTitle(), QStringLiteral("T-N(Q)V(2)"));
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("Q-N(2)"));
    EXPECT_FALSE(charts.vq().resultTextShown());
    charts.setQnPassCaption(QStringLiteral("Q-N(2)  3/10"));
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("Q-N(2)  3/10"));
    // The Q-N trend has no Set Q line; the Q-N chart none either.
    EXPECT_NE(trendPixel(100, 248), lightGreen);
    EXPECT_NE(vqPixel(100, 248), lightGreen);

    charts.showNormalFace();
    EXPECT_EQ(charts.wave().windowTitle(), QStringLiteral("T-QNV(2)"));
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q(2)"));
    EXPECT_TRUE(charts.vq().resultTextShown());
    EXPECT_EQ(std::pair(trendPixel(100, 248), vqPixel(100, 248)),
              std::pair(lightGreen, lightGreen));
}

TEST_F(ChartWindows, CopyPutsTheChartOnTheClipboard) {
    charts.startLoop();
    plot(cycle(10, 1, 50));
    trigger(charts.wave(), "wcopy");
    EXPECT_EQ(clipboard.clears, 1);
    EXPECT_EQ(clipboard.held, charts.wave().surface().image());
    trigger(charts.vq(), "vcopy");
    EXPECT_EQ(clipboard.clears, 2);
    EXPECT_EQ(clipboard.held, charts.vq().surface().image());
}

TEST_F(ChartWindows, VqEraseEmptiesTheResultAndFrameCloseDiscardsTheWindow) {
    charts.startLoop();
    plot(cycle(10, 60, 10));
    plot(cycle(120, 60, 12), true);
    charts.plotter().showInception({QStringLiteral("CSV= 1.2kV"), 40, QStringLiteral("table")});
    ASSERT_EQ(vqPixel(50, 148), kBlack);
    ASSERT_EQ(charts.vq().resultText(), QStringLiteral("table"));
    trigger(charts.vq(), "verase");
    EXPECT_TRUE(charts.vq().resultText().isEmpty());
    EXPECT_EQ(vqPixel(50, 148), kWhite);

    charts.plotter().showInception({QStringLiteral("CEV= 980V"), 60, QStringLiteral("table 2")});
    charts.vq().close();
    EXPECT_FALSE(charts.vq().isVisible());
    EXPECT_EQ(vqShown.back(), false);
    plot(cycle(120, 60, 12));  // the next use loads it anew, hidden
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q"));
    EXPECT_TRUE(charts.vq().resultText().isEmpty());
    EXPECT_FALSE(charts.vq().isVisible());
    charts.toggleVqWindow();
    EXPECT_TRUE(charts.vq().isVisible());
    trigger(charts.vq(), "vqcls");
    EXPECT_FALSE(charts.vq().isVisible());
    EXPECT_EQ(vqShown, (std::vector<bool>{true, false, true, false}));
}

TEST_F(ChartWindows, SaveOnTheVqWindowIsOnlyARequest) {
    int requests = 0;
    QObject::connect(&charts.vq(), &VqWindow::saveRequested, [&] { ++requests; });
    trigger(charts.vq(), "sdata");
    EXPECT_EQ(requests, 1);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChartWindows, LegendIsDrawnOnceWithTheAdjustOfItsFirstShow) {
    constants.adjust = 2.5;
    trigger(charts.wave(), "wcoler");
    ColorWindow& legend = charts.colorWindow();
    EXPECT_TRUE(legend.isVisible());
    EXPECT_EQ(legend.legend().pixel(60, 40), 0x0000FFu);
    const QImage first = legend.legend().image();
    legend.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(legend.isVisible());
    constants.adjust = 1.0;
    trigger(charts.wave(), "wcoler");
    EXPECT_EQ(legend.legend().image(), first);
    legend.close();
    EXPECT_FALSE(legend.isVisible());
}

TEST_F(ChartWindows, CopyInShowsTheQnChartAndASecondCopyInReplacesIt) {
    charts.startLoop();
    charts.showQnFace(QStringLiteral(" 1.0kV"));
    for (int pass = 0; pass < 2; ++pass) {
        for (int att = 0; att <= 9; ++att) {
            charts.plotter().plotQnBar(pass, qnStep(att, 10 * (att + 1)));
        }
    }
    charts.copyQnChart();
    EXPECT_TRUE(charts.qn().isVisible());
    EXPECT_EQ(clipboard.held.size(), QSize(385, 345));  // the clipboard keeps the chart
    EXPECT_EQ(qnPicture().size(), QSize(385, 321));
    EXPECT_TRUE(samePixels(qnPicture(), charts.vq().surface().image()));
    EXPECT_EQ(qnPicture().pixelColor(130, 250), QColor(0, 0, 255));  // pass 0 of range 3

    const QImage first = qnPicture();
    trigger(charts.qn(), "qclose");
    EXPECT_FALSE(charts.qn().isVisible());
    charts.clearVq();
    charts.copyQnChart();
    EXPECT_TRUE(charts.qn().isVisible());
    EXPECT_NE(qnPicture(), first);
    EXPECT_TRUE(samePixels(qnPicture(), charts.vq().surface().image()));
    charts.qn().close();  // the frame's close only hides; a copy-in shows it again
    EXPECT_FALSE(charts.qn().isVisible());
    charts.copyQnChart();
    EXPECT_TRUE(charts.qn().isVisible());
    trigger(charts.qn(), "qcopy");
    EXPECT_EQ(clipboard.held, qnPicture());
}

TEST_F(ChartWindows, QnSaveWritesNothingBeforeAnyCopyInAndReportsAnUnwritablePlace) {
    dialogs.savePaths = {path("qn.bmp"), path("no/such/folder/qn.bmp")};
    trigger(charts.qn(), "qnsave");
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(QFile::exists(path("qn.bmp")));
    charts.startLoop();
    charts.copyQnChart();
    dialogs.savePaths.pop_front();
    trigger(charts.qn(), "qnsave");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QLatin1String("qn.bmp")));
}

TEST_F(ChartWindows, QnSavedAsBmpOrPngReadsBackWithTheSamePixels) {
    charts.startLoop();
    charts.showQnFace(QStringLiteral(" 1.0kV"));
    for (int att = 0; att <= 9; ++att) {
        charts.plotter().plotQnBar(0, qnStep(att, 5 * (att + 1)));
    }
    charts.copyQnChart();
    // As BMP; as PNG by the filter chosen, or by the name; then cancelled.
    const std::pair<QString, const char*> saves[] = {
        {path("qn.bmp"), "bmp"}, {path("chart"), "png"}, {path("chart.png"), "png"}};
    dialogs.savePaths = {saves[0].first, saves[1].first, saves[2].first, QString()};
    dialogs.saveFilters = {1, 2, 1};
    for (int i = 0; i < 4; ++i) {
        trigger(charts.qn(), "qnsave");
    }
    ASSERT_EQ(dialogs.saveRequests.size(), 4u);
    EXPECT_EQ(requestText(dialogs.saveRequests[0]),
              QStringLiteral("Save qn.bmp BMP File(*.bmp)|*.bmp|PNG File(*.png)|*.png| 1 ask"));
    for (const auto& [file, format] : saves) {
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), QByteArray(format)) << file.toStdString();
        const QImage back = reader.read();
        EXPECT_EQ(back.size(), QSize(385, 321));
        EXPECT_TRUE(samePixels(back, qnPicture())) << file.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace kr5
