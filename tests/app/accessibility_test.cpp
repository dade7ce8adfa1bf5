// Every window of the whole program opened, as a screen reader and the eye meet it: plain
// words for every control beside its program name, and a glyph for every character shown.
#include "about/sysinfo.h"
#include "charts/legend.h"
#include "charts/trendchart.h"
#include "charts/vqchart.h"
#include "core/operatingsettings.h"
#include "link/discovery.h"
#include "platform/imagesurface.h"
#include "wholeprogram.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>

#include <map>

namespace kr5::test {
namespace {

// The package that brings a font with the Japanese and full-width characters.
constexpr const char* kFontPackage = "fonts-ipafont-gothic";

// Qt's own parts of a control (a tab widget's tab bar and its scroll buttons, a scroll
// area's bars, a table's headers, the menu bar's extension button) are read through the
// control that holds them.
bool qtPart(const QWidget* w) {
    if (w->objectName().startsWith(QLatin1String("qt_"))) {
        return true;
    }
    if (const auto* bar = qobject_cast<const QMenuBar*>(w->parentWidget())) {
        const auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        if (more != nullptr && more->menu() == w) {
            return true;  // the menu of the items that do not fit on the bar
        }
    }
    for (const QWidget* p = w->parentWidget(); p != nullptr && !p->isWindow();
         p = p->parentWidget()) {
        if (qobject_cast<const QTabBar*>(p) || qobject_cast<const QAbstractScrollArea*>(p)) {
            return true;
        }
    }
    return false;
}

bool interactive(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QTabBar*>(w) || qobject_cast<const QTabWidget*>(w);
}

// "window/name (class)", how an offender is listed.
QString where(const QWidget* w) {
    return w->window()->objectName() + QLatin1Char('/') + w->objectName() + QStringLiteral(" (") +
           QLatin1String(w->metaObject()->className()) + QLatin1Char(')');
}

// Why the control's accessible name and description fail, or empty.
QString namingFault(const QWidget* w) {
    const QString name = w->accessibleName();
    QStringList faults;
    if (w->objectName().isEmpty()) {
        faults << QStringLiteral("no object name");
    }
    if (w->accessibleDescription() != w->objectName()) {
        faults << QStringLiteral("description \"%1\"").arg(w->accessibleDescription());
    }
    if (name.isEmpty()) {
        faults << QStringLiteral("no accessible name");
    } else if (name == w->objectName()) {
        faults << QStringLiteral("the accessible name is the object name");
    } else if (std::none_of(name.begin(), name.end(), [](QChar c) { return c.isLetter(); })) {
        faults << QStringLiteral("no word in \"%1\"").arg(name);
    }
    return faults.join(QStringLiteral(", "));
}

// The characters one font has to draw, with where they come from.
struct Shown {
    QFont font;
    QString text;
    QString where;
};

QString plain(const QString& text) {
    QTextDocument doc;
    doc.setHtml(text);
    return Qt::mightBeRichText(text) ? doc.toPlainText() : text;
}

// What the widget shows as text, in the font it draws it with.
void collectShown(std::vector<Shown>& out, const QWidget* w) {
    const QString at = where(w);
    if (w->isWindow()) {
        out.push_back({QApplication::font(), w->windowTitle(), at + QStringLiteral(" title")});
    }
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        out.push_back({w->font(), plain(label->text()), at});
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        out.push_back({w->font(), button->text(), at});
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        out.push_back({w->font(), edit->text(), at});
    } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        out.push_back({w->font(), group->title(), at});
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            out.push_back({w->font(), tabs->tabText(i), at});
        }
    } else if (const auto* view = qobject_cast<const QAbstractItemView*>(w)) {
        const QAbstractItemModel* model = view->model();
        for (int row = 0; model != nullptr && row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                out.push_back({w->font(), model->index(row, column).data().toString(), at});
                out.push_back(
                    {w->font(), model->headerData(column, Qt::Horizontal).toString(), at});
            }
            out.push_back({w->font(), model->headerData(row, Qt::Vertical).toString(), at});
        }
    } else if (qobject_cast<const QMenuBar*>(w) || qobject_cast<const QMenu*>(w)) {
        for (const QAction* a : w->actions()) {
            out.push_back({w->font(), a->text(), at + QStringLiteral(" item")});
        }
    }
}

// The characters of each text its font cannot draw, listed by where they are shown.
std::string missingGlyphs(const std::vector<Shown>& shown) {
    std::map<QString, QString> missing;
    for (const Shown& s : shown) {
        const QFontMetrics metrics(s.font);
        for (const char32_t c : s.text.toUcs4()) {
            if (c < 0x20 || metrics.inFontUcs4(c)) {
                continue;
            }
            QString& chars = missing[s.where + QStringLiteral(" in ") + QFontInfo(s.font).family()];
            const QString glyph = QString::fromUcs4(&c, 1);
            if (!chars.contains(glyph)) {
                chars += glyph;
            }
        }
    }
    QString listed;
    for (const auto& [at, chars] : missing) {
        listed += QStringLiteral("\n  ") + at + QStringLiteral(": ") + chars;
    }
    return listed.toStdString();
}

// A picture that also keeps the texts printed on it.
struct TextSurface : ImageSurface {
    TextSurface() : ImageSurface(640, 480) {}
    void print(const QString& text, bool lineEnd) override {
        printed << text;
        ImageSurface::print(text, lineEnd);
    }
    QStringList printed;
};

// Every widget of every window, Qt's own parts left out.
std::vector<const QWidget*> everyWidget() {
    std::vector<const QWidget*> all;
    for (const QWidget* top : QApplication::topLevelWidgets()) {
        all.push_back(top);
        for (const QWidget* w : top->findChildren<QWidget*>()) {
            if (!qtPart(w)) {
                all.push_back(w);
            }
        }
    }
    return all;
}

// A screen reader says the control's plain words; the program's short name stays in the
// description, where tools look it up. A label that shows nothing and is hidden (a status
// line with nothing to say) is not read; a frame is read as the name of its group. The words
// differ where the same program name means different controls; a readout says what it shows.
// And the fonts draw every character the windows and the program's messages show. The ACU
// question comes on a bench without the AC unit, where the operator goes on.
TEST_F(WholeProgram, EveryControlHasPlainWordsAndTheFontsDrawEveryCharacterShown) {
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    EXPECT_FALSE(japanese.isEmpty())
        << "no font family covers Japanese (ア): install " << kFontPackage;
    scenario.units.erase(
        std::remove_if(scenario.units.begin(), scenario.units.end(),
                       [](const sim::UnitConfig& u) { return u.kind == sim::UnitKind::AcUnit; }),
        scenario.units.end());
    dialogs.answers.push_back(Dialogs::Answer::Ok);  // measure without the AC unit
    // Opens Input const, Calibrate, Acceptance test, Test details, Results, Options, About with
    // its system information (none is found, so the program says so), the colour legend and,
    // through a Q-N measurement, the Q-N window; the unit search stays loaded from the start.
    qint64 mark = 0;
    at(4200, "open the windows", [&] {
        menu("kouseiin")->trigger();
        menu("calib")->trigger();
        menu("acctest")->trigger();
        menu("testdet")->trigger();
        menu("testres")->trigger();
        menu("dver")->trigger();
        click(QStringLiteral("About"), QStringLiteral("cmdSysInfo"));
        trigger(QStringLiteral("wave"), QStringLiteral("wcoler"));
        options(4, {QStringLiteral("Option4(0)"), QStringLiteral("Option5(0)")});
        menu("mesqn")->trigger();
        mark = now();
    });
    // A readout is read with what it shows, once it has been painted with it: its text and
    // words, and the unit identification's words. Then Exit.
    QStringList read;
    step(
        "the Q-N chart done", [&] { return !program->qnRunning() && now() > mark + 1000; },
        [&] {
            auto* readout = control<QLabel>(QStringLiteral("KR5AU"), QStringLiteral("Vpeak"));
            ASSERT_NE(readout, nullptr);
            QCoreApplication::processEvents();  // the paint that follows each new text
            read << readout->text() << readout->accessibleName()
                 << control<QLabel>(QStringLiteral("About"), QStringLiteral("Label2"))
                        ->accessibleName();
            menu("cend")->trigger();
        });
    runProgram();
    for (const char* name :
         {"KR5AU", "kousei", "Options", "About", "Color", "QN", "commtest", "wave", "VQ", "ZN4",
          "calibrate", "acceptance", "testDetails", "results"}) {
        ASSERT_NE(window(QLatin1String(name)), nullptr) << name;
    }
    EXPECT_TRUE(window(QStringLiteral("QN"))->isVisible());
    QStringList offenders;
    int checked = 0;
    std::vector<Shown> shown;
    for (const QWidget* w : everyWidget()) {
        collectShown(shown, w);
        const auto* label = qobject_cast<const QLabel*>(w);
        const bool silent = label && label->text().isEmpty() && label->pixmap().isNull() &&
                            label->isHidden() &&
                            label->testAttribute(Qt::WA_WState_ExplicitShowHide);
        if (!(interactive(w) || label || qobject_cast<const QGroupBox*>(w)) || silent) {
            continue;
        }
        ++checked;
        const QString fault = namingFault(w);
        if (!fault.isEmpty()) {
            offenders << where(w) + QStringLiteral(": ") + fault;
        }
    }
    // The windows (and the menus, which are windows too) keep their program names.
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (!qtPart(w) &&
            (w->objectName().isEmpty() || w->accessibleDescription() != w->objectName())) {
            offenders << where(w) + QStringLiteral(": a window without its program name");
        }
    }
    EXPECT_GT(checked, 150) << "the walk found the controls";
    EXPECT_TRUE(offenders.isEmpty()) << offenders.size() << " controls without plain words:\n"
                                     << offenders.join(QLatin1Char('\n')).toStdString();

    ASSERT_EQ(read.size(), 3);
    EXPECT_FALSE(read[0].isEmpty());
    EXPECT_EQ(read[1], QStringLiteral("Charge, pC: ") + read[0]);
    EXPECT_TRUE(read[2].startsWith(QStringLiteral("Detector identification: KR-5")))
        << read[2].toStdString();
    QStringList words;
    for (const auto& [windowName, name] : {std::pair{"KR5AU", "peakb(3)"},
                                           {"Options", "Option1(1)"},
                                           {"kousei", "Label4"},
                                           {"ZN4", "Label4"},
                                           {"commtest", "com2AcuAddress"}}) {
        const QWidget* w = control<QWidget>(QLatin1String(windowName), QLatin1String(name));
        words << (w ? w->accessibleName() : QStringLiteral("<none>"));
    }
    EXPECT_EQ(words, QStringList({"Input attenuator 1/10", "Sample time 100 ms",
                                  "Relative humidity", "Channel A", "AC unit address on port 2"}));

    QStringList messages;
    for (const FakeDialogs::Shown& box : dialogs.shown) {
        const QFont font = QApplication::font("QMessageBox");
        shown.push_back({font, box.text + box.title + box.detail, QStringLiteral("message box")});
        messages << box.text;
    }
    EXPECT_TRUE(messages.contains(kNoAcUnitText) && messages.contains(kNoSysInfoText))
        << messages.join(QLatin1Char('|')).toStdString();

    // The pictures: the colour legend, the trend and V-Q faces with a condition typed in
    // Japanese, in the surfaces' face.
    TextSurface pictures;
    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    fillColourTable(colours);
    ChartState state;
    drawLegend(pictures, constants, colours);
    for (const chart::Face face : {chart::Face::Normal, chart::Face::Qn}) {
        TrendChart(pictures, constants, settings, colours, state).drawEmpty(face, 0);
        VqChart(pictures, constants, settings, colours, state)
            .drawEmpty(face, QStringLiteral("乾燥"));
    }
    QFont chartFace(QStringLiteral("DejaVu Sans"));
    chartFace.setStyleHint(QFont::SansSerif);
    shown.push_back(
        {chartFace, pictures.printed.join(QString()), QStringLiteral("chart pictures")});

    QString all;
    for (const Shown& s : shown) {
        all += s.text;
    }
    for (const char* expected : {"ﾊﾞｰｼﾞｮﾝ", "×１", "％", "？", "　", "現時点"}) {
        EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected << " collected";
    }
    const std::string missing = missingGlyphs(shown);
    EXPECT_TRUE(missing.empty()) << "characters without a glyph; install " << kFontPackage << ":"
                                 << missing;
}

}  // namespace
}  // namespace kr5::test
