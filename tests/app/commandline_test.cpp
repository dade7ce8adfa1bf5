// Reading the command line without running the program. The built executable itself, and the
// serial device an option names, are in commandline_exe_test.cpp.
#include "app/commandline.h"

#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace kr5 {
namespace {

using Action = CommandLine::Action;

CommandLine parse(const QStringList& options) {
    return parseCommandLine(QStringList{QStringLiteral("kr5au")} + options);
}

TEST(CommandLine, EachOptionIsReadIntoWhatItAsksFor) {
    const CommandLine none = parse({});
    EXPECT_EQ(std::tuple(none.action, none.status, none.sampleMs, none.speedIndex),
              std::tuple(Action::Run, false, -1, -1));
    EXPECT_TRUE(none.devices[0].isEmpty() && none.devices[1].isEmpty() &&
                none.frameLogPath.isEmpty() && none.listen.isEmpty());

    const CommandLine all =
        parse({"--status", "--sample", "200", "--speed=2", "--port1", "/dev/ttyUSB0", "--port2",
               "/tmp/pty b", "--log-frames", "/tmp/frames.log", "--listen", "0.0.0.0:5025"});
    EXPECT_EQ(all.action, Action::Run) << all.error.toStdString();
    EXPECT_EQ(std::tuple(all.status, all.sampleMs, all.speedIndex), std::tuple(true, 200, 2));
    EXPECT_EQ(QStringList({all.devices[0], all.devices[1], all.frameLogPath, all.listen}),
              QStringList({"/dev/ttyUSB0", "/tmp/pty b", "/tmp/frames.log", "0.0.0.0:5025"}));

    // Zero is a value, not "unset": sample MIN and 9600 baud.
    const CommandLine zeros = parse({"--sample", "0", "--speed", "0"});
    EXPECT_EQ(std::pair(zeros.sampleMs, zeros.speedIndex), std::pair(0, 0));

    // Help is given even when another option is wrong: it is what the user needs then.
    for (const auto& [options, action] : {std::pair{QStringList{"--help"}, Action::Help},
                                          {{"-h"}, Action::Help},
                                          {{"--version"}, Action::Version},
                                          {{"--list-ports"}, Action::ListPorts},
                                          {{"--speed", "7", "--help"}, Action::Help}}) {
        EXPECT_EQ(parse(options).action, action) << options.join(' ').toStdString();
    }
    // Qt's window-system options are left for QApplication.
    const CommandLine line = parse({"-platform", "offscreen", "--status", "--style=Fusion",
                                    "-reverse", "--qwindowgeometry", "640x480", "--speed", "1"});
    EXPECT_EQ(line.action, Action::Run) << line.error.toStdString();
    EXPECT_TRUE(line.status);
    EXPECT_EQ(line.speedIndex, 1);
    // Only whole names count: an option that merely starts like one of Qt's is ours to refuse.
    EXPECT_EQ(parse({"--platforms", "x"}).action, Action::Error);
}

TEST(CommandLine, BadValuesAndUnknownOptionsAreErrorsThatNameTheOption) {
    const std::pair<QStringList, const char*> cases[] = {
        {{"--sample", "abc"}, "--sample"},
        {{"--sample", "150"}, "--sample"},
        {{"--sample", "-1"}, "--sample"},
        {{"--speed", "7"}, "--speed"},
        {{"--speed", "1x"}, "--speed"},
        {{"--speed", ""}, "--speed"},
        {{"--port1", ""}, "--port1"},
        {{"--log-frames="}, "--log-frames"},
        {{"--listen", "5025x"}, "--listen"},  // the addresses refused: remoteserver_test
        {{"--bogus"}, "bogus"},
        {{"--sample"}, "sample"},
        {{"stray"}, "stray"},
    };
    for (const auto& [arguments, named] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CommandLine line = parse(arguments);
        EXPECT_EQ(line.action, Action::Error);
        EXPECT_TRUE(line.error.contains(QLatin1String(named))) << line.error.toStdString();
    }
}

TEST(CommandLine, HelpListsEveryOptionAndTheExitCodesThePortListEachDevice) {
    const QString help = helpText();
    for (const char* option : {"--status", "--sample <ms>", "--speed <index>", "--port1 <device>",
                               "--port2 <device>", "--list-ports", "--log-frames <file>",
                               "--listen <[address:]port>", "--help", "--version"}) {
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
    }
    for (const char* code : {"  1  an unknown option\n", "  7  the AC unit is missing",
                             "  9  the remote control could not listen"}) {
        EXPECT_TRUE(help.contains(QLatin1String(code))) << code;
    }
    // The port list shows each device with what it is, or says there are none.
    EXPECT_EQ(portListText({}), "No serial ports found.\n");
    EXPECT_EQ(portListText({{"/dev/ttyUSB0", "FT232R USB UART", "FTDI"},
                            {"/dev/ttyS0", "", ""},
                            {"/dev/ttyACM0", "", "Arduino"},
                            {"/dev/ttyS1", "16550A", "16550A"}}),
              "/dev/ttyUSB0\tFT232R USB UART (FTDI)\n"
              "/dev/ttyS0\n"
              "/dev/ttyACM0\tArduino\n"
              "/dev/ttyS1\t16550A\n");
}

}  // namespace
}  // namespace kr5
