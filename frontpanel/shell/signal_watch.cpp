#include "shell/signal_watch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace zr {

namespace {
int g_pipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a pending wake-up; the result is irrelevant.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}
} // namespace

bool installTerminationHandlers() {
    if (g_pipe[0] >= 0) {
        return true;
    }
    if (::pipe(g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return false;
    }
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction sa {};
    sa.sa_handler = onTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &sa, nullptr);
    }
    return true;
}

SignalWatch::SignalWatch(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (!installTerminationHandlers()) {
        return;
    }
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalWatch::drain);
}

// The handlers stay: a signal from now on is absorbed by the pipe.
SignalWatch::~SignalWatch() = default;

void SignalWatch::drain() {
    char buffer[64];
    bool any = false;
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
        any = true;
    }
    if (any && onSignal_) {
        onSignal_();
    }
}

} // namespace zr
