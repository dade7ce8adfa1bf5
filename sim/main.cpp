// kr5sim: the detector, the AC unit and the noise discriminator on pseudo-terminals, for
// running, demonstrating and testing the program without a high-voltage set. See
// README.md for the options and the scenario format.
#include "bench.h"
#include "scenario.h"
#include "simhost.h"

#include <QFile>
#include <QStringList>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

const char* const kUsage =
    "usage: kr5sim [--scenario FILE] [--log FILE] [--ports-file FILE] [--link-dir DIR]\n"
    "              [--SETTING VALUE ...]\n"
    "Puts each port of the bench on a pseudo-terminal, prints PORTn=DEVICE lines and\n"
    "READY, and runs until SIGINT or SIGTERM. Every scenario setting (seed, turnaround,\n"
    "pt, calibration, operator, unit, port, profile, object, fault, pull) can be given as\n"
    "--SETTING \"VALUE\"; settings apply in the order given, a --scenario file where it\n"
    "stands.\n";

int fail(const QString& message) {
    std::fputs(qPrintable(QStringLiteral("kr5sim: %1\n").arg(message)), stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kr5::sim;

    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    ScenarioBuilder builder;
    HostOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!arg.startsWith(QLatin1String("--")) || i + 1 >= args.size()) {
            std::fputs(kUsage, stderr);
            return fail(QStringLiteral("expected --OPTION VALUE at \"%1\"").arg(arg));
        }
        const QString key = arg.mid(2);
        const QString value = args[++i];
        QString error;
        if (key == QLatin1String("log")) {
            options.logPath = value;
        } else if (key == QLatin1String("ports-file")) {
            options.portsFile = value;
        } else if (key == QLatin1String("link-dir")) {
            options.linkDir = value;
        } else if (key == QLatin1String("scenario")) {
            QFile file(value);
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
                return fail(QStringLiteral("cannot read %1").arg(value));
            }
            if (!builder.applyText(QString::fromUtf8(file.readAll()), &error)) {
                return fail(QStringLiteral("%1: %2").arg(value, error));
            }
        } else if (!builder.apply(key + QLatin1Char(' ') + value, &error)) {
            return fail(QStringLiteral("--%1: %2").arg(key, error));
        }
    }

    // SIGINT and SIGTERM are held back except while the host waits in ppoll, so a stop
    // request is seen at once and never lost between the test and the wait.
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t held;
    sigset_t waitMask;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGTERM);
    sigprocmask(SIG_BLOCK, &held, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);

    Bench bench(builder.scenario());
    SimHost host(bench, options);
    QString error;
    if (!host.start(&error)) {
        return fail(error);
    }
    host.run(stopRequested, waitMask);
    return 0;
}
