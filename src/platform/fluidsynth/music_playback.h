// Keeping a playing song on the clock. Before each block the player works out
// where in the song the block will be when it is heard, and corrects by
// rendering ahead (the output ran dry, the thread stalled, or the song starts
// where the show already is) or by holding with silence (the output's delay
// grew); small differences are left alone, so the tune is not chopped up.
#pragma once

#include <cstdint>

// What the player corrects before its next block.
struct MusicCorrection {
    int64_t skipFrames;  // render this many frames of the song and drop them
    int64_t holdFrames;  // write this many frames of silence, the song waiting
};

// Differences up to this are left alone: a few milliseconds are not heard as
// late, and an output's delay reading wobbles by about that much.
constexpr double kMusicToleranceSeconds = 0.008;

// `songFrames`: frames of the song rendered so far; `wantedSeconds`: the song
// position the clock asks for at the moment the next frame will be heard.
MusicCorrection MusicCorrectionFor(int64_t songFrames, double wantedSeconds, int sampleRate);
