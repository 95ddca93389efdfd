// Which instruments a tune can call for: the General MIDI presets (bank and
// program) its channels select, so that only those need be read from a
// SoundFont (music_soundfont_trim.h).
#pragma once

#include "platform/fluidsynth/music_tune.h"

struct MusicPreset {
    int bank;  // 128 for drum kits
    int program;
};

// Room for every preset a tune could name on its 16 channels.
constexpr int kMusicMostPresets = 512;

// Every preset any channel of the tune can select as the player plays it:
// each program it changes to under each bank it selects, the default
// program 0 for a channel that plays before its first program change, drum
// kits (bank 128) on channel 10, and the presets FluidSynth falls back to
// when the one asked for is missing (bank 0 for a melodic program, kit 0 for
// drums). False when the tune cannot be read as a Standard MIDI File; the
// caller then keeps every preset.
bool MusicTunePresets(const MusicTune& tune, MusicPreset* presets, int capacity, int* count);
