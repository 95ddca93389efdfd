// Builds Standard MIDI Files: events are collected per track at absolute tick
// positions in any order, then sorted and written with delta times.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct MidiEvent {
    uint32_t tick;
    uint32_t sequence;          // insertion order, keeps equal events stable
    std::vector<uint8_t> data;  // status byte and data, or FF type length data
};

struct MidiTrack {
    std::vector<MidiEvent> events;
};

// Variable-length quantity: 7 bits per byte, most significant group first,
// the high bit set on every byte but the last. Values above 0x0FFFFFFF do not
// fit the format's four bytes; they are written as 0x0FFFFFFF.
void AppendVlq(std::vector<uint8_t>& out, uint32_t value);

// Channels are 0 to 15 (the General MIDI drum channel "10" is 9).
void AddNote(MidiTrack& track, uint32_t tick, uint32_t duration, int channel, int key,
             int velocity);
void AddProgramChange(MidiTrack& track, uint32_t tick, int channel, int program);
void AddController(MidiTrack& track, uint32_t tick, int channel, int controller, int value);
void AddTempo(MidiTrack& track, uint32_t tick, uint32_t microsecondsPerQuarter);
void AddTimeSignature(MidiTrack& track, uint32_t tick, int numerator, int denominatorPowerOfTwo);
void AddTrackName(MidiTrack& track, uint32_t tick, std::string_view name);
void AddMarker(MidiTrack& track, uint32_t tick, std::string_view text);

// One "MTrk" chunk. At equal ticks, meta events come first, then program and
// controller changes, then note-offs, then note-ons, so a note repeated back
// to back is not cut by its predecessor's release. The end-of-track event goes
// at `endTick`, or after the last event if that is later.
std::vector<uint8_t> EncodeTrack(const MidiTrack& track, uint32_t endTick);

// A format 1 file (format 0 when there is one track) with `ticksPerQuarter`
// time division; every track ends at `endTick` or later.
std::vector<uint8_t> EncodeSmf(uint16_t ticksPerQuarter, const std::vector<MidiTrack>& tracks,
                               uint32_t endTick);
