// The show's sound library on FluidSynth. One song at a time. The four calls
// only check that a tune and a SoundFont are there and note what is asked; a
// song thread builds the synth, brings in the SoundFont (seconds for a large
// one), opens the audio output and then renders the song block by block,
// holding it to the clock: the first song after the show's start sounds where
// the show already is, whatever the loading took, and no output underrun or
// stalled thread leaves it behind (music_playback.h). Any missing piece
// (SoundFont, tune, audio output) means silence and one line on stderr saying
// why, never a failure of the show.
#include <fluidsynth.h>
#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/fluidsynth/music_clock.h"
#include "platform/fluidsynth/music_output.h"
#include "platform/fluidsynth/music_session.h"
#include "platform/fluidsynth/music_silence.h"
#include "platform/fluidsynth/music_soundfont.h"
#include "platform/fluidsynth/music_soundfont_loader.h"
#include "platform/fluidsynth/music_synth.h"
#include "platform/fluidsynth/music_tune.h"
#include "platform/music.h"
#include "platform/music_stats.h"
#include "platform/platform.h"

MusicSession musicSession;
static uintptr_t lastSongToken = 0;

// The show's time 0 on the music clock, once the show has announced it: every
// song played after that, the one of a re-opened display included, takes it as
// its own start, so the tune stays where the scenes are.
static bool showZeroKnown = false;
static double showZero = 0.0;
static bool showPaused = false;

// A song being released need not finish loading: its SoundFont read is called
// off, so quitting or re-opening the display early does not wait for it.
static void StopSongThread() {
    if (!musicSession.threadRunning) {
        return;
    }
    musicSession.stopRequested.store(true);
    MusicAbandonSoundFontLoads(true);
    pthread_join(musicSession.thread, nullptr);
    MusicAbandonSoundFontLoads(false);
    musicSession.stopRequested.store(false);
    musicSession.threadRunning = false;
}

// The song's synth, SoundFont, player and tune.
static void DropLoadedSong() {
    MusicDeletePlayer(musicSession.player);
    MusicDeleteSynth(musicSession.synth);
    MusicDeleteSettings(musicSession.settings);
    MusicFreeTune(&musicSession.tune);
    musicSession.player = nullptr;
    musicSession.synth = nullptr;
    musicSession.settings = nullptr;
    musicSession.playing = false;
    if (musicSession.resampler != nullptr) {
        speex_resampler_destroy(musicSession.resampler);
    }
    musicSession.resampler = nullptr;
    musicSession.songFrames = 0;
    musicSession.synthFrames = 0;
    musicSession.pendingLeft = 0;
    musicSession.replayLeft = 0;
    musicSession.moved = false;
}

// The audio output goes first so nothing renders while the rest is torn down.
// With `keepLoaded`, a loaded song stays as it is, silent, for the next song
// if that is the same tune from the same SoundFont at the same rate (the
// display re-opened): it then goes on at once from where it was last heard,
// what the output held unheard written again first, where a new song would
// load the SoundFont again and render its way from the tune's start to the
// show's position, seconds of work at the end of the show.
static void ReleaseSong(bool keepLoaded) {
    StopSongThread();
    if (musicSession.output != nullptr && !musicSession.outputQuiet) {
        MusicUnhearLocked(
            std::llround(MusicOutputDelay(musicSession.output) * musicSession.mixRate));
    }
    MusicCloseOutput(musicSession.output);
    musicSession.output = nullptr;
    if (!keepLoaded || musicSession.player == nullptr) {
        DropLoadedSong();
    }
    musicSession.songToken = 0;
    musicSession.loaded = false;
    musicSession.settled = false;
    musicSession.volume = 256;
    musicSession.playRequested = false;
    musicSession.showTime = false;
    musicSession.songZeroKnown = false;
}

void MusicReleaseAll() {
    ReleaseSong(false);
    musicSession.mixerReady = false;
    musicSession.paused = false;
    musicSession.dropWanted = false;
    showZeroKnown = false;
    showPaused = false;
}

// Audio threads must be gone before the process takes its libraries down.
// Also on a quick exit (the display lost): the tune stops with the show.
static void ReleaseAtExit() {
    MusicReleaseAll();
}

static bool IsCurrentSong(SongHandle song) {
    return song != nullptr && musicSession.songToken != 0 &&
           reinterpret_cast<uintptr_t>(song) == musicSession.songToken;
}

// ---- the calls -------------------------------------------------------------

void MusicSetShowStart(uint32_t startMs) {
    const uint32_t sinceStartMs = PlatformMilliseconds() - startMs;
    showZero = MusicClockSeconds() - static_cast<double>(sinceStartMs) / 1000.0;
    showZeroKnown = true;
    // A song on the show's time follows it at once (music_song.cpp).
    pthread_mutex_lock(&musicSession.lock);
    if (musicSession.showTime) {
        musicSession.songZero = showZero;
        musicSession.songZeroKnown = true;
        musicSession.moved = true;
        musicSession.dropWanted = true;
    }
    pthread_mutex_unlock(&musicSession.lock);
}

void MusicSetShowPaused(int paused) {
    showPaused = paused != 0;
    pthread_mutex_lock(&musicSession.lock);
    if (musicSession.paused != showPaused) {
        musicSession.paused = showPaused;
        musicSession.dropWanted = true;
    }
    pthread_mutex_unlock(&musicSession.lock);
}

int FSOUND_Init(int mixRate, int, unsigned int) {
    static bool exitHookRegistered = false;
    if (!exitHookRegistered) {
        exitHookRegistered =
            std::atexit(ReleaseAtExit) == 0 && std::at_quick_exit(ReleaseAtExit) == 0;
    }
    MusicQuietLogs();
    // A second start-up replaces the first, so only one copy of the tune sounds.
    ReleaseSong(true);
    musicSession.mixerReady = false;
    if (mixRate != musicSession.mixRate) {
        DropLoadedSong();
    }
    if (mixRate < kMusicLowestRate || mixRate > kMusicHighestRate) {
        return 0;
    }
    musicSession.mixRate = mixRate;
    musicSession.mixerReady = true;
    return 1;
}

SongHandle FMUSIC_LoadSong(const char* path) {
    if (!musicSession.mixerReady) {
        return nullptr;
    }
    ReleaseSong(true);
    char fontPath[sizeof musicSession.soundFontPath];
    MusicTune tune = {};
    if (!MusicFindSoundFont(fontPath, sizeof fontPath)) {
        DropLoadedSong();
        const char* chosen = std::getenv("VUP_SOUNDFONT");
        if (chosen != nullptr && chosen[0] != '\0') {
            MusicSayWhySilent(kMusicBadSoundFontChoice, chosen);
        } else {
            MusicSayWhySilent(kMusicNoSoundFont, nullptr);
        }
        return nullptr;
    }
    if (!MusicReadTune(path, &tune)) {
        DropLoadedSong();
        if (path != nullptr) {
            MusicSayWhySilent(kMusicUnreadableTune, path);
        }
        return nullptr;
    }
    const bool sameSong = std::strcmp(fontPath, musicSession.soundFontPath) == 0 &&
                          tune.size == musicSession.tune.size &&
                          std::memcmp(tune.bytes, musicSession.tune.bytes, tune.size) == 0;
    if (sameSong) {
        MusicFreeTune(&tune);
    } else {
        DropLoadedSong();
        musicSession.tune = tune;
        std::memcpy(musicSession.soundFontPath, fontPath, sizeof fontPath);
    }
    musicSession.tunePath = path;
    musicSession.threadRunning =
        pthread_create(&musicSession.thread, nullptr, MusicRunSong, nullptr) == 0;
    if (!musicSession.threadRunning) {
        DropLoadedSong();
        return nullptr;
    }
    musicSession.songToken = ++lastSongToken;
    return reinterpret_cast<SongHandle>(musicSession.songToken);
}

int FMUSIC_SetMasterVolume(SongHandle song, int volume) {
    if (!IsCurrentSong(song)) {
        return 0;
    }
    pthread_mutex_lock(&musicSession.lock);
    musicSession.volume = volume;
    if (musicSession.loaded && musicSession.synth != nullptr) {
        fluid_synth_set_gain(musicSession.synth, MusicGainForVolume(volume));
    }
    pthread_mutex_unlock(&musicSession.lock);
    return 1;
}

int FMUSIC_PlaySong(SongHandle song) {
    if (!IsCurrentSong(song)) {
        return 0;
    }
    pthread_mutex_lock(&musicSession.lock);
    musicSession.playRequested = true;
    // A song of the show keeps the show's time; one played without a show
    // (a tool, a test) starts from its beginning when it is first heard.
    musicSession.showTime = showZeroKnown;
    musicSession.songZeroKnown = showZeroKnown;
    musicSession.songZero = showZero;
    musicSession.paused = showPaused;
    if (musicSession.loaded) {
        MusicStartPlayerLocked();
    }
    pthread_mutex_unlock(&musicSession.lock);
    return 1;
}

// ---- for tests -------------------------------------------------------------

void MusicWaitForLoader() {
    pthread_mutex_lock(&musicSession.lock);
    while (musicSession.threadRunning && !musicSession.settled) {
        pthread_cond_wait(&musicSession.settledChanged, &musicSession.lock);
    }
    pthread_mutex_unlock(&musicSession.lock);
}

int MusicSongIsPlaying() {
    pthread_mutex_lock(&musicSession.lock);
    // A song kept from the display before plays on only once asked to.
    const bool playing = musicSession.playRequested && musicSession.playing &&
                         musicSession.player != nullptr &&
                         fluid_player_get_status(musicSession.player) == FLUID_PLAYER_PLAYING;
    pthread_mutex_unlock(&musicSession.lock);
    return playing ? 1 : 0;
}
