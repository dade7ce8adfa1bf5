// The program's command line, read before any window system is touched: --help and
// --version must work on a machine without a display, and a bad option must end the
// program before it opens a port. main() acts on the result; nothing here starts anything.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace kr5 {

struct CommandLine {
    enum class Action {
        Run,        // start the program with the options below
        Help,       // print helpText() and end
        Version,    // print the version and end
        ListPorts,  // print the serial ports present and end
        Report,     // write the report of reportInput to reportOutput and end
        Results,    // print the results store's tests and end
        Store,      // store the recorded test storeInput in the results store and end
        Error,      // print error on standard error and end with kExitBadOption
    };
    Action action = Action::Run;
    QString error;

    bool status = false;
    int sampleMs = -1;    // -1: the default
    int speedIndex = -1;  // -1: stay at 9600 baud
    // The devices of ports 1 and 2 named on the command line; empty leaves the choice to
    // the environment variables KR5AU_PORT1 and KR5AU_PORT2, then to the system's names.
    std::array<QString, 2> devices;
    QString frameLogPath;  // empty: no frame log
    QString listen;        // --listen [ADDRESS:]PORT, checked; empty: no server asked for
    QString reportInput;   // --report: the measurement file
    QString reportOutput;  // -o: the PDF
    // --results: which tests (empty: all) and how they are printed, csv or json.
    QString resultsObject;
    QString resultsType;
    QString resultsCustomer;
    QDate resultsSince;
    QDate resultsUntil;
    QString resultsVerdict;  // PASS or FAIL
    QString resultsFormat = QStringLiteral("csv");
    QString storeInput;  // --store: the measurement file
};

// arguments: as QCoreApplication::arguments() gives them, the program's name first.
// Qt's own window-system options (-platform NAME, -style NAME, -reverse ...) are passed
// over, so that QApplication still finds them.
CommandLine parseCommandLine(const QStringList& arguments);

// The text of --help: usage, the options and the exit codes. The name of the executable
// comes from QCoreApplication when one exists.
QString helpText();

// One serial port as --list-ports shows it.
struct PortDescription {
    QString device;  // the path to open, e.g. /dev/ttyUSB0
    QString description;
    QString manufacturer;
};

// The text of --list-ports: one line per port, or a line saying there are none.
QString portListText(const std::vector<PortDescription>& ports);

}  // namespace kr5
