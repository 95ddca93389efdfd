// A one-line progress bar on stderr, redrawn in place, only when stderr is a
// terminal: logs and pipes stay quiet.
#pragma once

#include <cstdint>
#include <string>

// "[=========>          ]  1234/5100 frames  41.3 frames/s  1:34 left",
// barWidth characters between the brackets.
std::string FormatProgress(int64_t done, int64_t total, double elapsedSeconds, int barWidth);

void ProgressStart(int64_t totalFrames);
void ProgressUpdate(int64_t framesDone);
// Draws the final state and ends the line.
void ProgressFinish();
