// The session on the real engine, in virtual time: every intent refused in each state that
// forbids it, with its reason and nothing changed on either side; allowed, it shows at once
// in the windows' copy and reaches the engine's model the window's control stands for.
#include "session/session.h"

#include "platform/qtfiles.h"
#include "platform/virtualclock.h"
#include "platform/virtualmailbox.h"
#include "support/fakedialogs.h"
#include "support/fakeserialport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <tuple>
#include <vector>

namespace kr5 {
namespace {

class SessionTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    VirtualClock clock;
    VirtualWaiter waiter{clock};
    VirtualMailbox toEngine{clock};
    VirtualMailbox toWindows{clock};
    UnitsOnLine units;
    OperatingSettings settings;
    InputConstants constants;
    SettingsFile settingsFile{dir.path()};
    ConstantsForm constantsForm{constants, settingsFile};
    QtFiles files;
    test::FakeSerialPort port{clock};
    EngineView view{toEngine, settings};
    Engine engine{{clock, waiter, port, files, toWindows, view}};
    PanelModel& panel = view.panel();
    Zn4Panel& discriminator = view.discriminator();
    test::FakeDialogs dialogs;
    MeasurementFile measurementFile{constants, units, dialogs, clock, files, view.recorder()};
    Calibration calibration{clock, constantsForm};
    BackgroundLevel background{constants, clock};
    AcceptanceTest acceptance{clock};
    AcceptanceForm acceptanceForm{acceptance};
    TestDetails details;
    Session session{{units, view, measurementFile, constantsForm, calibration, background,
                     acceptanceForm, details}};

    // The engine carries out what was posted, and the windows take its state.
    void settle() { waiter.runDue(); }

    SessionTest() {
        view.attach(engine);
        units.port = 1;
        units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 V2.10")};
        units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 V1.00")};
        units.unit(UnitKind::NoiseDiscriminator) = FoundUnit{2, QStringLiteral("ZN-4 V1.00")};
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void liveWithFile(const char* name) {
        session.goLive();
        ASSERT_TRUE(session.setTestName(QStringLiteral("cable 7")));
        ASSERT_TRUE(session.prepareFileAt(path(name)));
    }
};

// Each intent refused where the state forbids it says why and changes nothing, neither in
// the windows' copy nor in the engine.
TEST_F(SessionTest, EachIntentIsRefusedWithItsReasonWhereTheStateForbidsItAndChangesNothing) {
    const auto snapshot = [this] {
        settle();
        return std::tuple(session.qnRunning(), session.qnStopping(), session.filePrepared(),
                          session.recording(), panel.remote(), panel.attenuatorButton(),
                          panel.autoAttenuator(), discriminator.function(),
                          engine.qn().passesRunning(), engine.recorder().filePrepared(),
                          engine.recorder().recording(), engine.requests().attenuator,
                          engine.requests().discriminatorFunction);
    };
    using Intent = std::function<Outcome()>;
    const Intent range = [this] { return session.setRange(Session::Range::Attenuator, 4); };
    const Intent remote = [this] { return session.setRemote(false); };
    const Intent zn = [this] {
        return session.setDiscriminator(Session::DiscriminatorSetting::Function, 2);
    };
    const Intent qnStart = [this] { return session.startQn(); };
    const Intent file = [this] { return session.prepareFileAt(path("other.csv")); };
    const Intent recOn = [this] { return session.recordOn(); };
    const Intent close = [this] { return session.closeFile(); };
    const Intent name = [this] { return session.setTestName(QStringLiteral("other")); };
    const Intent open = [this] { return session.mayOpenRecordedTest(); };
    const Intent calibrate = [this] { return session.acceptCalibration(); };
    struct Case {
        const char* state;
        std::function<void()> enter;
        std::vector<std::pair<Intent, QString>> refused;
    };
    const QString qnRuns = QStringLiteral("a Q-N measurement is running");
    const QString looking = QStringLiteral("the program is still looking for its units");
    const QString recordedOpen =
        QStringLiteral("a recorded test is open: close it first (File > Close recorded test)");
    const std::vector<Case> cases{
        {"units not found yet",
         [] {},
         {{range, looking}, {remote, looking}, {zn, looking}, {qnStart, looking}, {file, looking}}},
        {"REMOTE off",
         [this] {
             session.goLive();
             ASSERT_TRUE(session.setRemote(false));
         },
         {{range, "REMOTE is off"}}},
        {"ZN-4 REMOTE off",
         [this] {
             session.goLive();
             ASSERT_TRUE(session.setDiscriminatorRemote(false));
         },
         {{zn, "the ZN-4's REMOTE is off"}}},
        {"Q-N running",
         [this] {
             session.goLive();
             ASSERT_TRUE(session.startQn());
         },
         {{range, qnRuns},
          {remote, qnRuns},
          {zn, qnRuns},
          {qnStart, qnRuns},
          {recOn, qnRuns},
          {[this] { return session.pauseRecording(); }, qnRuns},
          {close, qnRuns},
          {open, "the Q-N measurement runs: stop it first."}}},
        {"file prepared",
         [this] { liveWithFile("prepared.csv"); },
         {{file, "a measurement file is open: close it first"},
          {name, "a measurement file is open: the name is in its header"},
          {open, "the measurement file is open: CLOSE it first."},
          {calibrate, "a measurement file is open: its header holds the constants"}}},
        {"no file",
         [this] {
             session.goLive();
             constants.name = QStringLiteral("no name");
         },
         {{recOn, "no measurement file: RECord:FILE first"},
          {file, "the test has no name: set one with CONFigure:NAME"}}},
        {"recorded test open",
         [this] {
             session.goLive();
             session.setRecordedTestOpen(true);
         },
         {{qnStart, recordedOpen}, {file, recordedOpen}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        c.enter();
        for (const auto& [intent, reason] : c.refused) {
            const auto before = snapshot();
            const Outcome outcome = intent();
            EXPECT_FALSE(outcome);
            EXPECT_EQ(outcome.why.toStdString(), reason.toStdString());
            EXPECT_TRUE(snapshot() == before) << reason.toStdString();
        }
        // Back to a live program with nothing under way, for the next state.
        view.post([](Engine& e) {
            if (e.qn().passesRunning()) {
                e.qn().finish();
            }
            e.recorder().closeFile();
            e.discriminator().clickRemote(true);
            e.panel().setRemote(true);
        });
        settle();
        session.setRecordedTestOpen(false);
    }
}

TEST_F(SessionTest, AllowedIntentsShowAtOnceAndReachTheEngine) {
    session.goLive();
    ASSERT_TRUE(session.setRemote(true));
    int changes = 0;
    QObject::connect(&session, &Session::changed, [&] { ++changes; });

    ASSERT_TRUE(session.setRange(Session::Range::Attenuator, 4));
    EXPECT_EQ(panel.attenuatorButton(), 4);
    settle();
    EXPECT_EQ(std::pair(engine.requests().attenuator, panel.attenuatorButton()), std::pair(4, 4));
    EXPECT_FALSE(panel.autoAttenuator()) << "a range by number ends the automatic ranging";
    ASSERT_TRUE(session.setRange(Session::Range::Attenuator, std::nullopt));
    EXPECT_TRUE(panel.autoAttenuator());

    ASSERT_TRUE(session.setTestName(QStringLiteral("cable 7")));
    ASSERT_TRUE(session.prepareFileAt(path("t.csv")));
    EXPECT_TRUE(session.filePrepared());
    EXPECT_EQ(session.prepareFileAt(path("t.csv")).kind, Outcome::Kind::Forbidden);
    ASSERT_TRUE(session.recordOn());
    EXPECT_TRUE(session.recording());
    settle();
    EXPECT_TRUE(engine.recorder().recording());
    ASSERT_TRUE(session.pauseRecording());
    EXPECT_FALSE(session.recording());
    ASSERT_TRUE(session.closeFile());
    EXPECT_FALSE(session.filePrepared());
    settle();
    EXPECT_FALSE(engine.recorder().filePrepared() || session.filePrepared());
    // A file that exists is never replaced, and says so as a failure, not a conflict.
    const Outcome exists = session.prepareFileAt(path("t.csv"));
    EXPECT_EQ(exists.kind, Outcome::Kind::Failed);
    EXPECT_TRUE(exists.why.endsWith(QStringLiteral("exists: give a new file")));
    // Nor the summary of another test, which CLOSE would write over.
    QFile otherSummary(path("u.json"));
    ASSERT_TRUE(otherSummary.open(QIODevice::WriteOnly));
    EXPECT_TRUE(session.prepareFileAt(path("u.csv"))
                    .why.endsWith(QStringLiteral("u.json exists: give a new file")));

    ASSERT_TRUE(session.startQn());
    EXPECT_TRUE(session.qnRunning() && !session.qnStopping());
    ASSERT_TRUE(session.stopQn());
    EXPECT_TRUE(session.qnStopping());
    // A state the engine sent before it had taken the requests does not undo them.
    view.take(EngineState{});
    EXPECT_TRUE(session.qnStopping());
    settle();
    EXPECT_TRUE(engine.qn().passesRunning() && engine.qn().endAfterPass());
    EXPECT_TRUE(engine.requests().qnStart);
    EXPECT_TRUE(session.qnStopping());
    EXPECT_GE(changes, 5);
}

// The acceptance test set one value at a time, as a sequencer does: set once level, hold and
// limit are known, each value checked as the window's field checks it, and kept for the
// port (accepted) each time it changes.
TEST_F(SessionTest, TheAcceptanceTestIsSetOnceItsLevelHoldAndLimitAreKnown) {
    int kept = 0;
    QObject::connect(&acceptanceForm, &AcceptanceForm::accepted, [&] { ++kept; });
    using F = AcceptanceField;
    EXPECT_EQ(session.restartAcceptance().why, QStringLiteral("no acceptance test is set"));
    ASSERT_TRUE(session.setAcceptance(F::TestKv, QStringLiteral("16.1")));
    ASSERT_TRUE(session.setAcceptance(F::BackgroundKv, QStringLiteral("5")));
    const Outcome badHold = session.setAcceptance(F::HoldS, QStringLiteral("0"));
    EXPECT_EQ(badHold.kind, Outcome::Kind::BadValue);
    EXPECT_EQ(badHold.why, QStringLiteral("Hold time must be a number from 1 to 86400 s."));
    ASSERT_TRUE(session.setAcceptance(F::HoldS, QStringLiteral("60")));
    EXPECT_FALSE(acceptance.limits());
    EXPECT_EQ(session.acceptanceSetup().testKv, QStringLiteral("16.1"));
    ASSERT_TRUE(session.setAcceptance(F::PermissiblePc, QStringLiteral("100")));
    ASSERT_TRUE(acceptance.limits());
    EXPECT_EQ(std::tuple(acceptance.limits()->testKv, acceptance.limits()->holdS,
                         acceptance.limits()->permissiblePc, acceptance.backgroundThresholdKv()),
              std::tuple(16.1, 60.0, 100.0, 5.0));
    // A threshold at the level is no background; a new level sets the test anew.
    EXPECT_EQ(session.setAcceptance(F::BackgroundKv, QStringLiteral("16.1")).kind,
              Outcome::Kind::BadValue);
    EXPECT_EQ(acceptance.backgroundThresholdKv(), 5.0);
    ASSERT_TRUE(session.setAcceptance(F::TestKv, QStringLiteral("20")));
    EXPECT_EQ(acceptance.limits()->testKv, 20.0);
    EXPECT_TRUE(session.restartAcceptance());
    EXPECT_EQ(kept, 3);
}

}  // namespace
}  // namespace kr5
