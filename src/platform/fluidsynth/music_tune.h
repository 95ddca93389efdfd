// The tune's bytes, read once so the player never goes back to the file.
#pragma once

#include <cstddef>

struct MusicTune {
    unsigned char* bytes;  // malloc block, null when nothing is held
    size_t size;
};

// Reads a Standard MIDI File whole. False, with nothing held, when the file is
// missing, unreadable, empty, larger than any tune could reasonably be, or
// does not start with a MIDI header chunk.
bool MusicReadTune(const char* path, MusicTune* tune);

void MusicFreeTune(MusicTune* tune);
