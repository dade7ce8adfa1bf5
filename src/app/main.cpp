// kr5au: the measuring program of the KR-5 partial-discharge detector.
//   kr5au                   the program with its windows
//   kr5au --status          also prints one status line a second, and answers the start-up
//                           questions on the terminal (for a machine without a display)
//   kr5au --sample MS       starts with a sample time of MS (0, 100, 200, 500) instead of MIN
//   kr5au --speed INDEX     moves the line to 9600 (0), 19200 (1) or 38400 (2) baud at once
//   kr5au --port1 DEVICE    the serial device of port 1 (before KR5AU_PORT1); --port2 alike
//   kr5au --log-frames FILE writes every frame sent and every reply received to FILE
//   kr5au --list-ports      prints the serial ports present and ends
//   kr5au --report F -o P   writes the report of the measurement file F as the PDF P
//   kr5au --results [--object ID] [--type T] [--customer NAME] [--since DATE] [--until DATE]
//                   [--verdict PASS|FAIL] [--format csv|json]
//                           prints the tests of the results store and ends
//   kr5au --store F         stores the recorded measurement file F in the results store
//   kr5au --help, --version print the help or the version and end, even without a display
// The exit status tells a normal end from each start-up failure (app/exitcodes.h).
#include "app/commandline.h"
#include "app/consoledialogs.h"
#include "app/exitcodes.h"
#include "app/help/helplauncher.h"
#include "app/program.h"
#include "app/reportcommand.h"
#include "app/resultscommand.h"
#include "platform/fiberwaiter.h"
#include "platform/qtclipboard.h"
#include "platform/qtclock.h"
#include "platform/qtdialogs.h"
#include "platform/qtfiles.h"
#include "platform/qtlauncher.h"
#include "platform/qtlooprunner.h"
#include "platform/qtmailbox.h"
#include "platform/qtserialport.h"
#include "platform/stopsignals.h"

#include <QApplication>
#include <QDir>
#include <QSerialPortInfo>
#include <QTextStream>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("KR5AU"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KR5AU_VERSION));
}

std::vector<kr5::PortDescription> serialPorts() {
    std::vector<kr5::PortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.push_back({info.systemLocation(), info.description(), info.manufacturer()});
    }
    return ports;
}

// What the command line asks to be done instead of running the program, done on the
// terminal. Nothing here may need a window system.
int answerOnTerminal(const kr5::CommandLine& line) {
    QTextStream out(stdout);
    switch (line.action) {
        case kr5::CommandLine::Action::Help:
            out << kr5::helpText();
            return kr5::kExitDone;
        case kr5::CommandLine::Action::Version:
            out << QCoreApplication::applicationName() << ' '
                << QCoreApplication::applicationVersion() << '\n';
            return kr5::kExitDone;
        case kr5::CommandLine::Action::ListPorts:
            out << kr5::portListText(serialPorts());
            return kr5::kExitDone;
        case kr5::CommandLine::Action::Error:
            QTextStream(stderr) << QCoreApplication::applicationName() << ": " << line.error
                                << '\n';
            return kr5::kExitBadOption;
        case kr5::CommandLine::Action::Results:
            return kr5::printResults(line);
        case kr5::CommandLine::Action::Run:
        case kr5::CommandLine::Action::Report:
        case kr5::CommandLine::Action::Store:
            break;
    }
    return kr5::kExitDone;
}

// Beside the executable (the build folder, or a copy of the program), then where the
// installation puts its data: the data folder of the prefix the program was built for,
// and the one beside its bin folder, for a package built for another prefix or an
// installed tree that was moved.
QStringList helpFolders() {
    QStringList folders = kr5::defaultHelpFolders();
#ifdef KR5AU_DATA_DIR
    folders << QStringLiteral(KR5AU_DATA_DIR);
#endif
    const QString besideBin =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kr5au"));
    if (!folders.contains(besideBin)) {
        folders << besideBin;
    }
    return folders;
}

}  // namespace

int main(int argc, char** argv) {
    // The command line is read before the window system is asked for: --help must work
    // on a machine without a display. Qt Core is enough for that.
    kr5::CommandLine line;
    {
        QCoreApplication core(argc, argv);
        nameApplication();
        line = kr5::parseCommandLine(QCoreApplication::arguments());
        if (line.action != kr5::CommandLine::Action::Run &&
            line.action != kr5::CommandLine::Action::Report &&
            line.action != kr5::CommandLine::Action::Store) {
            return answerOnTerminal(line);
        }
    }

    if (line.action == kr5::CommandLine::Action::Report ||
        line.action == kr5::CommandLine::Action::Store) {
        // The charts are drawn off screen: no display is needed, nor a port.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        QApplication app(argc, argv);
        nameApplication();
        if (line.action == kr5::CommandLine::Action::Store) {
            return kr5::storeRecordedFile(line.storeInput);
        }
        return kr5::writeReportOfFile(line.reportInput, line.reportOutput);
    }

    // On X11 the windows repaint small areas (a readout, the newest part of a curve) many
    // times a second. Through shared memory, each repaint of an area the X server may
    // still be reading waits for a round trip to it and brings a completion event back;
    // sent over the connection, a small area costs neither: about a tenth of the
    // program's processor time at 38400 baud flat out.
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    nameApplication();
    // The program ends through its own shutdown, never by closing its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    kr5::ProgramOptions options;
    options.status = line.status;
    options.sampleMs = line.sampleMs;
    options.speedIndex = line.speedIndex;
    options.frameLogPath = line.frameLogPath;
    options.listen = line.listen;
    options.helpFolders = helpFolders();
    kr5::QtClock clock;
    kr5::FiberWaiter waiter(clock);
    kr5::QtSerialPort port;
    for (int number = 1; number <= 2; ++number) {
        port.setDevice(number, line.devices[static_cast<size_t>(number - 1)]);
    }
    kr5::QtDialogs boxes;
    // Without a display nobody could answer a message box: the terminal takes them.
    kr5::ConsoleDialogs console;
    kr5::QtLauncher launcher;
    kr5::QtClipboard clipboard;
    kr5::QtFiles files;
    kr5::Dialogs& dialogs = options.status ? static_cast<kr5::Dialogs&>(console) : boxes;
    // The measurement runs on a thread of its own, the line's device with it; work goes
    // there and back through two mailboxes.
    kr5::QtLoopRunner runner(waiter);
    runner.moveAlong(port.device());
    kr5::QtMailbox toEngine(runner.loopReceiver());
    kr5::QtMailbox toWindows(app);
    kr5::Program program(
        {clock, waiter, port, dialogs, launcher, clipboard, files, toEngine, toWindows, runner},
        options);
    boxes.setParentWindow(&program.mainWindow());
    kr5::StopSignals stop([&program] { program.requestEnd(); });
    return program.run();
}
