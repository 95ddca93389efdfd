// Keeping a playing song on the clock. Before each block the player works out
// where in the song the block will be when it is heard, against where the
// clock wants it. Small differences (an output whose clock runs a little fast
// or slow against the wall clock, as sound cards and sound servers do) are
// followed by playing the song a little faster or slower, too little to hear;
// a jump or a gap would be heard as a tick in a held note. Only a large
// difference (the song's start, an output that ran dry, a stalled thread) is
// corrected at once, by rendering ahead or by holding with silence.
#pragma once

#include <cstdint>

// What the player does for its next block.
struct MusicCorrection {
    int64_t skipFrames;  // render this many frames of the song and drop them
    int64_t holdFrames;  // write this many frames of silence, the song waiting
    double speed;        // otherwise: frames of the song per frame written
};

// The smoothed difference the speed follows: an output's delay reading
// wobbles by a few milliseconds from one block to the next.
struct MusicSteering {
    bool placed;          // the song's first frame has been written
    bool known;           // `aheadSeconds` holds a reading: not after a jump
    double aheadSeconds;  // the song heard minus the clock, smoothed
};

// Beyond this the song jumps: steering at the largest speed change would take
// ten seconds and more to make it up, heard out of time all the while.
constexpr double kMusicJumpSeconds = 0.02;

// The largest change of speed: 0.2 %, a thirtieth of a semitone, below what
// a listener hears even against a fixed pitch.
constexpr double kMusicMostSpeedChange = 0.002;

// `songSeconds`: the song's position at the next frame written;
// `wantedSeconds`: the position the clock asks for at the moment that frame
// will be heard; `blockSeconds`: the time one block plays.
MusicCorrection MusicCorrectionFor(double songSeconds, double wantedSeconds, int sampleRate,
                                   double blockSeconds, MusicSteering* steering);
