#include "tune_drums.h"

#include "tune.h"
#include "tune_notation.h"

namespace {

enum DrumKey {
    kKick = 36,
    kSnare = 38,
    kClap = 39,
    kClosedHat = 42,
    kOpenHat = 46,
    kCrash = 49,
    kLowTom = 45,
    kMidTom = 47,
    kHighMidTom = 48,
    kHighTom = 50,
};

void Hit(MidiTrack& track, int bar, int step, int key, int velocity) {
    uint32_t tick =
        static_cast<uint32_t>(bar) * kTicksPerBar + static_cast<uint32_t>(step) * kSixteenth;
    AddNote(track, tick, kSixteenth, kDrumChannel, key, velocity);
}

void AddFill(MidiTrack& track, int bar) {
    static const int kToms[4] = {kHighTom, kHighMidTom, kMidTom, kLowTom};
    for (int step = 8; step < 12; ++step) {
        Hit(track, bar, step, kSnare, 70 + (step - 8) * 9);
    }
    for (int step = 12; step < 16; ++step) {
        Hit(track, bar, step, kToms[step - 12], 100 + (step - 12) * 5);
        if (step % 2 == 0) {
            Hit(track, bar, step, kKick, 100);
        }
    }
}

}  // namespace

void AddDrumBar(MidiTrack& track, int bar, Groove groove, bool fill) {
    int lastStep = fill ? 8 : 16;
    for (int step = 0; step < lastStep; ++step) {
        bool beat = step % 4 == 0;
        bool offbeat = step % 4 == 2;
        switch (groove) {
            case Groove::HalfTime:
                if (step == 0 || step == 10) {
                    Hit(track, bar, step, kKick, step == 0 ? 105 : 88);
                }
                if (step == 8) {
                    Hit(track, bar, step, kSnare, 100);
                    Hit(track, bar, step, kClap, 70);
                }
                if (step % 2 == 0) {
                    Hit(track, bar, step, kClosedHat, offbeat ? 62 : 48);
                }
                break;
            case Groove::Drive:
            case Groove::Lattice:
                if (beat) {
                    Hit(track, bar, step, kKick, step == 0 ? 112 : 102);
                }
                if (step == 4 || step == 12) {
                    Hit(track, bar, step, kSnare, 104);
                    Hit(track, bar, step, kClap, 78);
                }
                if (offbeat) {
                    bool open = step == 14 && bar % 2 == 1;
                    Hit(track, bar, step, open ? kOpenHat : kClosedHat, 84);
                } else if (groove == Groove::Lattice || beat) {
                    Hit(track, bar, step, kClosedHat, beat ? 58 : 40);
                }
                if (groove == Groove::Lattice && bar % 2 == 1 && step == 14) {
                    Hit(track, bar, step, kKick, 90);
                }
                break;
        }
    }
    if (fill) {
        AddFill(track, bar);
    }
}

void AddSnareRoll(MidiTrack& track, int bar) {
    for (int step = 0; step < 16; ++step) {
        Hit(track, bar, step, kSnare, 36 + step * 5);
    }
    Hit(track, bar, 12, kKick, 96);
    Hit(track, bar, 14, kKick, 104);
}

void AddCrash(MidiTrack& track, int bar, int velocity) {
    Hit(track, bar, 0, kCrash, velocity);
}

void AddFinalHit(MidiTrack& track, int bar) {
    Hit(track, bar, 0, kCrash, 120);
    Hit(track, bar, 0, kKick, 120);
    Hit(track, bar, 0, kLowTom, 100);
}
