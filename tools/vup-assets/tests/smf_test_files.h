// Standard MIDI Files built byte by byte for the vup-assets tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using SmfBytes = std::vector<uint8_t>;

inline SmfBytes Join(std::initializer_list<SmfBytes> parts) {
    SmfBytes joined;
    for (const SmfBytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

// A variable-length quantity, most significant group first.
inline SmfBytes VarLength(uint32_t value) {
    SmfBytes bytes = {static_cast<uint8_t>(value & 0x7F)};
    while ((value >>= 7) != 0) {
        bytes.insert(bytes.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    }
    return bytes;
}

inline SmfBytes Chunk(const char* id, const SmfBytes& body) {
    SmfBytes bytes(id, id + 4);
    const uint32_t length = static_cast<uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<uint8_t>(length >> shift));
    }
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

inline SmfBytes Header(uint16_t format, uint16_t tracks, uint16_t division) {
    return Chunk("MThd", {static_cast<uint8_t>(format >> 8), static_cast<uint8_t>(format),
                          static_cast<uint8_t>(tracks >> 8), static_cast<uint8_t>(tracks),
                          static_cast<uint8_t>(division >> 8), static_cast<uint8_t>(division)});
}

// One event: its delta time, then its bytes.
inline SmfBytes Event(uint32_t delta, SmfBytes bytes) {
    return Join({VarLength(delta), bytes});
}

inline SmfBytes Tempo(uint32_t delta, uint32_t microsecondsPerQuarter) {
    return Event(delta, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microsecondsPerQuarter >> 16),
                         static_cast<uint8_t>(microsecondsPerQuarter >> 8),
                         static_cast<uint8_t>(microsecondsPerQuarter)});
}

inline SmfBytes EndOfTrack(uint32_t delta) {
    return Event(delta, {0xFF, 0x2F, 0x00});
}

inline SmfBytes Track(std::initializer_list<SmfBytes> events) {
    return Chunk("MTrk", Join(events));
}

// Format 0, 480 ticks per quarter, default tempo: four notes over 1920
// ticks, i.e. 2 seconds; running status, a sysex and a text event included.
inline SmfBytes SimpleTune() {
    return Join(
        {Header(0, 1, 480),
         Track({Event(0, {0xFF, 0x03, 0x04, 'T', 'u', 'n', 'e'}),
                Event(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7}), Event(0, {0xC0, 0x05}),
                Event(0, {0x90, 0x3C, 0x64}), Event(480, {0x3C, 0x00}), Event(0, {0x3E, 0x64}),
                Event(480, {0x80, 0x3E, 0x40}), Event(0, {0x90, 0x40, 0x64}),
                Event(480, {0x43, 0x64}), Event(480, {0xB0, 0x7B, 0x00}), EndOfTrack(0)})});
}
