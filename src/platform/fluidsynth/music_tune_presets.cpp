#include "platform/fluidsynth/music_tune_presets.h"

#include <cstdint>

namespace {

constexpr int kChannels = 16;
constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;
constexpr uint64_t kNever = UINT64_MAX;

struct ChannelUse {
    bool banks[129];     // bank select values seen (a melodic channel starts
                         // in bank 0, channel 10 in the drum kits' 128)
    bool programs[128];  // program changes seen
    // When the player first meets each: the tick, then the track (it plays
    // one track's events for a tick before the next one's), then the place
    // in the track.
    uint64_t firstProgram;
    uint64_t firstNote;
};

// The player's order of events, as one number.
uint64_t Order(uint64_t tick, uint32_t track, uint64_t place) {
    return tick << 40 | uint64_t{track & 0xFFFF} << 24 | (place & 0xFFFFFF);
}

struct Reader {
    const unsigned char* at;
    const unsigned char* end;
};

bool ReadByte(Reader* reader, unsigned char* value) {
    if (reader->at >= reader->end) {
        return false;
    }
    *value = *reader->at++;
    return true;
}

bool ReadBigEndian(Reader* reader, int bytes, uint32_t* value) {
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

bool ReadVariableLength(Reader* reader, uint32_t* value) {
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

bool Skip(Reader* reader, uint32_t bytes) {
    if (static_cast<size_t>(reader->end - reader->at) < bytes) {
        return false;
    }
    reader->at += bytes;
    return true;
}

// One track's events, noting program changes, bank selects and notes.
bool ScanTrack(Reader track, uint32_t number, ChannelUse* channels) {
    uint64_t tick = 0;
    uint64_t place = 0;
    unsigned char status = 0;
    while (track.at < track.end) {
        ++place;
        uint32_t delta;
        unsigned char first;
        if (!ReadVariableLength(&track, &delta) || !ReadByte(&track, &first)) {
            return false;
        }
        tick += delta;
        if (first == 0xFF) {  // meta event: type, length, data
            unsigned char type;
            uint32_t length;
            if (!ReadByte(&track, &type) || !ReadVariableLength(&track, &length) ||
                !Skip(&track, length)) {
                return false;
            }
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {  // system exclusive: length, data
            uint32_t length;
            if (!ReadVariableLength(&track, &length) || !Skip(&track, length)) {
                return false;
            }
            continue;
        }
        unsigned char data1 = first;
        if (first & 0x80) {
            status = first;
            if (!ReadByte(&track, &data1)) {
                return false;
            }
        } else if (status == 0) {
            return false;  // running status with nothing to run on
        }
        const int kind = status & 0xF0;
        ChannelUse& channel = channels[status & 0x0F];
        unsigned char data2 = 0;
        if (kind != 0xC0 && kind != 0xD0 && !ReadByte(&track, &data2)) {
            return false;
        }
        const uint64_t order = Order(tick, number, place);
        if (kind == 0xC0) {
            channel.programs[data1 & 0x7F] = true;
            channel.firstProgram = order < channel.firstProgram ? order : channel.firstProgram;
        } else if (kind == 0xB0 && data1 == 0) {
            channel.banks[data2 & 0x7F] = true;
        } else if (kind == 0x90 && data2 != 0) {
            channel.firstNote = order < channel.firstNote ? order : channel.firstNote;
        }
    }
    return true;
}

void Add(MusicPreset preset, MusicPreset* presets, int capacity, int* count) {
    for (int i = 0; i < *count; ++i) {
        if (presets[i].bank == preset.bank && presets[i].program == preset.program) {
            return;
        }
    }
    if (*count < capacity) {
        presets[(*count)++] = preset;
    }
}

}  // namespace

bool MusicTunePresets(const MusicTune& tune, MusicPreset* presets, int capacity, int* count) {
    *count = 0;
    if (tune.bytes == nullptr) {
        return false;
    }
    Reader file = {tune.bytes, tune.bytes + tune.size};
    uint32_t id, length, format, tracks, division;
    if (!ReadBigEndian(&file, 4, &id) || id != 0x4D546864 ||  // "MThd"
        !ReadBigEndian(&file, 4, &length) || length < 6 || !ReadBigEndian(&file, 2, &format) ||
        !ReadBigEndian(&file, 2, &tracks) || !ReadBigEndian(&file, 2, &division) ||
        !Skip(&file, length - 6)) {
        return false;
    }
    ChannelUse channels[kChannels] = {};
    for (int number = 0; number < kChannels; ++number) {
        channels[number].banks[number == kDrumChannel ? kDrumBank : 0] = true;
        channels[number].firstProgram = kNever;
        channels[number].firstNote = kNever;
    }
    for (uint32_t track = 0; track < tracks; ++track) {
        if (!ReadBigEndian(&file, 4, &id) || !ReadBigEndian(&file, 4, &length) ||
            static_cast<size_t>(file.end - file.at) < length) {
            return false;
        }
        const bool events = id == 0x4D54726B;  // "MTrk"; other chunks are skipped
        if (events && !ScanTrack({file.at, file.at + length}, track, channels)) {
            return false;
        }
        file.at += length;
    }
    for (int number = 0; number < kChannels; ++number) {
        ChannelUse& channel = channels[number];
        if (channel.firstNote == kNever) {
            continue;  // a channel that never sounds needs no instrument
        }
        // Until its first program change a channel plays program 0.
        if (channel.firstNote < channel.firstProgram) {
            channel.programs[0] = true;
        }
        const bool drums = number == kDrumChannel;
        if (drums) {
            Add({kDrumBank, 0}, presets, capacity, count);
        }
        for (int program = 0; program < 128; ++program) {
            if (!channel.programs[program]) {
                continue;
            }
            for (int bank = 0; bank <= kDrumBank; ++bank) {
                if (channel.banks[bank]) {
                    Add({bank, program}, presets, capacity, count);
                }
            }
            Add({drums ? kDrumBank : 0, drums ? 0 : program}, presets, capacity, count);
        }
    }
    return *count < capacity;
}
