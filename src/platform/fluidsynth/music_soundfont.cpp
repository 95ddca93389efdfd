#include "platform/fluidsynth/music_soundfont.h"

#include <fluidsynth.h>

#include <cstdlib>
#include <cstring>

// Debian's alternatives link first, then the two fonts Debian packages, then
// the names other distributions use.
static const char* const kSoundFontPlaces[] = {
    "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2",
    "/usr/share/soundfonts/FluidR3_GM.sf2",
};

static bool CopyPath(const char* candidate, char* path, size_t capacity) {
    const size_t length = std::strlen(candidate);
    if (length + 1 > capacity) {
        return false;
    }
    std::memcpy(path, candidate, length + 1);
    return true;
}

bool MusicFindSoundFont(char* path, size_t capacity) {
    if (path == nullptr || capacity == 0) {
        return false;
    }
    path[0] = '\0';
    // An explicit choice is final: a wrong name gives silence rather than a
    // different instrument set than the one asked for.
    const char* chosen = std::getenv("VUP_SOUNDFONT");
    if (chosen != nullptr && chosen[0] != '\0') {
        return fluid_is_soundfont(chosen) && CopyPath(chosen, path, capacity);
    }
    for (const char* candidate : kSoundFontPlaces) {
        if (fluid_is_soundfont(candidate)) {
            return CopyPath(candidate, path, capacity);
        }
    }
    return false;
}
