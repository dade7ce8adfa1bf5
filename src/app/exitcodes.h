// The program's exit status: a script that starts it, and an operator reading a log, can
// tell each start-up failure from the others and from a normal end.
#pragma once

#include "link/discovery.h"

namespace kr5 {

enum ExitCode : int {
    kExitDone = 0,          // ended by the operator (Exit, SIGINT, SIGTERM, SIGHUP)
    kExitBadOption = 1,     // an option it does not know (Qt's command line parser)
    kExitNoDevice = 2,      // the serial device does not exist
    kExitPortDenied = 3,    // the user may not open the serial device
    kExitPortInUse = 4,     // another program holds the serial device
    kExitPortUnusable = 5,  // the serial device would not open for another reason
    kExitNoDetector = 6,    // a port opened, but no KR-5 answered
    kExitNoAcUnitStop = 7,  // the operator would not measure without the AC unit
    kExitNoReport = 8,      // --report: the file was refused or the PDF not written
    kExitNoListen = 9,      // the remote control's address could not be listened on
    kExitNoResults = 10,    // --results, --store: the store unreadable, or the test not stored
};

inline int exitCodeFor(const UnitSearch& search) {
    switch (search.outcome) {
        case UnitSearch::Outcome::Found:
            return kExitDone;
        case UnitSearch::Outcome::NoPort:
            switch (search.portProblem) {
                case PortProblem::Kind::Missing:
                    return kExitNoDevice;
                case PortProblem::Kind::PermissionDenied:
                    return kExitPortDenied;
                case PortProblem::Kind::InUse:
                    return kExitPortInUse;
                default:
                    return kExitPortUnusable;
            }
        case UnitSearch::Outcome::NoDetector:
            return kExitNoDetector;
        case UnitSearch::Outcome::NoAcUnit:  // not yet answered: nobody said go on
        case UnitSearch::Outcome::NoAcUnitStop:
            return kExitNoAcUnitStop;
    }
    return kExitNoDetector;
}

// The exit codes as --help lists them.
inline QString exitCodesHelp() {
    return QStringLiteral(
        "Exit codes:\n"
        "  0  ended by the operator (Exit, Ctrl-C, SIGTERM, SIGHUP)\n"
        "  1  an unknown option\n"
        "  2  the serial device does not exist\n"
        "  3  permission denied on the serial device (join the group that owns it)\n"
        "  4  the serial device is in use by another program\n"
        "  5  the serial device would not open for another reason\n"
        "  6  the port opened, but no KR-5 answered\n"
        "  7  the AC unit is missing and the operator chose not to go on\n"
        "  8  --report: the measurement file was refused or the report could not be written\n"
        "  9  the remote control could not listen on its address (--listen or the setting)\n"
        "  10 --results: the results store could not be read; --store: the test was not\n"
        "     stored now (it waits in the local queue, or the file was refused)");
}

}  // namespace kr5
