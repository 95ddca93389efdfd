// Renders the tune straight from the synth, with no audio device and no
// threads: the player's clock is the sample count, so the result depends only
// on the tune, the SoundFont and the rate.
#include "platform/music_offline.h"

#include <fluidsynth.h>

#include <cstring>

#include "platform/fluidsynth/music_soundfont.h"
#include "platform/fluidsynth/music_synth.h"
#include "platform/fluidsynth/music_tune.h"

// Frames rendered per synth call; a multiple of the synth's 64-frame block.
constexpr int kChunkFrames = 1024;

static void RenderFrames(fluid_synth_t* synth, int64_t frameCount, int16_t* out) {
    float left[kChunkFrames];
    float right[kChunkFrames];
    for (int64_t done = 0; done < frameCount;) {
        const int64_t remaining = frameCount - done;
        const int chunk = remaining < kChunkFrames ? static_cast<int>(remaining) : kChunkFrames;
        fluid_synth_write_float(synth, chunk, left, 0, 1, right, 0, 1);
        for (int i = 0; i < chunk; ++i) {
            out[2 * (done + i)] = MusicSampleFromFloat(left[i]);
            out[2 * (done + i) + 1] = MusicSampleFromFloat(right[i]);
        }
        done += chunk;
    }
}

static int RenderTune(const char* soundFont, const MusicTune& tune, int sampleRate,
                      int64_t frameCount, int16_t* out) {
    fluid_settings_t* settings = MusicNewSettings(sampleRate);
    fluid_synth_t* synth = MusicNewSynth(settings);
    fluid_player_t* player = nullptr;
    int rendered = 0;
    if (synth != nullptr && fluid_synth_sfload(synth, soundFont, 1) != FLUID_FAILED) {
        fluid_synth_set_gain(synth, MusicGainForVolume(256));
        player = MusicNewPlayer(synth, tune);
        if (player != nullptr && fluid_player_play(player) == FLUID_OK) {
            RenderFrames(synth, frameCount, out);
            rendered = 1;
        }
    }
    MusicDeletePlayer(player);
    MusicDeleteSynth(synth);
    MusicDeleteSettings(settings);
    return rendered;
}

int MusicRenderOffline(const char* midiPath, int sampleRate, int64_t frameCount,
                       int16_t* interleavedStereo) {
    if (interleavedStereo == nullptr || frameCount < 0) {
        return 0;
    }
    std::memset(interleavedStereo, 0, static_cast<size_t>(frameCount) * 2 * sizeof(int16_t));
    if (sampleRate < kMusicLowestRate || sampleRate > kMusicHighestRate) {
        return 0;
    }
    MusicQuietLogs();
    char soundFont[4096];
    if (!MusicFindSoundFont(soundFont, sizeof soundFont)) {
        return 0;
    }
    MusicTune tune;
    if (!MusicReadTune(midiPath, &tune)) {
        return 0;
    }
    const int rendered = RenderTune(soundFont, tune, sampleRate, frameCount, interleavedStereo);
    MusicFreeTune(&tune);
    if (!rendered) {
        std::memset(interleavedStereo, 0, static_cast<size_t>(frameCount) * 2 * sizeof(int16_t));
    }
    return rendered;
}
