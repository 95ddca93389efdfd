#include "progress_meter.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

static bool progressEnabled = false;
static int64_t progressTotal = 0;
static int64_t progressDone = 0;
static std::chrono::steady_clock::time_point progressStartTime;
static std::chrono::steady_clock::time_point progressLastDrawn;

std::string FormatProgress(int64_t done, int64_t total, double elapsedSeconds, int barWidth) {
    const double fraction =
        total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(fraction * barWidth);
    std::string bar(static_cast<size_t>(barWidth), ' ');
    for (int i = 0; i < filled && i < barWidth; ++i) {
        bar[static_cast<size_t>(i)] = '=';
    }
    if (filled < barWidth) {
        bar[static_cast<size_t>(filled)] = '>';
    }

    const double rate = elapsedSeconds > 0.0 ? static_cast<double>(done) / elapsedSeconds : 0.0;
    char timeLeft[32] = "--:--";
    if (rate > 0.0) {
        const long seconds = static_cast<long>(static_cast<double>(total - done) / rate + 0.5);
        std::snprintf(timeLeft, sizeof(timeLeft), "%ld:%02ld", seconds / 60, seconds % 60);
    }
    char text[160];
    std::snprintf(text, sizeof(text), "[%s] %lld/%lld frames  %.1f frames/s  %s left", bar.c_str(),
                  static_cast<long long>(done), static_cast<long long>(total), rate, timeLeft);
    return text;
}

static void DrawProgress() {
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - progressStartTime).count();
    const std::string line = FormatProgress(progressDone, progressTotal, elapsed, 30);
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    std::fflush(stderr);
}

void ProgressStart(int64_t totalFrames) {
    progressEnabled = isatty(STDERR_FILENO) != 0;
    progressTotal = totalFrames;
    progressDone = 0;
    progressStartTime = std::chrono::steady_clock::now();
    progressLastDrawn = progressStartTime;
    if (progressEnabled) {
        DrawProgress();
    }
}

void ProgressUpdate(int64_t framesDone) {
    progressDone = framesDone;
    if (!progressEnabled) {
        return;
    }
    // A few redraws a second are plenty, and cheap next to a frame.
    const auto now = std::chrono::steady_clock::now();
    if (now - progressLastDrawn >= std::chrono::milliseconds(200)) {
        progressLastDrawn = now;
        DrawProgress();
    }
}

void ProgressFinish() {
    if (!progressEnabled) {
        return;
    }
    DrawProgress();
    std::fputc('\n', stderr);
    progressEnabled = false;
}
