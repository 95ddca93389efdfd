// Fuzz target: which presets a tune calls for, on bytes in memory (libFuzzer's
// block is exactly the input's size, so a read past its end is a finding).
// Every preset named must be one a synth can hold, named once.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/fluidsynth/music_tune_presets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const MusicTune tune = {const_cast<unsigned char*>(data), size};
    MusicPreset presets[kMusicMostPresets];
    int count = -1;
    const bool read = MusicTunePresets(tune, presets, kMusicMostPresets, &count);
    bool sound = count >= 0 && count <= kMusicMostPresets && (!read || count < kMusicMostPresets);
    for (int i = 0; sound && i < count; ++i) {
        sound = presets[i].bank >= 0 && presets[i].bank <= 128 && presets[i].program >= 0 &&
                presets[i].program <= 127;
        for (int j = 0; sound && j < i; ++j) {
            sound = presets[j].bank != presets[i].bank || presets[j].program != presets[i].program;
        }
    }
    if (!sound) {
        std::fprintf(stderr,
                     "check failed: %d presets, not each a distinct bank 0-128, program 0-127\n",
                     count);
        std::abort();
    }
    return 0;
}
