#include "platform/posix/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

// Lock-free, so the handler may touch it.
static std::atomic<int> caughtSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
static int signalPipe[2] = {-1, -1};

// Async-signal-safe only: an atomic store and a non-blocking write.
static void NoteSignal(int signalNumber) {
    const int savedErrno = errno;
    int none = 0;
    caughtSignal.compare_exchange_strong(none, signalNumber);
    const char byte = 1;
    if (write(signalPipe[1], &byte, 1) < 0) {
        // Full pipe: a wake-up is already waiting.
    }
    errno = savedErrno;
}

// The last exit-time step: the process ends by the signal it was sent.
static void EndByCaughtSignal() {
    const int signalNumber = caughtSignal.load();
    if (signalNumber == 0) {
        return;
    }
    std::fflush(nullptr);
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void InstallTerminationSignals() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    if (pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
    }
    std::atexit(EndByCaughtSignal);
    signal(SIGPIPE, SIG_IGN);
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current = {};
        if (sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action = {};
        action.sa_handler = NoteSignal;
        sigemptyset(&action.sa_mask);
        // A second signal of the same kind takes the default action at once:
        // the way out when the cleanup itself hangs.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        sigaction(signalNumber, &action, nullptr);
    }
}

int TerminationSignal() {
    return caughtSignal.load();
}

int TerminationSignalFd() {
    return signalPipe[0];
}
