#include "platform/fluidsynth/music_playback.h"

#include <cmath>

MusicCorrection MusicCorrectionFor(int64_t songFrames, double wantedSeconds, int sampleRate) {
    const int64_t wanted = std::llround(wantedSeconds * sampleRate);
    const int64_t tolerance = std::llround(kMusicToleranceSeconds * sampleRate);
    const int64_t ahead = songFrames - wanted;
    if (ahead < -tolerance) {
        return {-ahead, 0};
    }
    if (ahead > tolerance) {
        return {0, ahead};
    }
    return {0, 0};
}
