// Text set through the accessibility interface counts in Input const and Options as typed
// text does; typing and clicks are in recordswindows_test.cpp.
#include "constantswindowfixture.h"
#include "platform/controlnames.h"
#include "records/constantswindow.h"
#include "records/options.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

namespace kr5 {
namespace {

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

struct ConstantsByTool : test::ConstantsWindowFixture {
    QLabel* setQLabel() { return window.findChild<QLabel*>(QStringLiteral("Label16")); }
    InputConstants stored() const {
        InputConstants fromFile;
        EXPECT_TRUE(settings.load(QStringLiteral("1"), fromFile));
        return fromFile;
    }
};

// Every field, set through either way, is taken by OK into the constants and the
// settings file; Set Q follows Adjust at once, as there is no leaving of the field.
TEST_F(ConstantsByTool, EveryFieldSetByAToolIsStoredByOk) {
    const QStringList values = {"cable 7", "42", "23.5", "61", "200", "0.5", "80", "30"};
    for (int i = 1; i <= 8; ++i) {
        setByTool(text(i), values[i - 1], i % 2 == 1 ? Way::Value : Way::EditableText);
        EXPECT_EQ(text(i)->text(), values[i - 1]) << i;
    }
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(
        window.findChild<QScrollBar*>(QStringLiteral("HScroll3")));
    ASSERT_NE(bar, nullptr);
    bar->valueInterface()->setCurrentValue(9);
    EXPECT_EQ(setQLabel()->text(), QStringLiteral("500")) << "1000 divisions of 0.5 pC";

    click("Command1");
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(constants.name, QStringLiteral("cable 7"));
    // The settings file keeps all but the name.
    for (const InputConstants& c : {constants, stored()}) {
        EXPECT_EQ(QStringList({c.number, c.temperature, c.humidity}),
                  QStringList({"42", "23.5", "61"}));
        EXPECT_EQ(std::tuple(c.ptRatio, c.adjust, c.startCount, c.stopCount, c.setQ),
                  std::tuple(200.0, 0.5, 80, 30, 500.0));
    }
}

// Loading the stored constants into the fields is no edit: CANCEL drops what a tool set,
// and the next OK stores the constants as they were.
TEST_F(ConstantsByTool, CancelDropsWhatAToolSetAndLoadingIsNoEdit) {
    setByTool(text(2), QStringLiteral("42"), Way::Value);
    click("Command1");
    window.show();
    setByTool(text(2), QStringLiteral("99"), Way::EditableText);
    setByTool(text(6), QStringLiteral("2"), Way::Value);
    EXPECT_EQ(setQLabel()->text(), QStringLiteral("2"));
    click("Command2");
    EXPECT_EQ(std::tuple(text(2)->text(), text(6)->text(), setQLabel()->text()),
              std::tuple(QStringLiteral("42"), QStringLiteral("1"), QStringLiteral("1")));
    window.show();
    click("Command1");
    EXPECT_EQ(std::tuple(constants.number, constants.adjust),
              std::tuple(QStringLiteral("42"), 1.0));
    EXPECT_EQ(stored().number, QStringLiteral("42"));
}

TEST_F(ConstantsByTool, TypedAdjustShowsInSetQWhenTheFieldIsLeft) {
    text(6)->selectAll();
    text(6)->insert(QStringLiteral("0.5"));
    text(6)->insert(QStringLiteral("0"));
    EXPECT_EQ(setQLabel()->text(), QStringLiteral("1"));
    emit text(6)->editingFinished();
    EXPECT_EQ(setQLabel()->text(), QStringLiteral("0.5"));
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
