// Loading a SoundFont in a way that can be called off half-way: a large font
// takes seconds to read, and the show must not wait for it when it quits or
// re-opens its display.
#pragma once

#include <fluidsynth.h>

#include <cstddef>

// Loads the SoundFont at `path` into `synth`. True when it is in; false when
// it could not be read or the load was abandoned.
bool MusicLoadSoundFont(fluid_settings_t* settings, fluid_synth_t* synth, const char* path);

// The same for a SoundFont file held in memory (music_soundfont_trim.h); the
// bytes need only last until this returns.
bool MusicLoadSoundFontImage(fluid_settings_t* settings, fluid_synth_t* synth,
                             const unsigned char* bytes, size_t size);

// While set, loads in progress stop at their next read and new ones fail.
void MusicAbandonSoundFontLoads(bool abandon);
bool MusicSoundFontLoadsAbandoned();
