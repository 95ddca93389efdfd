// Writing music as text: note names, melodies as "E5:4 D5:2 r:2" (pitch or
// rest, colon, length in sixteenth notes), and the chords the tune uses.
#pragma once

#include <cstdint>
#include <string_view>

#include "smf_writer.h"

constexpr uint32_t kSixteenth = 120;  // ticks, at 480 per quarter

// MIDI key of a name such as "A4" (440 Hz, key 69), "G#5" or "Bb3"; -1 if the
// name is malformed.
int KeyOf(std::string_view name);

// Writes a melody from `tick`, every note `transpose` semitones off; returns
// the tick after its last note or rest. Notes sound for 90% of their length
// (a slight detachment), the first of every beat a little louder.
uint32_t AddMelody(MidiTrack& track, uint32_t tick, int channel, std::string_view melody,
                   int velocity, int transpose = 0);

// A chord as the pad voices it (three keys near middle C, chosen to move as
// little as possible from chord to chord) and its root for the bass.
struct Chord {
    int root;  // between C2 (36) and B2 (47)
    int voicing[3];
};

// "Am", "F", "C", "G", "E", "Dm" or "Em".
Chord ChordOf(std::string_view name);
