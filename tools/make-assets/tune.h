// "tulmor", the show's tune: a General MIDI piece in A minor at 144 beats per
// minute whose sections turn with the show's scenes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "show/schedule.h"

constexpr uint16_t kTicksPerQuarter = 480;
constexpr uint32_t kTicksPerBar = 4 * kTicksPerQuarter;
// 144 beats per minute: a 4/4 bar lasts 5/3 s, so the scene changes of the
// show's schedule (src/show/schedule.h) fall on downbeats.
constexpr uint32_t kMicrosecondsPerQuarter = 416667;

// The bar whose downbeat is at the given second of the show.
constexpr int BarAtSeconds(double seconds) {
    return static_cast<int>(seconds * 3.0 / 5.0 + 0.5);
}

struct TuneSection {
    const char* name;  // written as a marker at the section's first downbeat
    int firstBar;
};

// In order, one for each scene of the schedule that names one (a scene
// without goes on with the section before it) and one for the final chord;
// each section lasts until the next one's first bar.
constexpr std::size_t kTuneSectionCount = [] {
    std::size_t count = 1;
    for (const ScheduledScene& scene : kSchedule) {
        count += scene.tuneSection != nullptr;
    }
    return count;
}();
constexpr std::array<TuneSection, kTuneSectionCount> kTuneSections = [] {
    std::array<TuneSection, kTuneSectionCount> sections{};
    std::size_t next = 0;
    for (const ScheduledScene& scene : kSchedule) {
        if (scene.tuneSection != nullptr) {
            sections[next++] = {scene.tuneSection, BarAtSeconds(scene.from)};
        }
    }
    sections[next] = {kScheduleEndTuneSection, BarAtSeconds(kScheduleEndSeconds)};
    return sections;
}();

// Every scene change and the end on a downbeat.
constexpr bool ScheduleOnDownbeats() {
    for (const ScheduledScene& scene : kSchedule) {
        const double downbeat = BarAtSeconds(scene.to) * 5.0 / 3.0;
        if (downbeat - scene.to > 1e-9 || scene.to - downbeat > 1e-9) {
            return false;
        }
    }
    return true;
}
static_assert(ScheduleOnDownbeats(), "a scene changes between two downbeats of the tune");

// The final chord rings from the show's end until the tune ends a few seconds later.
constexpr uint32_t kTuneEndTick = 53 * kTicksPerBar + 2 * kTicksPerQuarter;

// The whole Standard MIDI File (format 1).
std::vector<uint8_t> ComposeTune();
