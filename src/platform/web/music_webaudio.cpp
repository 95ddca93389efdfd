// The four music calls in the page, over WebAudio (web_audio.js). A browser
// has no MIDI synthesiser to lean on, so the site carries the tune rendered
// at build time by the desktop's own offline FluidSynth renderer, encoded
// twice: data/X.ogg and data/X.m4a next to data/X.mid. Loading a song checks
// that the MIDI file is there, as the desktop's loader reads it, and takes
// the rendering the browser decoded; playing it starts it through a gain
// (the volume), the first song of a show where the show's clock is. The page
// decodes the rendering as it loads; a show started before that is done has
// its tune join, in time, once it is.
//
// Silent on the still page and under the title picture, and wherever the
// browser has no WebAudio or cannot decode the rendering (the calls then
// fail as a sound library without a device does, and the show plays on).
#include <cstdio>

#include "platform/music.h"
#include "platform/web/web_backend_state.h"

// web_audio.js
extern "C" {
void VupAudioShowZero(double performanceMs);
void VupAudioPaused(int paused);
int VupAudioInit();                  // stops and releases the earlier song; 1 with WebAudio
int VupAudioLoad(const char* path);  // 1 when the rendering of that MIDI file can play
void VupAudioSetVolume(double gain);
int VupAudioPlay();
void VupAudioStop();
}

static bool Audible() {
    return webBackend.phase == kWebPageShow;
}

int FSOUND_Init(int /*mixRate*/, int /*maxSoftwareChannels*/, unsigned int /*flags*/) {
    webBackend.song.loaded = false;
    return Audible() ? VupAudioInit() : 0;
}

SongHandle FMUSIC_LoadSong(const char* path) {
    if (!Audible() || path == nullptr) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    std::fclose(file);
    if (!VupAudioLoad(path)) {
        return nullptr;
    }
    webBackend.song.loaded = true;
    return &webBackend.song;
}

int FMUSIC_SetMasterVolume(SongHandle handle, int volume) {
    if (handle != &webBackend.song || !webBackend.song.loaded) {
        return 0;
    }
    const int clamped = volume < 0 ? 0 : (volume > 256 ? 256 : volume);
    VupAudioSetVolume(clamped / 256.0);
    return 1;
}

int FMUSIC_PlaySong(SongHandle handle) {
    if (handle != &webBackend.song || !webBackend.song.loaded) {
        return 0;
    }
    return VupAudioPlay();
}

// The show's start reading is performance.now() in whole milliseconds
// (web_messages.cpp), the clock the page sets the tune against. Called again
// whenever the show's clock moves: a playing tune goes there at once.
void MusicSetShowStart(uint32_t startMs) {
    webBackend.showStartReading = startMs;
    if (webBackend.showPaused) {
        // Moved while paused: the frames stay at the new place.
        webBackend.pausedShowMs = static_cast<int32_t>(webBackend.lastReading - startMs);
    }
    // Before the page's clock passed it, a start from later in the show
    // (the address's ?t=) reads as a wrapped counter: the page gets it as a
    // time before its own start.
    const int32_t sinceStart = static_cast<int32_t>(webBackend.lastReading - startMs);
    VupAudioShowZero(static_cast<double>(webBackend.lastReading) - sinceStart);
}

void MusicSetShowPaused(int paused) {
    if ((paused != 0) != webBackend.showPaused) {
        webBackend.showPaused = paused != 0;
        webBackend.pausedShowMs =
            static_cast<int32_t>(webBackend.lastReading - webBackend.showStartReading);
    }
    VupAudioPaused(paused != 0 ? 1 : 0);
}

void WebMusicStop() {
    webBackend.song.loaded = false;
    VupAudioStop();
}
