// The whole program's windows on the laptop screen of placement.cmake, and their places kept
// from one run to the next. The placement on many more screens is in windowplacement_test.cpp.
#include "support/rects.h"
#include "wholeprogram.h"

#include <QScreen>
#include <QSettings>

namespace kr5::test {
namespace {

const QStringList kWindows{QStringLiteral("KR5AU"), QStringLiteral("wave"), QStringLiteral("VQ"),
                           QStringLiteral("ZN4"), QStringLiteral("QN")};

bool shown(const QString& name) {
    QWidget* w = window(name);
    return w != nullptr && w->isVisible();
}

std::string text(const QRect& r) {
    return ::testing::PrintToString(r);
}

// On a screen of the width and height given.
template <int width, int height>
struct Placement : WholeProgram {
    void SetUp() override {
        WholeProgram::SetUp();
        const QScreen* screen = QGuiApplication::primaryScreen();
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(screen->availableGeometry(), QRect(0, 0, width, height))
            << "the test runs on the screen of its configuration file (placement.cmake)";
    }

    // Runs the program until the main window, the charts and the ZN-4 panel are shown;
    // shows the Q-N window as a finished Q-N measurement does, then calls act and ends the
    // program a moment later. The windows stay until the program is built again.
    void runUntilShown(const std::function<void()>& act = {}) {
        step(
            "the windows shown",
            [] {
                return shown(QStringLiteral("wave")) && shown(QStringLiteral("VQ")) &&
                       shown(QStringLiteral("ZN4"));
            },
            [this, act] {
                window(QStringLiteral("QN"))->show();
                if (act) {
                    act();
                }
                at(now() + 1000, "exit", [this] { menu("cend")->trigger(); });
            });
        runProgram(now() + 120'000);
    }

    // A second run of the program with the same settings file, as the next start.
    void buildAgain() {
        program.reset();
        port.reset();
        bench.reset();
        build();
    }

    static QRect frame(const QString& name) { return window(name)->frameGeometry(); }

    void expectOnTheScreen() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QString& name : kWindows) {
            EXPECT_TRUE(screen.contains(frame(name)))
                << name.toStdString() << ' ' << text(frame(name));
        }
    }

    void expectClearOfTheMainWindow() {
        const QRect main = frame(QStringLiteral("KR5AU"));
        for (const QString& name : kWindows.mid(1)) {
            EXPECT_FALSE(frame(name).intersects(main))
                << name.toStdString() << ' ' << text(frame(name)) << " over the main window "
                << text(main);
        }
    }
};

using SmallScreen = Placement<1366, 768>;

TEST_F(SmallScreen, NoWindowOpensOverTheMainWindowAndWhereTheOperatorLeftThemTheyOpenAgain) {
    runUntilShown([this] {
        EXPECT_EQ(frame(QStringLiteral("KR5AU")).topLeft(), QPoint(0, 0));
        expectOnTheScreen();
        expectClearOfTheMainWindow();
        EXPECT_FALSE(frame(QStringLiteral("wave")).intersects(frame(QStringLiteral("VQ"))));
        window(QStringLiteral("KR5AU"))->move(40, 30);
        window(QStringLiteral("wave"))->move(700, 380);
        window(QStringLiteral("wave"))->resize(700, 400);
    });
    const QRect vq = frame(QStringLiteral("VQ"));
    const QRect qn = frame(QStringLiteral("QN"));
    {
        const QSettings file(windowMemoryPath(), QSettings::IniFormat);
        EXPECT_EQ(file.value(QStringLiteral("port1/windows/KR5AU/pos")).toPoint(), QPoint(40, 30));
        EXPECT_EQ(file.value(QStringLiteral("port1/windows/wave/size")).toSize(), QSize(700, 400));
    }

    buildAgain();
    runUntilShown();
    EXPECT_EQ(frame(QStringLiteral("KR5AU")).topLeft(), QPoint(40, 30));
    EXPECT_EQ(frame(QStringLiteral("wave")).topLeft(), QPoint(700, 380));
    EXPECT_EQ(window(QStringLiteral("wave"))->size(), QSize(700, 400));
    // Where they had been put, though the main window moved since.
    EXPECT_EQ(frame(QStringLiteral("VQ")), vq);
    EXPECT_EQ(frame(QStringLiteral("QN")), qn);
}

TEST_F(SmallScreen, APlaceOnAMonitorNoLongerThereIsNotUsed) {
    {
        QSettings file(windowMemoryPath(), QSettings::IniFormat);
        // Left on a second monitor to the right, and one above the screen.
        file.setValue(QStringLiteral("port1/windows/KR5AU/pos"), QPoint(1500, 100));
        file.setValue(QStringLiteral("port1/windows/KR5AU/size"), QSize(560, 589));
        file.setValue(QStringLiteral("port1/windows/wave/pos"), QPoint(100, -1200));
        file.setValue(QStringLiteral("port1/windows/wave/size"), QSize(625, 340));
        // On this screen, and kept.
        file.setValue(QStringLiteral("port1/windows/VQ/pos"), QPoint(900, 400));
        file.setValue(QStringLiteral("port1/windows/VQ/size"), QSize(385, 364));
    }
    runUntilShown();
    EXPECT_EQ(frame(QStringLiteral("KR5AU")).topLeft(), QPoint(0, 0));
    EXPECT_EQ(frame(QStringLiteral("VQ")).topLeft(), QPoint(900, 400));
    const QRect wave = frame(QStringLiteral("wave"));
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(wave)) << text(wave);
    EXPECT_FALSE(wave.intersects(frame(QStringLiteral("KR5AU")))) << text(wave);
    EXPECT_FALSE(wave.intersects(frame(QStringLiteral("VQ")))) << text(wave);
}

}  // namespace
}  // namespace kr5::test
