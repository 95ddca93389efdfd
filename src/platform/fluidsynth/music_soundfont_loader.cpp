#include "platform/fluidsynth/music_soundfont_loader.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstring>

static std::atomic<bool> abandonLoads{false};

void MusicAbandonSoundFontLoads(bool abandon) {
    abandonLoads.store(abandon);
}

bool MusicSoundFontLoadsAbandoned() {
    return abandonLoads.load();
}

// FluidSynth tries every loader in turn, so when ours gives up, its built-in
// loader would read the whole file anyway. Names with these prefixes can be
// opened only by our callbacks: for anyone else "/dev/null" is no directory.
// A font in memory is named by its address and size.
static const char kFilePrefix[] = "/dev/null/abandonable-soundfont:";
static const char kImagePrefix[] = "/dev/null/soundfont-image:";

// The sample data comes in one request of the whole font; reading it in
// pieces lets an abandon take effect within one piece.
constexpr long long kReadPieceBytes = 1 << 20;

struct FontHandle {
    std::FILE* file;             // a font on disk, or
    const unsigned char* bytes;  // one in memory
    size_t size;
    size_t at;
};

static bool HasPrefix(const char* name, const char* prefix) {
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

static void* OpenFont(const char* name) {
    if (abandonLoads.load()) {
        return nullptr;
    }
    if (HasPrefix(name, kFilePrefix)) {
        std::FILE* file = std::fopen(name + std::strlen(kFilePrefix), "rb");
        return file != nullptr ? new FontHandle{file, nullptr, 0, 0} : nullptr;
    }
    uintptr_t address = 0;
    size_t size = 0;
    if (HasPrefix(name, kImagePrefix) &&
        std::sscanf(name + std::strlen(kImagePrefix), "%" SCNxPTR ":%zu", &address, &size) == 2) {
        return new FontHandle{nullptr, reinterpret_cast<const unsigned char*>(address), size, 0};
    }
    return nullptr;
}

static int ReadFont(void* buffer, fluid_long_long_t count, void* opened) {
    auto* handle = static_cast<FontHandle*>(opened);
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (fluid_long_long_t done = 0; done < count;) {
        if (abandonLoads.load()) {
            return FLUID_FAILED;
        }
        const fluid_long_long_t piece =
            count - done < kReadPieceBytes ? count - done : kReadPieceBytes;
        if (handle->file != nullptr) {
            if (std::fread(bytes + done, 1, static_cast<size_t>(piece), handle->file) !=
                static_cast<size_t>(piece)) {
                return FLUID_FAILED;
            }
        } else {
            if (handle->size - handle->at < static_cast<size_t>(piece)) {
                return FLUID_FAILED;
            }
            std::memcpy(bytes + done, handle->bytes + handle->at, static_cast<size_t>(piece));
            handle->at += static_cast<size_t>(piece);
        }
        done += piece;
    }
    return FLUID_OK;
}

static int SeekFont(void* opened, fluid_long_long_t offset, int origin) {
    auto* handle = static_cast<FontHandle*>(opened);
    if (handle->file != nullptr) {
        return fseeko(handle->file, static_cast<off_t>(offset), origin) == 0 ? FLUID_OK
                                                                             : FLUID_FAILED;
    }
    const long long base = origin == SEEK_SET   ? 0
                           : origin == SEEK_CUR ? static_cast<long long>(handle->at)
                                                : static_cast<long long>(handle->size);
    const long long target = base + offset;
    if (target < 0 || target > static_cast<long long>(handle->size)) {
        return FLUID_FAILED;
    }
    handle->at = static_cast<size_t>(target);
    return FLUID_OK;
}

static fluid_long_long_t TellFont(void* opened) {
    auto* handle = static_cast<FontHandle*>(opened);
    return handle->file != nullptr ? ftello(handle->file)
                                   : static_cast<fluid_long_long_t>(handle->at);
}

static int CloseFont(void* opened) {
    auto* handle = static_cast<FontHandle*>(opened);
    const bool closed = handle->file == nullptr || std::fclose(handle->file) == 0;
    delete handle;
    return closed ? FLUID_OK : FLUID_FAILED;
}

static bool LoadNamed(fluid_settings_t* settings, fluid_synth_t* synth, const char* name) {
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
    if (loader == nullptr) {
        return false;
    }
    if (fluid_sfloader_set_callbacks(loader, OpenFont, ReadFont, SeekFont, TellFont, CloseFont) !=
        FLUID_OK) {
        delete_fluid_sfloader(loader);
        return false;
    }
    // The synth owns the loader from here on.
    fluid_synth_add_sfloader(synth, loader);
    return fluid_synth_sfload(synth, name, 1) != FLUID_FAILED;
}

bool MusicLoadSoundFont(fluid_settings_t* settings, fluid_synth_t* synth, const char* path) {
    if (settings == nullptr || synth == nullptr || path == nullptr) {
        return false;
    }
    char name[sizeof kFilePrefix + 4096];
    if (std::snprintf(name, sizeof name, "%s%s", kFilePrefix, path) >=
        static_cast<int>(sizeof name)) {
        return false;
    }
    return LoadNamed(settings, synth, name);
}

bool MusicLoadSoundFontImage(fluid_settings_t* settings, fluid_synth_t* synth,
                             const unsigned char* bytes, size_t size) {
    if (settings == nullptr || synth == nullptr || bytes == nullptr) {
        return false;
    }
    char name[sizeof kImagePrefix + 64];
    std::snprintf(name, sizeof name, "%s%" PRIxPTR ":%zu", kImagePrefix,
                  reinterpret_cast<uintptr_t>(bytes), size);
    return LoadNamed(settings, synth, name);
}
