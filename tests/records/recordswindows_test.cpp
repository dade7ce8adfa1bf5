// The records windows: Input const (kousei), the recording controls and Options, as the
// operator sees and uses them.
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

QString accessibleName(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a == nullptr ? QString() : a->text(QAccessible::Name);
}

class KouseiWindowTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    Globals g;
    SettingsFile settings{dir.path()};
    InputConstants constants{g, settings};
    KouseiWindow window{constants};

    KouseiWindowTest() {
        g.portstr = QStringLiteral("1");
        constants.ksetv();
    }
    QLineEdit* text(int i) { return control<QLineEdit>(window, QStringLiteral("Text%1").arg(i)); }
    QPushButton* button(const char* name) {
        return control<QPushButton>(window, QLatin1String(name));
    }
};

TEST_F(KouseiWindowTest, RowsCarryTheirCaptionsUnitsAndNames) {
    EXPECT_EQ(window.objectName(), QStringLiteral("kousei"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Input const"));
    const char* captions[] = {"Name",   "No.",   "Temp.",       "RH",        "PT Ratio",
                              "Adjust", "Set Q", "Start Count", "Stop Count"};
    for (int i = 0; i < 9; ++i) {
        QLabel* caption = control<QLabel>(window, QStringLiteral("Label%1").arg(i + 1));
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(caption->text(), QLatin1String(captions[i]));
    }
    const QStringList units = {"℃", "％", "pC/V", "pC", "P.P.S", "P.P.S"};
    for (int i = 0; i < units.size(); ++i) {
        QLabel* unit = control<QLabel>(window, QStringLiteral("Label%1").arg(i + 10));
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->text(), units[i]);
    }
    const int fieldRows[] = {1, 2, 3, 4, 5, 6, 8, 9};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(accessibleName(text(i)), QLatin1String(captions[fieldRows[i - 1] - 1]));
    }
    QScrollBar* hscroll3 = control<QScrollBar>(window, QStringLiteral("HScroll3"));
    ASSERT_NE(hscroll3, nullptr);
    EXPECT_EQ(hscroll3->minimum(), 0);
    EXPECT_EQ(hscroll3->maximum(), 9);
    EXPECT_EQ(button("Command1")->text(), QStringLiteral("OK"));
    EXPECT_EQ(button("Command2")->text(), QStringLiteral("CANCEL"));
}

TEST_F(KouseiWindowTest, FieldsShowTheConstantsAndTheSetQLabelFollows) {
    EXPECT_EQ(text(1)->text(), QStringLiteral("no name"));
    EXPECT_EQ(text(5)->text(), QStringLiteral(" 100"));
    EXPECT_EQ(text(7)->text(), QStringLiteral("50"));
    QLabel* label16 = control<QLabel>(window, QStringLiteral("Label16"));
    EXPECT_EQ(label16->text(), QStringLiteral("1"));

    type(text(6), QStringLiteral("0.5"));
    window.findChild<QScrollBar*>(QStringLiteral("HScroll3"))->setValue(9);
    EXPECT_EQ(label16->text(), QStringLiteral("500"));
    button("Command1")->click();
    EXPECT_EQ(g.ksetq, 500.0);
    EXPECT_EQ(g.kadj, 0.5);
}

TEST_F(KouseiWindowTest, OkHidesAndCancelRestoresTheLastOk) {
    window.show();
    type(text(2), QStringLiteral("42"));
    button("Command1")->click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(g.knum, QStringLiteral("42"));

    window.show();
    type(text(2), QStringLiteral("43"));
    button("Command2")->click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(text(2)->text(), QStringLiteral("42"));
}

TEST_F(KouseiWindowTest, ClosingByTheTitleBarIsCancelAndKeepsTheWindow) {
    window.show();
    type(text(2), QStringLiteral("43"));
    window.close();
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(text(2)->text(), QStringLiteral("1"));
    EXPECT_EQ(g.knum, QStringLiteral("1"));
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

    type(text(8), QStringLiteral("1e12"));
    button("Command1")->click();
    EXPECT_TRUE(okmsg->text().contains(QStringLiteral("Stop Count")));

    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    type(text(8), QStringLiteral("0"));
    button("Command1")->click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_TRUE(okmsg->isHidden());
}

TEST_F(KouseiWindowTest, OkCanBeDisabledWhileAFileIsPrepared) {
    window.setOkEnabled(false);
    EXPECT_FALSE(button("Command1")->isEnabled());
    window.setOkEnabled(true);
    EXPECT_TRUE(button("Command1")->isEnabled());
}

class RecordControlsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    Recorder recorder{g, timing, clock};
    RecordControls controls{recorder};
    QString path = dir.filePath(QStringLiteral("t.csv"));

    RecordControlsTest() { controls.show(); }
    QRadioButton* option(int i) {
        return control<QRadioButton>(controls, QStringLiteral("Option%1").arg(i));
    }
    QGroupBox* frec() { return control<QGroupBox>(controls, QStringLiteral("Frec")); }
    QPushButton* bclose() { return control<QPushButton>(controls, QStringLiteral("bclose")); }
};

TEST_F(RecordControlsTest, VisibleOnlyWhileAFileIsPrepared) {
    EXPECT_TRUE(frec()->isHidden());
    EXPECT_TRUE(bclose()->isHidden());
    ASSERT_TRUE(recorder.prepare(path, headerLines(g, QDate(2026, 1, 5)), nullptr));
    EXPECT_FALSE(frec()->isHidden());
    EXPECT_FALSE(bclose()->isHidden());
    EXPECT_TRUE(option(2)->isChecked());
    EXPECT_EQ(option(1)->text(), QStringLiteral("REC ON"));
    EXPECT_EQ(option(2)->text(), QStringLiteral("PAUSE"));
    EXPECT_EQ(bclose()->text(), QStringLiteral("CLOSE"));

    bclose()->click();
    EXPECT_TRUE(frec()->isHidden());
    EXPECT_TRUE(bclose()->isHidden());
}

TEST_F(RecordControlsTest, ClicksRecordAndTheCaptionCountsTheRows) {
    ASSERT_TRUE(recorder.prepare(path, headerLines(g, QDate(2026, 1, 5)), nullptr));
    option(1)->click();
    EXPECT_TRUE(g.recon);
    recorder.dataRow(1, 2, 0, 3, 4);
    recorder.dataRow(1, 2, 0, 3, 4);
    EXPECT_EQ(option(1)->text(), QStringLiteral(" 2"));
    option(2)->click();
    EXPECT_FALSE(g.recon);
    EXPECT_EQ(option(1)->text(), QStringLiteral("REC ON"));
    option(1)->click();
    bclose()->click();  // from recording: RECOFF, then PAUSE is selected again
    EXPECT_TRUE(option(2)->isChecked());
    const QList<QByteArray> lines = recordstest::crlfLines(path);
    ASSERT_EQ(lines.size(), 14 + 7);
    EXPECT_TRUE(lines[19].startsWith("\"RECOFF\""));
    EXPECT_TRUE(lines[20].startsWith("\"PAUSE\""));
}

TEST_F(RecordControlsTest, DisabledDuringAQnMeasurement) {
    ASSERT_TRUE(recorder.prepare(path, headerLines(g, QDate(2026, 1, 5)), nullptr));
    controls.setQnRunning(true);
    EXPECT_FALSE(frec()->isEnabled());
    EXPECT_FALSE(bclose()->isEnabled());
    controls.setQnRunning(false);
    EXPECT_TRUE(frec()->isEnabled());
    EXPECT_TRUE(bclose()->isEnabled());
}

class OptionsWindowTest : public ::testing::Test {
  protected:
    Globals g;
    Options options{g};

    OptionsWindow& shown() {
        options.showOptions();
        return *options.window();
    }
    QAbstractButton* element(const char* array, int i) {
        return control<QAbstractButton>(*options.window(),
                                        QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(i));
    }
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
    const std::vector<std::pair<const char*, QStringList>> groups = {
        {"Option1", {"MIN", "100ms", "200ms", "500ms"}},
        {"Option2", {"×１", "×２", "×４", "×５"}},
        {"Option3", {"9600bps", "19200bps", "38400bps"}},
        {"Option4", {"100ms", "200ms", "500ms", "1s"}},
        {"Option5", {"5", "10", "15", "20", "25", "30", "Non Stop"}},
    };
    for (const auto& [array, captions] : groups) {
        for (int i = 0; i < captions.size(); ++i) {
            QAbstractButton* b = element(array, i);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->text(), captions[i]);
        }
    }
    EXPECT_EQ(control<QCheckBox>(w, QStringLiteral("Check1"))->text(),
              QStringLiteral("INPUT　ATT"));
    EXPECT_EQ(control<QCheckBox>(w, QStringLiteral("Check2"))->text(),
              QStringLiteral("RATE　METER　RANGE"));
    EXPECT_EQ(control<QLabel>(w, QStringLiteral("Label1"))->text(),
              QStringLiteral("Expand TV range "));
    EXPECT_EQ(control<QLabel>(w, QStringLiteral("Label2"))->text(),
              QStringLiteral("Change comport speed"));
    EXPECT_EQ(control<QGroupBox>(w, QStringLiteral("Frame1"))->title(),
              QStringLiteral("Gate Time"));
    EXPECT_EQ(control<QGroupBox>(w, QStringLiteral("Frame2"))->title(), QStringLiteral("Loop no."));
    EXPECT_EQ(control<QGroupBox>(w, QStringLiteral("Frame3"))->title(),
              QStringLiteral("Condition"));
    EXPECT_EQ(control<QPushButton>(w, QStringLiteral("Command2"))->text(), QStringLiteral("Set"));
    EXPECT_EQ(control<QPushButton>(w, QStringLiteral("Command1"))->text(), QStringLiteral("Close"));
    for (const char* initial :
         {"Option1(0)", "Option2(0)", "Option3(0)", "Option4(3)", "Option5(6)"}) {
        EXPECT_TRUE(w.findChild<QRadioButton*>(QLatin1String(initial))->isChecked()) << initial;
    }
}

TEST_F(OptionsWindowTest, SetAppliesOnlyTheTabThatShows) {
    OptionsWindow& w = shown();
    element("Option1", 3)->click();  // 500ms
    optab()->setCurrentIndex(2);
    element("Option2", 1)->click();  // x2
    control<QPushButton>(w, QStringLiteral("Command2"))->click();
    EXPECT_EQ(g.samplems, 0);
    EXPECT_EQ(g.tvmulti, 2);

    optab()->setCurrentIndex(0);
    control<QPushButton>(w, QStringLiteral("Command2"))->click();
    EXPECT_EQ(g.samplems, 500);
}

TEST_F(OptionsWindowTest, CloseHidesAndKeepsTheSelections) {
    OptionsWindow& w = shown();
    element("Option1", 2)->click();
    control<QPushButton>(w, QStringLiteral("Command1"))->click();
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(&shown(), &w);
    EXPECT_TRUE(element("Option1", 2)->isChecked());
}

TEST_F(OptionsWindowTest, ClosingByTheTitleBarUnloadsAndTheNextOpeningStartsAfresh) {
    shown();
    element("Option1", 2)->click();
    element("Option5", 0)->click();
    optab()->setCurrentIndex(4);
    unloadByTitleBar();
    EXPECT_EQ(options.window(), nullptr);

    g.autoatt = false;  // toggled on the panel meanwhile
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
    g.autorate = false;
    options.setauto();
    EXPECT_FALSE(control<QCheckBox>(w, QStringLiteral("Check2"))->isChecked());

    // Set on QN Conf. takes the read-out and the condition typed.
    optab()->setCurrentIndex(4);
    type(control<QLineEdit>(w, QStringLiteral("Text1")), QStringLiteral("dry"));
    control<QPushButton>(w, QStringLiteral("Command2"))->click();
    EXPECT_EQ(g.qntv, QStringLiteral(" 1.2kV"));
    EXPECT_EQ(g.qncond, QStringLiteral("dry"));
    EXPECT_EQ(g.gatetime, 1000);
    EXPECT_EQ(g.qnloops, -1);
}

TEST_F(OptionsWindowTest, AutoRangeSetRecoloursThroughTheCallback) {
    int autocolors = 0;
    options.form().autocolor = [&] { ++autocolors; };
    OptionsWindow& w = shown();
    optab()->setCurrentIndex(1);
    control<QCheckBox>(w, QStringLiteral("Check1"))->click();
    control<QPushButton>(w, QStringLiteral("Command2"))->click();
    EXPECT_FALSE(g.autoatt);
    EXPECT_EQ(autocolors, 1);
}

}  // namespace
}  // namespace kr5
