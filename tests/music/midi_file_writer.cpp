#include "midi_file_writer.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr double kTicksPerSecond = kTicksPerQuarter * 2.0;  // 120 beats per minute

struct TimedEvent {
    uint32_t tick;
    int order;  // note-offs before note-ons at the same tick
    std::vector<unsigned char> bytes;
};

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

void PutVariableLength(std::vector<unsigned char>& out, uint32_t value) {
    unsigned char groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<unsigned char>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

uint32_t ToTicks(double seconds) {
    return static_cast<uint32_t>(seconds * kTicksPerSecond + 0.5);
}

}  // namespace

std::vector<unsigned char> MakeMidiFile(const std::vector<TestNote>& notes, double endSeconds,
                                        int program) {
    std::vector<TimedEvent> events;
    events.push_back({0, 0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}});  // 500000 us per quarter
    events.push_back({0, 1, {0xC0, static_cast<unsigned char>(program)}});
    for (const TestNote& note : notes) {
        const auto key = static_cast<unsigned char>(note.key);
        events.push_back({ToTicks(note.startSeconds), 3, {0x90, key, 0x7F}});
        events.push_back({ToTicks(note.startSeconds + note.lengthSeconds), 2, {0x80, key, 0x40}});
    }
    std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    const uint32_t endTick = std::max(ToTicks(endSeconds), events.back().tick);
    events.push_back({endTick, 4, {0xFF, 0x2F, 0x00}});

    std::vector<unsigned char> track;
    uint32_t previous = 0;
    for (const TimedEvent& event : events) {
        PutVariableLength(track, event.tick - previous);
        previous = event.tick;
        track.insert(track.end(), event.bytes.begin(), event.bytes.end());
    }

    std::vector<unsigned char> file = {'M', 'T', 'h', 'd'};
    PutBigEndian(file, 6, 4);
    PutBigEndian(file, 0, 2);  // format 0
    PutBigEndian(file, 1, 2);  // one track
    PutBigEndian(file, kTicksPerQuarter, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    PutBigEndian(file, static_cast<uint32_t>(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string MakeTempDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/vup_music_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        return "";
    }
    return pattern;
}
