// The tune rendered without an audio device, for recording and tests.
#pragma once

#include <cstdint>

// Renders `frameCount` stereo frames of the MIDI file from its start at
// `sampleRate` into `interleavedStereo` (2 * frameCount samples, left first).
// The song advances by the samples rendered, never by wall time, and loops
// like the live player, so the same input always gives the same samples.
// Returns 1 on success; 0 with the buffer silent when no SoundFont or no
// readable tune is found or the arguments are unusable.
int MusicRenderOffline(const char* midiPath, int sampleRate, int64_t frameCount,
                       int16_t* interleavedStereo);
