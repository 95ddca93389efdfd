// The song's thread: the instruments the tune calls for, the audio output,
// then the song rendered block by block on the clock (music_playback.h).
#include <pthread.h>
#include <speex/speex_resampler.h>

#include <chrono>
#include <cmath>
#include <initializer_list>
#include <thread>

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
        if (!musicSession.showTime) {
            fluid_player_seek(musicSession.player, 0);
            musicSession.songFrames = 0;
            musicSession.pendingLeft = 0;
            musicSession.replayLeft = 0;
        }
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

// Drops the song's next `count` frames: those to be written again first, then
// those rendered for the resampler, then new ones. The resampler starts clean
// after a drop of new frames.
static void SkipFrames(int64_t count, float* block) {
    const int replayed =
        count < musicSession.replayLeft ? static_cast<int>(count) : musicSession.replayLeft;
    musicSession.replayAt = (musicSession.replayAt + replayed) % kMusicReplayFrames;
    musicSession.replayLeft -= replayed;
    count -= replayed;
    if (count == 0) {
        return;
    }
    const int pending =
        count < musicSession.pendingLeft ? static_cast<int>(count) : musicSession.pendingLeft;
    musicSession.pendingAt += pending;
    musicSession.pendingLeft -= pending;
    RenderFrames(count - pending, block);
    speex_resampler_reset_mem(musicSession.resampler);
    speex_resampler_skip_zeros(musicSession.resampler);
}

// `count` frames of the song at the resampler's speed into `block`.
static void RenderResampled(float* block, int count) {
    int made = 0;
    while (made < count) {
        if (musicSession.pendingLeft == 0) {
            fluid_synth_write_float(musicSession.synth, kMusicSynthFrames, musicSession.pending, 0,
                                    2, musicSession.pending, 1, 2);
            musicSession.songFrames += kMusicSynthFrames;
            musicSession.pendingAt = 0;
            musicSession.pendingLeft = kMusicSynthFrames;
        }
        auto taken = static_cast<spx_uint32_t>(musicSession.pendingLeft);
        auto out = static_cast<spx_uint32_t>(count - made);
        speex_resampler_process_interleaved_float(musicSession.resampler,
                                                  musicSession.pending + musicSession.pendingAt * 2,
                                                  &taken, block + made * 2, &out);
        musicSession.pendingAt += static_cast<int>(taken);
        musicSession.pendingLeft -= static_cast<int>(taken);
        made += static_cast<int>(out);
    }
}

// Up to a block of the frames to write again into `block`; their count.
static int Replay(float* block) {
    const int count =
        musicSession.replayLeft < kMusicBlockFrames ? musicSession.replayLeft : kMusicBlockFrames;
    for (int i = 0; i < count; ++i) {
        block[i * 2] = musicSession.written[musicSession.replayAt * 2];
        block[i * 2 + 1] = musicSession.written[musicSession.replayAt * 2 + 1];
        musicSession.replayAt = (musicSession.replayAt + 1) % kMusicReplayFrames;
    }
    musicSession.replayLeft -= count;
    return count;
}

static void Remember(const float* block, int count) {
    for (int i = 0; i < count; ++i) {
        musicSession.written[musicSession.writtenAt * 2] = block[i * 2];
        musicSession.written[musicSession.writtenAt * 2 + 1] = block[i * 2 + 1];
        musicSession.writtenAt = (musicSession.writtenAt + 1) % kMusicReplayFrames;
    }
}

// One block's turn, under the lock: where the song should be when the next
// frame is heard (`heardAt`, on the music clock) against where it is. Puts the
// song's next frames into `block` and returns their count; returns the
// negative count of frames to write as silence instead, or 0 after skipping
// ahead, so that the caller reads the clock again before it writes (a long
// skip takes a while to render).
static int NextBlockLocked(float* block, double heardAt, MusicSteering* steering) {
    if (!musicSession.songZeroKnown) {
        musicSession.songZero = heardAt;
        musicSession.songZeroKnown = true;
    }
    const int rate = musicSession.mixRate;
    // The frames to write again were played at about the normal speed: a
    // frame's error at most in every 500.
    const int64_t songFrame =
        musicSession.songFrames - musicSession.pendingLeft - musicSession.replayLeft;
    const MusicCorrection correction =
        MusicCorrectionFor(static_cast<double>(songFrame) / rate, heardAt - musicSession.songZero,
                           rate, static_cast<double>(kMusicBlockFrames) / rate, steering);
    if (correction.skipFrames > 0) {
        SkipFrames(correction.skipFrames, block);
        return 0;
    }
    if (correction.holdFrames > 0) {
        return -static_cast<int>(correction.holdFrames < kMusicBlockFrames ? correction.holdFrames
                                                                           : kMusicBlockFrames);
    }
    if (musicSession.replayLeft > 0) {
        return Replay(block);
    }
    // In steps of a frame a second (23 ppm at 44,100 Hz): the resampler
    // recomputes its filter on every change, and with a much finer step
    // (100,000ths) speexdsp 1.2.1 was seen to crash.
    speex_resampler_set_rate_frac(musicSession.resampler,
                                  static_cast<spx_uint32_t>(std::lround(correction.speed * rate)),
                                  static_cast<spx_uint32_t>(rate), static_cast<spx_uint32_t>(rate),
                                  static_cast<spx_uint32_t>(rate));
    RenderResampled(block, kMusicBlockFrames);
    return kMusicBlockFrames;
}

static void PlayUntilStopped(MusicOutput* output) {
    MusicPreferRealTime();
    MusicSteering steering = {};
    float block[kMusicBlockFrames * 2];
    bool checkedTune = false;
    while (!musicSession.stopRequested.load()) {
        const double heardAt = MusicClockSeconds() + MusicOutputDelay(output);
        pthread_mutex_lock(&musicSession.lock);
        // Nothing goes out before the song is asked to play: a song kept from
        // the display before is already playing, but is not yet on the show's
        // time, and its first frame is put where the clock is.
        if (!musicSession.playRequested || !musicSession.playing) {
            pthread_mutex_unlock(&musicSession.lock);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        int frames = NextBlockLocked(block, heardAt, &steering);
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
        Remember(block, frames);
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
    // The song of the display before, kept loaded (music_fluidsynth.cpp),
    // plays on; otherwise the instruments are loaded here.
    fluid_settings_t* settings = musicSession.settings;
    fluid_synth_t* synth = musicSession.synth;
    fluid_player_t* player = musicSession.player;
    SpeexResamplerState* resampler = musicSession.resampler;
    if (player == nullptr) {
        const bool instruments = LoadInstruments(&settings, &synth);
        player = instruments ? MusicNewPlayer(synth, musicSession.tune) : nullptr;
        if (!instruments && !musicSession.stopRequested.load()) {
            MusicSayWhySilent(kMusicUnreadableSoundFont, musicSession.soundFontPath);
        }
        const auto rate = static_cast<spx_uint32_t>(musicSession.mixRate);
        int error = 0;
        resampler = player != nullptr ? speex_resampler_init(
                                            2, rate, rate, SPEEX_RESAMPLER_QUALITY_DEFAULT, &error)
                                      : nullptr;
        if (resampler != nullptr) {
            speex_resampler_skip_zeros(resampler);
        }
    }

    pthread_mutex_lock(&musicSession.lock);
    musicSession.settings = settings;
    musicSession.synth = synth;
    musicSession.player = player;
    musicSession.resampler = resampler;
    musicSession.loaded = true;
    if (synth != nullptr) {
        fluid_synth_set_gain(synth, MusicGainForVolume(musicSession.volume));
    }
    if (musicSession.playRequested) {
        MusicStartPlayerLocked();
    }
    pthread_mutex_unlock(&musicSession.lock);

    const char* why = nullptr;
    MusicOutput* output =
        player != nullptr && resampler != nullptr && !musicSession.stopRequested.load()
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
