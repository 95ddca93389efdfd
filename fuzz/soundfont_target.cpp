// Fuzz target: the SoundFont cutter on a file. It reads with stdio, seeking
// wherever the file's chunk sizes and record indices point, so the input is
// handed over as a real file (an in-memory one, rewritten for each input).
// A cut-down font it builds must be one it reads back: cutting it again with
// the same presets gives the same bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/fluidsynth/music_soundfont_trim.h"

namespace {

// What a tune of piano, strings and drums calls for (the seeds' presets).
constexpr MusicPreset kPresets[] = {{0, 0}, {0, 1}, {8, 1}, {128, 0}};
constexpr int kPresetCount = sizeof(kPresets) / sizeof(kPresets[0]);

struct MemoryFile {
    int fd = -1;
    char path[64] = {};
};
MemoryFile input, output;

void Open(MemoryFile* file, const char* name) {
    file->fd = memfd_create(name, 0);
    if (file->fd < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    std::snprintf(file->path, sizeof(file->path), "/proc/self/fd/%d", file->fd);
}

void Write(const MemoryFile& file, const unsigned char* data, size_t size) {
    if (ftruncate(file.fd, 0) != 0 || ftruncate(file.fd, static_cast<off_t>(size)) != 0 ||
        (size > 0 && pwrite(file.fd, data, size, 0) != static_cast<ssize_t>(size))) {
        std::perror("writing the input file");
        std::abort();
    }
}

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

bool Holds(const MusicFontImage& image) {
    return image.bytes != nullptr && image.size > 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Open(&input, "font");
    Open(&output, "cut-down-font");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Write(input, data, size);
    MusicFontImage image = {reinterpret_cast<unsigned char*>(1), 1};  // overwritten
    const bool built = MusicTrimSoundFont(input.path, kPresets, kPresetCount, &image);
    Require(built == Holds(image), "the result and what is held agree");
    Require(built || (image.bytes == nullptr && image.size == 0), "nothing held after a failure");
    if (built) {
        Write(output, image.bytes, image.size);
        MusicFontImage again = {};
        Require(MusicTrimSoundFont(output.path, kPresets, kPresetCount, &again),
                "the cut-down font reads back");
        Require(again.size == image.size && std::memcmp(again.bytes, image.bytes, image.size) == 0,
                "cutting the cut-down font again changes nothing");
        MusicFreeFontImage(&again);
    }
    MusicFreeFontImage(&image);
    return 0;
}
