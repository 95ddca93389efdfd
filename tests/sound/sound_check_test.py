#!/usr/bin/python3
"""sound_check_test.py RENDERING.wav|- prove|-: the measuring path measured.
Captures made from the click tune's own rendering, heard late or early by a
known amount from a second before the show's start, must read that amount at
every change of scene and at every click (within 2 ms); 200 ms of silence
(a click lost in it) must read as such, and a player's correction of 9 ms at
59 s as a tune 9 ms ahead from there on, with every click heard still named;
a tune begun again mid-show must read as far behind as it is. With "prove", a
live sound path's proof must refuse a capture whose clock is 100 ms off and
accept it as it is."""
import sys

import numpy as np

import sound_check as sc

RATE = sc.RATE
# Where the known captures are measured: moments of the click tune's own,
# not the show's (the measuring path is under test here, not the schedule).
CHANGES = [10, 20, 30, 40, 50, 60, 70, 80]
END = 82.0
failures = []


def check(ok, what):
    print("%s: %s" % ("ok" if ok else "FAIL", what))
    if not ok:
        failures.append(what)


def heard(rendering, late, edit=lambda samples: samples):
    """sound_check.measure of the rendering heard `late` s late."""
    cut = int(round(abs(late) * RATE))
    samples = np.concatenate([np.zeros(RATE + max(cut if late > 0 else -cut, 0), np.int16),
                              rendering[cut if late < 0 else 0:]])
    samples = edit(samples)
    zero = 1000.0
    return sc.measure(samples, [(k * RATE, zero - 1 + k) for k in range(samples.size // RATE + 1)],
                      rendering, zero, CHANGES, END)


def main(argv):
    if argv[1] != "-":
        rendering = sc.read_wav_mono(argv[1]).astype(np.int16)
        for late in (-1.0, 1.0, 3.0, 0.12):
            result = heard(rendering, late)
            offsets = list(result["at_scene_changes_ms"].values()) + list(
                result["offsets_ms"].values())
            check(len(result["at_scene_changes_ms"]) == len(CHANGES) and
                  max(abs(offset + 1000 * late) for offset in offsets) <= 2,
                  "heard %+.0f ms late: %s" % (1000 * late, result["at_scene_changes_ms"]))
        struck = 1 + sc.CLICKS_MS[30] / 1000  # in the capture, 1 s before show time 0
        gap = heard(rendering, 0, lambda s: np.concatenate([
            s[:int((struck - 0.1) * RATE)], np.zeros(RATE // 5, np.int16),
            s[int((struck + 0.1) * RATE):60 * RATE], s[int(60.009 * RATE):]]))
        check(abs(gap["longest_gap_ms"] - 200) <= 10 and gap["unnamed"] == 0 and
              len(gap["offsets_ms"]) == len(sc.CLICKS_MS) - 1 and
              all(abs(offset - (9 if float(at) > 59 else 0)) <= 2
                  for at, offset in gap["offsets_ms"].items()),
              "a click lost in 200 ms of silence, a 9 ms correction: %s ms silent, %d clicks "
              "named" % (gap["longest_gap_ms"], len(gap["offsets_ms"])))
        again = heard(rendering, 0, lambda s: np.concatenate([s[:41 * RATE], s[RATE:]]))
        check(again["at_scene_changes_ms"]["50"] == -40000 and again["repeated"] > 30,
              "the tune begun again at 40 s: %s" % again["at_scene_changes_ms"])
    if argv[2] == "prove":
        for clock_offset in (0.1, 0.0):
            for _ in range(3):  # a busy machine can upset one proof
                try:
                    sc.prove(clock_offset=clock_offset)
                    error = None
                    break
                except RuntimeError as refused:
                    error = str(refused)
                    print("sound path: cannot measure: %s" % error)
                    if clock_offset:
                        break
            check((error is None) == (clock_offset == 0) and
                  (not clock_offset or "clock" in error),
                  "the proof of a capture with its clock %.0f ms off" % (1000 * clock_offset))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
