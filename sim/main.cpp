// kr5sim: the detector, the AC unit and the noise discriminator on pseudo-terminals, for
// running, demonstrating and testing the program without a high-voltage set. See
// README.md for the options and the scenario format.
#include "bench.h"
#include "scenario.h"
#include "simhost.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

const char* const kUsage =
    "usage: kr5sim [--scenario FILE] [--log FILE] [--ports-file FILE] [--link-dir DIR]\n"
    "              [--nice N] [--SETTING VALUE ...]\n"
    "Puts each port of the bench on a pseudo-terminal, prints PORTn=DEVICE lines and\n"
    "READY, and runs until SIGINT or SIGTERM. Every scenario setting (seed, turnaround,\n"
    "pt, calibration, operator, unit, port, profile, object, fault, pull) can be given as\n"
    "--SETTING \"VALUE\"; settings apply in the order given, a --scenario file where it\n"
    "stands. --nice N runs it at that niceness (default -10, where the system allows it)\n"
    "so that it answers on time on a busy machine, as the instruments always do.\n";

// The units answer within their turnaround whatever else the computer does; a simulator
// that waits for the processor behind other programs answers late, and the program then
// rightly counts no answer. So it asks to run ahead of ordinary programs. Only a process
// with the right to (root, CAP_SYS_NICE or an rlimit) gets it; the others run as they are
// and are told.
void takePriority(int niceness) {
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, 0);
    if (errno != 0 || niceness >= now) {
        return;
    }
    // Timers end on time, not up to 50 microseconds later: a reply that is due goes out
    // when it is due.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    if (setpriority(PRIO_PROCESS, 0, niceness) != 0) {
        std::fprintf(stderr,
                     "kr5sim: could not raise its priority (%s); on a busy machine some "
                     "answers may come late\n",
                     std::strerror(errno));
    }
}

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
    int niceness = -10;
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
        } else if (key == QLatin1String("nice")) {
            bool ok = false;
            niceness = value.toInt(&ok);
            if (!ok || niceness < -20 || niceness > 19) {
                return fail(QStringLiteral("--nice: expected -20 to 19, not \"%1\"").arg(value));
            }
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

    takePriority(niceness);
    Bench bench(builder.scenario());
    SimHost host(bench, options);
    QString error;
    if (!host.start(&error)) {
        return fail(error);
    }
    host.run(stopRequested, waitMask);
    const SimHost::Punctuality& p = host.punctuality();
    std::fprintf(stderr,
                 "kr5sim: %lld answers, %lld of them more than %.0f ms late, the latest %.1f ms, "
                 "on average %.3f ms\n",
                 static_cast<long long>(p.runs), static_cast<long long>(p.lateRuns),
                 SimHost::Punctuality::kLateUs / 1000.0, p.latestUs / 1000.0,
                 p.runs > 0 ? p.totalBehindUs / static_cast<double>(p.runs) / 1000.0 : 0.0);
    return 0;
}
