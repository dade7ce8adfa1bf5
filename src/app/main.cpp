// kr5au: the measuring program of the KR-5 partial-discharge detector.
//   kr5au                 the program with its windows
//   kr5au --status        also prints one status line a second, and answers the start-up
//                         questions on the terminal (for a machine without a display)
//   kr5au --sample MS     starts with a sample time of MS (0, 100, 200, 500) instead of MIN
//   kr5au --speed INDEX   moves the line to 9600 (0), 19200 (1) or 38400 (2) baud at once
// The exit status tells a normal end from each start-up failure (app/exitcodes.h).
#include "app/consoledialogs.h"
#include "app/exitcodes.h"
#include "app/program.h"
#include "platform/qtclipboard.h"
#include "platform/qtclock.h"
#include "platform/qtdialogs.h"
#include "platform/qteventpump.h"
#include "platform/qtfiles.h"
#include "platform/qtlauncher.h"
#include "platform/qtserialport.h"
#include "platform/stopsignals.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KR5AU"));
    QApplication::setApplicationVersion(QStringLiteral(KR5AU_VERSION));
    // The program ends through its own shutdown, never by closing its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The measuring program of the KR-5 partial-discharge detector.\n\n") +
        kr5::exitCodesHelp());
    parser.addHelpOption();
    const QCommandLineOption status(QStringLiteral("status"),
                                    QStringLiteral("Print a status line every second."));
    const QCommandLineOption sample(QStringLiteral("sample"),
                                    QStringLiteral("Start with this sample time in ms."),
                                    QStringLiteral("ms"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Line speed index 0..2 to change to at once."),
                                   QStringLiteral("index"));
    parser.addOptions({status, sample, speed});
    parser.process(app);

    kr5::ProgramOptions options;
    options.status = parser.isSet(status);
    if (parser.isSet(sample)) {
        options.sampleMs = parser.value(sample).toInt();
    }
    if (parser.isSet(speed)) {
        options.speedIndex = parser.value(speed).toInt();
    }
    kr5::QtClock clock;
    kr5::QtEventPump pump(clock);
    kr5::QtSerialPort port;
    kr5::QtDialogs boxes;
    // Without a display nobody could answer a message box: the terminal takes them.
    kr5::ConsoleDialogs console;
    kr5::QtLauncher launcher;
    kr5::QtClipboard clipboard;
    kr5::QtFiles files;
    kr5::Dialogs& dialogs = options.status ? static_cast<kr5::Dialogs&>(console) : boxes;
    kr5::Program program({clock, pump, port, dialogs, launcher, clipboard, files}, options);
    boxes.setParentWindow(&program.mainWindow());
    kr5::StopSignals stop([&program] { program.requestEnd(); });
    return program.run();
}
