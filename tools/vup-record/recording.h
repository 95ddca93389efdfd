// The three things the recorder makes: an mp4, a folder of PNG frames, or one
// still.
#pragma once

#include "record_options.h"

constexpr int kExitRecorded = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Records what the options ask for and returns the exit status: 0 when the
// output is complete, 1 after a one-line message on stderr, 128 + signal when
// SIGINT or SIGTERM stopped it (no partial file is left under a final name).
int RunRecording(const RecordOptions& options);
