// vup_bench_soundfont_memory: what the tune's instruments cost in memory and
// load time, loaded the way the player loads them (a SoundFont cut down to
// the tune's presets) or the way it would otherwise (the whole font, with
// FluidSynth loading each preset's samples when a channel selects it). One
// way per process, so that neither inherits the other's heap:
//
//   vup_bench_soundfont_memory cut|whole SOUNDFONT
//
// Run from the repository root (it plays data/tulmor.mid). It first proves
// its measure: 16 MiB mapped and written must read as 16 MiB more
// resident memory. Then it loads the instruments, plays 90 s of the tune
// (into its loop) as fast as it renders, and prints one line:
//   MODE load_ms=N loaded_kib=N played_kib=N
// the resident memory grown since before the synth was made, after loading
// and after playing.
#include <fluidsynth.h>
#include <sys/mman.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/fluidsynth/music_soundfont_loader.h"
#include "platform/fluidsynth/music_soundfont_trim.h"
#include "platform/fluidsynth/music_synth.h"
#include "platform/fluidsynth/music_tune_presets.h"

namespace {

constexpr int kRate = 44100;
constexpr int kPlaySeconds = 90;
constexpr long kProbeKib = 16 * 1024;

long ResidentKib() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long kib = -1;
    char line[256];
    while (status != nullptr && std::fgets(line, sizeof(line), status) != nullptr) {
        if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) {
            break;
        }
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    return kib;
}

// 16 MiB written must show as 16 MiB resident (within 1 MiB), and go again
// when unmapped: otherwise the figures below would not mean what they say.
// Mapped directly rather than from malloc, whose threshold for mapping
// blocks of their own rises with every mapped block freed, and would then
// keep the fonts' blocks on its heap instead.
bool MeasureProvesItself() {
    const long before = ResidentKib();
    const size_t bytes = size_t{kProbeKib} * 1024;
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        return false;
    }
    std::memset(mapped, 1, bytes);
    const long grown = ResidentKib() - before;
    munmap(mapped, bytes);
    const long left = ResidentKib() - before;
    std::fprintf(stderr, "measure: %ld KiB written read as %ld KiB, %ld KiB after unmapping\n",
                 kProbeKib, grown, left);
    return before > 0 && grown > kProbeKib - 1024 && grown < kProbeKib + 1024 && left < 1024;
}

}  // namespace

int main(int argc, char** argv) {
    const bool cut = argc == 3 && std::strcmp(argv[1], "cut") == 0;
    if (argc != 3 || (!cut && std::strcmp(argv[1], "whole") != 0)) {
        std::fputs("usage: vup_bench_soundfont_memory cut|whole SOUNDFONT\n", stderr);
        return 2;
    }
    const char* font = argv[2];
    MusicQuietLogs();
    MusicTune tune = {};
    if (!MusicReadTune("data/tulmor.mid", &tune)) {
        std::fputs("bench: cannot read data/tulmor.mid (run from the repository root)\n", stderr);
        return 1;
    }
    if (!MeasureProvesItself()) {
        std::fputs("bench: resident memory does not follow a known allocation\n", stderr);
        return 1;
    }

    const long base = ResidentKib();
    const auto started = std::chrono::steady_clock::now();
    fluid_settings_t* settings = MusicNewSettings(kRate);
    if (!cut) {
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    }
    fluid_synth_t* synth = MusicNewSynth(settings);
    bool loaded = false;
    if (cut) {
        MusicPreset presets[kMusicMostPresets];
        int count = 0;
        MusicFontImage image = {};
        loaded = MusicTunePresets(tune, presets, kMusicMostPresets, &count) &&
                 MusicTrimSoundFont(font, presets, count, &image) &&
                 MusicLoadSoundFontImage(settings, synth, image.bytes, image.size);
        MusicFreeFontImage(&image);
    } else {
        loaded = MusicLoadSoundFont(settings, synth, font);
    }
    fluid_player_t* player = loaded ? MusicNewPlayer(synth, tune) : nullptr;
    if (player == nullptr || fluid_player_play(player) != FLUID_OK) {
        std::fprintf(stderr, "bench: %s does not load\n", font);
        return 1;
    }
    // The player selects the tune's programs as it starts: with the whole
    // font, that is when their samples are read.
    std::vector<float> left(1024), right(1024);
    fluid_synth_write_float(synth, 1024, left.data(), 0, 1, right.data(), 0, 1);
    const double loadMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    const long loadedKib = ResidentKib() - base;
    long playedKib = loadedKib;
    for (int frames = 1024; frames < kPlaySeconds * kRate; frames += 1024) {
        fluid_synth_write_float(synth, 1024, left.data(), 0, 1, right.data(), 0, 1);
        if (frames % (kRate * 5) < 1024) {
            const long now = ResidentKib() - base;
            playedKib = now > playedKib ? now : playedKib;
        }
    }
    std::printf("%s load_ms=%.1f loaded_kib=%ld played_kib=%ld\n", argv[1], loadMs, loadedKib,
                playedKib);
    MusicDeletePlayer(player);
    MusicDeleteSynth(synth);
    MusicDeleteSettings(settings);
    MusicFreeTune(&tune);
    return 0;
}
