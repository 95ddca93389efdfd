#include "interrupt.h"

#include <csignal>

static volatile sig_atomic_t pendingSignal = 0;

static void NoteSignal(int signalNumber) {
    pendingSignal = signalNumber;
}

void InstallInterruptHandlers() {
    struct sigaction action = {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocked write to the encoder returns early instead.
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A dead encoder shows up as a failed write, not as a killed recorder.
    signal(SIGPIPE, SIG_IGN);
}

int PendingInterrupt() {
    return pendingSignal;
}
