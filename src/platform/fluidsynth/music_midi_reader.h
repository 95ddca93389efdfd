// Reading a Standard MIDI File's bytes: big-endian numbers, variable-length
// quantities, skips, each failing rather than reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>

struct MidiReader {
    const unsigned char* at;
    const unsigned char* end;
};

inline bool ReadByte(MidiReader* reader, unsigned char* value) {
    if (reader->at >= reader->end) {
        return false;
    }
    *value = *reader->at++;
    return true;
}

inline bool ReadBigEndian(MidiReader* reader, int bytes, uint32_t* value) {
    *value = 0;
    for (int i = 0; i < bytes; ++i) {
        unsigned char byte;
        if (!ReadByte(reader, &byte)) {
            return false;
        }
        *value = (*value << 8) | byte;
    }
    return true;
}

inline bool ReadVariableLength(MidiReader* reader, uint32_t* value) {
    *value = 0;
    for (int i = 0; i < 4; ++i) {
        unsigned char byte;
        if (!ReadByte(reader, &byte)) {
            return false;
        }
        *value = (*value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

inline bool Skip(MidiReader* reader, uint32_t bytes) {
    if (static_cast<size_t>(reader->end - reader->at) < bytes) {
        return false;
    }
    reader->at += bytes;
    return true;
}
