// Where things are in the tune in time: its tempo changes, which turn the
// player's ticks into seconds, and its notes, so that a song moved to a new
// position (the show's clock moved) can be started there with the notes
// that are held across it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/fluidsynth/music_tune.h"

struct MusicTimelineNote {
    int64_t on;   // ticks
    int64_t off;  // ticks; INT64_MAX for a note never let go
    int channel;
    int key;
    int velocity;
};

struct MusicTimeline {
    int division = 0;  // ticks a quarter note
    // (tick, microseconds a quarter note) from the tick on, in order; the
    // player's 120 beats a minute until the first.
    std::vector<std::pair<int64_t, int64_t>> tempos;
    std::vector<MusicTimelineNote> notes;
    int64_t endTick = 0;  // the last track's end: the player starts over there
};

// False when the tune cannot be read as a Standard MIDI File counted in
// ticks a quarter note.
bool MusicReadTimeline(const MusicTune& tune, MusicTimeline* timeline);

double MusicTimelineSeconds(const MusicTimeline& timeline, int64_t tick);

// The last tick at or before `seconds` at which no note starts or stops, so
// that a player sent there plays every note after it itself.
int64_t MusicTimelineQuietTickBefore(const MusicTimeline& timeline, double seconds);
