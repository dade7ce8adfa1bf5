// The chart windows: names and captions, the start of the acquisition loop, the Window
// menu's check marks, close and frame-close behaviour, Copy, Erase, the colour legend, the
// V-Q result's save (the "no name" refusal, the dialog's request, the file byte for byte
// replacing an older one, the file becoming the measurement file, cancel and a file that
// cannot be written), and the Q-N window's copy-in and saves read back.
#include "app/windowfakes.h"
#include "charts/charts.h"
#include "platform/virtualclock.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace kr5 {
namespace {

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

class ChartWindows : public ::testing::Test {
  protected:
    ChartWindows() {
        g.portstr = QStringLiteral("2");
        g.csvfile = QStringLiteral("measure.csv");
        coldef(colours);
        charts.setWaveCheckMark([this](bool on) { dwaveChecked = on; });
        charts.setVqCheckMark([this](bool on) { dvqChecked = on; });
        charts.saveHooks().showInputConst = [this] { ++inputConstShown; };
        charts.saveHooks().setMainCaption = [this](const QString& c) { mainCaption = c; };
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
    QImage qnPicture() { return charts.qn().picture().surface().image(); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    Globals g;
    ColourTable colours;
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    test::FakeDialogs dialogs;
    test::FakeClipboard clipboard;
    Charts charts{g, colours, clock, dialogs, clipboard};
    bool dwaveChecked = true;
    bool dvqChecked = true;
    int inputConstShown = 0;
    QString mainCaption;
    QTemporaryDir dir;
};

TEST_F(ChartWindows, NamesCaptionsAndMenus) {
    const std::tuple<QWidget*, const char*, const char*, const char*> windows[] = {
        {&charts.wave(), "wave", "T-QNV",
         "wclose=Close(&X) wcopy=Copy(&C) wcoler=Color(&L) wclear=Erase(&D)"},
        {&charts.vq(), "VQ", "V-Q",
         "vqcls=Close(&X) vcopy=Copy(&C) verase=Erase(&D) sdata=Save(&S)"},
        {&charts.qn(), "QN", "Q-N", "qclose=Close(&X) qnsave=Save(&S) qcopy=Copy(&C)"},
        {&charts.colorWindow(), "Color", "", "ccop=Copy"}};
    for (const auto& [window, name, caption, menu] : windows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(window->objectName(), QLatin1String(name));
        EXPECT_EQ(window->accessibleDescription(), QLatin1String(name));
        EXPECT_TRUE(*caption == 0 || window->windowTitle() == QLatin1String(caption));
        EXPECT_EQ(items(*window), QLatin1String(menu));
        EXPECT_TRUE(window == &charts.colorWindow() ||
                    window->findChild<QWidget*>(QStringLiteral("GRA")) != nullptr);
    }
    auto* text1 = charts.vq().findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    ASSERT_NE(text1, nullptr);
    EXPECT_EQ(text1->geometry(), QRect(32, 80, 337, 49));
    EXPECT_EQ(windowfakes::labelTexts(charts.colorWindow(), "Label1 Label2"),
              QStringLiteral("P.P.S Graph color. Change for Att Range|ATT Range"));
    EXPECT_NE(charts.colorWindow().findChild<QWidget*>(QStringLiteral("Coltbl")), nullptr);
    auto* ok = charts.colorWindow().findChild<QPushButton*>(QStringLiteral("Command1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
}

TEST_F(ChartWindows, LoopStartClearsCaptionsAndShows) {
    EXPECT_FALSE(dwaveChecked || dvqChecked);  // made hidden: the check marks follow at once
    charts.startLoop();
    EXPECT_EQ(QStringList({charts.wave().windowTitle(), charts.vq().windowTitle(),
                           charts.qn().windowTitle()}),
              QStringList({"T-QNV(2)", "V-Q(2)", "Q-N(2)"}));
    EXPECT_TRUE(charts.wave().isVisible() && dwaveChecked);
    EXPECT_TRUE(charts.vq().isVisible() && dvqChecked);
    EXPECT_FALSE(charts.qn().isVisible());
    // The empty charts with their Set Q lines, and the result box.
    EXPECT_EQ(
        std::pair(charts.wave().surface().pixel(70, 248), charts.vq().surface().pixel(30, 248)),
        std::pair(0x00FF00u, 0x00FF00u));
    EXPECT_TRUE(charts.vq().text1Shown());
}

TEST_F(ChartWindows, TrendMenuItemCloseAndEraseKeepOrClearTheChart) {
    const auto chargeAt71 = [this] { return charts.wave().surface().pixel(71, 200); };
    charts.startLoop();
    charts.dwaveClick();
    EXPECT_FALSE(charts.wave().isVisible() || dwaveChecked);
    charts.gplot(10, 1, 0, 0);  // drawn while hidden
    EXPECT_EQ(chargeAt71(), 0xFF0000u);
    charts.dwaveClick();  // shown again on an empty chart
    EXPECT_TRUE(charts.wave().isVisible() && dwaveChecked);
    EXPECT_EQ(chargeAt71(), 0x808080u);
    charts.gplot(10, 1, 0, 0);
    charts.wave().close();  // the frame's close only hides
    EXPECT_FALSE(charts.wave().isVisible() || dwaveChecked);
    EXPECT_EQ(chargeAt71(), 0xFF0000u);
    trigger(charts.wave(), "wclear");
    EXPECT_EQ(chargeAt71(), 0x808080u);
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

TEST_F(ChartWindows, VqEraseEmptiesTheResultAndFrameCloseDiscardsTheWindow) {
    g.ksetq = 100;
    charts.startLoop();
    charts.gplot(10, 60, 10, 0);
    charts.gplot(120, 60, 12, 0);
    ASSERT_EQ(charts.vq().surface().pixel(50, 148), kBlack);
    trigger(charts.vq(), "verase");
    EXPECT_TRUE(charts.vq().text1().isEmpty());
    EXPECT_EQ(charts.vq().surface().pixel(50, 148), kWhite);
    EXPECT_TRUE(charts.geaph().inception().csvfound);  // the inception stays

    charts.gplot(150, 60, 11, 0);
    charts.gplot(50, 60, 9.8, 0);  // the extinction fills the result again
    ASSERT_FALSE(charts.vq().text1().isEmpty());
    charts.vq().close();
    EXPECT_FALSE(charts.vq().isVisible() || dvqChecked);
    charts.gplot(120, 60, 12, 0);  // the next use loads it anew, hidden
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q"));
    EXPECT_TRUE(charts.vq().text1().isEmpty());
    EXPECT_FALSE(charts.vq().isVisible());
    charts.dvqClick();
    EXPECT_TRUE(charts.vq().isVisible() && dvqChecked);
    trigger(charts.vq(), "vqcls");
    EXPECT_FALSE(charts.vq().isVisible() || dvqChecked);
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

TEST_F(ChartWindows, VqSaveWritesTheTableAndMakesItTheMeasurementFile) {
    g.kname = QStringLiteral("test1");
    g.knum = QStringLiteral("7");
    charts.geaph().inception().csvval = QStringLiteral("1200");
    charts.geaph().inception().cevval = QStringLiteral("980");
    const QString file = path("result.csv");
    QFile old(file);  // an older, longer file is replaced
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(500, 'x')) == 500);
    old.close();
    dialogs.savePaths = {file};
    trigger(charts.vq(), "sdata");
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(requestText(dialogs.saveRequests[0]),
              QStringLiteral("Save testCSV.csv CSV File(*.csv)|*.csv| 1 ask"));
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"\r\n"
                                            "\"test1\",7,1200,980,\"04-17-2001 14:05:09\"\r\n"));
    EXPECT_EQ(g.csvfile, file);
    EXPECT_EQ(mainCaption, QStringLiteral("KR-5(2)>") + file);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChartWindows, VqSaveRefusedUnderNoNameCancelledOrUnwritableChangesNothing) {
    trigger(charts.vq(), "sdata");  // the name is "no name" until the operator gives one
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Save under no name."));
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(inputConstShown, 1);
    // The name field of the Input const window counts, not the stored constant.
    g.kname = QStringLiteral("test1");
    charts.saveHooks().inputName = [] { return QStringLiteral("no name"); };
    trigger(charts.vq(), "sdata");
    EXPECT_EQ(inputConstShown, 2);
    EXPECT_TRUE(dialogs.saveRequests.empty());

    charts.saveHooks().inputName = nullptr;
    const QString unwritable = path("missing/folder/r.csv");
    dialogs.savePaths = {QString(), unwritable};  // cancelled, then a folder that is not there
    trigger(charts.vq(), "sdata");
    trigger(charts.vq(), "sdata");
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_TRUE(dialogs.shown[2].text.contains(QLatin1String("r.csv")));
    EXPECT_EQ(g.csvfile, QStringLiteral("measure.csv"));
    EXPECT_TRUE(mainCaption.isEmpty());
    EXPECT_FALSE(QFile::exists(unwritable));
}

TEST_F(ChartWindows, QnPassHookCopiesInAndASecondCopyInReplacesThePicture) {
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
    EXPECT_EQ(clipboard.held.size(), QSize(385, 345));  // the clipboard keeps the chart
    EXPECT_EQ(qnPicture().size(), QSize(385, 321));
    EXPECT_TRUE(samePixels(qnPicture(), charts.vq().surface().image()));

    const QImage first = qnPicture();
    trigger(charts.qn(), "qclose");
    EXPECT_FALSE(charts.qn().isVisible());
    charts.clrvq();
    charts.qnCopyIn();
    EXPECT_TRUE(charts.qn().isVisible());
    EXPECT_NE(qnPicture(), first);
    EXPECT_TRUE(samePixels(qnPicture(), charts.vq().surface().image()));
    charts.qn().close();  // the frame's close only hides; a copy-in shows it again
    EXPECT_FALSE(charts.qn().isVisible());
    charts.qnCopyIn();
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
    charts.qnCopyIn();
    dialogs.savePaths.pop_front();
    trigger(charts.qn(), "qnsave");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QLatin1String("qn.bmp")));
}

TEST_F(ChartWindows, QnSavedAsBmpOrPngReadsBackWithTheSamePixels) {
    g.qnmode = true;
    charts.startLoop();
    for (int att = 0; att <= 9; ++att) {
        charts.gplot(0, 5.0 * (att + 1), 0, att);
    }
    charts.qnCopyIn();
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
