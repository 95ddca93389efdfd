#include "platform/fluidsynth/music_playback.h"

#include <algorithm>
#include <cmath>

// How long the delay readings are averaged over, and how hard the speed pulls:
// the full change for 5 ms off. An output 750 ppm fast is then followed about
// 2 ms behind, and the smoothing is short enough against the pull that the
// song settles without swinging past.
constexpr double kSmoothingSeconds = 0.5;
constexpr double kSpeedPerSecondAhead = kMusicMostSpeedChange / 0.005;

MusicCorrection MusicCorrectionFor(double songSeconds, double wantedSeconds, int sampleRate,
                                   double blockSeconds, MusicSteering* steering) {
    const double ahead = songSeconds - wantedSeconds;
    // A song's first frame is put exactly in place: it starts where the clock is.
    const double jump = steering->placed ? kMusicJumpSeconds : 0.5 / sampleRate;
    if (std::fabs(ahead) > jump) {
        steering->known = false;
        const int64_t frames = std::llround(std::fabs(ahead) * sampleRate);
        return ahead < 0.0 ? MusicCorrection{frames, 0, 1.0} : MusicCorrection{0, frames, 1.0};
    }
    steering->placed = true;
    if (!steering->known) {
        steering->known = true;
        steering->aheadSeconds = ahead;
    }
    steering->aheadSeconds += (ahead - steering->aheadSeconds) * blockSeconds / kSmoothingSeconds;
    const double change = std::clamp(-steering->aheadSeconds * kSpeedPerSecondAhead,
                                     -kMusicMostSpeedChange, kMusicMostSpeedChange);
    return {0, 0, 1.0 + change};
}
