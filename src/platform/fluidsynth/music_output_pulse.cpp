// The tune through a PulseAudio server (PipeWire's included). The stream
// keeps its own timeline: it starts on the first frames written and never
// stops, so frame n always sounds n / rate after frame 0, and frames written
// too late (after the machine kept the writer from running) are dropped by the
// server rather than played late. The server's signed latency then says when
// the next frame written is heard, late or not.
#include <pulse/pulseaudio.h>

#include <initializer_list>

#include "platform/fluidsynth/music_output.h"
#include "platform/fluidsynth/music_output_backend.h"

namespace {

struct PulseOutput {
    pa_threaded_mainloop* loop;
    pa_context* context;
    pa_stream* stream;
    pa_sample_spec format;
    bool corked;
};

void WakeWaiter(void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}
// The context's first change of state comes on the loop's own thread, which
// every write and timing reading waits on: it runs at the song thread's
// priority, so that a machine busy drawing cannot hold it up.
void ContextChanged(pa_context*, void* loop) {
    static thread_local bool raised = false;
    if (!raised) {
        raised = true;
        MusicPreferRealTime();
    }
    WakeWaiter(loop);
}
void StreamChanged(pa_stream*, void* loop) {
    WakeWaiter(loop);
}
void StreamWantsData(pa_stream*, size_t, void* loop) {
    WakeWaiter(loop);
}
void TimingUpdated(pa_stream*, int, void* loop) {
    WakeWaiter(loop);
}

// Both wait with the loop locked.
bool WaitForContext(PulseOutput* output) {
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(output->context);
        if (state == PA_CONTEXT_READY) {
            return true;
        }
        if (!PA_CONTEXT_IS_GOOD(state)) {
            return false;
        }
        pa_threaded_mainloop_wait(output->loop);
    }
}

bool WaitForStream(PulseOutput* output) {
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(output->stream);
        if (state == PA_STREAM_READY) {
            return true;
        }
        if (!PA_STREAM_IS_GOOD(state)) {
            return false;
        }
        pa_threaded_mainloop_wait(output->loop);
    }
}

pa_sample_spec StereoFloat(int sampleRate) {
    pa_sample_spec format = {};
    format.format = PA_SAMPLE_FLOAT32NE;
    format.rate = static_cast<uint32_t>(sampleRate);
    format.channels = 2;
    return format;
}

bool Connect(PulseOutput* output, int sampleRate) {
    // No server is started for the show: one that is not running means ALSA.
    if (pa_context_connect(output->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        !WaitForContext(output)) {
        return false;
    }
    const pa_sample_spec format = StereoFloat(sampleRate);
    output->format = format;
    output->stream = pa_stream_new(output->context, "The tune", &format, nullptr);
    if (output->stream == nullptr) {
        return false;
    }
    pa_stream_set_state_callback(output->stream, StreamChanged, output->loop);
    pa_stream_set_write_callback(output->stream, StreamWantsData, output->loop);
    pa_buffer_attr buffer = {};
    buffer.maxlength = static_cast<uint32_t>(-1);
    buffer.tlength = static_cast<uint32_t>(
        pa_usec_to_bytes(static_cast<pa_usec_t>(kMusicOutputBufferSeconds * 1e6), &format));
    buffer.prebuf = 0;  // never stop on an underrun: the timeline goes on
    buffer.minreq = static_cast<uint32_t>(-1);
    buffer.fragsize = static_cast<uint32_t>(-1);
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
    return pa_stream_connect_playback(output->stream, nullptr, &buffer, flags, nullptr, nullptr) ==
               0 &&
           WaitForStream(output);
}

void ClosePulse(void* state);

void* OpenPulse(int sampleRate) {
    auto* output = new PulseOutput{pa_threaded_mainloop_new(), nullptr, nullptr, {}, true};
    if (output->loop == nullptr) {
        delete output;
        return nullptr;
    }
    output->context = pa_context_new(pa_threaded_mainloop_get_api(output->loop), "Vup");
    if (output->context == nullptr) {
        ClosePulse(output);
        return nullptr;
    }
    pa_context_set_state_callback(output->context, ContextChanged, output->loop);
    pa_threaded_mainloop_lock(output->loop);
    const bool connected =
        pa_threaded_mainloop_start(output->loop) == 0 && Connect(output, sampleRate);
    pa_threaded_mainloop_unlock(output->loop);
    if (!connected) {
        ClosePulse(output);
        return nullptr;
    }
    return output;
}

bool WritePulse(void* state, const float* frames, int count) {
    auto* output = static_cast<PulseOutput*>(state);
    const auto* bytes = reinterpret_cast<const char*>(frames);
    size_t remaining = static_cast<size_t>(count) * 2 * sizeof(float);
    bool good = true;
    pa_threaded_mainloop_lock(output->loop);
    while (remaining > 0 && good) {
        good = PA_STREAM_IS_GOOD(pa_stream_get_state(output->stream));
        const size_t room = good ? pa_stream_writable_size(output->stream) : 0;
        if (good && room == 0) {
            pa_threaded_mainloop_wait(output->loop);
            continue;
        }
        const size_t piece = room < remaining ? room : remaining;
        good = good &&
               pa_stream_write(output->stream, bytes, piece, nullptr, 0, PA_SEEK_RELATIVE) == 0;
        bytes += piece;
        remaining -= piece;
    }
    // The timeline starts with the first frames.
    if (good && output->corked) {
        output->corked = false;
        for (pa_operation* start : {pa_stream_cork(output->stream, 0, nullptr, nullptr),
                                    pa_stream_trigger(output->stream, nullptr, nullptr)}) {
            if (start != nullptr) {
                pa_operation_unref(start);
            }
        }
    }
    pa_threaded_mainloop_unlock(output->loop);
    return good;
}

// Asks the server where the stream stands and waits for the answer (a
// round trip on the local socket), rather than reading PulseAudio's
// interpolated latency, whose smoothing was seen to lag the truth by tens of
// milliseconds for half a minute after a start. From the fresh reading: when
// the next frame written will be played.
double PulseDelay(void* state) {
    auto* output = static_cast<PulseOutput*>(state);
    double delay = 0.0;
    pa_threaded_mainloop_lock(output->loop);
    pa_operation* update =
        pa_stream_update_timing_info(output->stream, TimingUpdated, output->loop);
    while (update != nullptr && pa_operation_get_state(update) == PA_OPERATION_RUNNING) {
        pa_threaded_mainloop_wait(output->loop);
    }
    if (update != nullptr) {
        pa_operation_unref(update);
    }
    const pa_timing_info* timing = pa_stream_get_timing_info(output->stream);
    if (timing != nullptr && !timing->read_index_corrupt && !timing->write_index_corrupt) {
        const double queued = static_cast<double>(timing->write_index - timing->read_index) /
                              static_cast<double>(pa_bytes_per_second(&output->format));
        timeval now;
        pa_gettimeofday(&now);
        const double sinceReading =
            static_cast<double>(pa_timeval_diff(&now, &timing->timestamp)) * 1e-6;
        delay = queued + static_cast<double>(timing->sink_usec) * 1e-6 - sinceReading;
    }
    pa_threaded_mainloop_unlock(output->loop);
    return delay;
}

void OperationDone(pa_stream*, int, void* loop) {
    WakeWaiter(loop);
}

// The server drops what it holds of the stream; the sink's own few
// milliseconds, already mixed, are still heard.
void DropPulse(void* state) {
    auto* output = static_cast<PulseOutput*>(state);
    pa_threaded_mainloop_lock(output->loop);
    pa_operation* flush = pa_stream_flush(output->stream, OperationDone, output->loop);
    while (flush != nullptr && pa_operation_get_state(flush) == PA_OPERATION_RUNNING) {
        pa_threaded_mainloop_wait(output->loop);
    }
    if (flush != nullptr) {
        pa_operation_unref(flush);
    }
    pa_threaded_mainloop_unlock(output->loop);
}

void ClosePulse(void* state) {
    auto* output = static_cast<PulseOutput*>(state);
    if (output->loop != nullptr) {
        pa_threaded_mainloop_stop(output->loop);
    }
    if (output->stream != nullptr) {
        pa_stream_disconnect(output->stream);
        pa_stream_unref(output->stream);
    }
    if (output->context != nullptr) {
        pa_context_disconnect(output->context);
        pa_context_unref(output->context);
    }
    if (output->loop != nullptr) {
        pa_threaded_mainloop_free(output->loop);
    }
    delete output;
}

}  // namespace

const MusicOutputBackend kMusicPulseOutput = {"pulseaudio", OpenPulse, WritePulse,
                                              PulseDelay,   DropPulse, ClosePulse};
