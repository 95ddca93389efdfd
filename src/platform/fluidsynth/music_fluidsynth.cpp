// The show's sound library on FluidSynth. One song at a time. The four calls
// only check that a tune and a SoundFont are there and note what is asked;
// a loader thread builds the synth, brings in the SoundFont (seconds for a
// large one), applies the volume, starts the song if it has been asked to play
// by then, and opens the audio output. Any missing piece (SoundFont, tune,
// audio device) means silence, never a failure of the show.
#include <fluidsynth.h>
#include <pthread.h>

#include <cstdint>
#include <cstdlib>

#include "platform/fluidsynth/music_soundfont.h"
#include "platform/fluidsynth/music_soundfont_loader.h"
#include "platform/fluidsynth/music_synth.h"
#include "platform/fluidsynth/music_tune.h"
#include "platform/music.h"
#include "platform/music_stats.h"

struct MusicSession {
    bool mixerReady = false;
    int mixRate = 0;
    // The value handed out as the current song's handle; 0 when there is none.
    // Handles are tokens, never dereferenced, so a stale one is simply refused.
    uintptr_t songToken = 0;

    // Handed to the loader, which owns them until it has been joined.
    MusicTune tune = {};
    char soundFontPath[4096] = {};
    pthread_t loader = {};
    bool loaderRunning = false;

    // Shared with the loader thread, under `lock`. The FluidSynth pieces are
    // made by the loader; the caller's thread touches them only once `loaded`
    // is set, or after joining the loader.
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    bool loaded = false;
    int volume = 256;
    bool playRequested = false;
    bool playing = false;
};

static MusicSession session;
static uintptr_t lastSongToken = 0;

// Called with the lock held once the song is loaded and play is wanted.
static void StartPlayerLocked() {
    if (session.player == nullptr) {
        return;
    }
    if (session.playing) {
        fluid_player_seek(session.player, 0);
    } else if (fluid_player_play(session.player) == FLUID_OK) {
        session.playing = true;
    }
}

static void* LoadSongInBackground(void*) {
    fluid_settings_t* settings = MusicNewSettings(session.mixRate);
    fluid_synth_t* synth = MusicNewSynth(settings);
    const bool instruments = MusicLoadSoundFont(settings, synth, session.soundFontPath);
    fluid_player_t* player = instruments ? MusicNewPlayer(synth, session.tune) : nullptr;
    MusicFreeTune(&session.tune);

    pthread_mutex_lock(&session.lock);
    session.settings = settings;
    session.synth = synth;
    session.player = player;
    session.loaded = true;
    if (synth != nullptr) {
        fluid_synth_set_gain(synth, MusicGainForVolume(session.volume));
    }
    if (session.playRequested) {
        StartPlayerLocked();
    }
    pthread_mutex_unlock(&session.lock);

    // Last, so the output's first samples are already the song's.
    fluid_audio_driver_t* driver =
        player != nullptr ? MusicOpenAudioDriver(settings, synth) : nullptr;
    pthread_mutex_lock(&session.lock);
    session.driver = driver;
    pthread_mutex_unlock(&session.lock);
    return nullptr;
}

static void JoinLoader() {
    if (session.loaderRunning) {
        pthread_join(session.loader, nullptr);
        session.loaderRunning = false;
    }
}

// A song being released need not finish loading: its SoundFont read is called
// off, so quitting or re-opening the display early does not wait for it.
static void StopLoader() {
    MusicAbandonSoundFontLoads(true);
    JoinLoader();
    MusicAbandonSoundFontLoads(false);
}

// The audio output goes first so nothing renders while the rest is torn down.
static void ReleaseSong() {
    StopLoader();
    MusicCloseAudioDriver(session.driver);
    MusicDeletePlayer(session.player);
    MusicDeleteSynth(session.synth);
    MusicDeleteSettings(session.settings);
    MusicFreeTune(&session.tune);
    session.driver = nullptr;
    session.player = nullptr;
    session.synth = nullptr;
    session.settings = nullptr;
    session.songToken = 0;
    session.loaded = false;
    session.volume = 256;
    session.playRequested = false;
    session.playing = false;
}

void MusicReleaseAll() {
    ReleaseSong();
    session.mixerReady = false;
}

// Audio threads must be gone before the process takes its libraries down.
// Also on a quick exit (the display lost): the tune stops with the show.
static void ReleaseAtExit() {
    MusicReleaseAll();
}

static bool IsCurrentSong(SongHandle song) {
    return song != nullptr && session.songToken != 0 &&
           reinterpret_cast<uintptr_t>(song) == session.songToken;
}

int FSOUND_Init(int mixRate, int, unsigned int) {
    static bool exitHookRegistered = false;
    if (!exitHookRegistered) {
        exitHookRegistered =
            std::atexit(ReleaseAtExit) == 0 && std::at_quick_exit(ReleaseAtExit) == 0;
    }
    MusicQuietLogs();
    // A second start-up replaces the first, so only one copy of the tune sounds.
    MusicReleaseAll();
    if (mixRate < kMusicLowestRate || mixRate > kMusicHighestRate) {
        return 0;
    }
    session.mixRate = mixRate;
    session.mixerReady = true;
    return 1;
}

SongHandle FMUSIC_LoadSong(const char* path) {
    if (!session.mixerReady) {
        return nullptr;
    }
    ReleaseSong();
    if (!MusicFindSoundFont(session.soundFontPath, sizeof session.soundFontPath) ||
        !MusicReadTune(path, &session.tune)) {
        return nullptr;
    }
    session.loaderRunning =
        pthread_create(&session.loader, nullptr, LoadSongInBackground, nullptr) == 0;
    if (!session.loaderRunning) {
        MusicFreeTune(&session.tune);
        return nullptr;
    }
    session.songToken = ++lastSongToken;
    return reinterpret_cast<SongHandle>(session.songToken);
}

int FMUSIC_SetMasterVolume(SongHandle song, int volume) {
    if (!IsCurrentSong(song)) {
        return 0;
    }
    pthread_mutex_lock(&session.lock);
    session.volume = volume;
    if (session.loaded && session.synth != nullptr) {
        fluid_synth_set_gain(session.synth, MusicGainForVolume(volume));
    }
    pthread_mutex_unlock(&session.lock);
    return 1;
}

int FMUSIC_PlaySong(SongHandle song) {
    if (!IsCurrentSong(song)) {
        return 0;
    }
    pthread_mutex_lock(&session.lock);
    session.playRequested = true;
    if (session.loaded) {
        StartPlayerLocked();
    }
    pthread_mutex_unlock(&session.lock);
    return 1;
}

void MusicWaitForLoader() {
    JoinLoader();
}

int MusicSongIsPlaying() {
    pthread_mutex_lock(&session.lock);
    const bool playing = session.playing && session.player != nullptr &&
                         fluid_player_get_status(session.player) == FLUID_PLAYER_PLAYING;
    pthread_mutex_unlock(&session.lock);
    return playing ? 1 : 0;
}
