// What the FluidSynth player holds at this moment, so tests can check that
// repeated start-ups release what the earlier ones made.
#pragma once

int MusicLiveSettingsCount();
int MusicLiveSynthCount();
int MusicLivePlayerCount();
int MusicLiveDriverCount();

// Waits until the current song's instruments are loaded and its audio output
// has been tried; returns at once when no song is loading.
void MusicWaitForLoader();

// 1 while the current song has its instruments and its player runs.
int MusicSongIsPlaying();

// Stops and releases everything the sound library holds (also done at exit).
void MusicReleaseAll();
