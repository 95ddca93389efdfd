// The sound library the show starts its tune with: four calls, made in this
// order at every display open, none of whose results the show looks at.
// Linux plays through FluidSynth, Windows through the system MIDI sequencer.
#pragma once

#include <cstdint>

typedef struct MusicSongObject* SongHandle;

// Sets up the mixer. A second call releases everything the first one made,
// so only one copy of the tune ever sounds. Non-zero on success.
int FSOUND_Init(int mixRate, int maxSoftwareChannels, unsigned int flags);

// Loads a General MIDI file; null when it cannot be read or nothing can play it.
SongHandle FMUSIC_LoadSong(const char* path);

// Volume 0 to 256 (full scale). Null handles are refused.
int FMUSIC_SetMasterVolume(SongHandle song, int volume);

// Starts the song from its beginning. Null handles are refused.
int FMUSIC_PlaySong(SongHandle song);

// The show's time 0, as a reading of the platform's millisecond clock
// (PlatformMilliseconds). The tune was written to the show's schedule, so
// every song played after this (a re-opened display's too) starts where the
// show has got to by the time it can be heard, however long the display and
// the instruments took to load, and keeps that time.
// Called again whenever the show's clock is moved (a seek, the end of a
// pause): a playing tune goes to the new position at once, and nothing it had
// queued for the old position is heard.
void MusicSetShowStart(uint32_t startMs);

// 1 while the show is paused: the tune falls silent where it is and, on 0,
// goes on from there (the show start having been moved by the pause). A song
// played while paused waits, silent, at the show's position.
void MusicSetShowPaused(int paused);
