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

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "platform/fluidsynth/music_clock.h"
#include "platform/fluidsynth/music_output.h"
#include "platform/fluidsynth/music_playback.h"
#include "platform/fluidsynth/music_silence.h"
#include "platform/fluidsynth/music_soundfont.h"
#include "platform/fluidsynth/music_soundfont_loader.h"
#include "platform/fluidsynth/music_soundfont_trim.h"
#include "platform/fluidsynth/music_synth.h"
#include "platform/fluidsynth/music_tune.h"
#include "platform/fluidsynth/music_tune_presets.h"
#include "platform/music.h"
#include "platform/music_stats.h"
#include "platform/platform.h"

// Frames rendered and written at a time: 5.8 ms at 44,100 Hz, a multiple of
// the synth's own 64-frame block.
constexpr int kBlockFrames = 256;

struct MusicSession {
    bool mixerReady = false;
    int mixRate = 0;
    // The value handed out as the current song's handle; 0 when there is none.
    // Handles are tokens, never dereferenced, so a stale one is simply refused.
    uintptr_t songToken = 0;
    const char* tunePath = nullptr;  // for the silence line; the caller's string

    // Handed to the song thread, which owns them until it has been joined.
    MusicTune tune = {};
    char soundFontPath[4096] = {};
    pthread_t thread = {};
    bool threadRunning = false;
    std::atomic<bool> stopRequested{false};

    // Shared with the song thread, under `lock`. The FluidSynth pieces are
    // made by that thread; the caller's thread touches them only once
    // `loaded` is set, or after joining the thread.
    pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_cond_t settledChanged = PTHREAD_COND_INITIALIZER;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    MusicOutput* output = nullptr;
    bool loaded = false;
    bool settled = false;  // loaded and the output tried
    int volume = 256;
    bool playRequested = false;
    bool playing = false;
    // Where the song's start is heard, on the music clock; unknown until the
    // first block of a song started from its beginning.
    bool songZeroKnown = false;
    double songZero = 0.0;
    int64_t songFrames = 0;  // frames of the song rendered since its start
};

static MusicSession session;
static uintptr_t lastSongToken = 0;

// The show's time 0 on the music clock, until the first song played after it
// takes it as its own start.
static bool showZeroPending = false;
static double showZero = 0.0;

// ---- the song thread -------------------------------------------------------

// Called with the lock held once the song is loaded and play is wanted.
static void StartPlayerLocked() {
    if (session.player == nullptr) {
        return;
    }
    if (session.playing) {
        fluid_player_seek(session.player, 0);
        session.songFrames = 0;
    } else if (fluid_player_play(session.player) == FLUID_OK) {
        session.playing = true;
    }
}

static void RenderFrames(int64_t count, float* block) {
    while (count > 0) {
        const int frames = count < kBlockFrames ? static_cast<int>(count) : kBlockFrames;
        fluid_synth_write_float(session.synth, frames, block, 0, 2, block, 1, 2);
        session.songFrames += frames;
        count -= frames;
    }
}

// One block's turn, under the lock: where the song should be when the next
// frame is heard (`heardAt`, on the music clock) against where it is. Renders
// the song's next block into `block` and returns its frame count; returns the
// negative count of frames to write as silence instead, or 0 after skipping
// ahead, so that the caller reads the clock again before it writes (a long
// skip takes a while to render).
static int NextBlockLocked(float* block, double heardAt) {
    if (!session.playing) {
        return -kBlockFrames;
    }
    if (!session.songZeroKnown) {
        session.songZero = heardAt;
        session.songZeroKnown = true;
    }
    const MusicCorrection correction =
        MusicCorrectionFor(session.songFrames, heardAt - session.songZero, session.mixRate);
    if (correction.skipFrames > 0) {
        RenderFrames(correction.skipFrames, block);
        return 0;
    }
    if (correction.holdFrames > 0) {
        return -static_cast<int>(correction.holdFrames < kBlockFrames ? correction.holdFrames
                                                                      : kBlockFrames);
    }
    RenderFrames(kBlockFrames, block);
    return kBlockFrames;
}

static void PlayUntilStopped(MusicOutput* output) {
    MusicPreferRealTime();
    float block[kBlockFrames * 2];
    bool checkedTune = false;
    while (!session.stopRequested.load()) {
        const double heardAt = MusicClockSeconds() + MusicOutputDelay(output);
        pthread_mutex_lock(&session.lock);
        int frames = NextBlockLocked(block, heardAt);
        // A tune the player cannot read ends at once, though it loops.
        if (frames > 0 && !checkedTune) {
            checkedTune = true;
            if (fluid_player_get_status(session.player) != FLUID_PLAYER_PLAYING) {
                MusicSayWhySilent(kMusicUnplayableTune, session.tunePath);
            }
        }
        pthread_mutex_unlock(&session.lock);
        if (frames == 0) {
            continue;
        }
        if (frames < 0) {
            frames = -frames;
            for (int i = 0; i < frames * 2; ++i) {
                block[i] = 0.0f;
            }
        }
        if (!MusicOutputWrite(output, block, frames)) {
            return;
        }
    }
}

// The instruments for the song: only the presets the tune can select, cut
// out of the SoundFont (a large General MIDI font holds 150 MB of samples,
// its preset tree alone over 10 MB, for a tune that plays half a dozen
// instruments); the whole font, read as the tune selects its instruments,
// when the tune or the font cannot be read that way.
static bool LoadInstruments(fluid_settings_t** settings, fluid_synth_t** synth) {
    MusicPreset presets[kMusicMostPresets];
    int count = 0;
    MusicFontImage font = {};
    const bool trimmed = MusicTunePresets(session.tune, presets, kMusicMostPresets, &count) &&
                         MusicTrimSoundFont(session.soundFontPath, presets, count, &font);
    for (const bool whole : {false, true}) {
        if (!whole && !trimmed) {
            continue;
        }
        *settings = MusicNewSettings(session.mixRate);
        if (whole) {
            fluid_settings_setint(*settings, "synth.dynamic-sample-loading", 1);
        }
        *synth = MusicNewSynth(*settings);
        const bool loaded = whole
                                ? MusicLoadSoundFont(*settings, *synth, session.soundFontPath)
                                : MusicLoadSoundFontImage(*settings, *synth, font.bytes, font.size);
        if (loaded || session.stopRequested.load()) {
            MusicFreeFontImage(&font);
            return loaded;
        }
        MusicDeleteSynth(*synth);
        MusicDeleteSettings(*settings);
        *synth = nullptr;
        *settings = nullptr;
    }
    MusicFreeFontImage(&font);
    return false;
}

static void* RunSong(void*) {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    const bool instruments = LoadInstruments(&settings, &synth);
    fluid_player_t* player = instruments ? MusicNewPlayer(synth, session.tune) : nullptr;
    MusicFreeTune(&session.tune);
    if (!instruments && !session.stopRequested.load()) {
        MusicSayWhySilent(kMusicUnreadableSoundFont, session.soundFontPath);
    }

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

    const char* why = nullptr;
    MusicOutput* output = player != nullptr && !session.stopRequested.load()
                              ? MusicOpenOutput(session.mixRate, &why)
                              : nullptr;
    if (player != nullptr && output == nullptr && why != nullptr) {
        MusicSayWhySilent(kMusicNoOutput, why);
    }
    pthread_mutex_lock(&session.lock);
    session.output = output;
    session.settled = true;
    pthread_cond_broadcast(&session.settledChanged);
    pthread_mutex_unlock(&session.lock);

    if (output != nullptr) {
        PlayUntilStopped(output);
    }
    return nullptr;
}

// A song being released need not finish loading: its SoundFont read is called
// off, so quitting or re-opening the display early does not wait for it.
static void StopSongThread() {
    if (!session.threadRunning) {
        return;
    }
    session.stopRequested.store(true);
    MusicAbandonSoundFontLoads(true);
    pthread_join(session.thread, nullptr);
    MusicAbandonSoundFontLoads(false);
    session.stopRequested.store(false);
    session.threadRunning = false;
}

// The audio output goes first so nothing renders while the rest is torn down.
static void ReleaseSong() {
    StopSongThread();
    MusicCloseOutput(session.output);
    MusicDeletePlayer(session.player);
    MusicDeleteSynth(session.synth);
    MusicDeleteSettings(session.settings);
    MusicFreeTune(&session.tune);
    session.output = nullptr;
    session.player = nullptr;
    session.synth = nullptr;
    session.settings = nullptr;
    session.songToken = 0;
    session.loaded = false;
    session.settled = false;
    session.volume = 256;
    session.playRequested = false;
    session.playing = false;
    session.songZeroKnown = false;
    session.songFrames = 0;
}

void MusicReleaseAll() {
    ReleaseSong();
    session.mixerReady = false;
    showZeroPending = false;
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

// ---- the calls -------------------------------------------------------------

void MusicSetShowStart(uint32_t startMs) {
    const uint32_t sinceStartMs = PlatformMilliseconds() - startMs;
    showZero = MusicClockSeconds() - static_cast<double>(sinceStartMs) / 1000.0;
    showZeroPending = true;
}

int FSOUND_Init(int mixRate, int, unsigned int) {
    static bool exitHookRegistered = false;
    if (!exitHookRegistered) {
        exitHookRegistered =
            std::atexit(ReleaseAtExit) == 0 && std::at_quick_exit(ReleaseAtExit) == 0;
    }
    MusicQuietLogs();
    // A second start-up replaces the first, so only one copy of the tune sounds.
    ReleaseSong();
    session.mixerReady = false;
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
    if (!MusicFindSoundFont(session.soundFontPath, sizeof session.soundFontPath)) {
        const char* chosen = std::getenv("VUP_SOUNDFONT");
        if (chosen != nullptr && chosen[0] != '\0') {
            MusicSayWhySilent(kMusicBadSoundFontChoice, chosen);
        } else {
            MusicSayWhySilent(kMusicNoSoundFont, nullptr);
        }
        return nullptr;
    }
    if (!MusicReadTune(path, &session.tune)) {
        if (path != nullptr) {
            MusicSayWhySilent(kMusicUnreadableTune, path);
        }
        return nullptr;
    }
    session.tunePath = path;
    session.threadRunning = pthread_create(&session.thread, nullptr, RunSong, nullptr) == 0;
    if (!session.threadRunning) {
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
    // The first song after the show's start keeps the show's time; any later
    // one starts from its beginning when it is first heard.
    session.songZeroKnown = showZeroPending;
    session.songZero = showZero;
    showZeroPending = false;
    if (session.loaded) {
        StartPlayerLocked();
    }
    pthread_mutex_unlock(&session.lock);
    return 1;
}

// ---- for tests -------------------------------------------------------------

void MusicWaitForLoader() {
    pthread_mutex_lock(&session.lock);
    while (session.threadRunning && !session.settled) {
        pthread_cond_wait(&session.settledChanged, &session.lock);
    }
    pthread_mutex_unlock(&session.lock);
}

int MusicSongIsPlaying() {
    pthread_mutex_lock(&session.lock);
    const bool playing = session.playing && session.player != nullptr &&
                         fluid_player_get_status(session.player) == FLUID_PLAYER_PLAYING;
    pthread_mutex_unlock(&session.lock);
    return playing ? 1 : 0;
}
