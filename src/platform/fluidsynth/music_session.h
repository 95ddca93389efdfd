// The FluidSynth sound library's state: one session, the current song's,
// shared by the four calls (music_fluidsynth.cpp) and the song's thread
// (music_song.cpp), which render the song while the show runs.
#pragma once

#include <fluidsynth.h>
#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "platform/fluidsynth/music_output.h"
#include "platform/fluidsynth/music_tune.h"

// Frames rendered and written at a time: 5.8 ms at 44,100 Hz, a multiple of
// the synth's own 64-frame block.
constexpr int kMusicBlockFrames = 256;

struct MusicSession {
    bool mixerReady = false;
    int mixRate = 0;
    // The value handed out as the current song's handle; 0 when there is none.
    // Handles are tokens, never dereferenced, so a stale one is simply refused.
    uintptr_t songToken = 0;
    const char* tunePath = nullptr;  // for the silence line; the caller's string

    // Handed to the song thread, which owns them until it has been joined.
    MusicTune tune = {};
    char soundFontPath[4096] = {};
    pthread_t thread = {};
    bool threadRunning = false;
    std::atomic<bool> stopRequested{false};

    // Shared with the song thread, under `lock`. The FluidSynth pieces are
    // made by that thread; the caller's thread touches them only once
    // `loaded` is set, or after joining the thread.
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t settledChanged = PTHREAD_COND_INITIALIZER;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    MusicOutput* output = nullptr;
    bool loaded = false;
    bool settled = false;  // loaded and the output tried
    int volume = 256;
    bool playRequested = false;
    bool playing = false;
    // Where the song's start is heard, on the music clock; unknown until the
    // first block of a song started from its beginning.
    bool songZeroKnown = false;
    double songZero = 0.0;
    int64_t songFrames = 0;  // frames of the song rendered since its start
};

extern MusicSession musicSession;

// The song thread's body: loads the instruments, opens the output and plays
// until `stopRequested` is set.
void* MusicRunSong(void*);

// With the lock held, once the song is loaded and play is wanted: starts the
// player, or takes an already playing song back to its start.
void MusicStartPlayerLocked();
