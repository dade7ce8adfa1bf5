// The Input const window's logic (form kousei): the fields as the operator edits them,
// ksetv (load the settings file and fill the fields), OK and CANCEL. The window only
// shows these fields and forwards its clicks.
#pragma once

#include "app/globals.h"
#include "settingsfile.h"

#include <QObject>
#include <QString>
#include <functional>

namespace kr5 {

// The texts of the fields Text1 to Text8 and the position of the scroll bar HScroll3.
struct InputFields {
    QString name;   // Text1
    QString num;    // Text2
    QString temp;   // Text3
    QString rh;     // Text4
    QString pt;     // Text5
    QString adj;    // Text6
    QString start;  // Text7
    QString stop;   // Text8
    int qidx = 0;   // HScroll3, 0..9
};

class InputConstants : public QObject {
    Q_OBJECT

  public:
    static constexpr int qidxMax = 9;

    enum class OkResult {
        Saved,       // the constants are in force and in the settings file
        Refused,     // a number does not fit; nothing changed
        NotWritten,  // the settings file could not be written; nothing changed
    };

    InputConstants(Globals& g, const SettingsFile& file);

    // The fields as edited; the window writes every edit here.
    InputFields fields;

    // Loads the settings file of g.portstr into the globals and fills the fields from
    // them: PT Ratio in the file number form (" 100"), Adjust as a plain number ("0.5"),
    // the counts as decimal integers, the scroll bar at kqidx.
    void ksetv();

    // The Set Q label (Label16): the Adjust text read as a number times the attenuator
    // division at the scroll bar's position. A text that is not a number counts as 0, as
    // OK would take it, so the label always shows what OK would set.
    QString setqText() const;

    // OK (Command1): takes the fields into the constants, ksetq = atttbl(qidx) * kadj,
    // and saves them. Nothing changes unless every value fits and the file is written;
    // problem() then says why.
    OkResult command1Click();

    // CANCEL (Command2) and closing by the title bar: back to the settings file, that is,
    // to the last OK. The name is not in the file and keeps its value.
    void command2Click() { ksetv(); }

    // Why the last OK changed nothing; empty after a successful one.
    const QString& problem() const { return problem_; }

    // After a successful OK: the charts redraw their scales and clear, since they
    // depend on the constants.
    std::function<void()> constantsChanged;

  signals:
    // ksetv refilled the fields.
    void fieldsLoaded();

  private:
    bool takeNumber(const QString& text, const QString& caption, double& out);
    bool takeCount(const QString& text, const QString& caption, qint32& out);

    Globals& g_;
    const SettingsFile& file_;
    QString problem_;
};

}  // namespace kr5
