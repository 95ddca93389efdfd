#include "audio_track.h"

#include <cstdio>
#include <vector>

#include "frame_schedule.h"
#include "platform/music_offline.h"
#include "silent_music.h"
#include "wav_file.h"

// FSOUND_Init's rate in the show; used if the show never initialised sound.
static constexpr int kDefaultMixRate = 44100;

int WriteAudioTrack(const std::string& wavPath, int fps, int64_t firstFrame, int64_t endFrame,
                    std::string* error) {
    const int rate = SilentMusicMixRate() > 0 ? SilentMusicMixRate() : kDefaultMixRate;
    const int64_t firstSample = FrameStartSample(firstFrame, fps, rate);
    const int64_t endSample = FrameStartSample(endFrame, fps, rate);

    // The tune is rendered from its start, so a later --from still hears it
    // where the live show would be.
    std::vector<int16_t> samples(static_cast<size_t>(endSample) * 2, 0);
    const char* song = SilentMusicStartedSong();
    if (*song == '\0') {
        std::fprintf(stderr,
                     "vup-record: warning: the show started no tune; the audio is silent\n");
    } else if (!MusicRenderOffline(song, rate, endSample, samples.data())) {
        std::fprintf(stderr,
                     "vup-record: warning: cannot render %s (no SoundFont?); the audio is silent\n",
                     song);
    }
    return WriteWavFile(wavPath, rate, endSample - firstSample,
                        samples.data() + static_cast<size_t>(firstSample) * 2, error);
}
