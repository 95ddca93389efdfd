#include "silent_music.h"

#include <cstdio>
#include <string>

#include "platform/music.h"

// One song object per loaded tune; the handle points at its path.
struct MusicSongObject {
    std::string path;
};

static int mixRate = 0;
static MusicSongObject loadedSong;
static std::string startedSong;

int FSOUND_Init(int mixRateHz, int, unsigned int) {
    mixRate = mixRateHz;
    return 1;
}

// Like the live player, a tune that cannot be read gives a null handle.
SongHandle FMUSIC_LoadSong(const char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    std::fclose(file);
    loadedSong.path = path;
    return &loadedSong;
}

int FMUSIC_SetMasterVolume(SongHandle song, int) {
    return song != nullptr ? 1 : 0;
}

int FMUSIC_PlaySong(SongHandle song) {
    if (song == nullptr) {
        return 0;
    }
    startedSong = song->path;
    return 1;
}

int SilentMusicMixRate() {
    return mixRate;
}

const char* SilentMusicStartedSong() {
    return startedSong.c_str();
}
