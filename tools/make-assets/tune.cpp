// The arrangement of "tulmor": which instrument plays what in each section.
//   Intro    bars  0-5   pad swells in, arpeggio, a first glimpse of the theme
//   Drive    bars  6-20  full groove; the theme from bar 10; fill into bar 21
//   Breathe  bars 21-29  half-time, a slower second melody, choir
//   Lattice  bars 30-41  the theme again over a busier groove
//   Reprise  bars 42-44  drums drop out, the theme's opening echoes, a build
//   Finale   bars 45-50  a last climb to the final A minor chord at bar 51
#include "tune.h"

#include <string_view>

#include "smf_writer.h"
#include "tune_drums.h"
#include "tune_notation.h"

namespace {

enum Channel { kLead = 0, kArp = 1, kPad = 2, kBass = 3, kChoir = 4 };

// One chord per bar, bars 0 to 52.
const char* const kProgression[] = {
    "Am", "F",  "C",  "G",  "Am", "E",                                   // intro
    "Am", "F",  "C",  "G",  "Am", "F",  "C", "G", "Am", "F", "C",  "G",  // drive
    "F",  "G",  "E",                                                     // drive tag
    "F",  "G",  "Em", "Am", "Dm", "Am", "F", "G", "E",                   // breathe
    "Am", "F",  "C",  "G",  "Am", "F",  "C", "G", "F",  "G", "Am", "E",  // lattice
    "Am", "F",  "E",                                                     // reprise
    "F",  "G",  "Am", "F",  "G",  "E",                                   // finale
    "Am", "Am",                                                          // ending
};
constexpr int kBars = static_cast<int>(sizeof(kProgression) / sizeof(kProgression[0]));

// The theme, one bar per string, over Am F C G Am F C G.
constexpr std::string_view kTheme[8] = {
    "E5:4 E5:2 D5:2 E5:4 A5:4",      "G5:2 F5:2 E5:4 C5:6 r:2",  "E5:4 E5:2 D5:2 E5:4 G5:4",
    "F5:2 E5:2 D5:4 B4:8",           "E5:4 E5:2 D5:2 E5:4 A5:4", "C6:6 B5:2 A5:4 F5:4",
    "G5:4 E5:2 G5:2 C6:4 B5:2 G5:2", "A5:2 B5:2 A5:2 G5:2 D5:8",
};
constexpr std::string_view kDriveTag = "A5:4 G5:4 F5:4 E5:4 D5:4 E5:4 F5:4 G5:4 G#5:8 B5:6 r:2";
constexpr std::string_view kBreatheMelody =
    "A5:8 G5:4 F5:4 G5:12 D5:4 E5:8 G5:4 B5:4 A5:16 "
    "F5:8 E5:4 D5:4 E5:8 C5:4 A4:4 C5:4 D5:4 E5:4 F5:4 G5:8 B5:8 G#5:8 r:8";
constexpr std::string_view kLatticeTag =
    "C6:4 A5:4 F5:4 A5:4 B5:4 G5:4 D5:4 G5:4 A5:16 B5:4 G#5:4 E5:8";
constexpr std::string_view kFinaleMelody =
    "C6:6 B5:2 A5:4 F5:4 G5:4 E5:2 G5:2 D6:4 B5:2 G5:2 A5:4 E5:2 A5:2 C6:4 B5:2 A5:2 "
    "C6:6 B5:2 A5:4 F5:4 G5:4 A5:2 B5:2 D6:4 C6:2 B5:2 E6:4 D6:4 B5:4 G#5:4 A5:32";

uint32_t BarTick(int bar) {
    return static_cast<uint32_t>(bar) * kTicksPerBar;
}

bool InBars(int bar, int first, int last) {
    return bar >= first && bar <= last;
}

MidiTrack MakeInstrument(const char* name, int channel, int program, int volume, int pan,
                         int reverb) {
    MidiTrack track;
    AddTrackName(track, 0, name);
    AddProgramChange(track, 0, channel, program);
    AddController(track, 0, channel, 7, volume);
    AddController(track, 0, channel, 10, pan);
    AddController(track, 0, channel, 11, 127);
    AddController(track, 0, channel, 91, reverb);
    return track;
}

// The last two bars fade out together on every channel.
void AddFadeOut(MidiTrack& track, int channel) {
    const uint32_t start = BarTick(51) + 2 * kTicksPerQuarter;
    const uint32_t end = BarTick(53);
    const int steps = 24;
    for (int i = 1; i <= steps; ++i) {
        AddController(track, start + (end - start) * i / steps, channel, 11, 127 - 127 * i / steps);
    }
}

MidiTrack Conductor() {
    MidiTrack track;
    AddTrackName(track, 0, "tulmor");
    AddTimeSignature(track, 0, 4, 2);
    AddTempo(track, 0, kMicrosecondsPerQuarter);
    for (const TuneSection& section : kTuneSections) {
        AddMarker(track, BarTick(section.firstBar), section.name);
    }
    return track;
}

MidiTrack Lead() {
    MidiTrack track = MakeInstrument("Lead", kLead, 80, 96, 64, 50);
    AddMelody(track, BarTick(4), kLead, kTheme[0], 74);
    AddMelody(track, BarTick(5), kLead, "G#5:8 B5:6 r:2", 70);
    for (int i = 0; i < 8; ++i) {
        AddMelody(track, BarTick(10 + i), kLead, kTheme[i], 92);
        AddMelody(track, BarTick(30 + i), kLead, kTheme[i], 100);
    }
    AddMelody(track, BarTick(18), kLead, kDriveTag, 96);
    AddMelody(track, BarTick(21), kLead, kBreatheMelody, 88);
    AddMelody(track, BarTick(38), kLead, kLatticeTag, 100);
    AddMelody(track, BarTick(42), kLead, kTheme[0], 70);
    AddMelody(track, BarTick(43), kLead, kTheme[1], 66);
    AddMelody(track, BarTick(45), kLead, kFinaleMelody, 104);
    AddFadeOut(track, kLead);
    return track;
}

// The arpeggio grows through the intro, steps back while the solid breathes
// and in the reprise, and drives everywhere else.
int ArpeggioVelocity(int bar) {
    if (bar < 6) {
        return 44 + (bar - 2) * 6;
    }
    if (InBars(bar, 21, 29)) {
        return 54;
    }
    return InBars(bar, 42, 44) ? 50 : 64;
}

MidiTrack Arpeggio() {
    MidiTrack track = MakeInstrument("Arpeggio", kArp, 81, 62, 40, 45);
    static const int kPattern[8] = {0, 1, 2, 3, 1, 2, 3, 2};
    for (int bar = 2; bar <= 50; ++bar) {
        Chord chord = ChordOf(kProgression[bar]);
        int tones[4] = {chord.voicing[0] + 12, chord.voicing[1] + 12, chord.voicing[2] + 12,
                        chord.voicing[0] + 24};
        bool calm = InBars(bar, 21, 29);  // eighths while the solid breathes
        int velocity = ArpeggioVelocity(bar);
        uint32_t step = calm ? 2 * kSixteenth : kSixteenth;
        for (uint32_t i = 0; i * step < kTicksPerBar; ++i) {
            AddNote(track, BarTick(bar) + i * step, step * 4 / 5, kArp, tones[kPattern[i % 8]],
                    velocity + (i % 4 == 0 ? 10 : 0));
        }
    }
    return track;
}

MidiTrack Pad() {
    MidiTrack track = MakeInstrument("Pad", kPad, 89, 92, 84, 70);
    // Swell in over the first two bars.
    for (int i = 0; i <= 16; ++i) {
        AddController(track, BarTick(0) + i * 2 * kSixteenth, kPad, 11, 64 + 63 * i / 16);
    }
    for (int bar = 0; bar <= 50; ++bar) {
        Chord chord = ChordOf(kProgression[bar]);
        int velocity = InBars(bar, 21, 29) || InBars(bar, 42, 44) ? 84 : 74;
        for (int key : chord.voicing) {
            AddNote(track, BarTick(bar), kTicksPerBar - 12, kPad, key, velocity);
        }
    }
    for (int key : {57, 60, 64, 69}) {
        AddNote(track, BarTick(51), 2 * kTicksPerBar, kPad, key, 90);
    }
    AddFadeOut(track, kPad);
    return track;
}

MidiTrack Bass() {
    MidiTrack track = MakeInstrument("Bass", kBass, 38, 104, 64, 12);
    static const int kDrive[8] = {0, 0, 12, 0, 0, 0, 12, 0};
    static const int kLattice[8] = {0, 0, 12, 0, 7, 0, 12, 7};
    for (int bar = 4; bar <= 50; ++bar) {
        int root = ChordOf(kProgression[bar]).root;
        uint32_t start = BarTick(bar);
        if (bar < 6 || InBars(bar, 42, 44)) {
            AddNote(track, start, kTicksPerBar - 24, kBass, root, 92);
        } else if (InBars(bar, 21, 29)) {
            AddNote(track, start, 7 * kSixteenth, kBass, root, 98);
            AddNote(track, start + 8 * kSixteenth, 7 * kSixteenth, kBass, root + 7, 90);
        } else {
            const int* pattern = InBars(bar, 30, 41) ? kLattice : kDrive;
            for (uint32_t i = 0; i < 8; ++i) {
                AddNote(track, start + i * 2 * kSixteenth, 2 * kSixteenth - 30, kBass,
                        root + pattern[i], i % 2 == 0 ? 100 : 86);
            }
        }
    }
    AddNote(track, BarTick(51), 2 * kTicksPerBar, kBass, 33, 110);
    AddFadeOut(track, kBass);
    return track;
}

MidiTrack Choir() {
    MidiTrack track = MakeInstrument("Choir", kChoir, 52, 78, 74, 80);
    for (int bar = 21; bar <= 50; ++bar) {
        if (!InBars(bar, 21, 29) && !InBars(bar, 45, 50)) {
            continue;
        }
        for (int key : ChordOf(kProgression[bar]).voicing) {
            AddNote(track, BarTick(bar), kTicksPerBar - 12, kChoir, key + 12, 62);
        }
    }
    for (int key : {69, 72, 76}) {
        AddNote(track, BarTick(51), 2 * kTicksPerBar, kChoir, key, 80);
    }
    AddFadeOut(track, kChoir);
    return track;
}

MidiTrack Drums() {
    MidiTrack track;
    AddTrackName(track, 0, "Drums");
    AddController(track, 0, kDrumChannel, 7, 110);
    AddController(track, 0, kDrumChannel, 11, 127);
    AddController(track, 0, kDrumChannel, 91, 30);
    AddSnareRoll(track, 5);
    for (int bar = 6; bar <= 50; ++bar) {
        if (InBars(bar, 42, 43)) {
            continue;  // the reprise breathes without drums
        }
        if (bar == 44) {
            AddSnareRoll(track, bar);
            continue;
        }
        Groove groove = InBars(bar, 21, 29)   ? Groove::HalfTime
                        : InBars(bar, 30, 41) ? Groove::Lattice
                                              : Groove::Drive;
        bool fill = bar == 20 || bar == 29 || bar == 41 || bar == 50 || bar == 13 || bar == 37;
        AddDrumBar(track, bar, groove, fill);
    }
    for (int bar : {6, 10, 14, 21, 25, 30, 34, 38, 42, 45, 47, 49}) {
        AddCrash(track, bar, bar == 42 ? 90 : 110);
    }
    AddFinalHit(track, 51);
    AddFadeOut(track, kDrumChannel);
    return track;
}

}  // namespace

std::vector<uint8_t> ComposeTune() {
    static_assert(kBars == 53, "one chord per bar up to the end of the final chord");
    std::vector<MidiTrack> tracks = {Conductor(), Lead(),  Arpeggio(), Pad(),
                                     Bass(),      Choir(), Drums()};
    return EncodeSmf(kTicksPerQuarter, tracks, kTuneEndTick);
}
