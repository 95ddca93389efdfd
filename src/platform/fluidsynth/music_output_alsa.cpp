// The tune through ALSA's default device, whose delay count says when each
// frame is heard. ALSA's null device takes frames at any speed and counts no
// delay; it is held to the wall clock like a file (music_output_backend.h).
#include <alsa/asoundlib.h>

#include "platform/fluidsynth/music_output_backend.h"

namespace {

struct AlsaOutput {
    snd_pcm_t* pcm;
    bool paced;  // the device keeps no time of its own
    MusicPacing pacing;
};

void* OpenAlsa(int sampleRate) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
        return nullptr;
    }
    const unsigned int latencyUs = static_cast<unsigned int>(kMusicOutputBufferSeconds * 1e6);
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_FLOAT, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                           static_cast<unsigned int>(sampleRate), 1, latencyUs) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    const bool paced = snd_pcm_type(pcm) == SND_PCM_TYPE_NULL;
    return new AlsaOutput{pcm, paced, {static_cast<double>(sampleRate), -1.0, 0}};
}

bool WriteAlsa(void* state, const float* frames, int count) {
    auto* output = static_cast<AlsaOutput*>(state);
    if (output->paced) {
        MusicPaceWrite(&output->pacing, count);
    }
    while (count > 0) {
        snd_pcm_sframes_t written = snd_pcm_writei(output->pcm, frames, count);
        if (written < 0) {
            // An underrun or a suspend: start the device again and go on.
            if (snd_pcm_recover(output->pcm, static_cast<int>(written), 1) < 0) {
                return false;
            }
            continue;
        }
        frames += written * 2;
        count -= static_cast<int>(written);
    }
    return true;
}

double AlsaDelay(void* state) {
    auto* output = static_cast<AlsaOutput*>(state);
    if (output->paced) {
        return MusicPacedDelay(&output->pacing);
    }
    snd_pcm_sframes_t frames = 0;
    if (snd_pcm_delay(output->pcm, &frames) < 0 || frames < 0) {
        return 0.0;
    }
    return static_cast<double>(frames) / output->pacing.framesPerSecond;
}

void DropAlsa(void* state) {
    auto* output = static_cast<AlsaOutput*>(state);
    if (output->paced) {
        MusicPaceDrop(&output->pacing);
    }
    snd_pcm_drop(output->pcm);
    snd_pcm_prepare(output->pcm);
}

void CloseAlsa(void* state) {
    auto* output = static_cast<AlsaOutput*>(state);
    snd_pcm_close(output->pcm);
    delete output;
}

}  // namespace

const MusicOutputBackend kMusicAlsaOutput = {"alsa",    OpenAlsa, WriteAlsa,
                                             AlsaDelay, DropAlsa, CloseAlsa};
