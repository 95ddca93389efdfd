// Construction and release of the FluidSynth pieces behind the tune, shared
// by the live player and the offline renderer. Every piece is counted while
// alive (see platform/music_stats.h).
#pragma once

#include <fluidsynth.h>

#include <cstdint>

#include "platform/fluidsynth/music_tune.h"

// Lowest and highest mixing rates FluidSynth accepts.
constexpr int kMusicLowestRate = 8000;
constexpr int kMusicHighestRate = 96000;

// Keeps FluidSynth's and ALSA's own messages off stderr unless VUP_DEBUG_AUDIO is set.
void MusicQuietLogs();

// Settings for one synth: the given mixing rate, a player driven by the
// samples rendered, and no pinning of the instruments into RAM.
fluid_settings_t* MusicNewSettings(int sampleRate);
void MusicDeleteSettings(fluid_settings_t* settings);

fluid_synth_t* MusicNewSynth(fluid_settings_t* settings);
void MusicDeleteSynth(fluid_synth_t* synth);

// A player holding its own copy of the tune, set to loop for ever.
fluid_player_t* MusicNewPlayer(fluid_synth_t* synth, const MusicTune& tune);
void MusicDeletePlayer(fluid_player_t* player);

// Counts a live audio output made (1) or closed (-1) (music_output.cpp).
void MusicCountOutput(int delta);

// Synth gain for a song volume of 0 to 256 (values outside are clamped).
float MusicGainForVolume(int volume);

// A float sample as a 16-bit one, rounded to the nearest and clipped (not
// FluidSynth's 16-bit writer, which adds dither noise from a shared table).
int16_t MusicSampleFromFloat(float value);
