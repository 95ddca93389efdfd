// Where the General MIDI instruments come from.
#pragma once

#include <cstddef>

// Writes the SoundFont to play with into `path`: the file named by
// VUP_SOUNDFONT when that is set (and then only that), otherwise the first of
// the usual system places that holds a SoundFont. False when there is none,
// or when the name does not fit in `capacity` bytes.
bool MusicFindSoundFont(char* path, size_t capacity);
