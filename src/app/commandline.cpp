#include "commandline.h"

#include "modes/remoteserver.h"

#include "app/exitcodes.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <algorithm>

namespace kr5 {

namespace {

// Options QGuiApplication and QApplication take for themselves, with one dash or two.
// QApplication is made only after the command line is read, so they are left for it
// here instead of being refused as unknown.
const char* const kQtValueOptions[] = {"platform",        "platformpluginpath",
                                       "platformtheme",   "plugin",
                                       "qwindowgeometry", "qwindowicon",
                                       "qwindowtitle",    "display",
                                       "geometry",        "style",
                                       "stylesheet",      "session"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// What an argument is to Qt: none of its options, a flag, or an option whose value is the
// next argument or attached with '='.
enum class QtOption { None, Flag, WithValue, WithValueAttached };

QtOption qtOption(const QString& argument) {
    if (!argument.startsWith(QLatin1Char('-'))) {
        return QtOption::None;
    }
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    const bool attached = equals >= 0;
    if (attached) {
        name.truncate(equals);
    }
    for (const char* option : kQtValueOptions) {
        if (name == QLatin1String(option)) {
            return attached ? QtOption::WithValueAttached : QtOption::WithValue;
        }
    }
    for (const char* option : kQtFlagOptions) {
        if (!attached && name == QLatin1String(option)) {
            return QtOption::Flag;
        }
    }
    return QtOption::None;
}

QStringList withoutQtOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        // The program's name comes first and is never an option.
        const QtOption kind = i == 0 ? QtOption::None : qtOption(arguments[i]);
        if (kind == QtOption::WithValue) {
            ++i;  // and its value
        } else if (kind == QtOption::None) {
            kept << arguments[i];
        }
    }
    return kept;
}

// The options, with Qt's own --help and --version.
struct Options {
    QCommandLineOption status{QStringLiteral("status"),
                              QStringLiteral("Print a status line every second.")};
    QCommandLineOption sample{QStringLiteral("sample"),
                              QStringLiteral("Start with this sample time in ms."),
                              QStringLiteral("ms")};
    QCommandLineOption speed{QStringLiteral("speed"),
                             QStringLiteral("Line speed index 0..2 to change to at once."),
                             QStringLiteral("index")};
    QCommandLineOption port1{QStringLiteral("port1"),
                             QStringLiteral("The serial device of port 1 (before KR5AU_PORT1)."),
                             QStringLiteral("device")};
    QCommandLineOption port2{QStringLiteral("port2"),
                             QStringLiteral("The serial device of port 2 (before KR5AU_PORT2)."),
                             QStringLiteral("device")};
    QCommandLineOption listPorts{QStringLiteral("list-ports"),
                                 QStringLiteral("Print the serial ports present and end.")};
    QCommandLineOption logFrames{QStringLiteral("log-frames"),
                                 QStringLiteral("Write every frame sent and every reply "
                                                "received to this file."),
                                 QStringLiteral("file")};

    QCommandLineOption listen{QStringLiteral("listen"),
                              QStringLiteral("Take SCPI commands over TCP for lab automation on "
                                             "this port of 127.0.0.1, or of the address named "
                                             "(0.0.0.0:5025 for every network)."),
                              QStringLiteral("[address:]port")};

    QCommandLineOption report{QStringLiteral("report"),
                              QStringLiteral("Write the report of this measurement file (with "
                                             "its summary beside it) as PDF, without a display, "
                                             "and end."),
                              QStringLiteral("file")};
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("The PDF --report writes."), QStringLiteral("pdf")};

    QCommandLineOption results{QStringLiteral("results"),
                               QStringLiteral("Print the tests of the results store and end.")};
    QCommandLineOption object{QStringLiteral("object"),
                              QStringLiteral("--results: only the tests of this test object."),
                              QStringLiteral("id")};
    QCommandLineOption type{QStringLiteral("type"),
                            QStringLiteral("--results: only the tests of this object type."),
                            QStringLiteral("type")};
    QCommandLineOption customer{QStringLiteral("customer"),
                                QStringLiteral("--results: only the tests of this customer."),
                                QStringLiteral("name")};
    QCommandLineOption since{QStringLiteral("since"),
                             QStringLiteral("--results: only the tests started on or after this "
                                            "date (YYYY-MM-DD)."),
                             QStringLiteral("date")};
    QCommandLineOption until{QStringLiteral("until"),
                             QStringLiteral("--results: only the tests started on or before this "
                                            "date (YYYY-MM-DD)."),
                             QStringLiteral("date")};
    QCommandLineOption verdict{QStringLiteral("verdict"),
                               QStringLiteral("--results: only the tests of this verdict, PASS "
                                              "or FAIL."),
                               QStringLiteral("verdict")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("--results: csv (the default) or json."),
                              QStringLiteral("format")};
    QCommandLineOption store{QStringLiteral("store"),
                             QStringLiteral("Store this recorded measurement file (with its "
                                            "summary beside it) in the results store and end."),
                             QStringLiteral("file")};

    QCommandLineOption help{QStringLiteral("help")};
    QCommandLineOption version{QStringLiteral("version")};

    explicit Options(QCommandLineParser& parser) {
        parser.setApplicationDescription(
            QStringLiteral("The measuring program of the KR-5 partial-discharge detector.\n\n") +
            exitCodesHelp());
        help = parser.addHelpOption();
        version = parser.addVersionOption();
        parser.addOptions(
            {status, sample, speed, port1, port2, listPorts, logFrames, listen, report, output});
        parser.addOptions({results, object, type, customer, since, until, verdict, format, store});
    }
};

// A number option's value, or the reason it is not one the program takes.
bool readChoice(const QCommandLineParser& parser, const QCommandLineOption& option,
                std::initializer_list<int> allowed, int& into, QString& error) {
    if (!parser.isSet(option)) {
        return true;
    }
    const QString text = parser.value(option);
    bool number = false;
    const int value = text.toInt(&number);
    if (number && std::find(allowed.begin(), allowed.end(), value) != allowed.end()) {
        into = value;
        return true;
    }
    QStringList choices;
    for (const int a : allowed) {
        choices << QString::number(a);
    }
    error = QStringLiteral("Bad value '%1' for --%2: expected %3.")
                .arg(text, option.names().constFirst(), choices.join(QStringLiteral(", ")));
    return false;
}

bool readText(const QCommandLineParser& parser, const QCommandLineOption& option, QString& into,
              QString& error) {
    if (!parser.isSet(option)) {
        return true;
    }
    into = parser.value(option);
    if (into.isEmpty()) {
        error = QStringLiteral("Empty value for --%1.").arg(option.names().constFirst());
        return false;
    }
    return true;
}

// A date option's value: none when not given, false with the reason when it is no date.
bool readDate(const QCommandLineParser& parser, const QCommandLineOption& option, QDate& into,
              QString& error) {
    QString text;
    if (!readText(parser, option, text, error)) {
        return false;
    }
    if (text.isEmpty()) {
        return true;
    }
    into = QDate::fromString(text, Qt::ISODate);
    if (!into.isValid()) {
        error = QStringLiteral("Bad value '%1' for --%2: expected a date as 2026-03-31.")
                    .arg(text, option.names().constFirst());
        return false;
    }
    return true;
}

// --results with its filters and format, or --store; the filters alone are refused.
bool readResultsOptions(const QCommandLineParser& parser, const Options& o, CommandLine& line,
                        QString& error) {
    if (!readText(parser, o.object, line.resultsObject, error) ||
        !readText(parser, o.type, line.resultsType, error) ||
        !readText(parser, o.customer, line.resultsCustomer, error) ||
        !readDate(parser, o.since, line.resultsSince, error) ||
        !readDate(parser, o.until, line.resultsUntil, error) ||
        !readText(parser, o.verdict, line.resultsVerdict, error) ||
        !readText(parser, o.format, line.resultsFormat, error) ||
        !readText(parser, o.store, line.storeInput, error)) {
        return false;
    }
    bool filtered = false;
    for (const QCommandLineOption* option :
         {&o.object, &o.type, &o.customer, &o.since, &o.until, &o.verdict, &o.format}) {
        filtered = filtered || parser.isSet(*option);
    }
    if (filtered && !parser.isSet(o.results)) {
        error = QStringLiteral(
            "--object, --type, --customer, --since, --until, --verdict and --format go with "
            "--results.");
        return false;
    }
    if (!line.resultsVerdict.isEmpty() && line.resultsVerdict != QLatin1String("PASS") &&
        line.resultsVerdict != QLatin1String("FAIL")) {
        error = QStringLiteral("Bad value '%1' for --verdict: expected PASS or FAIL.")
                    .arg(line.resultsVerdict);
        return false;
    }
    if (parser.isSet(o.results) && parser.isSet(o.store)) {
        error = QStringLiteral("--results and --store are asked for one at a time.");
        return false;
    }
    if (line.resultsFormat != QLatin1String("csv") && line.resultsFormat != QLatin1String("json")) {
        error = QStringLiteral("Bad value '%1' for --format: expected csv or json.")
                    .arg(line.resultsFormat);
        return false;
    }
    if (parser.isSet(o.results)) {
        line.action = CommandLine::Action::Results;
    } else if (parser.isSet(o.store)) {
        line.action = CommandLine::Action::Store;
    }
    return true;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    QCommandLineParser parser;
    const Options o(parser);
    const auto fail = [&line](const QString& why) {
        line.action = CommandLine::Action::Error;
        line.error = why;
        return line;
    };
    if (!parser.parse(withoutQtOptions(arguments))) {
        return fail(parser.errorText());
    }
    // Asking for help or the version is answered even beside a value that is refused.
    // --help-all adds only Qt's debugging options to --help: it gets --help.
    if (parser.isSet(o.help) || parser.isSet(QStringLiteral("help-all"))) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (parser.isSet(o.version)) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail(QStringLiteral("Unexpected argument '%1'.")
                        .arg(parser.positionalArguments().constFirst()));
    }
    QString error;
    if (!readChoice(parser, o.sample, {0, 100, 200, 500}, line.sampleMs, error) ||
        !readChoice(parser, o.speed, {0, 1, 2}, line.speedIndex, error) ||
        !readText(parser, o.port1, line.devices[0], error) ||
        !readText(parser, o.port2, line.devices[1], error) ||
        !readText(parser, o.logFrames, line.frameLogPath, error) ||
        !readText(parser, o.listen, line.listen, error) ||
        !readText(parser, o.report, line.reportInput, error) ||
        !readText(parser, o.output, line.reportOutput, error)) {
        return fail(error);
    }
    if (!line.listen.isEmpty() && !parseListenAddress(line.listen, &error)) {
        return fail(QStringLiteral("Bad value for --listen: %1.").arg(error));
    }
    if (line.reportInput.isEmpty() != line.reportOutput.isEmpty()) {
        return fail(
            QStringLiteral("--report and -o go together: --report MEASUREMENT.csv -o "
                           "REPORT.pdf."));
    }
    if (!line.reportInput.isEmpty()) {
        line.action = CommandLine::Action::Report;
        return line;
    }
    if (!readResultsOptions(parser, o, line, error)) {
        return fail(error);
    }
    if (line.action != CommandLine::Action::Run) {
        return line;
    }
    line.status = parser.isSet(o.status);
    if (parser.isSet(o.listPorts)) {
        line.action = CommandLine::Action::ListPorts;
    }
    return line;
}

QString helpText() {
    QCommandLineParser parser;
    const Options o(parser);
    return parser.helpText();
}

QString portListText(const std::vector<PortDescription>& ports) {
    if (ports.empty()) {
        return QStringLiteral("No serial ports found.\n");
    }
    QString text;
    for (const PortDescription& port : ports) {
        QString about = port.description;
        if (!port.manufacturer.isEmpty() && port.manufacturer != port.description) {
            about += about.isEmpty() ? port.manufacturer
                                     : QStringLiteral(" (%1)").arg(port.manufacturer);
        }
        text += port.device;
        if (!about.isEmpty()) {
            text += QLatin1Char('\t') + about;
        }
        text += QLatin1Char('\n');
    }
    return text;
}

}  // namespace kr5
