// The FluidSynth sound library's state: one session, the current song's,
// shared by the four calls (music_fluidsynth.cpp) and the song's thread
// (music_song.cpp), which render the song while the show runs.
#pragma once

#include <fluidsynth.h>
#include <pthread.h>
#include <speex/speex_resampler.h>

#include <atomic>
#include <cstdint>

#include "platform/fluidsynth/music_output.h"
#include "platform/fluidsynth/music_tune.h"

// Frames rendered and written at a time: 5.8 ms at 44,100 Hz, a multiple of
// the synth's own 64-frame block.
constexpr int kMusicBlockFrames = 256;
// Frames the synth renders at a time for the resampler that sets the song's
// speed (music_playback.h): its own block.
constexpr int kMusicSynthFrames = 64;
// More than an output holds (music_output_backend.h) at the highest rate.
constexpr int kMusicReplayFrames = 32768;

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
    bool showTime = false;  // the song keeps the show's time (MusicSetShowStart)
    // Where the song's start is heard, on the music clock; unknown until the
    // first block of a song started from its beginning.
    bool songZeroKnown = false;
    double songZero = 0.0;
    int64_t songFrames = 0;   // frames of the song rendered since its start
    int64_t synthFrames = 0;  // frames the synth has rendered since it was made
    // The last frames rendered, not yet taken by the resampler, which plays
    // them at the speed that keeps the song on the clock (music_playback.h).
    SpeexResamplerState* resampler = nullptr;
    float pending[kMusicSynthFrames * 2] = {};
    int pendingAt = 0;
    int pendingLeft = 0;
    // The frames last written, so that what an output held unheard when it
    // was closed (the display re-opened) is written again to the next one:
    // the kept song then goes on from where it was last heard.
    float written[kMusicReplayFrames * 2] = {};
    int writtenAt = 0;   // where the next frame written goes
    int replayAt = 0;    // the next frame of `written` to write again
    int replayLeft = 0;  // frames to write again before the song goes on

    // The show's clock stopped or moved (music_fluidsynth.cpp), for the song
    // thread. While `paused` nothing is written: the synth and the song wait
    // where they are. `dropWanted`: what the output holds unheard is to go
    // (and, being song, written again first: the song goes on from what was
    // last heard). `moved`: the song may now be far from where the clock
    // wants it, and is then started again there rather than caught up with.
    bool paused = false;
    bool dropWanted = false;
    bool moved = false;
    // The output holds nothing of the song that has not been allowed for:
    // nothing written to it yet, or it was dropped and nothing written since.
    bool outputQuiet = true;
};

extern MusicSession musicSession;

// The song thread's body: loads the instruments, opens the output and plays
// until `stopRequested` is set.
void* MusicRunSong(void*);

// With the lock held: the last `frames` frames written were not heard and are
// to be written again first.
void MusicUnhearLocked(int64_t frames);

// With the lock held, once the song is loaded and play is wanted: starts the
// player, or takes an already playing song back to its start unless it keeps
// the show's time (a song kept across a re-open plays on).
void MusicStartPlayerLocked();
