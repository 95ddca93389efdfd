#include "platform/fluidsynth/music_tune.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Far beyond any real song; keeps a wrong path from pulling a huge file into memory.
constexpr long kLargestTuneBytes = 16L * 1024 * 1024;
constexpr size_t kHeaderChunkBytes = 14;  // "MThd", length 6, format, tracks, division

static long FileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return length;
}

bool MusicReadTune(const char* path, MusicTune* tune) {
    if (tune == nullptr) {
        return false;
    }
    tune->bytes = nullptr;
    tune->size = 0;
    if (path == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    const long length = FileLength(file);
    if (length < static_cast<long>(kHeaderChunkBytes) || length > kLargestTuneBytes) {
        std::fclose(file);
        return false;
    }
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(length)));
    const bool read = bytes != nullptr && std::fread(bytes, 1, static_cast<size_t>(length), file) ==
                                              static_cast<size_t>(length);
    std::fclose(file);
    if (!read || std::memcmp(bytes, "MThd", 4) != 0) {
        std::free(bytes);
        return false;
    }
    tune->bytes = bytes;
    tune->size = static_cast<size_t>(length);
    return true;
}

void MusicFreeTune(MusicTune* tune) {
    if (tune == nullptr) {
        return;
    }
    std::free(tune->bytes);
    tune->bytes = nullptr;
    tune->size = 0;
}
