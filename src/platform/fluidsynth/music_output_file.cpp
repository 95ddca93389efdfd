// The tune into a file instead of a sound device (VUP_AUDIO_FILE): raw 16-bit
// stereo samples at the mixing rate, an output every machine has. Frames are
// written at the pace a sound card would play them, and a writer that stalls
// leaves silence in the file where a listener would hear it, so frame k of the
// file is what sounds k / rate seconds after its first frame. VUP_AUDIO_FILE_PACE
// makes it a sound card whose clock runs off the wall clock's: at 1.00075 it
// takes frames 750 ppm fast, frame k sounding k / (rate * 1.00075) s after the
// first.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/fluidsynth/music_output_backend.h"
#include "platform/fluidsynth/music_synth.h"

namespace {

struct FileOutput {
    std::FILE* file;
    MusicPacing pacing;
    std::vector<int16_t> samples;
};

void* OpenFile(int sampleRate) {
    const char* path = std::getenv("VUP_AUDIO_FILE");
    std::FILE* file = path != nullptr ? std::fopen(path, "wb") : nullptr;
    if (file == nullptr) {
        return nullptr;
    }
    const char* pace = std::getenv("VUP_AUDIO_FILE_PACE");
    const double factor = pace != nullptr ? std::atof(pace) : 0.0;
    return new FileOutput{file, {sampleRate * (factor > 0.0 ? factor : 1.0), -1.0, 0}, {}};
}

bool WriteFile(void* state, const float* frames, int count) {
    auto* output = static_cast<FileOutput*>(state);
    const int64_t gap = MusicPaceWrite(&output->pacing, count);
    output->samples.assign(static_cast<size_t>(gap) * 2, 0);
    for (int i = 0; i < count * 2; ++i) {
        output->samples.push_back(MusicSampleFromFloat(frames[i]));
    }
    const size_t written =
        std::fwrite(output->samples.data(), sizeof(int16_t), output->samples.size(), output->file);
    return written == output->samples.size() && std::fflush(output->file) == 0;
}

double FileDelay(void* state) {
    return MusicPacedDelay(&static_cast<FileOutput*>(state)->pacing);
}

// What a sound card would not have played yet is cut from the file's end.
void DropFile(void* state) {
    auto* output = static_cast<FileOutput*>(state);
    const int64_t dropped = MusicPaceDrop(&output->pacing);
    if (dropped > 0 && std::fflush(output->file) == 0) {
        const auto size = static_cast<off_t>(output->pacing.frames * 2 * sizeof(int16_t));
        if (ftruncate(fileno(output->file), size) == 0) {
            std::fseek(output->file, 0, SEEK_END);
        }
    }
}

void CloseFile(void* state) {
    auto* output = static_cast<FileOutput*>(state);
    std::fclose(output->file);
    delete output;
}

}  // namespace

const MusicOutputBackend kMusicFileOutput = {"file",    OpenFile, WriteFile,
                                             FileDelay, DropFile, CloseFile};
