#!/usr/bin/python3
"""Listening to the show as it is heard: a tune of clicks over a held organ
note, each click known by its intervals to its neighbours, a capture of what
a PulseAudio sink plays (its monitor, read with parec and stamped on the
monotonic clock), and the comparison of each click as heard with the show's
own clock. Used by the end-to-end tests and by bench/av_sync.sh.

  sound_check.py tune OUT.mid          write the click tune
  sound_check.py prove                 send known clicks through the sink and
                                       check they come back where and as sent
  sound_check.py capture OUT           prove the path, then capture until
                                       SIGTERM (OUT.ready exists meanwhile);
                                       OUT.raw and OUT.json (its clock)
  sound_check.py measure OUT RENDER.wav FRAME_STATS [REOPENED_UNIX_MS]
                                       the clicks of OUT against the show's
                                       clock (and how the tune came back after
                                       a display re-opened then): JSON
  sound_check.py show-time FRAME_STATS the show's time now, in seconds
  sound_check.py show-end PID FRAME_STATS
                                       the show's time when process PID ends
  sound_check.py onsets FILE.wav       where its clicks begin, in seconds

The capture's clock is the lower envelope of (read time - frames read so far /
rate), second by second: a block can be read no sooner than the sink plays it,
and with a
short fragment some block is read right away. `prove` sets that clock
against a second, independent reckoning: a stream of our own whose server
reports when each written frame will be played.
"""
import ctypes
import json
import os
import select
import signal
import struct
import subprocess
import sys
import threading
import time

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import show_schedule  # noqa: E402

RATE = 44100
SINK = "vup"
# The clicks say which one they are: no two intervals between neighbouring
# clicks are alike. They are 0.50, 0.52 ... 1.92 s in a fixed shuffled order,
# 20 ms apart, so that a player's correction of a few milliseconds cannot
# make one pass for another. Times in ms; the first click at 1 s.
INTERVALS_MS = [500 + 20 * ((29 * i) % 72) for i in range(72)]
CLICKS_MS = [1000 + sum(INTERVALS_MS[:i]) for i in range(len(INTERVALS_MS) + 1)]
TUNE_MS = CLICKS_MS[-1] + 1000
MATCH = 0.010  # an interval heard matches one of the tune's within this (s)
RIGHT = 0.030  # a click heard this close to the show's time is right (s)


# ---- the click tune -------------------------------------------------------

def _variable_length(value):
    groups = [value & 0x7F]
    value >>= 7
    while value:
        groups.append((value & 0x7F) | 0x80)
        value >>= 7
    return bytes(reversed(groups))


def click_tune():
    """A Standard MIDI File: a held organ note (for hearing gaps) and a wood
    block struck at CLICKS_MS, at 120 beats per minute, 1000 ticks a second."""
    events = [(0, b"\xC0\x13"), (0, b"\xB0\x07\x40"), (0, b"\x90\x30\x50")]
    for at in CLICKS_MS:
        events.append((at, b"\x99\x4C\x7F"))
        events.append((at + 100, b"\x89\x4C\x00"))
    events.append((TUNE_MS, b"\x80\x30\x00"))
    events.sort(key=lambda event: event[0])
    track = bytearray(b"\x00\xFF\x51\x03\x07\xA1\x20")  # 500,000 us a beat
    now = 0
    for tick, message in events:
        track += _variable_length(tick - now) + message
        now = tick
    track += b"\x00\xFF\x2F\x00"
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, 500) +
            b"MTrk" + struct.pack(">I", len(track)) + bytes(track))


# ---- onsets ---------------------------------------------------------------

def onsets(samples, rate=RATE, gap=0.3):
    """Sample indices where a click starts: the first sample whose step from
    the previous one exceeds a quarter of the largest step, at least `gap`
    seconds after the previous onset. The held organ note is low and slow, so
    its steps stay far below a click's."""
    steps = np.abs(np.diff(samples.astype(np.int32)))
    if steps.size == 0:
        return []
    found = []
    for index in np.nonzero(steps > steps.max() / 4)[0] + 1:
        if not found or index - found[-1] >= gap * rate:
            found.append(int(index))
    return found


# ---- capturing the sink ---------------------------------------------------

class Capture:
    """What the sink plays, from now until stop(): mono 16-bit samples, and
    when each was played on the monotonic clock. A sink's clock need not keep
    the system's pace (a sound card's crystal, a null sink's rounding: 0.02 to
    0.1 % fast was seen here), so the time of a sample is not the first one's
    plus its index / rate but comes from the reads around it: the lower
    envelope of (read time - frames read / rate) over each second.
    `clock_offset` (s) is added to that clock: a clock known to be wrong, for
    showing that the proof refuses it."""

    def __init__(self, clock_offset=0.0):
        self.clock_offset = clock_offset
        self.process = subprocess.Popen(
            ["parec", "-d", SINK + ".monitor", "--format=s16le", "--rate=%d" % RATE,
             "--channels=1", "--latency-msec=2", "--raw"], stdout=subprocess.PIPE)
        self.blocks, self.frames, self.reads = [], 0, []
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        descriptor = self.process.stdout.fileno()
        pending = b""
        while True:
            block = os.read(descriptor, 4096)
            now = time.monotonic() + self.clock_offset
            if not block:
                break
            block = pending + block
            whole = len(block) - len(block) % 2
            pending = block[whole:]
            self.blocks.append(block[:whole])
            self.frames += whole // 2
            self.reads.append((self.frames, now - self.frames / RATE))

    def stop(self):
        """The samples, and for each whole second of them (by index) the
        monotonic time of its first sample, as [(index, time)]."""
        self.process.terminate()
        self.thread.join(5)
        self.process.wait(5)
        samples = np.frombuffer(b"".join(self.blocks), dtype=np.int16)
        lowest = {}
        for frames, start in self.reads:
            second = frames // RATE
            lowest[second] = min(lowest.get(second, start), start)
        return samples, [(second * RATE, lowest[second] + second)
                         for second in sorted(lowest)]


def sample_times(indices, clock):
    """Monotonic times of sample indices, from a capture's clock; beyond its
    first and last points the clock runs at the nominal rate."""
    points = np.array(clock, dtype=float)
    indices = np.asarray(indices, dtype=float)
    inside = np.clip(indices, points[0, 0], points[-1, 0])
    return np.interp(inside, points[:, 0], points[:, 1]) + (indices - inside) / RATE


# ---- a stream of our own, for the proof -----------------------------------

class _SampleFormat(ctypes.Structure):
    _fields_ = [("format", ctypes.c_int), ("rate", ctypes.c_uint32), ("channels", ctypes.c_uint8)]


class _BufferAttr(ctypes.Structure):
    _fields_ = [(name, ctypes.c_uint32)
                for name in ("maxlength", "tlength", "prebuf", "minreq", "fragsize")]


def emit_clicks(count=10, spacing=0.4):
    """Plays `count` clicks through the sink, `spacing` seconds apart, and
    returns the waveform sent and, for each click, when the server said it
    would be played."""
    pulse = ctypes.CDLL("libpulse-simple.so.0")
    pulse.pa_simple_new.restype = ctypes.c_void_p
    pulse.pa_simple_get_latency.restype = ctypes.c_uint64
    pulse.pa_simple_get_latency.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
    pulse.pa_simple_write.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t,
                                      ctypes.POINTER(ctypes.c_int)]
    pulse.pa_simple_drain.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
    pulse.pa_simple_free.argtypes = [ctypes.c_void_p]
    error = ctypes.c_int(0)
    sample_format = _SampleFormat(3, RATE, 1)  # PA_SAMPLE_S16LE, mono
    # A second of buffer: however busy the machine, the clicks never run dry.
    unset = 0xFFFFFFFF
    buffer = _BufferAttr(unset, RATE * 2, unset, unset, unset)
    stream = pulse.pa_simple_new(None, b"sound_check", 1, None, b"known clicks",
                                 ctypes.byref(sample_format), None, ctypes.byref(buffer),
                                 ctypes.byref(error))
    if not stream:
        raise RuntimeError("cannot play into the sound server (error %d)" % error.value)
    click = (np.cos(2 * np.pi * 3000 * np.arange(64) / RATE) * 20000 *
             np.exp(-np.arange(64) / 16)).astype(np.int16)
    signal = np.zeros(int((count * spacing + 0.5) * RATE), dtype=np.int16)
    starts = [int((0.25 + i * spacing) * RATE) for i in range(count)]
    for start in starts:
        signal[start:start + click.size] = click
    # Each block's reading gives when frame 0 of the stream is played; their
    # median steadies the server's interpolated latency.
    block, frame_zero = 256, []
    for at in range(0, signal.size, block):
        latency = pulse.pa_simple_get_latency(stream, ctypes.byref(error)) / 1e6
        frame_zero.append(time.monotonic() + latency - at / RATE)
        chunk = signal[at:at + block].tobytes()
        pulse.pa_simple_write(stream, chunk, len(chunk), ctypes.byref(error))
    pulse.pa_simple_drain(stream, ctypes.byref(error))
    pulse.pa_simple_free(stream)
    # A straight line through the readings allows for a sink whose clock
    # runs a little fast or slow.
    at = np.arange(len(frame_zero)) * block
    keep = slice(len(frame_zero) // 4, None)
    slope, zero = np.polyfit(at[keep], np.array(frame_zero)[keep], 1)
    return signal, [zero + slope * start + start / RATE for start in starts]


def prove(report=print, clock_offset=0.0):
    """Known clicks through the sink: they must come back sample for sample
    (waveform correlation at least 0.9) and as far apart as they were sent (to
    within 2 ms, which tests the capture's clock), and the capture's
    clock must agree with the server's own reckoning of when they played to
    within 10 ms. Returns that difference (seconds, capture minus server);
    raises when the path cannot measure. `clock_offset` as for Capture."""
    capture = Capture(clock_offset)
    time.sleep(0.3)
    sent, predicted = emit_clicks()
    time.sleep(0.3)
    samples, clock = capture.stop()
    found = onsets(samples)
    if len(found) != len(predicted):
        raise RuntimeError("sent %d clicks, heard %d" % (len(predicted), len(found)))
    heard = sample_times(found, clock)
    differences = [h - p for h, p in zip(heard, predicted)]
    # The waveform: the sent clicks against the captured stretch that starts
    # where the first click was heard.
    first_sent = onsets(sent)[0]
    length = sent.size - first_sent
    back = samples[found[0]:found[0] + length].astype(float)
    ahead = sent[first_sent:first_sent + back.size].astype(float)
    correlation = float(np.dot(back, ahead) / np.sqrt(np.dot(back, back) * np.dot(ahead, ahead)))
    spread = max(differences) - min(differences)
    offset = float(np.median(differences))
    report("sound path: %d clicks heard %+.1f ms from the server's reckoning (spread %.1f ms), "
           "waveform correlation %.3f" % (len(found), 1000 * offset, 1000 * spread, correlation))
    if correlation < 0.9:
        raise RuntimeError("the capture does not give back what was sent (correlation %.3f)"
                           % correlation)
    if spread > 0.002 or abs(offset) > 0.010:
        raise RuntimeError("the capture's clock is %.1f ms from the server's, wandering by %.1f ms"
                           % (1000 * offset, 1000 * spread))
    return offset


# ---- the show against its clock -------------------------------------------

def read_wav_mono(path):
    data = open(path, "rb").read()
    at = 12
    while at + 8 <= len(data):
        kind, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        if kind == b"fmt ":
            channels = struct.unpack("<H", data[at + 10:at + 12])[0]
        if kind == b"data":
            samples = np.frombuffer(data[at + 8:at + 8 + size], dtype=np.int16)
            return samples.reshape(-1, channels).mean(axis=1)
        at += 8 + size + size % 2
    raise RuntimeError("%s has no samples" % path)


def show_zero(frame_stats):
    """The show's time 0 on the monotonic clock: its start reading is that
    clock in whole milliseconds, cut to 32 bits."""
    fields = dict(line.split() for line in open(frame_stats) if line.strip())
    start = int(fields["show_start_clock_ms"])
    now_ms = int(time.monotonic() * 1000)
    return (now_ms - ((now_ms - start) % 2 ** 32)) / 1000.0


def identify(heard, reference):
    """For each click heard (times, s), the index of the tune's click it is, or
    None: three clicks heard in a row whose two intervals are the tune's
    intervals between three clicks in a row are those clicks. A player's
    correction of a few milliseconds, a click lost or one too many spoil one
    interval, which leaves its clicks to be named from their other sides; a
    tune begun again is named again from its first clicks."""
    tune = np.diff(reference)
    matched = []
    for interval in np.diff(heard):
        index = int(np.argmin(np.abs(tune - interval)))
        matched.append(index if abs(tune[index] - interval) <= MATCH else None)
    names = [set() for _ in heard]
    for first, (one, two) in enumerate(zip(matched, matched[1:])):
        if one is not None and two == one + 1:
            for number in range(3):
                names[first + number].add(one + number)
    return [name.pop() if len(name) == 1 else None for name in names]


def measure(samples, clock, rendering, zero, changes, show_end, reopened=None):
    """What the capture heard against the show's clock (show time 0 at the
    monotonic time `zero`): each click named by its tune position with its
    offset (tune position - show time when heard, ms), the click heard nearest
    each of the moments `changes` (within 1 s; the schedule's scene changes),
    when the tune was first heard and its longest silence from then to
    show_end (s); with `reopened` (the show
    time a re-opened display appeared), when the sound came back around it
    and from when on every click is right (named, heard once, within RIGHT)."""
    reference = np.array(onsets(rendering)) / RATE
    if len(reference) != len(CLICKS_MS):
        raise RuntimeError("the rendering has %d clicks, not %d" % (len(reference),
                                                                   len(CLICKS_MS)))
    found = onsets(samples)
    heard = sample_times(found, clock) - zero if found else np.array([])
    clicks, seen = [], set()
    for at, name in zip(heard, identify(heard, reference)):
        clicks.append((at, name, None if name is None else reference[name] - at,
                       name is not None and name in seen))
        seen.add(name)
    named = [(at, name, offset) for at, name, offset, _ in clicks if name is not None]
    result = {"offsets_ms": {"%.2f" % reference[name]: round(1000 * offset, 1)
                             for _, name, offset in reversed(named)},
              "unnamed": sum(name is None for _, name, _, _ in clicks),
              "repeated": sum(again for _, _, _, again in clicks)}
    result["at_scene_changes_ms"] = {}
    for change in changes:
        near = [(abs(at - change), offset) for at, _, offset in named if abs(at - change) <= 1.0]
        if near:
            result["at_scene_changes_ms"][str(change)] = round(1000 * min(near)[1], 1)
    # Sound and silence: 10 ms windows against a twentieth of the organ's level.
    window = RATE // 100
    start = sample_times([0], clock)[0] - zero
    end = min(samples.size, int((show_end - 0.5 - start) * RATE))
    levels = np.array([np.sqrt(np.mean(samples[at:at + window].astype(float) ** 2))
                       for at in range(0, end - window, window)])
    sounding = levels >= np.median(levels[levels > levels.max() / 100]) / 20
    if not sounding.any():
        raise RuntimeError("nothing was heard")
    times = start + np.arange(levels.size) * window / RATE
    first = int(np.argmax(sounding))
    longest = run = longest_end = 0
    for number in range(first, levels.size):
        run = 0 if sounding[number] else run + 1
        if run > longest:
            longest, longest_end = run, number + 1
    result.update(first_heard_s=round(times[first], 3),
                  longest_gap_ms=round(1000 * longest * window / RATE, 1),
                  longest_gap_at_s=round(times[longest_end - longest], 2))
    if reopened is not None:
        # The re-open's silence: the tune of the closed display stops shortly
        # before the new one appears, and the new tune starts around then.
        quiet = [at + window / RATE for at, on in zip(times, sounding)
                 if not on and abs(at - reopened) <= 1.0]
        back = max(quiet, default=reopened - 1.0)
        after = [click for click in clicks if click[0] > back]
        # The first click after the silence and the last one heard have only
        # one neighbour to be named by.
        wrong = [at for number, (at, name, offset, again) in enumerate(after)
                 if (name is None and 0 < number < len(after) - 1) or again or
                 (name is not None and abs(offset) > RIGHT)]
        right_from = max([back] + wrong)
        right = [offset for at, name, offset, _ in after
                 if at > right_from and name is not None]
        result["reopened"] = {
            "sound_back_ms": round(1000 * (back - reopened)),
            "right_from_ms": round(1000 * (right_from - reopened)),
            "clicks_right": len(right),
            "offset_ms": round(1000 * float(np.median(right)), 1) if right else None}
    return result


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "tune" and len(argv) == 3:
        open(argv[2], "wb").write(click_tune())
    elif command == "prove" and len(argv) == 2:
        try:
            prove()
        except RuntimeError as error:
            print("sound path: cannot measure: %s" % error)
            return 1
    elif command == "capture" and len(argv) == 3:
        stopped = threading.Event()
        signal.signal(signal.SIGTERM, lambda *_: stopped.set())
        # A busy machine can upset one proof (a stream of our own that ran
        # dry); three failures in a row mean the path itself is wrong.
        for attempt in range(3):
            try:
                path_offset = prove()
                break
            except RuntimeError as error:
                print("sound path: cannot measure: %s" % error)
        else:
            return 1
        capture = Capture()
        open(argv[2] + ".ready", "w").close()
        stopped.wait()
        samples, clock = capture.stop()
        samples.tofile(argv[2] + ".raw")
        json.dump({"clock": clock, "path_offset": path_offset,
                   "unix_minus_monotonic": time.time() - time.monotonic()},
                  open(argv[2] + ".json", "w"))
    elif command == "measure" and len(argv) in (5, 6):
        samples = np.fromfile(argv[2] + ".raw", dtype=np.int16)
        captured = json.load(open(argv[2] + ".json"))
        zero = show_zero(argv[4])
        reopened = None
        if len(argv) == 6:
            reopened = int(argv[5]) / 1000 - captured["unix_minus_monotonic"] - zero
        # Where the tune is checked, and the end, from the show's schedule
        # (tests/support/show_schedule.py: $VUP_RECORD --schedule).
        schedule = show_schedule.load()
        json.dump(measure(samples, captured["clock"], read_wav_mono(argv[3]), zero,
                          schedule["heard_at"], schedule["end"], reopened=reopened), sys.stdout)
        print()
    elif command == "onsets" and len(argv) == 3:
        print(" ".join("%.4f" % (index / RATE) for index in onsets(read_wav_mono(argv[2]))))
    elif command == "show-time" and len(argv) == 3:
        print("%.3f" % (time.monotonic() - show_zero(argv[2])))
    elif command == "show-end" and len(argv) == 4:
        # Woken as the process ends, not by polling.
        select.select([os.pidfd_open(int(argv[2]))], [], [])
        print("%.3f" % (time.monotonic() - show_zero(argv[3])))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
