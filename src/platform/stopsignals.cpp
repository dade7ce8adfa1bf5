#include "stopsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace kr5 {

#ifdef Q_OS_UNIX
namespace {

int g_signalPipe[2] = {-1, -1};  // written by the handler, which may touch nothing else

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop)) {
    if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        return;
    }
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    notifier_ = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        if (onStop_) {
            onStop_();
        }
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // A closed terminal or a dropped remote session (SIGHUP) ends the program as an
    // operator's stop does: the units released, the files closed.
    for (const int stop : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(stop, &action, nullptr);
    }
    // A file that reaches the size limit (ulimit -f) must fail its write like a full disk
    // does, so that the rows wait and the files close whole, rather than end the program.
    signal(SIGXFSZ, SIG_IGN);
}

StopSignals::~StopSignals() {
    for (const int stop : {SIGINT, SIGTERM, SIGHUP}) {
        signal(stop, SIG_DFL);
    }
}
#else
StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop)) {}
StopSignals::~StopSignals() = default;
#endif

}  // namespace kr5
