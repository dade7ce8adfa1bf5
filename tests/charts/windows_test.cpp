// The chart windows: names and captions, the start of the acquisition loop, the Window
// menu's check marks, close and frame-close behaviour, Copy, Erase, the colour legend,
// the V-Q save from its menu, and the Q-N window's copy-in and saves read back.
#include "charts/charts.h"
#include "platform/virtualclock.h"
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

ColourTable filledTable() {
    ColourTable t;
    coldef(t);
    return t;
}

bool samePixels(const QImage& a, const QImage& b, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

class ChartWindows : public ::testing::Test {
  protected:
    ChartWindows() {
        g.portstr = QStringLiteral("2");
        charts.setWaveCheckMark([this](bool on) { dwaveChecked = on; });
        charts.setVqCheckMark([this](bool on) { dvqChecked = on; });
    }

    static void trigger(QWidget& window, const char* item) {
        auto* action = window.findChild<QAction*>(QLatin1String(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
    }

    Globals g;
    ColourTable colours = filledTable();
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    test::FakeDialogs dialogs;
    test::FakeClipboard clipboard;
    Charts charts{g, colours, clock, dialogs, clipboard};
    bool dwaveChecked = true;
    bool dvqChecked = true;
    QTemporaryDir dir;
};

TEST_F(ChartWindows, NamesCaptionsAndMenus) {
    const std::pair<QWidget*, const char*> windows[] = {{&charts.wave(), "wave"},
                                                        {&charts.vq(), "VQ"},
                                                        {&charts.qn(), "QN"},
                                                        {&charts.colorWindow(), "Color"}};
    for (const auto& [window, name] : windows) {
        EXPECT_EQ(window->objectName(), QLatin1String(name));
        EXPECT_EQ(window->accessibleDescription(), QLatin1String(name));
    }
    EXPECT_EQ(charts.wave().windowTitle(), QStringLiteral("T-QNV"));
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q"));
    EXPECT_EQ(charts.qn().windowTitle(), QStringLiteral("Q-N"));
    const std::pair<const char*, const char*> items[] = {
        {"wclose", "Close(&X)"}, {"wcopy", "Copy(&C)"},  {"wcoler", "Color(&L)"},
        {"wclear", "Erase(&D)"}, {"vqcls", "Close(&X)"}, {"vcopy", "Copy(&C)"},
        {"verase", "Erase(&D)"}, {"sdata", "Save(&S)"},  {"qclose", "Close(&X)"},
        {"qnsave", "Save(&S)"},  {"qcopy", "Copy(&C)"},  {"ccop", "Copy"}};
    for (const auto& [name, caption] : items) {
        QAction* found = nullptr;
        for (QWidget* window :
             {static_cast<QWidget*>(&charts.wave()), static_cast<QWidget*>(&charts.vq()),
              static_cast<QWidget*>(&charts.qn()), static_cast<QWidget*>(&charts.colorWindow())}) {
            found = found ? found : window->findChild<QAction*>(QLatin1String(name));
        }
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->text(), QLatin1String(caption));
        EXPECT_EQ(found->property("accessibleDescription").toString(), QLatin1String(name));
    }
    auto* text1 = charts.vq().findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(text1, nullptr);
    EXPECT_EQ(text1->geometry(), QRect(32, 80, 337, 49));
    for (QWidget* window :
         {static_cast<QWidget*>(&charts.wave()), static_cast<QWidget*>(&charts.vq()),
          static_cast<QWidget*>(&charts.qn())}) {
        EXPECT_NE(window->findChild<QWidget*>(QStringLiteral("GRA")), nullptr);
    }
    const auto labelText = [this](const char* name) {
        const auto* label = charts.colorWindow().findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<missing>");
    };
    EXPECT_EQ(labelText("Label1"), QStringLiteral("P.P.S Graph color. Change for Att Range"));
    EXPECT_EQ(labelText("Label2"), QStringLiteral("ATT Range"));
    EXPECT_NE(charts.colorWindow().findChild<QWidget*>(QStringLiteral("Coltbl")), nullptr);
    auto* ok = charts.colorWindow().findChild<QPushButton*>(QStringLiteral("Command1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
}

TEST_F(ChartWindows, LoopStartClearsCaptionsAndShows) {
    EXPECT_FALSE(dwaveChecked);  // made hidden: the check marks follow at once
    EXPECT_FALSE(dvqChecked);
    charts.startLoop();
    EXPECT_EQ(charts.wave().windowTitle(), QStringLiteral("T-QNV(2)"));
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q(2)"));
    EXPECT_EQ(charts.qn().windowTitle(), QStringLiteral("Q-N(2)"));
    EXPECT_TRUE(charts.wave().isVisible() && dwaveChecked);
    EXPECT_TRUE(charts.vq().isVisible() && dvqChecked);
    EXPECT_FALSE(charts.qn().isVisible());
    EXPECT_EQ(charts.wave().surface().pixel(70, 248), 0x00FF00u);  // the empty charts
    EXPECT_EQ(charts.vq().surface().pixel(30, 248), 0x00FF00u);
    EXPECT_TRUE(charts.vq().text1Shown());
}

TEST_F(ChartWindows, TrendMenuItemAndCloseKeepTheChart) {
    charts.startLoop();
    charts.dwaveClick();
    EXPECT_FALSE(charts.wave().isVisible());
    EXPECT_FALSE(dwaveChecked);
    charts.gplot(10, 1, 0, 0);  // drawn while hidden
    EXPECT_EQ(charts.wave().surface().pixel(71, 200), 0xFF0000u);
    charts.dwaveClick();  // shown again on an empty chart
    EXPECT_TRUE(charts.wave().isVisible() && dwaveChecked);
    EXPECT_EQ(charts.wave().surface().pixel(71, 200), 0x808080u);
    charts.gplot(10, 1, 0, 0);
    charts.wave().close();  // the frame's close only hides
    EXPECT_FALSE(charts.wave().isVisible());
    EXPECT_FALSE(dwaveChecked);
    EXPECT_EQ(charts.wave().surface().pixel(71, 200), 0xFF0000u);
    trigger(charts.wave(), "wclear");
    EXPECT_EQ(charts.wave().surface().pixel(71, 200), 0x808080u);
    EXPECT_EQ(charts.geaph().state().trendx, 0);
}

TEST_F(ChartWindows, CopyPutsTheChartOnTheClipboard) {
    charts.startLoop();
    charts.gplot(10, 1, 50, 0);
    trigger(charts.wave(), "wcopy");
    EXPECT_EQ(clipboard.clears, 1);
    EXPECT_EQ(clipboard.held, charts.wave().surface().image());
    trigger(charts.vq(), "vcopy");
    EXPECT_EQ(clipboard.held, charts.vq().surface().image());
}

TEST_F(ChartWindows, VqFrameCloseDiscardsTheWindow) {
    g.ksetq = 100;
    charts.startLoop();
    charts.gplot(10, 60, 10, 0);
    charts.gplot(120, 60, 12, 0);
    ASSERT_FALSE(charts.vq().text1().isEmpty());
    charts.vq().close();
    EXPECT_FALSE(charts.vq().isVisible());
    EXPECT_FALSE(dvqChecked);
    charts.gplot(120, 60, 12, 0);  // the next use loads it anew, hidden
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q"));
    EXPECT_TRUE(charts.vq().text1().isEmpty());
    EXPECT_FALSE(charts.vq().isVisible());
    charts.dvqClick();
    EXPECT_TRUE(charts.vq().isVisible() && dvqChecked);
    trigger(charts.vq(), "vqcls");
    EXPECT_FALSE(charts.vq().isVisible() || dvqChecked);
}

TEST_F(ChartWindows, EraseEmptiesTheResultBox) {
    g.ksetq = 100;
    charts.startLoop();
    charts.gplot(10, 60, 10, 0);
    charts.gplot(120, 60, 12, 0);
    ASSERT_EQ(charts.vq().surface().pixel(50, 148), kBlack);
    trigger(charts.vq(), "verase");
    EXPECT_TRUE(charts.vq().text1().isEmpty());
    EXPECT_EQ(charts.vq().surface().pixel(50, 148), kWhite);
    EXPECT_TRUE(charts.geaph().inception().csvfound);
}

TEST_F(ChartWindows, LegendIsDrawnOnceWithTheAdjustOfItsFirstShow) {
    g.kadj = 2.5;
    trigger(charts.wave(), "wcoler");
    ColorWindow& legend = charts.colorWindow();
    EXPECT_TRUE(legend.isVisible());
    EXPECT_EQ(legend.legend().pixel(60, 40), 0x0000FFu);
    const QImage first = legend.legend().image();
    legend.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_FALSE(legend.isVisible());
    g.kadj = 1.0;
    trigger(charts.wave(), "wcoler");
    EXPECT_EQ(legend.legend().image(), first);
    legend.close();
    EXPECT_FALSE(legend.isVisible());
}

TEST_F(ChartWindows, SaveFromTheVqMenu) {
    g.kname = QStringLiteral("test1");
    QString caption;
    charts.saveHooks().setMainCaption = [&](const QString& c) { caption = c; };
    const QString path = dir.filePath(QStringLiteral("testCSV.csv"));
    dialogs.savePaths.push_back(path);
    trigger(charts.vq(), "sdata");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(g.csvfile, path);
    EXPECT_EQ(caption, QStringLiteral("KR-5(2)>") + path);
}

TEST_F(ChartWindows, QnPassHookAndCopyIn) {
    g.qnmode = true;
    charts.startLoop();
    int copies = 0;
    charts.setQnPassEnd([&] {
        if (charts.qnpass() == 2) {
            charts.qnCopyIn();
            ++copies;
        }
    });
    for (int pass = 0; pass < 2; ++pass) {
        for (int att = 0; att <= 9; ++att) {
            charts.gplot(0, 10.0 * (att + 1), 0, att);
        }
    }
    EXPECT_EQ(copies, 1);
    EXPECT_TRUE(charts.qn().isVisible());
    const QImage vq = charts.vq().surface().image();
    EXPECT_EQ(clipboard.held.size(), QSize(385, 345));  // the clipboard keeps the chart
    EXPECT_EQ(charts.qn().picture().surface().image().size(), QSize(385, 321));
    EXPECT_TRUE(samePixels(charts.qn().picture().surface().image(), vq, 385, 321));
}

TEST_F(ChartWindows, SecondCopyInReplacesThePictureAndShowsTheWindow) {
    charts.startLoop();
    charts.qnCopyIn();
    const QImage first = charts.qn().picture().surface().image();
    trigger(charts.qn(), "qclose");
    EXPECT_FALSE(charts.qn().isVisible());
    g.qnmode = true;
    charts.clrvq();
    charts.qnCopyIn();
    EXPECT_TRUE(charts.qn().isVisible());
    EXPECT_NE(charts.qn().picture().surface().image(), first);
    EXPECT_TRUE(samePixels(charts.qn().picture().surface().image(), charts.vq().surface().image(),
                           385, 321));
    charts.qn().close();  // the frame's close only hides; a copy-in shows it again
    EXPECT_FALSE(charts.qn().isVisible());
    charts.qnCopyIn();
    EXPECT_TRUE(charts.qn().isVisible());
    trigger(charts.qn(), "qcopy");
    EXPECT_EQ(clipboard.held, charts.qn().picture().surface().image());
}

TEST_F(ChartWindows, QnSaveBeforeAnyCopyInWritesNothing) {
    dialogs.savePaths.push_back(dir.filePath(QStringLiteral("qn.bmp")));
    trigger(charts.qn(), "qnsave");
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("qn.bmp"))));
}

TEST_F(ChartWindows, QnSavedBitmapReadsBackWithTheSamePixels) {
    g.qnmode = true;
    charts.startLoop();
    for (int att = 0; att <= 9; ++att) {
        charts.gplot(0, 5.0 * (att + 1), 0, att);
    }
    charts.qnCopyIn();
    const QString path = dir.filePath(QStringLiteral("qn.bmp"));
    dialogs.savePaths.push_back(path);
    trigger(charts.qn(), "qnsave");
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const auto& request = dialogs.saveRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("Save"));
    EXPECT_EQ(request.fileName, QStringLiteral("qn.bmp"));
    EXPECT_EQ(request.filter, QStringLiteral("BMP File(*.bmp)|*.bmp|PNG File(*.png)|*.png|"));
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_TRUE(request.askOverwrite);
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage back = reader.read();
    ASSERT_EQ(back.size(), QSize(385, 321));
    EXPECT_TRUE(samePixels(back, charts.qn().picture().surface().image(), 385, 321));
}

TEST_F(ChartWindows, QnSavedAsPngByFilterOrName) {
    charts.startLoop();
    charts.qnCopyIn();
    const QString byFilter = dir.filePath(QStringLiteral("chart"));
    const QString byName = dir.filePath(QStringLiteral("chart.png"));
    dialogs.savePaths = {byFilter, byName, QString()};
    dialogs.saveFilters = {2, 1};
    trigger(charts.qn(), "qnsave");
    trigger(charts.qn(), "qnsave");
    trigger(charts.qn(), "qnsave");  // cancelled
    for (const QString& path : {byFilter, byName}) {
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray("png")) << path.toStdString();
        EXPECT_TRUE(samePixels(reader.read(), charts.qn().picture().surface().image(), 385, 321));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChartWindows, QnSaveToAnUnwritablePlaceIsReported) {
    charts.startLoop();
    charts.qnCopyIn();
    dialogs.savePaths.push_back(dir.filePath(QStringLiteral("no/such/folder/qn.bmp")));
    trigger(charts.qn(), "qnsave");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QLatin1String("qn.bmp")));
}

}  // namespace
}  // namespace kr5
