// The show's files, relative to its working directory: the four pictures by
// texture slot, and the tune. The one list of them: the show, the search for
// its data directory, vup-assets and the generator of the shipped files all
// read it, and the install takes Data/ and data/ whole.
#pragma once

#include <cstdint>

enum TextureSlot : int32_t {
    kSlotGreetings = 0,
    kSlotMain = 1,
    kSlotEnd = 2,
    kSlotKlump = 3,
};
constexpr int kTextureSlotCount = 4;

// The picture each slot is loaded from.
inline constexpr const char* kPictureFiles[kTextureSlotCount] = {
    "Data/Greetz.bmp",  // the greetings panel beside the cube lattice
    "Data/Main.bmp",    // the title picture, opening and shrinking
    "Data/VOLVO.bmp",   // the end picture
    "Data/klump.bmp",   // under the polyhedron
};

// A Standard MIDI File; the show plays on without it.
inline constexpr char kTuneFile[] = "data/tulmor.mid";
