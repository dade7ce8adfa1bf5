#include "plainnames.h"

#include <QHash>
#include <QRegularExpression>

namespace kr5 {

namespace {

// A form of "*" holds the words of a name that means the same thing in every window.
struct Words {
    const char* form;
    const char* name;
    const char* words;
    bool withText = false;  // a readout: said with what it shows
};

// A control array: %1 is filled with the element's caption (or its index when the array
// lists none), as the operator reads it beside the button.
struct ArrayWords {
    const char* form;
    const char* array;
    const char* words;
    QStringList fillers;
};

const Words kWords[] = {
    // The main window, its menus and the status bar.
    {"KR5AU", "menuBar", "Menu bar"},
    {"KR5AU", "cfile", "File menu"},
    {"KR5AU", "csave", "Save a measurement file"},
    {"KR5AU", "copen", "Open a recorded test"},
    {"KR5AU", "cjudge", "Judge the recorded test again with another Set Q"},
    {"KR5AU", "cshut", "Close the recorded test and go back to the live measurement"},
    {"KR5AU", "creport", "Write the test report as PDF"},
    {"KR5AU", "cend", "Exit the program"},
    {"KR5AU", "cwin", "Window menu"},
    {"KR5AU", "ctest", "Test menu"},
    {"KR5AU", "calib", "Calibrate the charge with a calibrator"},
    {"KR5AU", "measbg", "Measure the background noise for 5 seconds"},
    {"KR5AU", "acctest", "Set up the acceptance test"},
    {"KR5AU", "testdet", "Test details for the report"},
    {"KR5AU", "testres", "Show the Results window, every stored test"},
    {"KR5AU", "dwave", "Show the trend window"},
    {"KR5AU", "dvq", "Show the V-Q window"},
    {"KR5AU", "zn4w", "Show the noise discriminator panel"},
    {"KR5AU", "dhist", "Show the History window, the whole test"},
    {"KR5AU", "dqn", "Show the Q-N window"},
    {"KR5AU", "kouseiin", "Input constants"},
    {"KR5AU", "mesqn", "Start or stop the Q-N measurement"},
    {"KR5AU", "seting", "Options"},
    {"KR5AU", "dver", "Version information"},
    {"KR5AU", "gohelp", "Help"},
    {"KR5AU", "central", "Main window contents"},
    {"KR5AU", "panelArea", "Detector panel area"},
    {"KR5AU", "Label13", "Cycle time"},
    {"KR5AU", "dst", "Cycle time, ms", true},
    {"KR5AU", "Label14", "Milliseconds"},
    {"KR5AU", "warning", "Recording warning"},
    {"KR5AU", "unitStatus", "Units not answering"},
    {"KR5AU", "portStatus", "Serial port state"},
    {"KR5AU", "verdict", "Acceptance verdict", true},

    // The recording controls under the panel.
    {"recordControls", "Frec", "Recording"},
    {"recordControls", "Option1", "Record on"},
    {"recordControls", "Option2", "Pause recording"},
    {"recordControls", "bclose", "Close the measurement file"},

    // The detector's front panel.
    {"panel", "Label3", "Partial discharge detector type KR-5"},
    {"panel", "attGroup", "Input attenuator"},
    {"panel", "Label4", "Input attenuator, automatic ranging on or off"},
    {"panel", "Frame2", "Input attenuator range buttons"},
    {"panel", "rateGroup", "Rate meter range"},
    {"panel", "Label7", "Rate meter range, automatic ranging on or off"},
    {"panel", "Label6", "Remote and rate meter range captions"},
    {"panel", "Frame1", "Rate meter range buttons"},
    {"panel", "readoutGroup", "Readings"},
    {"panel", "Vpps", "Pulse rate, pulses per second", true},
    {"panel", "Vpeak", "Charge, pC", true},
    {"panel", "des", "AC unit voltage Es, V", true},
    {"panel", "dtv", "Test voltage", true},
    {"panel", "Label1", "Pulses per second"},
    {"panel", "Label2", "Picocoulombs"},
    {"panel", "Label8", "AC unit voltage Es"},
    {"panel", "Label10", "Volts"},
    {"panel", "Label12", "Test voltage"},
    {"panel", "Label9", "Volts"},
    {"panel", "scal1", "Pulse rate meter"},
    {"panel", "scal2", "Charge meter"},

    // Input const.
    {"kousei", "Label1", "Test name"},
    {"kousei", "Text1", "Test name"},
    {"kousei", "Label2", "Test number"},
    {"kousei", "Text2", "Test number"},
    {"kousei", "Label3", "Temperature"},
    {"kousei", "Text3", "Temperature, degrees Celsius"},
    {"kousei", "Label4", "Relative humidity"},
    {"kousei", "Text4", "Relative humidity, percent"},
    {"kousei", "Label5", "PT ratio"},
    {"kousei", "Text5", "PT ratio of the voltage transformer"},
    {"kousei", "Label6", "Adjust"},
    {"kousei", "Text6", "Adjust, pC per volt"},
    {"kousei", "Label7", "Set Q"},
    {"kousei", "HScroll3", "Set Q level"},
    {"kousei", "Label16", "Set Q, pC", true},
    {"kousei", "Label8", "Start count"},
    {"kousei", "Text7", "Start count, pulses per second"},
    {"kousei", "Label9", "Stop count"},
    {"kousei", "Text8", "Stop count, pulses per second"},
    {"kousei", "Label10", "Degrees Celsius"},
    {"kousei", "Label11", "Percent"},
    {"kousei", "Label12", "Picocoulombs per volt"},
    {"kousei", "Label13", "Picocoulombs"},
    {"kousei", "Label14", "Pulses per second"},
    {"kousei", "Label15", "Pulses per second"},
    {"kousei", "okmsg", "Why the constants were not stored", true},
    {"kousei", "Command1", "OK, store the constants"},
    {"kousei", "Command2", "Cancel, back to the stored constants"},

    // Options.
    {"Options", "OPtab", "Option pages"},
    {"Options", "OPtab0", "Sample time"},
    {"Options", "OPtab1", "Automatic ranging"},
    {"Options", "OPtab2", "Test voltage range"},
    {"Options", "OPtab3", "Line speed"},
    {"Options", "OPtab4", "Q-N measurement"},
    {"Options", "Label1", "Expand the test voltage range"},
    {"Options", "Label2", "Change the serial line speed"},
    {"Options", "Check1", "Automatic input attenuator ranging"},
    {"Options", "Check2", "Automatic rate meter ranging"},
    {"Options", "Frame1", "Gate time"},
    {"Options", "Frame2", "Number of passes"},
    {"Options", "Frame3", "Condition"},
    {"Options", "Label4", "Test voltage now", true},
    {"Options", "Command2", "Set, apply this page"},
    {"Options", "Command1", "Close options"},

    // About.
    {"About", "picIcon", "Program icon"},
    {"About", "lblTitle", "Program name", true},
    {"About", "lblVersion", "Version", true},
    {"About", "lblDescription", "Description"},
    {"About", "Label1", "Units found"},
    {"About", "Label2", "Detector identification", true},
    {"About", "Label3", "AC unit identification", true},
    {"About", "Label4", "Noise discriminator identification", true},
    {"About", "Line1", "Separator"},
    {"About", "Label5", "Clock reads per calibration", true},
    {"About", "cmdOK", "OK, close"},
    {"About", "cmdSysInfo", "System information"},

    // The chart windows and the colour legend.
    {"*", "GRA", "Chart"},
    {"wave", "wclose", "Close the trend window"},
    {"wave", "wcopy", "Copy the trend chart"},
    {"wave", "wcoler", "Show the colour legend"},
    {"wave", "wclear", "Erase the trend chart"},
    {"wave", "savepic", "Save the trend chart as a PNG or SVG picture"},
    {"VQ", "vqArea", "V-Q chart and result table"},
    {"VQ", "Text1", "Inception and extinction voltages"},
    {"VQ", "noiseWarning", "Set Q against the background noise", true},
    {"VQ", "vqcls", "Close the V-Q window"},
    {"VQ", "vcopy", "Copy the V-Q chart"},
    {"VQ", "verase", "Erase the V-Q chart"},
    {"VQ", "sdata", "Save the inception and extinction voltages"},
    {"VQ", "savepic", "Save the V-Q chart as a PNG or SVG picture"},
    {"QN", "GRA", "Q-N chart"},
    {"QN", "qclose", "Close the Q-N window"},
    {"QN", "qnsave", "Save the Q-N chart"},
    {"QN", "qcopy", "Copy the Q-N chart"},
    {"QN", "savepic", "Save the Q-N chart as a PNG or SVG picture"},
    {"QN", "savecounts", "Save the pulse rates of the Q-N passes as CSV"},
    {"QN", "qm", "Qm, the charge at 10 pulses per second", true},
    {"QN", "nqn", "NQN, the normalised quantity number", true},
    {"*", "history", "History of the whole test"},
    {"*", "results", "Results of the stored tests"},
    {"results", "resobjlabel", "Test object"},
    {"results", "resobject", "Show the tests of this test object"},
    {"results", "restypelabel", "Type"},
    {"results", "restype", "Show the tests of this type"},
    {"results", "rescustlabel", "Customer"},
    {"results", "rescustomer", "Show the tests of this customer"},
    {"results", "ressincelabel", "From"},
    {"results", "ressince", "Show the tests from this date"},
    {"results", "resuntillabel", "To"},
    {"results", "resuntil", "Show the tests up to this date"},
    {"results", "resverdictlabel", "Verdict"},
    {"results", "resverdict", "Show the tests of this verdict"},
    {"results", "resshow", "Show the tests the filter lets through"},
    {"results", "restable", "Stored tests"},
    {"results", "resopen", "Open the selected test's measurement file"},
    {"results", "resreport", "Open the selected test's report"},
    {"results", "ressave", "Save the tests shown as a CSV file"},
    {"results", "resstatus", "Tests shown", true},
    {"results", "resscopelabel", "Trend of"},
    {"results", "resscope", "Chart the figures of this test object or of its type"},
    {"results", "resstanding", "Where the selected test stands", true},
    {"results", "restrend", "Largest charge, inception voltage and Qm over time"},
    {"history", "histchart", "Charge, pulse rate and test voltage over the whole test"},
    {"history", "histreset", "Show the whole test"},
    {"history", "hclose", "Close the history window"},
    {"*", "help", "Help"},
    {"help", "helpText", "Help page"},
    {"help", "helpbrowser", "Open the help page in the desktop's browser"},
    {"Color", "central", "Colour legend contents"},
    {"Color", "Label1", "Pulse rate graph colour for each attenuator range"},
    {"Color", "Label2", "Attenuator range"},
    {"Color", "Coltbl", "Colour legend"},
    {"Color", "Command1", "OK, close"},
    {"Color", "ccop", "Copy"},

    // The noise discriminator panel.
    {"ZN4", "ncls", "Close the noise discriminator panel"},
    {"ZN4", "central", "Noise discriminator panel"},
    {"ZN4", "Label1", "Noise discriminator"},
    {"ZN4", "Label2", "Type ZN-4"},
    {"ZN4", "attGroup", "Input attenuator"},
    {"ZN4", "Label3", "Input attenuator"},
    {"ZN4", "Label4", "Channel A"},
    {"ZN4", "Label5", "Channel B"},
    {"ZN4", "functionGroup", "Function"},
    {"ZN4", "Label7", "Function"},
    {"ZN4", "Label8", "Function captions"},
    {"ZN4", "Frame1", "Function buttons"},
    {"ZN4", "remoteb", "Remote operation of the noise discriminator"},

    // Calibrate: the charge calibration with a charge calibrator.
    {"calibrate", "hint", "How to connect the charge calibrator"},
    {"calibrate", "Label1", "Calibrator charge q0"},
    {"calibrate", "q0", "Calibrator charge q0, pC"},
    {"calibrate", "Label2", "Picocoulombs"},
    {"calibrate", "measure", "Measure the calibrator's pulses for 3 seconds"},
    {"calibrate", "Label3", "Second calibrator charge q1, optional"},
    {"calibrate", "q1", "Second calibrator charge q1, pC, optional"},
    {"calibrate", "Label4", "Picocoulombs"},
    {"calibrate", "measure2", "Measure the second calibrator value for 3 seconds"},
    {"calibrate", "Label5", "Mean raw peak"},
    {"calibrate", "raw", "Mean raw peak and its spread", true},
    {"calibrate", "Label6", "Range"},
    {"calibrate", "range", "Attenuator range of the measurement", true},
    {"calibrate", "Label7", "Proposed Adjust"},
    {"calibrate", "proposal", "Proposed Adjust, pC per volt", true},
    {"calibrate", "Label8", "Linearity"},
    {"calibrate", "linearity", "Linearity error at the second value", true},
    {"calibrate", "calwarn", "Calibration warnings", true},
    {"calibrate", "accept", "Accept, store the proposed Adjust"},
    {"calibrate", "close", "Close the calibration window"},

    // The acceptance test.
    {"acceptance", "Label1", "Test voltage"},
    {"acceptance", "testkv", "Test voltage, kilovolts"},
    {"acceptance", "Label2", "Hold time"},
    {"acceptance", "holds", "Hold time at the test voltage, seconds"},
    {"acceptance", "Label3", "Permissible charge"},
    {"acceptance", "permpc", "Permissible charge, picocoulombs"},
    {"acceptance", "Label4", "Background threshold"},
    {"acceptance", "bgkv", "Test voltage below which the background is measured, kilovolts"},
    {"acceptance", "accproblem", "Why the limits were not stored", true},
    {"acceptance", "accstate", "Acceptance test state", true},
    {"acceptance", "accok", "OK, store the limits and start the test"},
    {"acceptance", "accrestart", "Restart the hold at the test voltage"},
    {"acceptance", "accclear", "No acceptance test"},
    {"acceptance", "accclose", "Close the acceptance window"},

    // The test details the report names.
    {"testDetails", "Label1", "Test object identification"},
    {"testDetails", "objid", "Test object identification, serial number or tag"},
    {"testDetails", "Label2", "Test object type"},
    {"testDetails", "objtype", "Type of the test object"},
    {"testDetails", "Label3", "Test object rating"},
    {"testDetails", "objrating", "Rating of the test object"},
    {"testDetails", "Label4", "Customer"},
    {"testDetails", "customer", "Customer"},
    {"testDetails", "Label5", "Operator"},
    {"testDetails", "operator", "Operator who makes the test"},
    {"testDetails", "Label6", "Standard and clause"},
    {"testDetails", "standard", "Standard and clause applied"},
    {"testDetails", "Label7", "Coupling capacitor"},
    {"testDetails", "ccap", "Coupling capacitance, picofarads"},
    {"testDetails", "Label8", "Measuring impedance"},
    {"testDetails", "impedance", "Measuring impedance or quadripole"},
    {"testDetails", "Label9", "Supply frequency"},
    {"testDetails", "supplyhz", "Supply frequency, hertz"},
    {"testDetails", "Label10", "Calibrator"},
    {"testDetails", "calibid", "Calibrator identification"},
    {"testDetails", "Label11", "Calibrator last checked"},
    {"testDetails", "calibdate", "Date of the calibrator's last check, year-month-day"},
    {"testDetails", "Label12", "Notes"},
    {"testDetails", "notes", "Notes for the report"},
    {"testDetails", "detproblem", "Why the details were not taken", true},
    {"testDetails", "detok", "OK, take the test details"},
    {"testDetails", "detreport", "Take the details and write the test report"},
    {"testDetails", "detclose", "Close the test details window"},

    // The unit search.
    {"commtest", "scanCaption", "Scanning unit"},
    {"commtest", "scanAddress", "Address being asked", true},
};

// The attenuator's divisions as the panels print them.
const QStringList kAttenuatorSteps = {"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                                      "1/50", "1/100", "1/200", "1/500", "1/1000"};

const ArrayWords kArrays[] = {
    {"panel", "Label5", "Input attenuator %1", kAttenuatorSteps},
    {"panel", "peakb", "Input attenuator %1", kAttenuatorSteps},
    {"panel", "rateb", "Rate meter range %1", {"×1", "×5", "×10", "×50"}},
    {"Options", "Option1", "Sample time %1", {"minimum", "100 ms", "200 ms", "500 ms"}},
    {"Options", "Option2", "Test voltage range times %1", {"1", "2", "4", "5"}},
    {"Options", "Option3", "Line speed %1 baud", {"9600", "19200", "38400"}},
    {"Options", "Option4", "Gate time %1", {"100 ms", "200 ms", "500 ms", "1 s"}},
    {"Options", "Option5", "Q-N passes: %1", {"5", "10", "15", "20", "25", "30", "non stop"}},
    {"ZN4", "Frame2", "Channel %1 attenuator", {"B", "A"}},
    {"ZN4", "Label6", "Attenuator step %1", kAttenuatorSteps},
};

QString key(const QString& form, const QString& name) {
    return form + QLatin1Char('/') + name;
}

const QHash<QString, PlainName>& words() {
    static const QHash<QString, PlainName> table = [] {
        QHash<QString, PlainName> t;
        for (const Words& w : kWords) {
            t.insert(key(QLatin1String(w.form), QLatin1String(w.name)),
                     {QString::fromUtf8(w.words), w.withText});
        }
        // The unit search shows the same rows for both ports.
        const char* const units[][2] = {{"Kr", "Detector"}, {"Acu", "AC unit"}, {"Zn", "ZN-4"}};
        for (int port = 1; port <= 2; ++port) {
            const QString com = QStringLiteral("com%1").arg(port);
            const QString onPort = QStringLiteral(" on port %1").arg(port);
            t.insert(key(QStringLiteral("commtest"), com), {QStringLiteral("Port %1").arg(port)});
            t.insert(key(QStringLiteral("commtest"), com + QStringLiteral("UnitCaption")),
                     {QStringLiteral("Unit") + onPort});
            t.insert(key(QStringLiteral("commtest"), com + QStringLiteral("AddressCaption")),
                     {QStringLiteral("Address") + onPort});
            for (const auto& [unitKey, unit] : units) {
                const QString row = com + QLatin1String(unitKey);
                const QString u = QLatin1String(unit);
                t.insert(key(QStringLiteral("commtest"), row + QStringLiteral("Caption")),
                         {u + onPort});
                t.insert(key(QStringLiteral("commtest"), row + QStringLiteral("Address")),
                         {u + QStringLiteral(" address") + onPort, true});
                t.insert(key(QStringLiteral("commtest"), row + QStringLiteral("Ident")),
                         {u + QStringLiteral(" identification") + onPort, true});
            }
        }
        return t;
    }();
    return table;
}

const ArrayWords* arrayWords(const QString& form, const QString& array) {
    for (const ArrayWords& a : kArrays) {
        if (form == QLatin1String(a.form) && array == QLatin1String(a.array)) {
            return &a;
        }
    }
    return nullptr;
}

}  // namespace

PlainName plainName(const QString& form, const QString& name) {
    const auto found = words().constFind(key(form, name));
    if (found != words().constEnd()) {
        return *found;
    }
    static const QRegularExpression element(QStringLiteral("^(\\w+)\\((\\d+)\\)$"));
    const QRegularExpressionMatch m = element.match(name);
    if (!m.hasMatch()) {
        return {};
    }
    const ArrayWords* a = arrayWords(form, m.captured(1));
    if (a == nullptr) {
        return {};
    }
    const int index = m.captured(2).toInt();
    const QString filler = index < a->fillers.size() ? a->fillers[index] : QString::number(index);
    return {QString::fromUtf8(a->words).arg(filler)};
}

PlainName plainNameOf(const QObject* control, const QString& name) {
    for (const QObject* form = control->parent(); form != nullptr; form = form->parent()) {
        if (!form->objectName().isEmpty()) {
            PlainName found = plainName(form->objectName(), name);
            if (!found.words.isEmpty()) {
                return found;
            }
        }
    }
    return plainName(QStringLiteral("*"), name);
}

}  // namespace kr5
