// The tune through the system MIDI sequencer (MCI). Where no MIDI device
// exists the song does not open, its handle is null, and the show runs silent.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/music.h"
#include "platform/platform.h"
#include "platform/win32_defs.h"
// Left out of <windows.h> by WIN32_LEAN_AND_MEAN.
#include <mmsystem.h>

// Songs loaded since the last FSOUND_Init, each under its own MCI alias. The
// show loads one per display open, and every open initialises first.
struct MusicSongObject {
    char alias[16];
};
static constexpr int kMaxSongs = 8;
static MusicSongObject songs[kMaxSongs];
static int songCount = 0;
// The song played last: it follows the show's clock when that is moved or
// stopped. Null before any is played and after FSOUND_Init closes them.
static MusicSongObject* currentSong = nullptr;

static bool SendMci(const char* command) {
    return mciSendStringA(command, nullptr, 0, nullptr) == 0;
}

static bool IsLoadedSong(SongHandle song) {
    for (int i = 0; i < songCount; ++i) {
        if (song == &songs[i]) {
            return true;
        }
    }
    return false;
}

int FSOUND_Init(int, int, unsigned int) {
    // Closing every device this program opened stops the earlier copy of the
    // tune, so a re-open never plays two at once.
    SendMci("close all");
    songCount = 0;
    currentSong = nullptr;
    return 1;
}

SongHandle FMUSIC_LoadSong(const char* path) {
    if (path == nullptr || songCount == kMaxSongs) {
        return nullptr;
    }
    // The path goes into a quoted MCI command: a quote in it would end the
    // file name early and let the rest be read as command words.
    if (std::strchr(path, '"') != nullptr) {
        return nullptr;
    }
    MusicSongObject* song = &songs[songCount];
    std::snprintf(song->alias, sizeof(song->alias), "vupsong%d", songCount);

    char command[MAX_PATH + 64];
    const int length = std::snprintf(command, sizeof(command),
                                     "open \"%s\" type sequencer alias %s", path, song->alias);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(command)) {
        return nullptr;
    }
    if (!SendMci(command)) {
        return nullptr;
    }
    // Positions in milliseconds, whatever the file's own time base.
    std::snprintf(command, sizeof(command), "set %s time format milliseconds", song->alias);
    SendMci(command);
    ++songCount;
    return song;
}

int FMUSIC_SetMasterVolume(SongHandle song, int volume) {
    if (!IsLoadedSong(song)) {
        return 0;
    }
    // The sequencer has no volume of its own: it always plays at full scale,
    // which is what 256 asks for. Quieter settings would need the system-wide
    // MIDI volume, which outlives the program, so they are refused.
    if (volume < 256) {
        return 0;
    }
    return 1;
}

// The show's time 0 on the millisecond clock, once the show has announced it:
// every song played after that starts where the show has got to, the one of a
// re-opened display included.
static bool showStartKnown = false;
static uint32_t showStartMs = 0;
static bool showPaused = false;

// Where in the song, in milliseconds, the show's clock has got to (within one
// pass of the song); the beginning for a song played without a show.
static unsigned long StartPosition(const MusicSongObject* song) {
    if (!showStartKnown) {
        return 0;
    }
    char command[64];
    std::snprintf(command, sizeof(command), "status %s length", song->alias);
    char reply[32] = {};
    if (mciSendStringA(command, reply, sizeof(reply), nullptr) != 0) {
        return 0;
    }
    const unsigned long lengthMs = std::strtoul(reply, nullptr, 10);
    const uint32_t elapsedMs = PlatformMilliseconds() - showStartMs;
    return lengthMs > 0 ? elapsedMs % lengthMs : 0;
}

// "play ... from" sends a playing or paused sequencer to the position at
// once; the sequencer itself stops what it was playing.
static bool PlayFromShowPosition(const MusicSongObject* song) {
    char command[64];
    std::snprintf(command, sizeof(command), "play %s from %lu", song->alias, StartPosition(song));
    return SendMci(command);
}

int FMUSIC_PlaySong(SongHandle song) {
    if (!IsLoadedSong(song)) {
        return 0;
    }
    currentSong = song;
    // While the show is paused the song waits; the resume plays it from
    // where the show is then.
    if (showPaused) {
        return 1;
    }
    return PlayFromShowPosition(song) ? 1 : 0;
}

void MusicSetShowStart(uint32_t startMs) {
    showStartMs = startMs;
    showStartKnown = true;
    if (currentSong != nullptr && !showPaused) {
        PlayFromShowPosition(currentSong);
    }
}

void MusicSetShowPaused(int paused) {
    if ((paused != 0) == showPaused) {
        return;
    }
    showPaused = paused != 0;
    if (currentSong == nullptr) {
        return;
    }
    if (showPaused) {
        char command[64];
        std::snprintf(command, sizeof(command), "pause %s", currentSong->alias);
        SendMci(command);
    } else {
        PlayFromShowPosition(currentSong);
    }
}
