#include "shell/frame_stats.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

enum FrameStatsState { kStatsUndecided, kStatsCounting, kStatsOff };

struct FrameStatsRecord {
    FrameStatsState state;
    char path[1024];
    int64_t presented;
    int64_t firstNs;
    int64_t lastNs;
    int64_t writtenNs;  // when the file was last written
    uint32_t showStartReading;
};

// While counting, the file is rewritten about this often, so that a
// measurement may stop the program at any moment and still read the count
// up to the last second.
constexpr int64_t kRewriteIntervalNs = 1000000000;

static FrameStatsRecord frameStats = {};
static bool exitWriteArranged = false;

// Unix time, so that a script can subtract the time it started the program.
static int64_t WallClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

static void WriteAtExit() {
    FrameStatsWrite();
}

static bool StartCounting() {
    const char* path = std::getenv("VUP_FRAME_STATS");
    if (path == nullptr || path[0] == '\0' || std::strlen(path) >= sizeof frameStats.path) {
        return false;
    }
    std::memcpy(frameStats.path, path, std::strlen(path) + 1);
    if (!exitWriteArranged) {
        exitWriteArranged = true;
        std::atexit(WriteAtExit);
    }
    return true;
}

void FrameStatsShowStarted(uint32_t startReading) {
    frameStats.showStartReading = startReading;
}

void FrameStatsPresented() {
    if (frameStats.state == kStatsOff) {
        return;
    }
    const int64_t now = WallClockNs();
    if (frameStats.state == kStatsUndecided) {
        if (!StartCounting()) {
            frameStats.state = kStatsOff;
            return;
        }
        frameStats.state = kStatsCounting;
        frameStats.presented = 1;
        frameStats.firstNs = now;
        frameStats.lastNs = now;
        FrameStatsWrite();
        return;
    }
    ++frameStats.presented;
    frameStats.lastNs = now;
    if (now - frameStats.writtenNs >= kRewriteIntervalNs) {
        FrameStatsWrite();
    }
}

int FrameStatsWrite() {
    if (frameStats.state != kStatsCounting) {
        return 0;
    }
    frameStats.writtenNs = WallClockNs();
    FILE* file = std::fopen(frameStats.path, "w");
    if (file == nullptr) {
        return 0;
    }
    std::fprintf(file,
                 "presented_frames %lld\nfirst_present_unix_ns %lld\nlast_present_unix_ns "
                 "%lld\nshow_start_clock_ms %u\n",
                 static_cast<long long>(frameStats.presented),
                 static_cast<long long>(frameStats.firstNs),
                 static_cast<long long>(frameStats.lastNs), frameStats.showStartReading);
    return std::fclose(file) == 0 ? 1 : 0;
}

void FrameStatsReset() {
    frameStats = FrameStatsRecord{};
}
