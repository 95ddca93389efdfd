"""The page's tune as it is heard, not as the page reckons it.

The page plays the click tune of tests/sound/sound_check.py in place of its
own (the site's tune files overlaid by the click tune's rendering, encoded as
the site's are); every engine plays into the browser's own sound server
(web_browser.SoundServer), whose sink's monitor is captured and stamped on
the monotonic clock, the path first proving itself as it does for the
desktop show. Each click heard is then set against the page's own show
clock: the show's time 0 is a performance.now() reading (VupAudio.showZeroAt),
mapped onto the monotonic clock by reading performance.now() between two
readings of that clock. The reading that came back quickest brackets the
page's clock tightest; the mapping proves itself against a second reckoning
(the page's time origin on the calendar clock) and by giving the same
answer, within a few milliseconds, before and after the show: a page clock
that runs at another rate, a bracket too loose, or two reckonings that
disagree, and it says it cannot measure.
"""
import os
import subprocess
import sys
import time

import numpy

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sound"))
import sound_check  # noqa: E402

# How the site encodes its tune (cmake/Web.cmake).
ENCODINGS = {"ogg": ["-c:a", "libvorbis", "-q:a", "2"], "m4a": ["-c:a", "aac", "-b:a", "96k"]}
# The mapping of the page's clock: how far it may be from a second reckoning
# or its bracket, and how far the mappings before and after a show may differ.
MAPPING_BRACKET_S = 0.004
MAPPING_AGREEMENT_S = 0.003


class CannotMeasure(RuntimeError):
    pass


def click_site(work, render_tune):
    """A folder to overlay on the site (web_browser.serve): its tune files
    (the whole and its start) replaced by the click tune's, and for each
    encoding the click tune as it decodes, which the clicks heard are
    matched against."""
    midi, wav = os.path.join(work, "clicks.mid"), os.path.join(work, "clicks.wav")
    with open(midi, "wb") as file:
        file.write(sound_check.click_tune())
    subprocess.run([render_tune, midi, wav], check=True, capture_output=True)
    overlay = os.path.join(work, "overlay")
    os.makedirs(os.path.join(overlay, "data"), exist_ok=True)
    decoded = {}
    for ext, options in ENCODINGS.items():
        encoded = os.path.join(overlay, "data", "tulmor." + ext)
        back = os.path.join(work, f"decoded-{ext}.wav")
        # The page takes its start's length from the file itself: any works.
        start = os.path.join(overlay, "data", "tulmor.start." + ext)
        for name, cut in ((encoded, []), (start, ["-t", "12"])):
            subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", wav, *cut, *options,
                            "-fflags", "+bitexact", name], check=True)
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", encoded, "-ar", "44100", back],
                       check=True)
        decoded[ext] = sound_check.read_wav_mono(back)
    return overlay, decoded


def page_clock(browser, readings=40, rounds=6):
    """Monotonic seconds less the page's performance.now() seconds, and how
    far that may be off: the half-width of the bracket it came from, or its
    distance from a second, independent reckoning (the page's time origin on
    the system's calendar clock, set against the monotonic clock here), if
    that is larger. On a busy machine a round of readings may hold no quick
    one: further rounds are read, up to `rounds`, until one brackets the
    page's clock within half of what the measure allows."""
    best = None
    for _ in range(rounds):
        for _ in range(readings):
            before = time.monotonic()
            page_ms = browser.js("performance.now()")
            after = time.monotonic()
            if best is None or after - before < best[0]:
                best = (after - before, (before + after) / 2 - page_ms / 1000.0)
        if best[0] / 2 <= MAPPING_BRACKET_S / 2:
            break
    width, offset = best
    origin_ms = browser.js("performance.timeOrigin")
    calendar = min((time.monotonic() - time.time() for _ in range(5)), key=abs)
    return offset, max(width / 2, abs(origin_ms / 1000.0 + calendar - offset))


class HeardShow:
    """Listens to one show of the page in `browser`: start() before the
    click, started() once the show runs, finish() once it has ended.
    finish(show_end), the schedule's end, returns each click's offset (tune position - show time, seconds)
    by its tune position, as sound_check.measure names them, and a line
    saying how the path proved itself."""

    def __init__(self, browser, decoded):
        self.browser, self.decoded = browser, decoded
        os.environ.update(browser.sound.environment)  # parec and the proof use it
        self.capture = None

    def start(self):
        for attempt in range(3):
            try:
                self.path_offset = sound_check.prove(report=lambda line: None)
                break
            except RuntimeError as error:
                last = error
        else:
            raise CannotMeasure(f"the sound path: {last}")
        self.mapping = page_clock(self.browser)
        self.capture = sound_check.Capture()

    def started(self):
        """Notes the show's time 0 and the encoding the page plays."""
        self.browser.wait("VupAudio.showZeroAt !== null && VupAudio.report().encoding", 30,
                          "the show's start")
        self.encoding, self.zero_ms = self.browser.js(
            "[VupAudio.report().encoding, VupAudio.showZeroAt]")

    def stop(self):
        """Stops listening: the samples heard, their monotonic times, the
        capture's clock (as sound_check.Capture gives it), the monotonic
        clock less the page's (seconds) and a line saying how the
        path proved itself; CannotMeasure when the page's clock cannot be
        mapped."""
        samples, clock = self.capture.stop()
        after = page_clock(self.browser)
        (before_offset, before_width), (after_offset, after_width) = self.mapping, after
        proof = (f"the page's clock mapped within {1000 * max(before_width, after_width):.1f} ms"
                 " of a second reckoning, "
                 f"{1000 * (after_offset - before_offset):+.1f} ms apart before and after; "
                 f"the capture {1000 * self.path_offset:+.1f} ms from the server's reckoning")
        if (max(before_width, after_width) > MAPPING_BRACKET_S or
                abs(after_offset - before_offset) > MAPPING_AGREEMENT_S):
            raise CannotMeasure(proof)
        times = sound_check.sample_times(numpy.arange(samples.size), clock)
        return samples, times, clock, (before_offset + after_offset) / 2, proof

    def finish(self, show_end):
        samples, _, clock, offset, proof = self.stop()
        zero = self.zero_ms / 1000.0 + offset
        # Each click's offset is all it takes (at_bounds picks those near the
        # scene bounds), so no moments are asked of measure.
        heard = sound_check.measure(samples, clock, self.decoded[self.encoding], zero, [],
                                    show_end)
        offsets = {float(position): offset / 1000.0
                   for position, offset in heard["offsets_ms"].items()}
        return offsets, (f"{len(offsets)} clicks named, {heard['unnamed']} not, "
                         f"{heard['repeated']} heard twice; {proof}")


def at_bounds(offsets, bounds, reach=1.5):
    """The tune's offset as heard at each scene bound (seconds): the median
    of the clicks within `reach` of it, so that one click lost in a dropout
    (which moves that click's onset, not the tune) does not stand for the
    tune's place; None where no click was heard there."""
    found = {}
    for bound in bounds:
        near = sorted(offset for position, offset in offsets.items()
                      if abs(float(position) - bound) <= reach)
        found[bound] = near[len(near) // 2] if near else None
    return found
