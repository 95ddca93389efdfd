// vup_tune_moves TUNE: the live tune played as the show plays it, its clock
// stopped and moved on command, for tests/sound/tune_follows_moves.py. Reads
// lines from stdin and answers each on stdout once done, with the monotonic
// clock's reading (s) just before the call to the tune and the show's time
// (s) from then on:
//   start S    the show at S seconds now; its four calls to the tune
//   seek S     the show moved to S
//   pause      the show paused
//   resume     the show going on where it paused
//   reopen     the four calls again, as a re-opened display makes them
//   quit
// The calls are those the show's frame loop makes: a move tells the tune the
// new start reading; a resume moves the start by the pause's length first.
#include <time.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/music.h"
#include "platform/music_stats.h"
#include "platform/platform.h"

namespace {

double MonotonicSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vup_tune_moves TUNE\n", stderr);
        return 2;
    }
    uint32_t start = 0;
    bool paused = false;
    uint32_t pausedShowMs = 0;
    char line[256];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        char command[32] = {};
        double seconds = 0.0;
        if (std::sscanf(line, "%31s %lf", command, &seconds) < 1) {
            continue;
        }
        const std::string what = command;
        const double calledAt = MonotonicSeconds();
        const uint32_t now = PlatformMilliseconds();
        const auto showMs = static_cast<uint32_t>(seconds * 1000.0 + 0.5);
        if (what == "start" || what == "reopen") {
            if (what == "start") {
                start = now - showMs;
                MusicSetShowStart(start);
            }
            FSOUND_Init(44100, 32, 0);
            SongHandle song = FMUSIC_LoadSong(argv[1]);
            FMUSIC_SetMasterVolume(song, 256);
            FMUSIC_PlaySong(song);
        } else if (what == "seek") {
            start = now - showMs;
            if (paused) {
                pausedShowMs = showMs;
            }
            MusicSetShowStart(start);
        } else if (what == "pause" && !paused) {
            paused = true;
            pausedShowMs = now - start;
            MusicSetShowPaused(1);
        } else if (what == "resume" && paused) {
            paused = false;
            start = now - pausedShowMs;
            MusicSetShowStart(start);
            MusicSetShowPaused(0);
        } else if (what == "quit") {
            break;
        }
        const uint32_t shown = paused ? pausedShowMs : now - start;
        std::printf("%s %.6f %.3f\n", command, calledAt, shown / 1000.0);
        std::fflush(stdout);
    }
    MusicReleaseAll();
    return 0;
}
