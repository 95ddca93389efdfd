// SIGTERM, SIGINT and SIGHUP turned into a request that the main thread picks
// up, so the show ends through its normal close path (display mode back, tune
// stopped) and the process then ends by the same signal, as its parent
// expects. A signal ignored when the program starts (nohup, a background job
// of a non-interactive shell) stays ignored.
#pragma once

// Once per process, before anything registers exit-time cleanup: the signal
// is raised again at exit, after every cleanup registered later has run.
// Also ignores SIGPIPE, so a closed socket (the display's, the sound
// server's) shows up as a failed write rather than a silent death.
void InstallTerminationSignals();

// The first termination signal caught, 0 while there is none.
int TerminationSignal();

// Becomes readable when a termination signal is caught (-1 before the
// install); for threads that wait on it with poll. Reading drains it.
int TerminationSignalFd();
