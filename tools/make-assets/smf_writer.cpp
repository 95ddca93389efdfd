#include "smf_writer.h"

#include <algorithm>

namespace {

uint8_t Clamp7(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 127));
}
uint8_t Status(int kind, int channel) {
    return static_cast<uint8_t>(kind | (std::clamp(channel, 0, 15)));
}

void Push(MidiTrack& track, uint32_t tick, std::vector<uint8_t> data) {
    uint32_t sequence = static_cast<uint32_t>(track.events.size());
    track.events.push_back({tick, sequence, std::move(data)});
}

void PushMeta(MidiTrack& track, uint32_t tick, uint8_t type, const uint8_t* bytes, size_t length) {
    std::vector<uint8_t> data{0xFF, type};
    AppendVlq(data, static_cast<uint32_t>(length));
    data.insert(data.end(), bytes, bytes + length);
    Push(track, tick, std::move(data));
}

void PushText(MidiTrack& track, uint32_t tick, uint8_t type, std::string_view text) {
    PushMeta(track, tick, type, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

int SortRank(const MidiEvent& event) {
    uint8_t kind = event.data.empty() ? 0 : event.data[0] & 0xF0;
    if (event.data.empty() || event.data[0] == 0xFF) {
        return 0;
    }
    if (kind == 0x80 || (kind == 0x90 && event.data.size() > 2 && event.data[2] == 0)) {
        return 2;
    }
    return kind == 0x90 ? 3 : 1;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>((v >> shift) & 0xFF));
    }
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    out.insert(out.end(), type, type + 4);
    PutBigEndian32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

void AppendVlq(std::vector<uint8_t>& out, uint32_t value) {
    value = std::min<uint32_t>(value, 0x0FFFFFFF);
    uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

void AddNote(MidiTrack& track, uint32_t tick, uint32_t duration, int channel, int key,
             int velocity) {
    // Velocity 0 would mean a release, and a zero-length note would be
    // released before it starts: both would leave the note hanging.
    uint8_t loudness = static_cast<uint8_t>(std::clamp(velocity, 1, 127));
    Push(track, tick, {Status(0x90, channel), Clamp7(key), loudness});
    Push(track, tick + std::max<uint32_t>(duration, 1), {Status(0x80, channel), Clamp7(key), 64});
}

void AddProgramChange(MidiTrack& track, uint32_t tick, int channel, int program) {
    Push(track, tick, {Status(0xC0, channel), Clamp7(program)});
}

void AddController(MidiTrack& track, uint32_t tick, int channel, int controller, int value) {
    Push(track, tick, {Status(0xB0, channel), Clamp7(controller), Clamp7(value)});
}

void AddTempo(MidiTrack& track, uint32_t tick, uint32_t microsecondsPerQuarter) {
    uint8_t bytes[3] = {static_cast<uint8_t>((microsecondsPerQuarter >> 16) & 0xFF),
                        static_cast<uint8_t>((microsecondsPerQuarter >> 8) & 0xFF),
                        static_cast<uint8_t>(microsecondsPerQuarter & 0xFF)};
    PushMeta(track, tick, 0x51, bytes, 3);
}

void AddTimeSignature(MidiTrack& track, uint32_t tick, int numerator, int denominatorPowerOfTwo) {
    // 24 MIDI clocks per metronome click, 8 thirty-second notes per quarter.
    uint8_t bytes[4] = {static_cast<uint8_t>(numerator),
                        static_cast<uint8_t>(denominatorPowerOfTwo), 24, 8};
    PushMeta(track, tick, 0x58, bytes, 4);
}

void AddTrackName(MidiTrack& track, uint32_t tick, std::string_view name) {
    PushText(track, tick, 0x03, name);
}

void AddMarker(MidiTrack& track, uint32_t tick, std::string_view text) {
    PushText(track, tick, 0x06, text);
}

std::vector<uint8_t> EncodeTrack(const MidiTrack& track, uint32_t endTick) {
    std::vector<const MidiEvent*> order;
    order.reserve(track.events.size());
    for (const MidiEvent& event : track.events) {
        order.push_back(&event);
    }
    std::sort(order.begin(), order.end(), [](const MidiEvent* a, const MidiEvent* b) {
        if (a->tick != b->tick) {
            return a->tick < b->tick;
        }
        int ra = SortRank(*a);
        int rb = SortRank(*b);
        return ra != rb ? ra < rb : a->sequence < b->sequence;
    });

    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const MidiEvent* event : order) {
        AppendVlq(body, event->tick - now);
        now = event->tick;
        body.insert(body.end(), event->data.begin(), event->data.end());
    }
    AppendVlq(body, endTick > now ? endTick - now : 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> chunk;
    PutChunk(chunk, "MTrk", body);
    return chunk;
}

std::vector<uint8_t> EncodeSmf(uint16_t ticksPerQuarter, const std::vector<MidiTrack>& tracks,
                               uint32_t endTick) {
    std::vector<uint8_t> header;
    uint16_t format = tracks.size() == 1 ? 0 : 1;
    uint16_t count = static_cast<uint16_t>(tracks.size());
    for (uint16_t v : {format, count, ticksPerQuarter}) {
        header.push_back(static_cast<uint8_t>(v >> 8));
        header.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    std::vector<uint8_t> file;
    PutChunk(file, "MThd", header);
    for (const MidiTrack& track : tracks) {
        std::vector<uint8_t> chunk = EncodeTrack(track, endTick);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}
