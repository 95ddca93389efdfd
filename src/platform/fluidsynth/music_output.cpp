#include "platform/fluidsynth/music_output.h"

#include <pthread.h>
#include <sched.h>

#include <cmath>
#include <cstdlib>
#include <thread>

#include "platform/fluidsynth/music_clock.h"
#include "platform/fluidsynth/music_output_backend.h"
#include "platform/fluidsynth/music_synth.h"

struct MusicOutput {
    const MusicOutputBackend* backend;
    void* state;
};

static MusicOutput* Opened(const MusicOutputBackend* backend, void* state) {
    if (state == nullptr) {
        return nullptr;
    }
    MusicOutput* output = new MusicOutput{backend, state};
    MusicCountOutput(1);
    return output;
}

MusicOutput* MusicOpenOutput(int sampleRate, const char** why) {
    const char* file = std::getenv("VUP_AUDIO_FILE");
    if (file != nullptr && file[0] != '\0') {
        MusicOutput* output = Opened(&kMusicFileOutput, kMusicFileOutput.open(sampleRate));
        if (output == nullptr && why != nullptr) {
            *why = "the file VUP_AUDIO_FILE names cannot be written";
        }
        return output;
    }
    // JACK is left out on purpose: asking for it can start a JACK server.
    for (const MusicOutputBackend* backend : {&kMusicPulseOutput, &kMusicAlsaOutput}) {
        if (MusicOutput* output = Opened(backend, backend->open(sampleRate))) {
            return output;
        }
    }
    if (why != nullptr) {
        *why =
            "no audio output: neither a PulseAudio server nor an ALSA device answers (start "
            "PulseAudio or PipeWire, or check ALSA's default device)";
    }
    return nullptr;
}

bool MusicOutputWrite(MusicOutput* output, const float* frames, int count) {
    return output->backend->write(output->state, frames, count);
}

double MusicOutputDelay(MusicOutput* output) {
    return output->backend->delay(output->state);
}

void MusicOutputDrop(MusicOutput* output) {
    output->backend->drop(output->state);
}

void MusicCloseOutput(MusicOutput* output) {
    if (output == nullptr) {
        return;
    }
    output->backend->close(output->state);
    delete output;
    MusicCountOutput(-1);
}

void MusicPreferRealTime() {
    sched_param priority = {};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
}

double MusicPacedDelay(const MusicPacing* pacing) {
    if (pacing->start < 0.0) {
        return 0.0;
    }
    const double queuedUntil =
        pacing->start + static_cast<double>(pacing->frames) / pacing->framesPerSecond;
    const double delay = queuedUntil - MusicClockSeconds();
    return delay > 0.0 ? delay : 0.0;
}

int64_t MusicPaceDrop(MusicPacing* pacing) {
    if (pacing->start < 0.0) {
        return 0;
    }
    const auto heard = static_cast<int64_t>(
        std::ceil((MusicClockSeconds() - pacing->start) * pacing->framesPerSecond));
    const int64_t dropped = pacing->frames > heard ? pacing->frames - heard : 0;
    pacing->frames -= dropped;
    return dropped;
}

int64_t MusicPaceWrite(MusicPacing* pacing, int count) {
    if (pacing->start < 0.0) {
        pacing->start = MusicClockSeconds();
    }
    const double wait = MusicPacedDelay(pacing) +
                        static_cast<double>(count) / pacing->framesPerSecond -
                        kMusicOutputBufferSeconds;
    if (wait > 0.0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(wait));
    }
    const double queuedUntil =
        pacing->start + static_cast<double>(pacing->frames) / pacing->framesPerSecond;
    const double late = MusicClockSeconds() - queuedUntil;
    const int64_t gap = late > 0.0 ? static_cast<int64_t>(late * pacing->framesPerSecond) : 0;
    pacing->frames += gap + count;
    return gap;
}
