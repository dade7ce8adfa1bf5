// The records windows: Input const (kousei), the recording controls and Options, as the
// operator sees and uses them, typed into or set through the accessibility interface as a
// tool does. The logic behind them (the form, the recorder, the Options logic, Set applying
// the tab that shows) is tested in records_test; the Options window's clicks and Set in the
// whole-program tests.
#include "platform/controlnames.h"
#include "platform/qtfiles.h"
#include "platform/virtualclock.h"
#include "records/constantsform.h"
#include "records/constantswindow.h"
#include "records/options.h"
#include "records/recordcontrols.h"
#include "records/recordlines.h"
#include "records/settingsfile.h"
#include "recordstest.h"
#include "support/followrecorder.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>

namespace kr5 {
namespace {

// The control of that name.
template <typename T = QWidget>
T* control(const QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
    return found;
}

// Replaces a field's text as typing does (textEdited, then editingFinished).
void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->insert(text);
    emit edit->editingFinished();
}

// The Input const window over a fresh settings folder, loaded for port 1 and shown.
struct ConstantsWindowTest : ::testing::Test {
    QTemporaryDir dir;
    InputConstants constants;
    SettingsFile settings{dir.path()};
    ConstantsForm form{constants, settings};
    ConstantsWindow window{form};

    ConstantsWindowTest() {
        form.setPortDigit(QStringLiteral("1"));
        form.loadSettings();
        window.show();
    }
    QLineEdit* text(int i) { return window.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i)); }
    void click(const char* name) {
        auto* button = window.findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
};

TEST_F(ConstantsWindowTest, RowsShowTheConstantsTheSetQLabelFollowsAndTypingStoresNothing) {
    EXPECT_EQ(QStringList({text(1)->text(), text(5)->text(), text(7)->text()}),
              QStringList({"no name", " 100", "50"}));
    QLabel* label16 = control<QLabel>(window, QStringLiteral("Label16"));
    text(6)->selectAll();
    text(6)->insert(QStringLiteral("0.5"));
    EXPECT_EQ(label16->text(), QStringLiteral("1")) << "Set Q follows when the field is left";
    emit text(6)->editingFinished();
    EXPECT_EQ(label16->text(), QStringLiteral("0.5"));
    // The scroll bar is set from the keyboard and says the value it stands for.
    auto* bar = control<QScrollBar>(window, QStringLiteral("HScroll3"));
    for (const auto& [key, shown] : {std::pair{Qt::Key_End, "500"}, {Qt::Key_Left, "250"}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &press);
        EXPECT_EQ(label16->text(), QLatin1String(shown));
        EXPECT_EQ(bar->accessibleName(), QStringLiteral("Set Q %1 pC").arg(QLatin1String(shown)));
    }
    type(text(2), QStringLiteral("42"));
    EXPECT_EQ(std::pair(constants.number, constants.setQ), std::pair(QStringLiteral("1"), 1.0))
        << "typing stores nothing: OK does (EveryFieldSetByAToolIsStoredByOk)";
    window.setOkEnabled(false);  // while a file is prepared
    EXPECT_FALSE(control<QPushButton>(window, QStringLiteral("Command1"))->isEnabled());
}

// CANCEL and closing by the title bar show the last OK again (the window stays loaded);
// a refused OK keeps the window and the edits and says why.
TEST_F(ConstantsWindowTest, CancelRestoresTheLastOkAndARefusedOkSaysWhy) {
    for (const bool byTitleBar : {false, true}) {
        window.show();
        type(text(1), QStringLiteral("cable 7"));
        type(text(2), QStringLiteral("43"));
        control<QScrollBar>(window, QStringLiteral("HScroll3"))->setValue(5);
        byTitleBar ? void(window.close()) : click("Command2");
        EXPECT_TRUE(window.isHidden()) << byTitleBar;
        EXPECT_EQ(QStringList({text(1)->text(), text(2)->text(),
                               control<QLabel>(window, QStringLiteral("Label16"))->text()}),
                  QStringList({"no name", "1", "1"}))
            << byTitleBar;
    }
    window.show();
    QLabel* okmsg = control<QLabel>(window, QStringLiteral("okmsg"));
    EXPECT_TRUE(okmsg->isHidden());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    type(text(2), QStringLiteral("42"));
    click("Command1");
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(okmsg->isHidden());
    EXPECT_TRUE(okmsg->text().contains(QStringLiteral("kr5au1.ini")));
    EXPECT_EQ(text(2)->text(), QStringLiteral("42"));
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    click("Command1");
    EXPECT_TRUE(window.isHidden());
    EXPECT_TRUE(okmsg->isHidden());
}

TEST(RecordControls, ShownWhileAFileIsPreparedClicksRecordAndTheCaptionAndNameCountRows) {
    QTemporaryDir dir;
    VirtualClock clock;
    QtFiles files;
    Recorder recorder{clock, files};
    RecorderView view;
    test::followRecorder(recorder, view);
    RecordControls controls{view};
    // The clicks are requests: here the recorder carries them out at once.
    QObject::connect(&controls, &RecordControls::recordOnClicked, &recorder, &Recorder::recordOn);
    QObject::connect(&controls, &RecordControls::pauseClicked, &recorder,
                     &Recorder::pauseRecording);
    QObject::connect(&controls, &RecordControls::closeClicked, &recorder, &Recorder::closeFile);
    controls.show();
    const QString path = dir.filePath(QStringLiteral("t.csv"));
    auto* recOn = control<QRadioButton>(controls, QStringLiteral("Option1"));
    auto* pause = control<QRadioButton>(controls, QStringLiteral("Option2"));
    auto* frec = control<QGroupBox>(controls, QStringLiteral("Frec"));
    auto* bclose = control<QPushButton>(controls, QStringLiteral("bclose"));
    EXPECT_TRUE(frec->isHidden() && bclose->isHidden());  // until a file is prepared
    ASSERT_TRUE(recorder.prepare(
        path, headerLines(InputConstants{}, UnitsOnLine{}, QDate(2026, 1, 5)), nullptr));
    EXPECT_FALSE(frec->isHidden() || bclose->isHidden() || !pause->isChecked());
    controls.setQnRunning(true);
    EXPECT_FALSE(frec->isEnabled() || bclose->isEnabled());
    controls.setQnRunning(false);
    EXPECT_TRUE(frec->isEnabled() && bclose->isEnabled());

    recOn->click();
    recorder.takeReading(recordstest::cycleReading(1, 2, 0, 3, 4));
    recorder.takeReading(recordstest::cycleReading(1, 2, 0, 3, 4));
    EXPECT_EQ(recOn->text(), QStringLiteral(" 2"));
    // A screen reader says the count with the button's words, as the caption shows it.
    EXPECT_EQ(recOn->accessibleName(), QStringLiteral("Record on, rows recorded: 2"));
    pause->click();
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(recOn->text(), QStringLiteral("REC ON"));
    EXPECT_EQ(recOn->accessibleName(), QStringLiteral("Record on"));
    recOn->click();
    bclose->click();  // from recording: RECOFF, then PAUSE is selected again
    EXPECT_TRUE(pause->isChecked() && frec->isHidden() && bclose->isHidden());
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
    template <typename T>
    T* named(const char* name) {
        return control<T>(*options.window(), QLatin1String(name));
    }
};

// The window opens with the initial selections and the panel's automatic state; the
// read-out and that state follow at once while it is open. Close hides it; the title bar
// unloads it, and the next opening starts afresh.
TEST_F(OptionsWindowTest, CloseHidesButTheTitleBarUnloadsAndTheNextOpeningStartsAfresh) {
    OptionsWindow& w = shown();
    for (const char* initial : {"Option1(0)", "Option2(0)", "Option3(0)", "Option4(3)",
                                "Option5(6)", "Check1", "Check2"}) {
        EXPECT_TRUE(w.findChild<QAbstractButton*>(QLatin1String(initial))->isChecked()) << initial;
    }
    options.setTvReadout(QStringLiteral(" 1.2kV"));
    EXPECT_EQ(named<QLabel>("Label4")->text(), QStringLiteral(" 1.2kV"));
    settings.autoRate = false;
    options.showAutoRanging();
    EXPECT_FALSE(named<QCheckBox>("Check2")->isChecked());
    element("Option1", 2)->click();
    named<QTabWidget>("OPtab")->setCurrentIndex(4);
    named<QPushButton>("Command1")->click();
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(&shown(), &w);
    EXPECT_TRUE(element("Option1", 2)->isChecked());

    w.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(options.window(), nullptr);
    settings.autoAttenuator = false;  // toggled on the panel meanwhile
    options.setTvReadout(QStringLiteral(" 2.5kV"));
    shown();
    EXPECT_TRUE(element("Option1", 0)->isChecked());
    EXPECT_EQ(named<QTabWidget>("OPtab")->currentIndex(), 0);
    EXPECT_FALSE(named<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(named<QLabel>("Label4")->text(), QStringLiteral(" 2.5kV"));
}

// The tool's two ways: the value of the field, or an edit of its text.
enum class Way { Value, EditableText };

void setByTool(QWidget* field, const QString& text, Way way) {
    ASSERT_NE(field, nullptr);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(a, nullptr);
    if (way == Way::Value) {
        a->setText(QAccessible::Value, text);
        return;
    }
    QAccessibleEditableTextInterface* edit = a->editableTextInterface();
    ASSERT_NE(edit, nullptr);
    edit->replaceText(0, a->textInterface()->characterCount(), text);
}

// Every field, set through either way, is taken by OK into the constants and the
// settings file; Set Q follows Adjust at once, as there is no leaving of the field. (CANCEL
// drops a tool's edits as it drops typed ones: the field's text is the same either way.)
TEST_F(ConstantsWindowTest, EveryFieldSetByAToolIsStoredByOk) {
    const QStringList values = {"cable 7", "42", "23.5", "61", "200", "0.5", "80", "30"};
    for (int i = 1; i <= 8; ++i) {
        setByTool(text(i), values[i - 1], i % 2 == 1 ? Way::Value : Way::EditableText);
        EXPECT_EQ(text(i)->text(), values[i - 1]) << i;
    }
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(
        window.findChild<QScrollBar*>(QStringLiteral("HScroll3")));
    ASSERT_NE(bar, nullptr);
    bar->valueInterface()->setCurrentValue(9);
    EXPECT_EQ(control<QLabel>(window, QStringLiteral("Label16"))->text(), QStringLiteral("500"))
        << "1000 divisions of 0.5 pC";

    click("Command1");
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(constants.name, QStringLiteral("cable 7"));
    // The settings file keeps all but the name.
    InputConstants stored;
    ASSERT_TRUE(settings.load(QStringLiteral("1"), stored));
    for (const InputConstants& c : {constants, stored}) {
        EXPECT_EQ(QStringList({c.number, c.temperature, c.humidity}),
                  QStringList({"42", "23.5", "61"}));
        EXPECT_EQ(std::tuple(c.ptRatio, c.adjust, c.startCount, c.stopCount, c.setQ),
                  std::tuple(200.0, 0.5, 80, 30, 500.0));
    }
}

TEST(OptionsByTool, TheConditionSetByAToolIsTakenBySet) {
    OperatingSettings settings;
    Requests requests;
    Options options{settings, requests};
    options.showOptions();
    OptionsWindow* w = options.window();
    ASSERT_NE(w, nullptr);
    for (const Way way : {Way::Value, Way::EditableText}) {
        const QString condition = way == Way::Value ? QStringLiteral("dry") : QStringLiteral("wet");
        setByTool(w->findChild<QLineEdit*>(QStringLiteral("Text1")), condition, way);
        w->findChild<QTabWidget*>(QStringLiteral("OPtab"))->setCurrentIndex(OptionsForm::QnConf);
        w->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        EXPECT_EQ(settings.qnCondition, condition);
    }
}

}  // namespace
}  // namespace kr5
