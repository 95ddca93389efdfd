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

// A song moved sounds from this long before where it is wanted, rendered
// unheard up to there: the notes held across the new position sound as they
// would have, struck again at the lead-in's start, and the notes that ended
// in the lead-in leave their release and echo.
constexpr double kMusicMoveLeadInSeconds = 0.5;
// A song moved this far behind the clock or more (the show moved on) is
// started again rather than rendered up to it.
constexpr double kMusicMostRenderAheadSeconds = 1.0;
// A song's start far into the show (loading took long, or the show started
// late in its schedule) comes the same way, with a lead-in long enough for
// the release and echo of what came before to be all but heard: what sounds
// from the show's position on is then, but for a trace, what playing the
// song through would give. Rendering a minute of the song takes a second or
// two; rendering 3 s of it and stepping through the rest, under 0.1 s.
constexpr double kMusicStartLeadInSeconds = 3.0;
constexpr double kMusicMostRenderUpSeconds = 4.0;

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

static void RenderFrames(int64_t count, float* block) {
    while (count > 0) {
        const int frames = count < kMusicBlockFrames ? static_cast<int>(count) : kMusicBlockFrames;
        fluid_synth_write_float(musicSession.synth, frames, block, 0, 2, block, 1, 2);
        musicSession.songFrames += frames;
        musicSession.synthFrames += frames;
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
            musicSession.synthFrames += kMusicSynthFrames;
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

// A song moved is played from its start again (the synth reset, a new
// player), at first with its notes held back: only programs, controllers
// and tempo changes reach the synth, whose blocks then cost next to nothing
// to render, and the effects are off. The notes come in from a little
// before the new position, those held there struck, so that what is heard
// from the new position on is, but for the echo of what came before, what
// playing the song through would have given there, every event on the same
// frame.
struct FastForward {
    bool holding;
    unsigned char held[16][128];  // the velocity of each note held; 0 when none
};
static FastForward fastForward;

static int PassSongEvent(void* synth, fluid_midi_event_t* event) {
    const int type = fluid_midi_event_get_type(event);
    if (fastForward.holding && (type == 0x80 || type == 0x90)) {
        const int channel = fluid_midi_event_get_channel(event) & 0x0F;
        const int key = fluid_midi_event_get_key(event) & 0x7F;
        fastForward.held[channel][key] =
            type == 0x90 ? static_cast<unsigned char>(fluid_midi_event_get_velocity(event)) : 0;
        return FLUID_OK;
    }
    return fluid_synth_handle_midi_event(synth, event);
}

// Starts the song again and takes it up to `target` seconds (on the song's
// timeline, which runs on through its repeats) less `leadIn`, its notes held
// back; the caller renders the rest of the way (music_playback.h).
static void MoveSongLocked(double target, double leadIn, float* block) {
    fluid_synth_t* synth = musicSession.synth;
    // The synth renders in blocks of its own, and a player moves on at the
    // start of one: the rest of the block under way goes first, so that the
    // new player starts on the song's first frame.
    RenderFrames(
        (kMusicSynthFrames - musicSession.synthFrames % kMusicSynthFrames) % kMusicSynthFrames,
        block);
    MusicDeletePlayer(musicSession.player);
    fluid_synth_system_reset(synth);
    musicSession.player = MusicNewPlayer(synth, musicSession.tune);
    musicSession.playing =
        musicSession.player != nullptr &&
        fluid_player_set_playback_callback(musicSession.player, PassSongEvent, synth) == FLUID_OK &&
        fluid_player_play(musicSession.player) == FLUID_OK;
    musicSession.songFrames = 0;
    musicSession.pendingLeft = 0;
    musicSession.replayLeft = 0;
    speex_resampler_reset_mem(musicSession.resampler);
    speex_resampler_skip_zeros(musicSession.resampler);
    const auto heldBack = static_cast<int64_t>((target - leadIn) * musicSession.mixRate);
    if (!musicSession.playing || heldBack <= 0) {
        return;
    }
    fastForward = {};
    fastForward.holding = true;
    fluid_synth_reverb_on(synth, -1, 0);
    fluid_synth_chorus_on(synth, -1, 0);
    RenderFrames(heldBack, block);
    fluid_synth_reverb_on(synth, -1, 1);
    fluid_synth_chorus_on(synth, -1, 1);
    fastForward.holding = false;
    for (int channel = 0; channel < 16; ++channel) {
        for (int key = 0; key < 128; ++key) {
            if (fastForward.held[channel][key] != 0) {
                fluid_synth_noteon(synth, channel, key, fastForward.held[channel][key]);
            }
        }
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
    const double wanted = heardAt - musicSession.songZero;
    const double ahead = static_cast<double>(songFrame) / rate - wanted;
    // After the show's clock moved, a song ahead of it (the show moved back)
    // or far behind (moved on) is started again there; so is a song's start
    // far into the show.
    const bool moved =
        musicSession.moved && (ahead > kMusicJumpSeconds || ahead < -kMusicMostRenderAheadSeconds);
    musicSession.moved = false;
    if (moved || ahead < -kMusicMostRenderUpSeconds) {
        MoveSongLocked(wanted, moved ? kMusicMoveLeadInSeconds : kMusicStartLeadInSeconds, block);
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
