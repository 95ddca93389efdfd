// The song's thread: the instruments the tune calls for, the audio output,
// then the song rendered block by block on the clock (music_playback.h).
#include <pthread.h>

#include <initializer_list>

#include "platform/fluidsynth/music_clock.h"
#include "platform/fluidsynth/music_output.h"
#include "platform/fluidsynth/music_playback.h"
#include "platform/fluidsynth/music_session.h"
#include "platform/fluidsynth/music_silence.h"
#include "platform/fluidsynth/music_soundfont_loader.h"
#include "platform/fluidsynth/music_soundfont_trim.h"
#include "platform/fluidsynth/music_synth.h"
#include "platform/fluidsynth/music_tune_presets.h"

void MusicStartPlayerLocked() {
    if (musicSession.player == nullptr) {
        return;
    }
    if (musicSession.playing) {
        fluid_player_seek(musicSession.player, 0);
        musicSession.songFrames = 0;
    } else if (fluid_player_play(musicSession.player) == FLUID_OK) {
        musicSession.playing = true;
    }
}

static void RenderFrames(int64_t count, float* block) {
    while (count > 0) {
        const int frames = count < kMusicBlockFrames ? static_cast<int>(count) : kMusicBlockFrames;
        fluid_synth_write_float(musicSession.synth, frames, block, 0, 2, block, 1, 2);
        musicSession.songFrames += frames;
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
    if (!musicSession.playing) {
        return -kMusicBlockFrames;
    }
    if (!musicSession.songZeroKnown) {
        musicSession.songZero = heardAt;
        musicSession.songZeroKnown = true;
    }
    const MusicCorrection correction = MusicCorrectionFor(
        musicSession.songFrames, heardAt - musicSession.songZero, musicSession.mixRate);
    if (correction.skipFrames > 0) {
        RenderFrames(correction.skipFrames, block);
        return 0;
    }
    if (correction.holdFrames > 0) {
        return -static_cast<int>(correction.holdFrames < kMusicBlockFrames ? correction.holdFrames
                                                                           : kMusicBlockFrames);
    }
    RenderFrames(kMusicBlockFrames, block);
    return kMusicBlockFrames;
}

static void PlayUntilStopped(MusicOutput* output) {
    MusicPreferRealTime();
    float block[kMusicBlockFrames * 2];
    bool checkedTune = false;
    while (!musicSession.stopRequested.load()) {
        const double heardAt = MusicClockSeconds() + MusicOutputDelay(output);
        pthread_mutex_lock(&musicSession.lock);
        int frames = NextBlockLocked(block, heardAt);
        // A tune the player cannot read ends at once, though it loops.
        if (frames > 0 && !checkedTune) {
            checkedTune = true;
            if (fluid_player_get_status(musicSession.player) != FLUID_PLAYER_PLAYING) {
                MusicSayWhySilent(kMusicUnplayableTune, musicSession.tunePath);
            }
        }
        pthread_mutex_unlock(&musicSession.lock);
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
    const bool trimmed = MusicTunePresets(musicSession.tune, presets, kMusicMostPresets, &count) &&
                         MusicTrimSoundFont(musicSession.soundFontPath, presets, count, &font);
    for (const bool whole : {false, true}) {
        if (!whole && !trimmed) {
            continue;
        }
        *settings = MusicNewSettings(musicSession.mixRate);
        if (whole) {
            fluid_settings_setint(*settings, "synth.dynamic-sample-loading", 1);
        }
        *synth = MusicNewSynth(*settings);
        const bool loaded = whole
                                ? MusicLoadSoundFont(*settings, *synth, musicSession.soundFontPath)
                                : MusicLoadSoundFontImage(*settings, *synth, font.bytes, font.size);
        if (loaded || musicSession.stopRequested.load()) {
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

void* MusicRunSong(void*) {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    const bool instruments = LoadInstruments(&settings, &synth);
    fluid_player_t* player = instruments ? MusicNewPlayer(synth, musicSession.tune) : nullptr;
    MusicFreeTune(&musicSession.tune);
    if (!instruments && !musicSession.stopRequested.load()) {
        MusicSayWhySilent(kMusicUnreadableSoundFont, musicSession.soundFontPath);
    }

    pthread_mutex_lock(&musicSession.lock);
    musicSession.settings = settings;
    musicSession.synth = synth;
    musicSession.player = player;
    musicSession.loaded = true;
    if (synth != nullptr) {
        fluid_synth_set_gain(synth, MusicGainForVolume(musicSession.volume));
    }
    if (musicSession.playRequested) {
        MusicStartPlayerLocked();
    }
    pthread_mutex_unlock(&musicSession.lock);

    const char* why = nullptr;
    MusicOutput* output = player != nullptr && !musicSession.stopRequested.load()
                              ? MusicOpenOutput(musicSession.mixRate, &why)
                              : nullptr;
    if (player != nullptr && output == nullptr && why != nullptr) {
        MusicSayWhySilent(kMusicNoOutput, why);
    }
    pthread_mutex_lock(&musicSession.lock);
    musicSession.output = output;
    musicSession.settled = true;
    pthread_cond_broadcast(&musicSession.settledChanged);
    pthread_mutex_unlock(&musicSession.lock);

    if (output != nullptr) {
        PlayUntilStopped(output);
    }
    return nullptr;
}
