// SIGINT and SIGTERM during a recording: the handler only notes the signal;
// the recording loop sees it between frames, removes its temporary files and
// ends with the conventional 128 + signal status.
#pragma once

void InstallInterruptHandlers();

// The signal that asked the recorder to stop, or 0.
int PendingInterrupt();
