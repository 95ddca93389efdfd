// A strict reader of Standard MIDI Files, for checking a replacement tune
// before the show hands it to the sound library: every chunk, event and
// length is bounds-checked, and the tempo map gives the playing time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SmfSummary {
    uint16_t format = 0;
    uint16_t trackCount = 0;
    uint16_t division = 0;  // as stored
    // Metrical time (ticks per quarter note) or SMPTE time code.
    bool smpte = false;
    uint32_t ticksPerQuarter = 0;
    int framesPerSecond = 0;  // 24, 25, 29 (30 drop-frame) or 30
    int ticksPerFrame = 0;
    uint64_t noteOns = 0;
    uint64_t tempoChanges = 0;
    // The latest end of track in ticks (format 2: the patterns one after another).
    uint64_t lengthTicks = 0;
    double lengthSeconds = 0.0;
};

// True when the bytes are a well-formed Standard MIDI File; otherwise false
// with *error saying what is wrong and at which byte.
bool ParseSmf(const unsigned char* data, size_t size, SmfSummary* summary, std::string* error);
