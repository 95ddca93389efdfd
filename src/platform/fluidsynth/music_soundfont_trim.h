// A SoundFont cut down to the presets a tune uses. A General MIDI font holds
// every instrument (FluidR3_GM: 148 MB of samples, 189 presets), and a synth
// that loads it keeps the whole preset tree in memory and reads for half a
// second; the tune plays half a dozen of them. The cut-down font is a valid
// SoundFont 2 file in memory: the chosen presets, the instruments they use,
// the samples those use (with the data's 46 frames of silence after each),
// and the font's information list, so the synth plays it exactly as it would
// play those presets of the whole font.
#pragma once

#include <cstddef>

#include "platform/fluidsynth/music_tune_presets.h"

struct MusicFontImage {
    unsigned char* bytes;  // malloc block, null when nothing is held
    size_t size;
};

// Builds the cut-down font from the file at `path`. False, with nothing
// held, when the file is not a SoundFont it can read, holds none of the
// presets, or the build is called off (music_soundfont_loader.h); the caller
// then loads the whole font.
bool MusicTrimSoundFont(const char* path, const MusicPreset* presets, int count,
                        MusicFontImage* image);

void MusicFreeFontImage(MusicFontImage* image);
