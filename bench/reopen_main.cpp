// vup_bench_reopen: how soon the tune sounds again when the display is
// re-opened (F1) late in the show. The show's tune is played into a file
// (VUP_AUDIO_FILE, whose first frame is heard as it is written) with the
// show's clock started SECONDS ago, as the show makes its four calls at every
// display open; then the display is "re-opened" five times a second apart.
// Prints, in ms, how long after FMUSIC_PlaySong the first frame was written:
// for the first display (the SoundFont loaded, the tune rendered up to the
// show's position) and each re-open. Where in the tune that frame is, the
// live player's test checks (tests/music/live_player_test.cpp). Run from the
// repository root, VUP_SOUNDFONT naming the SoundFont:
//
//   vup_bench_reopen SECONDS
#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/music.h"
#include "platform/music_stats.h"
#include "platform/platform.h"

// The wait runs above the song thread's real-time priority where the system
// allows, so that the song thread filling its buffer does not hold it up.
static uint32_t MillisecondsToFirstFrame(const std::string& file) {
    std::filesystem::remove(file);
    FSOUND_Init(44100, 32, 2);
    SongHandle song = FMUSIC_LoadSong("data/tulmor.mid");
    FMUSIC_SetMasterVolume(song, 256);
    sched_param priority = {};
    priority.sched_priority = 20;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    const uint32_t asked = PlatformMilliseconds();
    FMUSIC_PlaySong(song);
    while (!(std::filesystem::exists(file) && std::filesystem::file_size(file) > 0) &&
           PlatformMilliseconds() - asked < 20000) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const uint32_t heard = PlatformMilliseconds();
    priority.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &priority);
    return heard - asked;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vup_bench_reopen SECONDS\n", stderr);
        return 2;
    }
    const std::string file =
        (std::filesystem::temp_directory_path() / ("vup_bench_reopen_" + std::to_string(getpid())))
            .string();
    setenv("VUP_AUDIO_FILE", file.c_str(), 1);
    MusicSetShowStart(PlatformMilliseconds() - static_cast<uint32_t>(std::atoi(argv[1])) * 1000);
    std::printf("first display %u ms; re-opens", MillisecondsToFirstFrame(file));
    for (int open = 0; open < 5; ++open) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        std::printf(" %u", MillisecondsToFirstFrame(file));
    }
    std::printf(" ms\n");
    MusicReleaseAll();
    std::filesystem::remove(file);
    return 0;
}
