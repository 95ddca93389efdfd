#include "platform/fluidsynth/music_tune_timeline.h"

#include <algorithm>
#include <cstdint>

#include "platform/fluidsynth/music_midi_reader.h"

namespace {

constexpr int64_t kDefaultTempo = 500000;  // 120 beats a minute
constexpr int64_t kNeverOff = INT64_MAX;

// One track: tempo changes and notes, each note ended by the first note off
// (or note on at velocity 0) of its key on its channel.
bool ReadTrack(MidiReader track, MusicTimeline* timeline) {
    int64_t tick = 0;
    unsigned char status = 0;
    std::vector<size_t> sounding[16][128];
    while (track.at < track.end) {
        uint32_t delta;
        unsigned char first;
        if (!ReadVariableLength(&track, &delta) || !ReadByte(&track, &first)) {
            return false;
        }
        tick += delta;
        if (first == 0xFF) {
            unsigned char type;
            uint32_t length;
            if (!ReadByte(&track, &type) || !ReadVariableLength(&track, &length)) {
                return false;
            }
            MidiReader data = track;
            uint32_t tempo;
            if (type == 0x51 && length == 3 && ReadBigEndian(&data, 3, &tempo) && tempo > 0) {
                timeline->tempos.emplace_back(tick, tempo);
            }
            if (!Skip(&track, length)) {
                return false;
            }
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
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
            return false;
        }
        const int kind = status & 0xF0;
        const int channel = status & 0x0F;
        unsigned char data2 = 0;
        if (kind != 0xC0 && kind != 0xD0 && !ReadByte(&track, &data2)) {
            return false;
        }
        const int key = data1 & 0x7F;
        if (kind == 0x90 && data2 != 0) {
            sounding[channel][key].push_back(timeline->notes.size());
            timeline->notes.push_back({tick, kNeverOff, channel, key, data2 & 0x7F});
        } else if ((kind == 0x80 || kind == 0x90) && !sounding[channel][key].empty()) {
            timeline->notes[sounding[channel][key].front()].off = tick;
            sounding[channel][key].erase(sounding[channel][key].begin());
        }
    }
    timeline->endTick = std::max(timeline->endTick, tick);
    return true;
}

}  // namespace

bool MusicReadTimeline(const MusicTune& tune, MusicTimeline* timeline) {
    *timeline = {};
    if (tune.bytes == nullptr) {
        return false;
    }
    MidiReader file = {tune.bytes, tune.bytes + tune.size};
    uint32_t id, length, format, tracks, division;
    if (!ReadBigEndian(&file, 4, &id) || id != 0x4D546864 || !ReadBigEndian(&file, 4, &length) ||
        length < 6 || !ReadBigEndian(&file, 2, &format) || !ReadBigEndian(&file, 2, &tracks) ||
        !ReadBigEndian(&file, 2, &division) || !Skip(&file, length - 6) || division == 0 ||
        (division & 0x8000) != 0) {
        return false;
    }
    timeline->division = static_cast<int>(division);
    for (uint32_t track = 0; track < tracks; ++track) {
        if (!ReadBigEndian(&file, 4, &id) || !ReadBigEndian(&file, 4, &length) ||
            static_cast<size_t>(file.end - file.at) < length) {
            return false;
        }
        if (id == 0x4D54726B && !ReadTrack({file.at, file.at + length}, timeline)) {
            return false;
        }
        file.at += length;
    }
    std::stable_sort(timeline->tempos.begin(), timeline->tempos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return true;
}

double MusicTimelineSeconds(const MusicTimeline& timeline, int64_t tick) {
    double seconds = 0.0;
    int64_t from = 0;
    int64_t tempo = kDefaultTempo;
    for (const auto& [at, next] : timeline.tempos) {
        if (at >= tick) {
            break;
        }
        seconds +=
            static_cast<double>(at - from) * static_cast<double>(tempo) * 1e-6 / timeline.division;
        from = at;
        tempo = next;
    }
    return seconds +
           static_cast<double>(tick - from) * static_cast<double>(tempo) * 1e-6 / timeline.division;
}

int64_t MusicTimelineQuietTickBefore(const MusicTimeline& timeline, double seconds) {
    // The tick at `seconds`, found segment by segment.
    double segmentStart = 0.0;
    int64_t from = 0;
    int64_t tempo = kDefaultTempo;
    for (const auto& [at, next] : timeline.tempos) {
        const double end = segmentStart + static_cast<double>(at - from) *
                                              static_cast<double>(tempo) * 1e-6 / timeline.division;
        if (end > seconds) {
            break;
        }
        segmentStart = end;
        from = at;
        tempo = next;
    }
    int64_t tick = from + static_cast<int64_t>((seconds - segmentStart) * 1e6 * timeline.division /
                                               static_cast<double>(tempo));
    tick = std::clamp<int64_t>(tick, 0, timeline.endTick);
    for (bool busy = true; busy && tick > 0;) {
        busy = std::any_of(
            timeline.notes.begin(), timeline.notes.end(),
            [tick](const MusicTimelineNote& note) { return note.on == tick || note.off == tick; });
        tick -= busy ? 1 : 0;
    }
    return tick;
}
