// "tulmor", the show's tune: a General MIDI piece in A minor at 144 beats per
// minute whose sections turn with the show's scenes.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint16_t kTicksPerQuarter = 480;
constexpr uint32_t kTicksPerBar = 4 * kTicksPerQuarter;
// 144 beats per minute: a 4/4 bar lasts 5/3 s, so the scene changes at 10, 35,
// 50, 70, 75 and 85 s fall on the downbeats of bars 6, 21, 30, 42, 45 and 51.
constexpr uint32_t kMicrosecondsPerQuarter = 416667;

struct TuneSection {
    const char* name;  // written as a marker at the section's first downbeat
    int firstBar;
};

// In order; each section lasts until the next one's first bar.
constexpr TuneSection kTuneSections[] = {
    {"Intro", 0},    {"Drive", 6},   {"Breathe", 21}, {"Lattice", 30},
    {"Reprise", 42}, {"Finale", 45}, {"Ending", 51},
};

// The final chord rings from 85 s until the tune ends a few seconds later.
constexpr uint32_t kTuneEndTick = 53 * kTicksPerBar + 2 * kTicksPerQuarter;

// The whole Standard MIDI File (format 1).
std::vector<uint8_t> ComposeTune();
