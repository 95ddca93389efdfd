// The tune through a PulseAudio server (PipeWire's included), whose own
// reckoning of the stream's latency says when each frame is heard.
#include <pulse/simple.h>

#include "platform/fluidsynth/music_output_backend.h"

namespace {

pa_sample_spec StereoFloat(int sampleRate) {
    pa_sample_spec spec = {};
    spec.format = PA_SAMPLE_FLOAT32NE;
    spec.rate = static_cast<uint32_t>(sampleRate);
    spec.channels = 2;
    return spec;
}

void* OpenPulse(int sampleRate) {
    const pa_sample_spec spec = StereoFloat(sampleRate);
    pa_buffer_attr buffer = {};
    buffer.maxlength = static_cast<uint32_t>(-1);
    buffer.tlength = static_cast<uint32_t>(
        pa_usec_to_bytes(static_cast<pa_usec_t>(kMusicOutputBufferSeconds * 1e6), &spec));
    buffer.prebuf = static_cast<uint32_t>(-1);
    buffer.minreq = static_cast<uint32_t>(-1);
    buffer.fragsize = static_cast<uint32_t>(-1);
    int error = 0;
    return pa_simple_new(nullptr, "Vup", PA_STREAM_PLAYBACK, nullptr, "The tune", &spec, nullptr,
                         &buffer, &error);
}

bool WritePulse(void* state, const float* frames, int count) {
    int error = 0;
    return pa_simple_write(static_cast<pa_simple*>(state), frames,
                           static_cast<size_t>(count) * 2 * sizeof(float), &error) == 0;
}

double PulseDelay(void* state) {
    int error = 0;
    const pa_usec_t latency = pa_simple_get_latency(static_cast<pa_simple*>(state), &error);
    return latency == static_cast<pa_usec_t>(-1) ? 0.0 : static_cast<double>(latency) * 1e-6;
}

void ClosePulse(void* state) {
    pa_simple_free(static_cast<pa_simple*>(state));
}

}  // namespace

const MusicOutputBackend kMusicPulseOutput = {"pulseaudio", OpenPulse, WritePulse, PulseDelay,
                                              ClosePulse};
