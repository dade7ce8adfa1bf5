// The records windows: Input const (kousei), the recording controls and Options, as the
// operator sees and uses them. The logic behind them (the form, the recorder, the Options
// logic) is tested in records_test.
#include "platform/controlnames.h"
#include "platform/virtualclock.h"
#include "records/kouseiwindow.h"
#include "records/options.h"
#include "records/recordcontrols.h"
#include "records/recordlines.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <initializer_list>

namespace kr5 {
namespace {

template <typename T>
T* control(const QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (found == nullptr) {
        ADD_FAILURE() << "no control " << name.toStdString();
        return nullptr;
    }
    EXPECT_EQ(found->accessibleDescription(), name);
    return found;
}

// Replaces a field's text as typing does (textEdited, then editingFinished).
void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->insert(text);
    emit edit->editingFinished();
}

// Each "name=caption": the control of that name shows that caption (a label's or a
// button's text, a frame's title). "name=a|b|c" gives the captions of the control array
// name(0), name(1), name(2).
void expectCaptions(const QWidget& window, std::initializer_list<const char*> table) {
    for (const char* entry : table) {
        const QStringList pair = QString::fromUtf8(entry).split(QLatin1Char('='));
        const QStringList captions = pair[1].split(QLatin1Char('|'));
        for (int i = 0; i < captions.size(); ++i) {
            QWidget* w =
                control<QWidget>(window, captions.size() == 1 ? pair[0] : elementName(pair[0], i));
            ASSERT_NE(w, nullptr);
            const QVariant text = w->property("text");
            EXPECT_EQ((text.isValid() ? text : w->property("title")).toString(), captions[i])
                << entry;
        }
    }
}

QString accessibleName(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a == nullptr ? QString() : a->text(QAccessible::Name);
}

class KouseiWindowTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    InputConstants constants;
    SettingsFile settings{dir.path()};
    ConstantsForm form{constants, settings};
    KouseiWindow window{form};

    KouseiWindowTest() {
        form.setPortDigit(QStringLiteral("1"));
        form.loadSettings();
    }
    QLineEdit* text(int i) { return control<QLineEdit>(window, QStringLiteral("Text%1").arg(i)); }
    QPushButton* button(const char* name) {
        return control<QPushButton>(window, QLatin1String(name));
    }
};

TEST_F(KouseiWindowTest, RowsCarryTheirCaptionsUnitsAndNames) {
    EXPECT_EQ(window.objectName(), QStringLiteral("kousei"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Input const"));
    // Captions Label1 to Label9 from the top, then the units.
    expectCaptions(window,
                   {"Label1=Name", "Label2=No.", "Label3=Temp.", "Label4=RH", "Label5=PT Ratio",
                    "Label6=Adjust", "Label7=Set Q", "Label8=Start Count", "Label9=Stop Count",
                    "Label10=℃", "Label11=％", "Label12=pC/V", "Label13=pC", "Label14=P.P.S",
                    "Label15=P.P.S", "Command1=OK", "Command2=CANCEL"});
    const QStringList fieldNames = {"Name",     "No.",    "Temp.",       "RH",
                                    "PT Ratio", "Adjust", "Start Count", "Stop Count"};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(accessibleName(text(i)), fieldNames[i - 1]);
    }
}

TEST_F(KouseiWindowTest, FieldsShowTheConstantsAndTheSetQLabelFollows) {
    EXPECT_EQ(text(1)->text(), QStringLiteral("no name"));
    EXPECT_EQ(text(5)->text(), QStringLiteral(" 100"));
    EXPECT_EQ(text(7)->text(), QStringLiteral("50"));
    QLabel* label16 = control<QLabel>(window, QStringLiteral("Label16"));
    EXPECT_EQ(label16->text(), QStringLiteral("1"));

    type(text(6), QStringLiteral("0.5"));
    EXPECT_EQ(label16->text(), QStringLiteral("0.5"));
    control<QScrollBar>(window, QStringLiteral("HScroll3"))->setValue(9);  // its last place
    EXPECT_EQ(label16->text(), QStringLiteral("500"));
    button("Command1")->click();
    EXPECT_EQ(constants.setQ, 500.0);
    EXPECT_EQ(constants.adjust, 0.5);
}

TEST_F(KouseiWindowTest, OkHidesAndCancelOrTheTitleBarRestoresTheLastOk) {
    window.setOkEnabled(false);  // while a file is prepared
    EXPECT_FALSE(button("Command1")->isEnabled());
    window.setOkEnabled(true);
    window.show();
    type(text(2), QStringLiteral("42"));
    button("Command1")->click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(constants.number, QStringLiteral("42"));

    window.show();
    type(text(1), QStringLiteral("cable 7"));
    type(text(2), QStringLiteral("43"));
    EXPECT_EQ(constants.name, QStringLiteral("no name")) << "typing stores nothing";
    button("Command2")->click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(text(2)->text(), QStringLiteral("42"));
    EXPECT_EQ(text(1)->text(), QStringLiteral("no name"));

    // Closing by the title bar is CANCEL, and the window stays loaded.
    window.show();
    type(text(2), QStringLiteral("44"));
    window.close();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(text(2)->text(), QStringLiteral("42"));
    EXPECT_EQ(constants.number, QStringLiteral("42"));
}

TEST_F(KouseiWindowTest, ARefusedOkKeepsTheWindowOpenAndSaysWhy) {
    window.show();
    QLabel* okmsg = control<QLabel>(window, QStringLiteral("okmsg"));
    EXPECT_TRUE(okmsg->isHidden());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    type(text(2), QStringLiteral("42"));
    button("Command1")->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(okmsg->isHidden());
    EXPECT_TRUE(okmsg->text().contains(QStringLiteral("kr5au1.ini")));
    EXPECT_EQ(text(2)->text(), QStringLiteral("42"));

    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    button("Command1")->click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_TRUE(okmsg->isHidden());
}

class RecordControlsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    Recorder recorder{timing, clock};
    RecordControls controls{recorder};
    QString path = dir.filePath(QStringLiteral("t.csv"));

    RecordControlsTest() { controls.show(); }
    void prepare() {
        ASSERT_TRUE(recorder.prepare(
            path, headerLines(InputConstants{}, UnitsOnLine{}, QDate(2026, 1, 5)), nullptr));
    }
    void reading() { recorder.takeReading(recordstest::cycleReading(1, 2, 0, 3, 4)); }
    QRadioButton* option(int i) {
        return control<QRadioButton>(controls, QStringLiteral("Option%1").arg(i));
    }
    QGroupBox* frec() { return control<QGroupBox>(controls, QStringLiteral("Frec")); }
    QPushButton* bclose() { return control<QPushButton>(controls, QStringLiteral("bclose")); }
};

TEST_F(RecordControlsTest, VisibleOnlyWhileAFileIsPreparedAndDisabledDuringAQnMeasurement) {
    EXPECT_TRUE(frec()->isHidden());
    EXPECT_TRUE(bclose()->isHidden());
    prepare();
    EXPECT_FALSE(frec()->isHidden());
    EXPECT_FALSE(bclose()->isHidden());
    EXPECT_TRUE(option(2)->isChecked());
    expectCaptions(controls, {"Option1=REC ON", "Option2=PAUSE", "bclose=CLOSE"});

    controls.setQnRunning(true);
    EXPECT_FALSE(frec()->isEnabled());
    EXPECT_FALSE(bclose()->isEnabled());
    controls.setQnRunning(false);
    EXPECT_TRUE(frec()->isEnabled());
    EXPECT_TRUE(bclose()->isEnabled());

    bclose()->click();
    EXPECT_TRUE(frec()->isHidden());
    EXPECT_TRUE(bclose()->isHidden());
}

TEST_F(RecordControlsTest, ClicksRecordAndTheCaptionCountsTheRows) {
    prepare();
    option(1)->click();
    EXPECT_TRUE(recorder.recording());
    reading();
    reading();
    EXPECT_EQ(option(1)->text(), QStringLiteral(" 2"));
    option(2)->click();
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(option(1)->text(), QStringLiteral("REC ON"));
    option(1)->click();
    bclose()->click();  // from recording: RECOFF, then PAUSE is selected again
    EXPECT_TRUE(option(2)->isChecked());
    EXPECT_TRUE(recordstest::crlfLines(path).constLast().startsWith("\"PAUSE\""));
}

class OptionsWindowTest : public ::testing::Test {
  protected:
    OperatingSettings settings;
    Requests requests;
    Options options{settings, requests};

    OptionsWindow& shown() {
        options.showOptions();
        return *options.window();
    }
    QAbstractButton* element(const char* array, int i) {
        return control<QAbstractButton>(*options.window(), elementName(QLatin1String(array), i));
    }
    void set() { control<QPushButton>(*options.window(), QStringLiteral("Command2"))->click(); }
    QTabWidget* optab() { return control<QTabWidget>(*options.window(), QStringLiteral("OPtab")); }
    void unloadByTitleBar() {
        options.window()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(OptionsWindowTest, TabsAndControlsCarryTheirCaptionsAndNames) {
    OptionsWindow& w = shown();
    EXPECT_EQ(w.objectName(), QStringLiteral("Options"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Option"));
    const QStringList tabs = {"Sample time", "Auto Range", "TV Multi", "Com. Speed", "QN Conf."};
    ASSERT_EQ(optab()->count(), tabs.size());
    for (int i = 0; i < tabs.size(); ++i) {
        EXPECT_EQ(optab()->tabText(i), tabs[i]);
    }
    // The blanks in the check boxes' captions are full-width spaces.
    expectCaptions(
        w, {"Option1=MIN|100ms|200ms|500ms", "Option2=×１|×２|×４|×５",
            "Option3=9600bps|19200bps|38400bps", "Option4=100ms|200ms|500ms|1s",
            "Option5=5|10|15|20|25|30|Non Stop", "Check1=INPUT　ATT", "Check2=RATE　METER　RANGE",
            "Label1=Expand TV range ", "Label2=Change comport speed", "Frame1=Gate Time",
            "Frame2=Loop no.", "Frame3=Condition", "Command2=Set", "Command1=Close"});
    for (const char* initial :
         {"Option1(0)", "Option2(0)", "Option3(0)", "Option4(3)", "Option5(6)"}) {
        EXPECT_TRUE(w.findChild<QRadioButton*>(QLatin1String(initial))->isChecked()) << initial;
    }
}

TEST_F(OptionsWindowTest, SetAppliesOnlyTheTabThatShows) {
    int autoRangingSets = 0;
    QObject::connect(&options.form(), &OptionsForm::autoRangingSet, [&] { ++autoRangingSets; });
    OptionsWindow& w = shown();
    element("Option1", 3)->click();  // 500ms
    optab()->setCurrentIndex(2);
    element("Option2", 1)->click();  // x2
    set();
    EXPECT_EQ(settings.sampleMs, 0);
    EXPECT_EQ(settings.tvMultiplier, 2);

    optab()->setCurrentIndex(0);
    set();
    EXPECT_EQ(settings.sampleMs, 500);

    optab()->setCurrentIndex(1);
    control<QCheckBox>(w, QStringLiteral("Check1"))->click();
    set();
    EXPECT_FALSE(settings.autoAttenuator);
    EXPECT_EQ(autoRangingSets, 1);

    optab()->setCurrentIndex(3);
    element("Option3", 1)->click();  // 19200bps
    set();
    EXPECT_EQ(settings.speedIndex, 1);
    EXPECT_TRUE(requests.speedChange);
}

TEST_F(OptionsWindowTest, CloseHidesButTheTitleBarUnloadsAndTheNextOpeningStartsAfresh) {
    OptionsWindow& w = shown();
    element("Option1", 2)->click();
    element("Option5", 0)->click();
    optab()->setCurrentIndex(4);
    control<QPushButton>(w, QStringLiteral("Command1"))->click();
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(&shown(), &w);
    EXPECT_TRUE(element("Option1", 2)->isChecked());

    unloadByTitleBar();
    EXPECT_EQ(options.window(), nullptr);
    settings.autoAttenuator = false;  // toggled on the panel meanwhile
    options.setTvReadout(QStringLiteral(" 2.5kV"));
    OptionsWindow& again = shown();
    EXPECT_TRUE(element("Option1", 0)->isChecked());
    EXPECT_TRUE(element("Option5", 6)->isChecked());
    EXPECT_EQ(optab()->currentIndex(), 0);
    EXPECT_FALSE(control<QCheckBox>(again, QStringLiteral("Check1"))->isChecked());
    EXPECT_TRUE(control<QCheckBox>(again, QStringLiteral("Check2"))->isChecked());
    EXPECT_EQ(control<QLabel>(again, QStringLiteral("Label4"))->text(), QStringLiteral(" 2.5kV"));
}

TEST_F(OptionsWindowTest, ReadoutAndAutoStateFollowAtOnceWhileOpen) {
    OptionsWindow& w = shown();
    options.setTvReadout(QStringLiteral(" 1.2kV"));
    EXPECT_EQ(control<QLabel>(w, QStringLiteral("Label4"))->text(), QStringLiteral(" 1.2kV"));
    settings.autoRate = false;
    options.showAutoRanging();
    EXPECT_FALSE(control<QCheckBox>(w, QStringLiteral("Check2"))->isChecked());

    // Set on QN Conf. takes the gate time, the passes and the condition typed.
    optab()->setCurrentIndex(4);
    element("Option4", 1)->click();  // 200ms
    element("Option5", 2)->click();  // 15
    type(control<QLineEdit>(w, QStringLiteral("Text1")), QStringLiteral("dry"));
    set();
    EXPECT_EQ(settings.gateTimeMs, 200);
    EXPECT_EQ(settings.qnPasses, 15);
    EXPECT_EQ(settings.qnCondition, QStringLiteral("dry"));
}

}  // namespace
}  // namespace kr5
