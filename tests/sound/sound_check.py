#!/usr/bin/python3
"""Listening to the show as it is heard: a tune of clicks at known times over
a held organ note, a capture of what a PulseAudio sink plays (its monitor,
read with parec and stamped on the monotonic clock), and the comparison of
each click as heard with the show's own clock. Used by the end-to-end test and
by bench/av_sync.sh.

  sound_check.py tune OUT.mid          write the click tune
  sound_check.py prove                 send known clicks through the sink and
                                       check they come back where and as sent
  sound_check.py capture OUT           prove the path, then capture until
                                       SIGTERM (OUT.ready exists meanwhile);
                                       OUT.raw and OUT.json (its clock)
  sound_check.py measure OUT RENDER.wav FRAME_STATS
                                       the clicks of OUT against the show's
                                       clock: JSON on stdout
  sound_check.py show-time FRAME_STATS the show's time now, in seconds
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
import signal
import struct
import subprocess
import sys
import threading
import time

import numpy as np

RATE = 44100
SINK = "vup"
CLICK_SECONDS = list(range(1, 90))  # a click on every whole second of the tune
TUNE_SECONDS = 90


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
    block struck on every whole second, at 120 beats per minute, 960 ticks a
    second."""
    ticks = 960
    events = [(0, b"\xC0\x13"), (0, b"\xB0\x07\x40"), (0, b"\x90\x30\x50")]
    for second in CLICK_SECONDS:
        events.append((second * ticks, b"\x99\x4C\x7F"))
        events.append((second * ticks + ticks // 10, b"\x89\x4C\x00"))
    events.append((TUNE_SECONDS * ticks, b"\x80\x30\x00"))
    events.sort(key=lambda event: event[0])
    track = bytearray(b"\x00\xFF\x51\x03\x07\xA1\x20")  # 500,000 us a beat
    now = 0
    for tick, message in events:
        track += _variable_length(tick - now) + message
        now = tick
    track += b"\x00\xFF\x2F\x00"
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) +
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
    envelope of (read time - frames read / rate) over each second."""

    def __init__(self):
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
            now = time.monotonic()
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
    """Monotonic times of sample indices, from a capture's clock."""
    points = np.array(clock, dtype=float)
    return np.interp(indices, points[:, 0], points[:, 1]) if len(points) > 1 else \
        points[0, 1] + (np.asarray(indices) - points[0, 0]) / RATE


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


def prove(report=print):
    """Known clicks through the sink: they must come back sample for sample
    (waveform correlation at least 0.9) and as far apart as they were sent (to
    within 2 ms, which tests the capture's clock), and the capture's
    clock must agree with the server's own reckoning of when they played to
    within 10 ms. Returns that difference (seconds, capture minus server);
    raises when the path cannot measure."""
    capture = Capture()
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


def measure(samples, clock, rendering, zero, show_end=85.0):
    """Each click's offset (tune position - show time, seconds) when heard,
    by the whole second it was struck on; the longest silence (seconds)
    between 1 s and the show's end, and the show time it began."""
    reference = onsets(rendering)
    if len(reference) != len(CLICK_SECONDS):
        raise RuntimeError("the rendering has %d clicks, not %d" % (len(reference),
                                                                   len(CLICK_SECONDS)))
    positions = dict(zip(CLICK_SECONDS, [index / RATE for index in reference]))
    offsets = {}
    found = onsets(samples)
    for index, heard in zip(found, sample_times(found, clock)):
        show_time = heard - zero
        second = min(positions, key=lambda s: abs(positions[s] - show_time))
        offset = positions[second] - show_time
        if abs(offset) < 0.45 and second not in offsets:
            offsets[second] = offset
    # Silence: 10 ms windows far below the organ's level.
    window = RATE // 100
    origin = sample_times([0], clock)[0]
    start = int((zero + 1.0 - origin) * RATE)
    end = min(samples.size, int((zero + show_end - 0.5 - origin) * RATE))
    levels = [np.sqrt(np.mean(samples[at:at + window].astype(float) ** 2))
              for at in range(max(start, 0), end - window, window)]
    quiet = np.median(levels) / 20 if levels else 0
    longest = run = 0
    longest_end = 0
    for number, level in enumerate(levels):
        run = run + 1 if level < quiet else 0
        if run > longest:
            longest, longest_end = run, number + 1
    first = max(start, 0) / RATE + origin - zero
    return offsets, longest * window / RATE, first + (longest_end - longest) * window / RATE


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
        json.dump({"clock": clock, "path_offset": path_offset}, open(argv[2] + ".json", "w"))
    elif command == "measure" and len(argv) == 5:
        samples = np.fromfile(argv[2] + ".raw", dtype=np.int16)
        clock = json.load(open(argv[2] + ".json"))["clock"]
        offsets, longest_gap, gap_at = measure(samples, clock, read_wav_mono(argv[3]),
                                               show_zero(argv[4]))
        json.dump({"offsets_ms": {str(s): round(1000 * o, 1) for s, o in sorted(offsets.items())},
                   "longest_gap_ms": round(1000 * longest_gap, 1),
                   "longest_gap_at_s": round(gap_at, 2)}, sys.stdout)
        print()
    elif command == "onsets" and len(argv) == 3:
        print(" ".join("%.4f" % (index / RATE) for index in onsets(read_wav_mono(argv[2]))))
    elif command == "show-time" and len(argv) == 3:
        print("%.3f" % (time.monotonic() - show_zero(argv[2])))
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
