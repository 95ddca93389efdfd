// The tune's drum parts on the General MIDI drum channel: one call per bar.
#pragma once

#include "smf_writer.h"

constexpr int kDrumChannel = 9;  // "channel 10" counted from one

enum class Groove {
    Drive,     // four on the floor, backbeat, eighth-note hats
    HalfTime,  // snare on beat three only: the breathing section
    Lattice,   // drive plus sixteenth hats and a syncopated kick
};

// One bar of the groove. With `fill`, the second half of the bar becomes a
// snare and tom run into the next section.
void AddDrumBar(MidiTrack& track, int bar, Groove groove, bool fill);
// A whole bar of snare sixteenths swelling from soft to loud (a build-up).
void AddSnareRoll(MidiTrack& track, int bar);
// Crash cymbal on the bar's downbeat: marks a section start.
void AddCrash(MidiTrack& track, int bar, int velocity);
// Crash, kick and tom together: the last beat of the tune.
void AddFinalHit(MidiTrack& track, int bar);
