// The status line printed with --status, and the main window's status bar showing a write
// problem whole.
#include "app/statusline.h"
#include "app/mainwindow.h"
#include "app/windowfakes.h"
#include "link/units.h"
#include "measure/panelmodel.h"
#include "measure/panelwidget.h"
#include "platform/virtualclock.h"
#include "support/benchunits.h"
#include "support/fakedialogs.h"
#include "support/readings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>

namespace kr5 {
namespace {

UnitsOnLine unitsOn(int port, bool ac, bool discriminator) {
    UnitsOnLine units;
    test::defaultBenchUnits(units, ac, discriminator);
    units.port = port;
    return units;
}

TEST(StatusLine, NamesThePortTheUnitsThePanelsTextsAndTheUnitsNotAnswering) {
    Requests requests;
    OperatingSettings settings;
    PanelModel panel(requests, settings);
    panel.takeReading(test::cycleReading(2, 5.0, 40.0, 61.25));  // 25 pC at 1/5
    const QString values =
        QStringLiteral("Q 25.00 pC | N 40.0 P.P.S. | Es 61.2 V | TV  6.12kV | cycle 38 ms");
    // The units, the line before the values, and the units not answering after them.
    const std::tuple<UnitsOnLine, const char*, QString> cases[] = {
        {unitsOn(1, false, false), "port 1 | KR | ", ""},
        {unitsOn(2, true, false), "port 2 | KR AU | ", ""},
        {unitsOn(1, false, true), "port 1 | KR ZN | ", ""},
        {unitsOn(2, true, true), "port 2 | KR AU ZN | ", "ACU: no reply (1); ZN-4: no reply (12)"},
    };
    for (const auto& [units, start, unitStatus] : cases) {
        EXPECT_EQ(statusLine(units, panel.readouts(), QStringLiteral("38"), unitStatus),
                  QLatin1String(start) + values +
                      (unitStatus.isEmpty() ? QString() : QStringLiteral(" | ") + unitStatus));
    }
    // The verdict comes last, after a unit's trouble.
    const QString verdict = QStringLiteral("Acceptance: PASS, largest 4.1 pC ≤ 10 pC over 60 s");
    EXPECT_EQ(statusLine(unitsOn(1, true, false), panel.readouts(), QStringLiteral("38"),
                         QStringLiteral("ACU: no reply (1)"), verdict),
              QStringLiteral("port 1 | KR AU | ") + values +
                  QStringLiteral(" | ACU: no reply (1) | ") + verdict);
}

// A long write warning wraps in the status bar of the main window with its front panel,
// which grows in height, instead of being cut at the window's width.
TEST(StatusWarning, AWriteProblemShowsWholeInTheWindowOfNormalSize) {
    test::FakeDialogs dialogs;
    windowfakes::RecordingLauncher launcher;
    QWidget about;
    MainWindow window(dialogs, launcher, about);
    Requests requests;
    OperatingSettings settings;
    PanelModel panel(requests, settings);
    VirtualClock clock;
    ScreenPacer pacer(clock);
    window.panelArea()->layout()->addWidget(new PanelWidget(panel, pacer, window.panelArea()));
    window.show();
    const int normalWidth = window.width();

    const QString message = QStringLiteral(
        "The measurement file /home/operator/measurements/2026-12-07 transformer T3 bushing "
        "H2/test.csv cannot be written (No space left on device). 1234 lines are kept and "
        "will be written as soon as the file can be written again.");
    window.showWarning(message);
    // The new label shows, and the window lays it out, once the posted events are handled.
    QCoreApplication::processEvents();
    window.layout()->activate();
    auto* warning = window.statusBar()->findChild<QLabel*>(QStringLiteral("warning"));
    ASSERT_NE(warning, nullptr);
    EXPECT_TRUE(warning->isVisible());
    EXPECT_EQ(warning->text(), message);
    EXPECT_EQ(window.width(), normalWidth);

    // The text laid out in the label's own room needs no more than that room.
    const QRect room = warning->contentsRect();
    const QRect needed = warning->fontMetrics().boundingRect(
        room, static_cast<int>(warning->alignment()) | (warning->wordWrap() ? Qt::TextWordWrap : 0),
        message);
    EXPECT_LE(needed.width(), room.width());
    EXPECT_LE(needed.height(), room.height());
    // And all of the label lies in the status bar, which lies in the window.
    EXPECT_TRUE(window.statusBar()->rect().contains(warning->geometry()));
    EXPECT_TRUE(window.rect().contains(window.statusBar()->geometry()));
}

}  // namespace
}  // namespace kr5
