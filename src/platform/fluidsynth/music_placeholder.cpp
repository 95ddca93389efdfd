// Placeholder until the FluidSynth player lands: silence.
#include "platform/music.h"

int FSOUND_Init(int, int, unsigned int) {
    return 1;
}
SongHandle FMUSIC_LoadSong(const char*) {
    return nullptr;
}
int FMUSIC_SetMasterVolume(SongHandle, int) {
    return 0;
}
int FMUSIC_PlaySong(SongHandle) {
    return 0;
}
