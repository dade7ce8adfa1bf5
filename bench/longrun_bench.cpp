// A long run of the whole program in virtual time: 24 simulated hours (or --hours H) of
// recording at a 500 ms sample time on the simulated bench, with one fault every minute
// (a unit silent, late, garbled or answering in pieces, the port pulled, the disk full),
// each lasting a few seconds. It prints how fast virtual time ran, the faults and whether
// the program mended after each, the rows written and missing and the resident memory
// over the hours. The figures are never judged; the exit status is 1 when a check of the
// program's behaviour failed: a crash or a hang, a torn or made-up row, a fault after
// which the program did not come back to its normal cycle.
//
//   longrun_bench [--hours H] [--seed N] [--speed 0|1|2] [--qt-events MS] [--report MIN]
//                 [--recover S] [--faults silent,late,garbled,pieces,pull,full|none]
#include "longrun_bench_run.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The whole program for hours of virtual time, a fault every minute."));
    parser.addHelpOption();
    const QCommandLineOption hours(QStringLiteral("hours"),
                                   QStringLiteral("Simulated hours (fractions allowed)."),
                                   QStringLiteral("h"), QStringLiteral("24"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the bench and the faults."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Line speed index 0..2 (9600..38400 baud)."),
                                   QStringLiteral("index"), QStringLiteral("0"));
    const QCommandLineOption qtEvents(
        QStringLiteral("qt-events"),
        QStringLiteral("Let Qt repaint every so many ms of virtual time (0: never)."),
        QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption report(QStringLiteral("report"),
                                    QStringLiteral("A progress line every so many minutes."),
                                    QStringLiteral("minutes"), QStringLiteral("60"));
    const QCommandLineOption recover(
        QStringLiteral("recover"),
        QStringLiteral("Seconds after a fault clears by which the program must have mended."),
        QStringLiteral("s"), QStringLiteral("5"));
    const QCommandLineOption faults(
        QStringLiteral("faults"),
        QStringLiteral("The faults to take turns, comma-separated: silent, late, garbled, "
                       "pieces, pull, full; or none."),
        QStringLiteral("list"), QStringLiteral("silent,late,garbled,pieces,pull,full"));
    parser.addOptions({hours, seed, speed, qtEvents, report, recover, faults});
    parser.process(app);

    kr5::longrun::RunOptions options;
    bool ok = true;
    options.hours = parser.value(hours).toDouble(&ok);
    if (!ok || options.hours <= 0.0) {
        std::fprintf(stderr, "--hours wants a positive number\n");
        return 2;
    }
    options.seed = parser.value(seed).toUInt();
    options.speedIndex = qBound(0, parser.value(speed).toInt(), 2);
    options.qtEventsMs = qMax(0, parser.value(qtEvents).toInt());
    options.reportMinutes = qMax(1, parser.value(report).toInt());
    // Two seconds of rows before the check are part of it.
    options.recoverS = qMax(2.5, parser.value(recover).toDouble());

    options.faultTypes.clear();
    for (const QString& name : parser.value(faults).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto type = kr5::longrun::faultTypeNamed(name.trimmed());
        if (!type && name.trimmed() != QLatin1String("none")) {
            std::fprintf(stderr, "--faults: no fault named %s\n", qPrintable(name));
            return 2;
        }
        if (type) {
            options.faultTypes.push_back(*type);
        }
    }

    kr5::longrun::LongRun run(options);
    return run.run();
}
