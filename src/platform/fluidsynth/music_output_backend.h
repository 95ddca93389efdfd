// One kind of audio output behind music_output.h. Each backend keeps its own
// state behind `state`; music_output.cpp picks the backend and counts outputs.
#pragma once

#include <cstdint>

struct MusicOutputBackend {
    const char* name;
    // Null when this kind of output cannot be had here.
    void* (*open)(int sampleRate);
    bool (*write)(void* state, const float* frames, int count);
    double (*delay)(void* state);
    // Drops every frame written and not yet heard.
    void (*drop)(void* state);
    void (*close)(void* state);
};

extern const MusicOutputBackend kMusicFileOutput;
extern const MusicOutputBackend kMusicPulseOutput;
extern const MusicOutputBackend kMusicAlsaOutput;

// The output buffered ahead of what is heard: enough to ride out a busy
// machine's scheduling (a sound server's main thread, which asks for more,
// was seen held up for 80 to 110 ms), and allowed for by the player, so the
// tune is never late for it.
constexpr double kMusicOutputBufferSeconds = 0.3;

// An output that takes samples as fast as they come (a file, ALSA's null
// device) is held to the wall clock here, as a sound card would hold it: its
// frames are "heard" one after another from the first write on.
struct MusicPacing {
    double framesPerSecond;  // on the wall clock: the sample rate, or a little off it
    double start;            // clock seconds of the first frame; negative before it
    int64_t frames;
};

// Waits until `count` more frames fit in the buffer, then counts them in.
// Returns the frames the output would have played as silence because the
// writer fell behind (a stalled thread), counted in too: a sound card that
// runs dry goes on at the wall clock's pace, and so does this.
int64_t MusicPaceWrite(MusicPacing* pacing, int count);
double MusicPacedDelay(const MusicPacing* pacing);
// Forgets the frames counted in and not yet "heard"; their count.
int64_t MusicPaceDrop(MusicPacing* pacing);
