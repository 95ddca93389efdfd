// The show's schedule, declared once: every scene, the open interval of show
// time it draws in, and the moments its pictures and the tune are checked at.
// The show runs it (RunTimeline), and everything else reads it from here:
// the recorder's golden stills, the tune's sections, and through
// `vup-record --schedule` (a JSON listing) the scripts, the tests and the
// benchmarks.
//
// Every interval is open on both sides: at a bound exactly no scene draws.
// The first scene has no lower bound (it draws at any time before its end,
// however early the show's clock starts), and the show is over once the last
// interval's end has passed.
#pragma once

#include <array>
#include <cstddef>

#include "show/scenes.h"

// Up to three moments of one kind, in seconds of show time.
struct ScheduleMoments {
    int count;
    double at[3];
};

struct ScheduledScene {
    // Names the scene's golden stills (tests/golden/ID_Ss.png).
    const char* id;
    // How reports and tests call it.
    const char* name;
    // The open interval of show time it draws in, seconds.
    double from;
    double to;
    void (*draw)(double frameMs);
    // What its turn does to its persistent value without drawing (a show
    // moved to a moment steps there with it); nullptr: a still scene.
    void (*advance)(double frameMs);
    // What a screenshot of it is judged by (tests/support/scene_pictures.py),
    // and the moment of the live run that screenshot is taken at: at least two
    // seconds from any bound, where the picture is settled. nullptr: none.
    const char* picture;
    double shotAt;
    // The whole seconds of its golden stills (frames of the 60 fps grid).
    ScheduleMoments stills;
    // The tune is checked against the show's clock at every scene's start but
    // the first, and at these moments as well.
    ScheduleMoments alsoHeardAt;
    // The tune's section that starts under it (a marker in the MIDI file);
    // nullptr: the section before it plays on.
    const char* tuneSection;
};

// One row per scene, in show order: id, name, from, to (s); drawing and
// advance; picture check and its moment (s), golden stills (s), further tune
// checks (s), tune section.
// clang-format off
inline constexpr ScheduledScene kSchedule[] = {
    {"OpeningPicture", "opening picture", 0.0, 10.0,
     DrawOpeningPicture, nullptr,
     "main_picture", 5.0, {1, {5}}, {0, {}}, "Intro"},
    {"BezierPath", "Bezier path", 10.0, 35.0,
     DrawBezierPath, AdvanceBezierPath,
     "flight", 20.0, {3, {12, 20, 30}}, {0, {}}, "Drive"},
    {"PulsingPolyhedron", "pulsing polyhedron", 35.0, 50.0,
     DrawPulsingPolyhedron, AdvancePulsingPolyhedron,
     "polyhedron", 40.0, {2, {38, 45}}, {0, {}}, "Breathe"},
    {"CubeLattice", "cube lattice", 50.0, 70.0,
     DrawCubeLattice, AdvanceCubeLattice,
     "lattice", 60.0, {2, {55, 65}}, {0, {}}, "Lattice"},
    {"OpeningPictureAgain", "opening picture again", 70.0, 75.0,
     DrawOpeningPicture, nullptr,
     "main_picture", 72.3, {1, {72}}, {0, {}}, "Reprise"},
    // The end picture replaces the shrinking one about 2.4 s in.
    {"ShrinkingPicture", "shrinking picture", 75.0, 85.0,
     DrawShrinkingPicture, AdvanceShrinkingPicture,
     "end_picture", 80.5, {2, {77, 82}}, {1, {80}}, "Finale"},
};
// clang-format on

inline constexpr std::size_t kScheduleSize = sizeof(kSchedule) / sizeof(kSchedule[0]);

// The schedule without its drawing, for programs that only need its times
// (the tune's generator and its tests): read at run time, they then link no
// scene.
struct ScheduledTimes {
    const char* name;
    const char* tuneSection;
    double from;
    double to;
};
inline constexpr std::array<ScheduledTimes, kScheduleSize> kScheduleTimes = [] {
    std::array<ScheduledTimes, kScheduleSize> times{};
    for (std::size_t i = 0; i < kScheduleSize; ++i) {
        times[i] = {kSchedule[i].name, kSchedule[i].tuneSection, kSchedule[i].from,
                    kSchedule[i].to};
    }
    return times;
}();

// The moment the show is over: the last scene's end.
inline constexpr double kScheduleEndSeconds = kSchedule[kScheduleSize - 1].to;

// The tune's section that follows the last scene: its final chord.
inline constexpr const char* kScheduleEndTuneSection = "Ending";
