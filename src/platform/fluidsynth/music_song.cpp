// The song's thread: the instruments the tune calls for, the audio output,
// then the song rendered block by block on the clock (music_playback.h).
#include <pthread.h>
#include <speex/speex_resampler.h>

#include <algorithm>
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
#include "platform/fluidsynth/music_tune_timeline.h"

// A song moved is started this long before where it is wanted and rendered
// up to there unheard: the notes held across the new position sound as they
// would have, struck again at its start (the player, sent to a position,
// plays only the notes that start after it), and the notes that ended in
// the time just before it leave their release and echo.
constexpr double kMusicLeadInSeconds = 0.5;
// A song behind the clock by more than this is moved rather than rendered
// ahead: rendering an hour of the song takes seconds.
constexpr double kMusicMostRenderAheadSeconds = 1.0;

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

void MusicUnhearLocked(int64_t frames) {
    const int room = kMusicReplayFrames - 1 - musicSession.replayLeft;
    const int count = static_cast<int>(std::clamp<int64_t>(frames, 0, room));
    // The frames written last are those just before the next one to write
    // again, when some are (they were written again from there), or else the
    // last ones remembered.
    const int next = musicSession.replayLeft > 0 ? musicSession.replayAt : musicSession.writtenAt;
    musicSession.replayAt = (next - count + kMusicReplayFrames) % kMusicReplayFrames;
    musicSession.replayLeft += count;
}

// Whole blocks of the synth, so that its player (which moves on at the start
// of a block) keeps in step with the frames counted.
static void RenderFrames(int64_t count, float* block) {
    count = (count + kMusicSynthFrames - 1) / kMusicSynthFrames * kMusicSynthFrames;
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

// Starts the song again at `target` seconds (on the song's timeline, which
// runs on through its repeats): the synth reset (no note hangs on, and the
// programs and controllers are set afresh), a new player sent to a point a
// little before, the notes held there struck, and the song rendered from
// there; the caller renders the rest of the way (music_playback.h). False,
// with nothing changed, when the tune cannot be timed.
static bool MoveSongLocked(double target, float* block) {
    MusicTimeline timeline;
    if (!MusicReadTimeline(musicSession.tune, &timeline) || timeline.endTick <= 0) {
        return false;
    }
    const double length = MusicTimelineSeconds(timeline, timeline.endTick);
    target = std::max(target, 0.0);
    const double repeats = length > 0.1 ? std::floor(target / length) * length : 0.0;
    const double from = target - repeats - kMusicLeadInSeconds;
    const int64_t tick = from > 0.0 ? MusicTimelineQuietTickBefore(timeline, from) : 0;

    MusicDeletePlayer(musicSession.player);
    fluid_synth_system_reset(musicSession.synth);
    musicSession.player = MusicNewPlayer(musicSession.synth, musicSession.tune);
    musicSession.playing =
        musicSession.player != nullptr &&
        (tick == 0 || fluid_player_seek(musicSession.player, static_cast<int>(tick)) == FLUID_OK) &&
        fluid_player_play(musicSession.player) == FLUID_OK;
    musicSession.songFrames =
        std::llround((repeats + MusicTimelineSeconds(timeline, tick)) * musicSession.mixRate);
    musicSession.pendingLeft = 0;
    musicSession.replayLeft = 0;
    speex_resampler_reset_mem(musicSession.resampler);
    speex_resampler_skip_zeros(musicSession.resampler);
    if (!musicSession.playing) {
        return true;
    }
    // The player's first block takes it to the tick, its programs and
    // controllers set; the held notes then sound with them.
    RenderFrames(kMusicSynthFrames, block);
    for (const MusicTimelineNote& note : timeline.notes) {
        if (note.on < tick && note.off > tick) {
            fluid_synth_noteon(musicSession.synth, note.channel, note.key, note.velocity);
        }
    }
    return true;
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
    const double wanted = heardAt - musicSession.songZero;
    const double ahead = static_cast<double>(songFrame) / rate - wanted;
    // A song far behind (its start, the show moved on) or, after the show's
    // clock moved, ahead of it (the show moved back) is started again there.
    const bool far =
        ahead < -kMusicMostRenderAheadSeconds || (musicSession.moved && ahead > kMusicJumpSeconds);
    musicSession.moved = false;
    if (far && MoveSongLocked(wanted, block)) {
        *steering = {};
        return 0;
    }
    const MusicCorrection correction =
        MusicCorrectionFor(static_cast<double>(songFrame) / rate, wanted, rate,
                           static_cast<double>(kMusicBlockFrames) / rate, steering);
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
        pthread_mutex_lock(&musicSession.lock);
        const bool drop = musicSession.dropWanted;
        musicSession.dropWanted = false;
        pthread_mutex_unlock(&musicSession.lock);
        if (drop) {
            // The frames dropped are those that would have been heard from
            // the moment the next one now is to where the output had got.
            const double queuedUntil = MusicClockSeconds() + MusicOutputDelay(output);
            MusicOutputDrop(output);
            const double heardNext = MusicClockSeconds() + MusicOutputDelay(output);
            pthread_mutex_lock(&musicSession.lock);
            if (!musicSession.outputQuiet) {
                MusicUnhearLocked(std::llround((queuedUntil - heardNext) * musicSession.mixRate));
            }
            musicSession.outputQuiet = true;
            pthread_mutex_unlock(&musicSession.lock);
            steering = {};
        }
        const double heardAt = MusicClockSeconds() + MusicOutputDelay(output);
        pthread_mutex_lock(&musicSession.lock);
        // Nothing goes out before the song is asked to play: a song kept from
        // the display before is already playing, but is not yet on the show's
        // time, and its first frame is put where the clock is. Nor while the
        // show is paused: the output runs dry, as silent as a stopped one.
        if (!musicSession.playRequested || !musicSession.playing || musicSession.paused ||
            musicSession.dropWanted) {
            pthread_mutex_unlock(&musicSession.lock);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        int frames = NextBlockLocked(block, heardAt, &steering);
        musicSession.outputQuiet = musicSession.outputQuiet && frames == 0;
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
    musicSession.outputQuiet = true;
    musicSession.settled = true;
    pthread_cond_broadcast(&musicSession.settledChanged);
    pthread_mutex_unlock(&musicSession.lock);

    if (output != nullptr) {
        PlayUntilStopped(output);
    }
    return nullptr;
}
