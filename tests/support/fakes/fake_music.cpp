#include "fakes/fake_music.h"

#include <cstdint>

#include "platform/music.h"

bool fakeMusicLoadSucceeds = true;

static std::vector<FakeMusicCall> musicCalls;

std::vector<FakeMusicCall>& FakeMusicCalls() {
    return musicCalls;
}

void FakeMusicReset() {
    std::vector<FakeMusicCall>().swap(musicCalls);
    fakeMusicLoadSucceeds = true;
}

static SongHandle fakeSong = reinterpret_cast<SongHandle>(uintptr_t{0x5000});

int FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags) {
    FakeMusicCalls().push_back({"FSOUND_Init", "", {mixRate, maxSoftwareChannels, flags}});
    return 1;
}

SongHandle FMUSIC_LoadSong(const char* path) {
    FakeMusicCalls().push_back({"FMUSIC_LoadSong", path, {0, 0, 0}});
    return fakeMusicLoadSucceeds ? fakeSong : nullptr;
}

int FMUSIC_SetMasterVolume(SongHandle song, int volume) {
    FakeMusicCalls().push_back(
        {"FMUSIC_SetMasterVolume",
         "",
         {static_cast<long long>(reinterpret_cast<uintptr_t>(song)), volume, 0}});
    return song != nullptr;
}

int FMUSIC_PlaySong(SongHandle song) {
    FakeMusicCalls().push_back(
        {"FMUSIC_PlaySong", "", {static_cast<long long>(reinterpret_cast<uintptr_t>(song)), 0, 0}});
    return song != nullptr;
}

void MusicSetShowStart(uint32_t startMs) {
    FakeMusicCalls().push_back({"MusicSetShowStart", "", {startMs, 0, 0}});
}

void MusicSetShowPaused(int paused) {
    FakeMusicCalls().push_back({"MusicSetShowPaused", "", {paused, 0, 0}});
}
