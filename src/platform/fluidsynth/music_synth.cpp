#include "platform/fluidsynth/music_synth.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "platform/fluidsynth/music_stats_file.h"
#include "platform/music_stats.h"

// Written from the loader thread as well as the caller's, hence atomic.
static std::atomic<int> liveSettings{0};
static std::atomic<int> liveSynths{0};
static std::atomic<int> livePlayers{0};
static std::atomic<int> liveDrivers{0};

// One change at a time, so that the published counts follow them in order.
static std::mutex countChangeMutex;

static void ChangeCount(std::atomic<int>* count, int delta) {
    std::lock_guard<std::mutex> hold(countChangeMutex);
    *count += delta;
    MusicPublishStats();
}

int MusicLiveSettingsCount() {
    return liveSettings.load();
}
int MusicLiveSynthCount() {
    return liveSynths.load();
}
int MusicLivePlayerCount() {
    return livePlayers.load();
}
int MusicLiveDriverCount() {
    return liveDrivers.load();
}

extern "C" {
// Matches ALSA's snd_lib_error_handler_t.
static void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}
}

// ALSA reports a machine without sound cards straight to stderr, apart from
// FluidSynth's log. It is looked up rather than linked: FluidSynth brings the
// library in, and without it there is nothing to silence.
static void SilenceAlsaErrors() {
    using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetErrorHandler = int (*)(ErrorHandler);
    void* symbol = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler");
    if (symbol != nullptr) {
        reinterpret_cast<SetErrorHandler>(symbol)(IgnoreAlsaError);
    }
}

static void SilenceAudioLogs() {
    const char* debug = std::getenv("VUP_DEBUG_AUDIO");
    if (debug != nullptr && debug[0] != '\0') {
        return;
    }
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    SilenceAlsaErrors();
}

void MusicQuietLogs() {
    static pthread_once_t once = PTHREAD_ONCE_INIT;
    pthread_once(&once, SilenceAudioLogs);
}

fluid_settings_t* MusicNewSettings(int sampleRate) {
    fluid_settings_t* settings = new_fluid_settings();
    if (settings == nullptr) {
        return nullptr;
    }
    ChangeCount(&liveSettings, 1);
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    // The song clock is the synth's own sample count: offline rendering then
    // follows the samples produced, and the live player, which renders the
    // samples itself, holds that count to the wall clock (music_playback.h).
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    // Pinning a large SoundFont needs privileges the show does not have.
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    return settings;
}

void MusicDeleteSettings(fluid_settings_t* settings) {
    if (settings != nullptr) {
        delete_fluid_settings(settings);
        ChangeCount(&liveSettings, -1);
    }
}

fluid_synth_t* MusicNewSynth(fluid_settings_t* settings) {
    fluid_synth_t* synth = settings != nullptr ? new_fluid_synth(settings) : nullptr;
    if (synth != nullptr) {
        ChangeCount(&liveSynths, 1);
    }
    return synth;
}

void MusicDeleteSynth(fluid_synth_t* synth) {
    if (synth != nullptr) {
        delete_fluid_synth(synth);
        ChangeCount(&liveSynths, -1);
    }
}

fluid_player_t* MusicNewPlayer(fluid_synth_t* synth, const MusicTune& tune) {
    if (synth == nullptr || tune.bytes == nullptr) {
        return nullptr;
    }
    fluid_player_t* player = new_fluid_player(synth);
    if (player == nullptr) {
        return nullptr;
    }
    ChangeCount(&livePlayers, 1);
    // The show outlasts short tunes; like a tracker module, the song starts over.
    if (fluid_player_add_mem(player, tune.bytes, tune.size) != FLUID_OK ||
        fluid_player_set_loop(player, -1) != FLUID_OK) {
        MusicDeletePlayer(player);
        return nullptr;
    }
    return player;
}

void MusicDeletePlayer(fluid_player_t* player) {
    if (player != nullptr) {
        delete_fluid_player(player);
        ChangeCount(&livePlayers, -1);
    }
}

void MusicCountOutput(int delta) {
    ChangeCount(&liveDrivers, delta);
}

float MusicGainForVolume(int volume) {
    // Full scale matches FluidSynth's own default gain, which leaves headroom
    // for a full General MIDI arrangement without clipping.
    constexpr float kFullScaleGain = 0.2f;
    const int clamped = volume < 0 ? 0 : (volume > 256 ? 256 : volume);
    return kFullScaleGain * static_cast<float>(clamped) / 256.0f;
}

int16_t MusicSampleFromFloat(float value) {
    const float scaled = std::nearbyint(value * 32767.0f);
    if (scaled >= 32767.0f) {
        return 32767;
    }
    if (scaled <= -32768.0f) {
        return -32768;
    }
    return static_cast<int16_t>(scaled);
}
