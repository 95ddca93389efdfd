// Builds the sound's input files byte by byte, for the SoundFont cutter's
// tests and the fuzzers' seeds: Standard MIDI Files of raw events, and small
// SoundFonts of every kind of record the cutter follows.
#pragma once

#include <cstdint>
#include <vector>

#include "fakes/file_bytes.h"

// A format 1 file of the given tracks (each the bytes of its events, with
// their delta times; the end-of-track event is added here), 480 ticks a beat.
Bytes MidiOfTracks(const std::vector<Bytes>& tracks);

struct SoundFontShape {
    bool extraBits = false;  // a sm24 chunk of 24-bit data
    // An odd-sized name and a chunk between the lists, which FluidSynth
    // refuses and the cutter passes over.
    bool odd = false;
    // The preset lists before the sample data, and the sample data's size
    // declared as this many bytes (0: its true size) with every sample
    // spanning all of it: a file cut short, or one that lies.
    uint32_t declaredSampleBytes = 0;
};

// Five presets: 0:0 "Piano" and 8:1 "Bright strings" play instrument 0
// (a mono sample); 0:1 "Strings" has a global zone, then instrument 1 (a
// stereo pair); the drum kit 128:0 plays instrument 2 (a ROM sample); 0:5
// "Unused" instrument 3. Each sample is 24 frames, then the 46 of silence
// the format asks for. FluidSynth loads it unless `odd` is set.
Bytes BuildSoundFont(const SoundFontShape& shape);
