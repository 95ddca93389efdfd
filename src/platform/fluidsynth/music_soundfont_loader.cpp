#include "platform/fluidsynth/music_soundfont_loader.h"

#include <atomic>
#include <cstdio>
#include <cstring>

static std::atomic<bool> abandonLoads{false};

void MusicAbandonSoundFontLoads(bool abandon) {
    abandonLoads.store(abandon);
}

// FluidSynth tries every loader in turn, so when ours gives up, its built-in
// loader would read the whole file anyway. Names with this prefix can be
// opened only by our callbacks: for anyone else "/dev/null" is no directory.
static const char kOurNamePrefix[] = "/dev/null/abandonable-soundfont:";

// The sample data comes in one request of the whole font; reading it in
// pieces lets an abandon take effect within one piece.
constexpr long long kReadPieceBytes = 1 << 20;

static void* OpenFont(const char* name) {
    const size_t prefixLength = sizeof kOurNamePrefix - 1;
    if (std::strncmp(name, kOurNamePrefix, prefixLength) != 0 || abandonLoads.load()) {
        return nullptr;
    }
    return std::fopen(name + prefixLength, "rb");
}

static int ReadFont(void* buffer, fluid_long_long_t count, void* handle) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (fluid_long_long_t done = 0; done < count;) {
        if (abandonLoads.load()) {
            return FLUID_FAILED;
        }
        const fluid_long_long_t piece =
            count - done < kReadPieceBytes ? count - done : kReadPieceBytes;
        const size_t got = std::fread(bytes + done, 1, static_cast<size_t>(piece),
                                      static_cast<std::FILE*>(handle));
        if (got != static_cast<size_t>(piece)) {
            return FLUID_FAILED;
        }
        done += piece;
    }
    return FLUID_OK;
}

static int SeekFont(void* handle, fluid_long_long_t offset, int origin) {
    return fseeko(static_cast<std::FILE*>(handle), static_cast<off_t>(offset), origin) == 0
               ? FLUID_OK
               : FLUID_FAILED;
}

static fluid_long_long_t TellFont(void* handle) {
    return ftello(static_cast<std::FILE*>(handle));
}

static int CloseFont(void* handle) {
    return std::fclose(static_cast<std::FILE*>(handle)) == 0 ? FLUID_OK : FLUID_FAILED;
}

bool MusicLoadSoundFont(fluid_settings_t* settings, fluid_synth_t* synth, const char* path) {
    if (settings == nullptr || synth == nullptr || path == nullptr) {
        return false;
    }
    char name[sizeof kOurNamePrefix + 4096];
    if (std::snprintf(name, sizeof name, "%s%s", kOurNamePrefix, path) >=
        static_cast<int>(sizeof name)) {
        return false;
    }
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
