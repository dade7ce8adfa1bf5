// The Input const window's logic: the fields as the operator edits them, loading the
// settings file of the port into the constants and the fields, OK and CANCEL. The window
// only shows these fields and hands its edits and clicks here.
#pragma once

#include "core/inputconstants.h"
#include "records/settingsfile.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kr5 {

// The texts of the fields Text1 to Text8 and the position of the scroll bar HScroll3.
struct InputFields {
    QString name;         // Text1
    QString number;       // Text2
    QString temperature;  // Text3
    QString humidity;     // Text4
    QString ptRatio;      // Text5
    QString adjust;       // Text6
    QString start;        // Text7
    QString stop;         // Text8
    int setQIndex = 0;    // HScroll3, 0..9
    // The Set Q in force where it is no step of the scale, until the bar is moved.
    std::optional<double> setQKept;
};

class ConstantsForm : public QObject {
    Q_OBJECT

  public:
    static constexpr int setQIndexMax = 9;

    enum class OkResult {
        Saved,       // the constants are in force and in the settings file
        Refused,     // a number does not fit; nothing changed
        NotWritten,  // the settings file could not be written; nothing changed
    };

    // constants: the program's input constants, which OK replaces. portDigit: the
    // detector's port, which names the settings file; set once discovery found it.
    ConstantsForm(InputConstants& constants, const SettingsFile& file);

    void setPortDigit(const QString& portDigit) { portDigit_ = portDigit; }

    // The fields as edited; the window writes every edit here.
    InputFields fields;

    // Loads the settings file of the port into the constants and fills the fields from
    // them: PT Ratio in the file number form (" 100"), Adjust as a plain number ("0.5"),
    // the counts as decimal integers, the scroll bar at the Set Q index. Returns a message
    // for the operator when the settings file was ignored (it is no regular file) and the
    // constants kept their values; empty otherwise. Showing it is the caller's part.
    QString loadSettings();

    // The operator moved the Set Q scroll bar to index: Set Q is now that step.
    void moveSetQ(int index);

    // The Set Q label (Label16): the Adjust text read as a number times the attenuator
    // division at the scroll bar's position, or the Set Q kept. A text that is not a number
    // counts as 0, as OK would take it, so the label always shows what OK would set.
    QString setQText() const;

    // OK: takes the fields into the constants, Set Q as the label shows it, and saves
    // them. Nothing changes unless every value fits (the texts too: each within the
    // settings file's longest line) and the file is written; problem() then says why.
    OkResult ok();

    // A new Adjust from a calibration of the whole circuit: the constants in force with
    // Adjust replaced and Set Q = division(Set Q index) x adjust, saved as OK saves them,
    // then put in force and the fields filled anew from them (edits not yet confirmed with
    // OK are dropped, as CANCEL would). Nothing changes when the file cannot be written;
    // problem() then says why.
    OkResult storeAdjust(double adjust);

    // A new name for the test (the remote control's way): saved and put in force as OK
    // does with the other constants as they are in force, the fields filled anew.
    // Refused when the name does not fit on the settings file's line.
    OkResult storeName(const QString& name);

    // The constants in force.
    const InputConstants& constants() const { return constants_; }

    // CANCEL and closing by the title bar: back to the settings file, that is, to the
    // last OK. The name is not read from the file and keeps its value.
    void cancel() { loadSettings(); }

    // Why the last OK changed nothing; empty after a successful one.
    const QString& problem() const { return problem_; }

  signals:
    // The fields were filled anew.
    void fieldsLoaded();
    // OK put new constants in force: the charts' scales depend on them.
    void constantsChanged();

  private:
    double setQOfFields(double adjust) const;
    void fillFields();
    OkResult save(const InputConstants& v);
    bool takeText(const QString& text, const QString& caption, QString& out);
    bool takeNumber(const QString& text, const QString& caption, double& out);
    bool takeCount(const QString& text, const QString& caption, qint32& out);

    InputConstants& constants_;
    const SettingsFile& file_;
    QString portDigit_;
    QString problem_;
};

}  // namespace kr5
