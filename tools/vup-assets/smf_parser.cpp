#include "smf_parser.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t kDefaultMicrosecondsPerQuarter = 500000;

struct TempoChange {
    uint64_t tick;
    uint32_t microsecondsPerQuarter;
};

// A read position inside [begin, end) of the file; every read checks it.
struct Cursor {
    const unsigned char* data;
    size_t position;
    size_t end;
    std::string* error;
};

bool Fail(Cursor* cursor, size_t at, const char* what) {
    char text[160];
    std::snprintf(text, sizeof text, "byte %zu: %s", at, what);
    *cursor->error = text;
    return false;
}

bool ReadByte(Cursor* cursor, unsigned* value, const char* what) {
    if (cursor->position >= cursor->end) {
        return Fail(cursor, cursor->position, what);
    }
    *value = cursor->data[cursor->position++];
    return true;
}

bool ReadBe(Cursor* cursor, int bytes, uint32_t* value, const char* what) {
    if (cursor->end - cursor->position < static_cast<size_t>(bytes)) {
        return Fail(cursor, cursor->position, what);
    }
    *value = 0;
    for (int i = 0; i < bytes; ++i) {
        *value = (*value << 8) | cursor->data[cursor->position++];
    }
    return true;
}

// Variable-length quantity: 7 bits a byte, high bit set on all but the last,
// at most four bytes.
bool ReadVarLength(Cursor* cursor, uint32_t* value) {
    const size_t start = cursor->position;
    *value = 0;
    for (int i = 0; i < 4; ++i) {
        unsigned byte;
        if (!ReadByte(cursor, &byte, "a variable-length number runs past its chunk")) {
            return false;
        }
        *value = (*value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return Fail(cursor, start, "a variable-length number is longer than four bytes");
}

bool Skip(Cursor* cursor, uint32_t length, const char* what) {
    if (cursor->end - cursor->position < length) {
        return Fail(cursor, cursor->position, what);
    }
    cursor->position += length;
    return true;
}

// Bytes of data after a channel status byte.
int ChannelDataBytes(unsigned status) {
    const unsigned kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

struct TrackResult {
    uint64_t endTick = 0;
    std::vector<TempoChange> tempos;
};

bool ReadMetaEvent(Cursor* cursor, uint64_t tick, bool* ended, TrackResult* track,
                   SmfSummary* summary) {
    const size_t start = cursor->position - 1;
    unsigned type;
    uint32_t length;
    if (!ReadByte(cursor, &type, "a meta event ends before its type") ||
        !ReadVarLength(cursor, &length)) {
        return false;
    }
    if (type >= 0x80) {
        return Fail(cursor, start, "a meta event type has its high bit set");
    }
    if (cursor->end - cursor->position < length) {
        return Fail(cursor, cursor->position, "a meta event runs past its chunk");
    }
    if (type == 0x2F) {
        if (length != 0) {
            return Fail(cursor, start, "an end-of-track event carries data");
        }
        *ended = true;
    } else if (type == 0x51) {
        if (length != 3) {
            return Fail(cursor, start, "a tempo event is not three bytes long");
        }
        const unsigned char* bytes = cursor->data + cursor->position;
        const uint32_t tempo = (uint32_t{bytes[0]} << 16) | (uint32_t{bytes[1]} << 8) | bytes[2];
        if (tempo == 0) {
            return Fail(cursor, start, "a tempo event sets 0 microseconds per quarter note");
        }
        track->tempos.push_back(TempoChange{tick, tempo});
        ++summary->tempoChanges;
    }
    cursor->position += length;
    return true;
}

bool ReadChannelEvent(Cursor* cursor, unsigned status, SmfSummary* summary) {
    unsigned data[2] = {0, 0};
    const int count = ChannelDataBytes(status);
    for (int i = 0; i < count; ++i) {
        if (!ReadByte(cursor, &data[i], "a channel message runs past its chunk")) {
            return false;
        }
        if (data[i] >= 0x80) {
            return Fail(cursor, cursor->position - 1,
                        "a channel message has a data byte with its high bit set");
        }
    }
    if ((status & 0xF0) == 0x90 && data[1] != 0) {
        ++summary->noteOns;
    }
    return true;
}

bool ReadTrack(Cursor* cursor, TrackResult* track, SmfSummary* summary) {
    uint64_t tick = 0;
    unsigned runningStatus = 0;
    bool ended = false;
    while (cursor->position < cursor->end) {
        if (ended) {
            return Fail(cursor, cursor->position, "events follow the end-of-track event");
        }
        uint32_t delta;
        if (!ReadVarLength(cursor, &delta)) {
            return false;
        }
        tick += delta;
        const size_t eventStart = cursor->position;
        unsigned status;
        if (!ReadByte(cursor, &status, "a delta time is not followed by an event")) {
            return false;
        }
        if (status < 0x80) {
            if (runningStatus == 0) {
                return Fail(cursor, eventStart, "a data byte where no running status applies");
            }
            // Running status: this byte is already the first data byte.
            --cursor->position;
            status = runningStatus;
        }
        if (status < 0xF0) {
            runningStatus = status;
            if (!ReadChannelEvent(cursor, status, summary)) {
                return false;
            }
        } else if (status == 0xFF) {
            runningStatus = 0;
            if (!ReadMetaEvent(cursor, tick, &ended, track, summary)) {
                return false;
            }
        } else if (status == 0xF0 || status == 0xF7) {
            runningStatus = 0;
            uint32_t length;
            if (!ReadVarLength(cursor, &length) ||
                !Skip(cursor, length, "a system-exclusive event runs past its chunk")) {
                return false;
            }
        } else {
            return Fail(cursor, eventStart, "a status byte that a MIDI file cannot hold");
        }
    }
    if (!ended) {
        return Fail(cursor, cursor->end, "a track has no end-of-track event");
    }
    track->endTick = tick;
    return true;
}

// Seconds from tick 0 to the given tick under a tempo map sorted by tick.
double MetricalSeconds(uint64_t ticks, uint32_t ticksPerQuarter,
                       const std::vector<TempoChange>& tempos) {
    double seconds = 0.0;
    uint64_t at = 0;
    uint32_t tempo = kDefaultMicrosecondsPerQuarter;
    for (const TempoChange& change : tempos) {
        if (change.tick >= ticks) {
            break;
        }
        seconds += static_cast<double>(change.tick - at) * tempo / 1e6 / ticksPerQuarter;
        at = change.tick;
        tempo = change.microsecondsPerQuarter;
    }
    return seconds + static_cast<double>(ticks - at) * tempo / 1e6 / ticksPerQuarter;
}

double TrackSeconds(const SmfSummary& summary, uint64_t ticks, std::vector<TempoChange> tempos) {
    if (summary.smpte) {
        const double frames =
            summary.framesPerSecond == 29 ? 30000.0 / 1001.0 : summary.framesPerSecond;
        return static_cast<double>(ticks) / (frames * summary.ticksPerFrame);
    }
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    return MetricalSeconds(ticks, summary.ticksPerQuarter, tempos);
}

bool ReadHeader(Cursor* cursor, SmfSummary* summary) {
    uint32_t id = 0;
    uint32_t length = 0;
    if (cursor->end < 4 || !ReadBe(cursor, 4, &id, "the file is too short") || id != 0x4D546864) {
        return Fail(cursor, 0, "the file does not start with an \"MThd\" header chunk");
    }
    if (!ReadBe(cursor, 4, &length, "the header chunk is cut short")) {
        return false;
    }
    if (length < 6) {
        return Fail(cursor, 4, "the header chunk is shorter than 6 bytes");
    }
    uint32_t format, tracks, division;
    if (!ReadBe(cursor, 2, &format, "the header chunk is cut short") ||
        !ReadBe(cursor, 2, &tracks, "the header chunk is cut short") ||
        !ReadBe(cursor, 2, &division, "the header chunk is cut short") ||
        !Skip(cursor, length - 6, "the header chunk runs past the end of the file")) {
        return false;
    }
    summary->format = static_cast<uint16_t>(format);
    summary->trackCount = static_cast<uint16_t>(tracks);
    summary->division = static_cast<uint16_t>(division);
    if (format > 2) {
        return Fail(cursor, 8, "the format is not 0, 1 or 2");
    }
    if (tracks == 0) {
        return Fail(cursor, 10, "the file declares no tracks");
    }
    if (format == 0 && tracks != 1) {
        return Fail(cursor, 10, "a format 0 file must have exactly one track");
    }
    if (division & 0x8000) {
        summary->smpte = true;
        summary->framesPerSecond = -static_cast<int8_t>(division >> 8);
        summary->ticksPerFrame = static_cast<int>(division & 0xFF);
        const int fps = summary->framesPerSecond;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || summary->ticksPerFrame == 0) {
            return Fail(cursor, 12, "the SMPTE division is not a valid frame rate and resolution");
        }
    } else {
        summary->ticksPerQuarter = division;
        if (division == 0) {
            return Fail(cursor, 12, "the division is 0 ticks per quarter note");
        }
    }
    return true;
}

}  // namespace

bool ParseSmf(const unsigned char* data, size_t size, SmfSummary* summary, std::string* error) {
    *summary = SmfSummary{};
    Cursor cursor = {data, 0, size, error};
    if (!ReadHeader(&cursor, summary)) {
        return false;
    }
    std::vector<TempoChange> sharedTempos;
    uint64_t sharedEnd = 0;
    double sequenceSeconds = 0.0;
    int tracksRead = 0;
    while (tracksRead < summary->trackCount || cursor.position < size) {
        const size_t chunkStart = cursor.position;
        uint32_t id, length;
        if (!ReadBe(&cursor, 4, &id, "the file ends before all declared tracks") ||
            !ReadBe(&cursor, 4, &length, "a chunk header is cut short")) {
            return false;
        }
        if (size - cursor.position < length) {
            return Fail(&cursor, chunkStart, "a chunk runs past the end of the file");
        }
        if (id != 0x4D54726B) {  // not "MTrk": a chunk type readers must skip
            cursor.position += length;
            continue;
        }
        if (tracksRead == summary->trackCount) {
            return Fail(&cursor, chunkStart, "more track chunks than the header declares");
        }
        Cursor track = {data, cursor.position, cursor.position + length, error};
        TrackResult result;
        if (!ReadTrack(&track, &result, summary)) {
            return false;
        }
        cursor.position += length;
        ++tracksRead;
        if (summary->format == 2) {
            // Independent patterns, each with its own tempo, played in turn.
            summary->lengthTicks += result.endTick;
            sequenceSeconds += TrackSeconds(*summary, result.endTick, result.tempos);
        } else {
            sharedEnd = std::max(sharedEnd, result.endTick);
            sharedTempos.insert(sharedTempos.end(), result.tempos.begin(), result.tempos.end());
        }
    }
    if (summary->format == 2) {
        summary->lengthSeconds = sequenceSeconds;
    } else {
        summary->lengthTicks = sharedEnd;
        summary->lengthSeconds = TrackSeconds(*summary, sharedEnd, sharedTempos);
    }
    return true;
}
