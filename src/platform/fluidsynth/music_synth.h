// Construction and release of the FluidSynth pieces behind the tune, shared
// by the live player and the offline renderer. Every piece is counted while
// alive (see platform/music_stats.h).
#pragma once

#include <fluidsynth.h>

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

// Opens the first audio output that works (PulseAudio, ALSA, SDL2), or the
// file VUP_AUDIO_FILE names when that is set; null when none does, which
// means silence.
fluid_audio_driver_t* MusicOpenAudioDriver(fluid_settings_t* settings, fluid_synth_t* synth);
void MusicCloseAudioDriver(fluid_audio_driver_t* driver);

// Synth gain for a song volume of 0 to 256 (values outside are clamped).
float MusicGainForVolume(int volume);
