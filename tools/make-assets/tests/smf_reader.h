// A test-side Standard MIDI File reader: checks the chunk structure while it
// reads, and turns ticks into seconds through the tempo map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ParsedEvent {
    uint32_t tick = 0;
    uint8_t status = 0;    // 0xFF for meta events
    uint8_t metaType = 0;  // meta events only
    std::vector<uint8_t> data;
};

struct ParsedSmf {
    bool ok = false;
    std::string error;
    uint16_t format = 0;
    uint16_t trackCount = 0;
    uint16_t division = 0;
    std::vector<std::vector<ParsedEvent>> tracks;
};

// Reads one variable-length quantity at `pos`, advancing it; false when the
// bytes run out or the quantity is longer than four bytes.
bool ReadVlq(const std::vector<uint8_t>& bytes, size_t& pos, size_t end, uint32_t& value);

ParsedSmf ParseSmf(const std::vector<uint8_t>& file);

// Seconds from the start to `tick`, following every tempo event in the file
// (120 beats per minute until the first).
double TickToSeconds(const ParsedSmf& smf, uint32_t tick);
