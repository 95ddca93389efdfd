#!/usr/bin/python3
"""tune_follows_moves.py MOVES TUNE RENDERING.wav: the live tune as a sound
server plays it (sound_check.py's capture, which proves its path first) while
the show's clock is moved back, moved forward, and paused and resumed, by the
calls the show makes (MOVES: vup_tune_moves, playing TUNE, the click tune). Each
move is made 120 ms before a click of the old position, which an output that
kept what it had queued would still play, and goes to 200 ms before a click
of the new one; the pause comes 250 ms before a click, which is then heard
250 ms after the resume, and the display is re-opened while paused (the song
played again, which must wait silent). From 50 ms after each call (a sink's own mixing
ahead) every click heard must be one of the tune's within 30 ms of the
show's time, and from 150 ms after it every click the show passes must be
heard; while paused the level must stay under a twentieth of the playing
tune's."""
import subprocess
import sys
import time

import numpy as np

import sound_check as sc

RIGHT = 0.030
SINK_AHEAD = 0.05
HEARD_FROM = 0.15
SETTLED = 0.3
failures = []


def check(ok, what):
    print("%s: %s" % ("ok" if ok else "FAIL", what))
    if not ok:
        failures.append(what)


class Show:
    """The driver, told what to do at given monotonic times."""

    def __init__(self, moves, tune):
        self.process = subprocess.Popen([moves, tune], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        self.calls = []  # (name, monotonic time, show time from then on, paused)

    def call(self, line, at=None):
        if at is not None:
            time.sleep(max(0.0, at - time.monotonic()))
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        name, called, shown = self.process.stdout.readline().split()
        paused = name == "pause" or (name in ("seek", "reopen") and self.calls[-1][3])
        self.calls.append((name, float(called), float(shown), paused))

    def now(self, at):
        """The show's time at monotonic time `at`."""
        name, called, shown, paused = [c for c in self.calls if c[1] <= at][-1]
        return shown if paused else shown + at - called

    def when(self, show_time):
        """The monotonic time the running show reaches `show_time`."""
        _, called, shown, _ = self.calls[-1]
        return called + show_time - shown

    def quit(self):
        self.process.stdin.write("quit\n")
        self.process.stdin.close()
        self.process.wait(10)


def next_click(reference, after):
    return min(c for c in reference if c > after)


def main(argv):
    moves, tune, rendering_path = argv[1], argv[2], argv[3]
    reference = np.array(sc.onsets(sc.read_wav_mono(rendering_path))) / sc.RATE
    for _ in range(3):  # a busy machine can upset one proof
        try:
            sc.prove()
            break
        except RuntimeError as error:
            print("sound path: cannot measure: %s" % error)
    else:
        return 1
    capture = sc.Capture()
    show = Show(moves, tune)
    show.call("start 20")
    def before_click(after, ahead=0.12):
        return show.when(next_click(reference, show.now(time.monotonic()) + after) - ahead)
    show.call("seek %.3f" % (next_click(reference, 8.0) - 0.2), before_click(3.0))
    show.call("seek %.3f" % (next_click(reference, 60.0) - 0.2), before_click(3.0))
    show.call("pause", before_click(3.0, 0.25))
    show.call("reopen", time.monotonic() + 0.5)
    show.call("resume", time.monotonic() + 1.0)
    end = time.monotonic() + 3.0
    time.sleep(end - time.monotonic())
    show.quit()
    time.sleep(0.2)
    samples, clock = capture.stop()

    found = sc.onsets(samples)
    heard = sc.sample_times(found, clock)
    calls = show.calls
    settled_from = calls[0][1] + 1.5  # the first start loads the instruments
    for number, (name, called, shown, paused) in enumerate(calls):
        until = calls[number + 1][1] if number + 1 < len(calls) else end
        start = max(called, settled_from) if number == 0 else called
        in_turn = [h for h in heard if start + SINK_AHEAD <= h < until]
        offsets = []
        for h in in_turn:
            at = show.now(h)
            nearest = reference[np.argmin(np.abs(reference - at))]
            offsets.append(1000 * (nearest - at))
        wrong = [round(o, 1) for o in offsets if abs(o) > 1000 * RIGHT]
        passed = [c for c in reference
                  if show.now(start + HEARD_FROM) <= c < show.now(until - RIGHT)] if not paused else []
        missed = [round(c, 2) for c in passed
                  if not any(abs(show.now(h) - c) <= RIGHT for h in in_turn)]
        check(not wrong and not missed,
              "%s at %.2f s of the show: clicks heard %s ms from the show's time%s%s" % (
                  name, shown, [round(o, 1) for o in offsets],
                  ", wrong: %s" % wrong if wrong else "",
                  ", missed: %s" % missed if missed else ""))

    # Silence while paused, against the tune's level while it plays.
    index_at = lambda t: int(np.interp(t, [p[1] for p in clock], [p[0] for p in clock]))
    level = lambda a, b: float(np.sqrt(np.mean(samples[index_at(a):index_at(b)].astype(float) ** 2)))
    paused = [c for c in calls if c[0] == "pause"][0][1]
    resumed = [c for c in calls if c[0] == "resume"][0][1]
    playing = level(resumed + 0.3, end)
    quiet = level(paused + 2 * SINK_AHEAD, resumed)
    loudest = max(np.arange(paused + 2 * SINK_AHEAD, resumed - 0.01, 0.01),
                  key=lambda t: level(t, t + 0.01))
    check(quiet < playing / 20, "paused: level %.1f against %.1f playing (loudest %d ms after "
          "the pause)" % (quiet, playing, 1000 * (loudest - paused)))
    # How long each move left the tune silent (for the record).
    for name, called, _, paused in calls[1:]:
        if not paused:
            windows = np.arange(called, called + SETTLED, 0.005)
            silent = [t for t in windows if level(t, t + 0.005) < playing / 20]
            print("%s: silent for %d ms of the %d ms after the call" % (
                name, 5 * len(silent), 1000 * SETTLED))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
