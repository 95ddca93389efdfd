// vup-render-tune MIDI OUT.wav: one pass of the tune, from its start to the
// end of its last track, as the show's player sounds it (the offline
// renderer of platform/music_offline.h, at the show's mixing rate of 44,100
// Hz and full volume). The player loops the tune, so a page that loops this
// rendering plays what the desktop plays.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/music_offline.h"
#include "smf_parser.h"
#include "wav_file.h"

constexpr int kMixRate = 44100;  // what InitScene asks FSOUND_Init for

static bool ReadFile(const char* path, std::vector<unsigned char>* bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    unsigned char chunk[65536];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes->insert(bytes->end(), chunk, chunk + count);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vup-render-tune MIDI OUT.wav\n");
        return 2;
    }
    std::vector<unsigned char> midi;
    if (!ReadFile(argv[1], &midi)) {
        std::fprintf(stderr, "vup-render-tune: cannot read %s\n", argv[1]);
        return 1;
    }
    SmfSummary summary;
    std::string error;
    if (!ParseSmf(midi.data(), midi.size(), &summary, &error)) {
        std::fprintf(stderr, "vup-render-tune: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const int64_t frames = static_cast<int64_t>(std::ceil(summary.lengthSeconds * kMixRate));
    if (frames <= 0) {
        std::fprintf(stderr, "vup-render-tune: %s plays for no time\n", argv[1]);
        return 1;
    }
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    if (!MusicRenderOffline(argv[1], kMixRate, frames, samples.data())) {
        std::fprintf(stderr, "vup-render-tune: cannot render %s (no SoundFont?)\n", argv[1]);
        return 1;
    }
    if (!WriteWavFile(argv[2], kMixRate, frames, samples.data(), &error)) {
        std::fprintf(stderr, "vup-render-tune: %s\n", error.c_str());
        return 1;
    }
    std::printf("vup-render-tune: %s, %.2f s at %d Hz, in %s\n", argv[1], summary.lengthSeconds,
                kMixRate, argv[2]);
    return 0;
}
