#!/usr/bin/env python3
"""Turns one bench/run.sh run's results into docs/performance.md's tables and
the frame-time plot. Usage: report.py RESULTS_DIR DOC.md PLOT.png

Only the part of the document between the markers
<!-- bench:results begin --> and <!-- bench:results end --> is rewritten; the
text around it is kept."""
import csv
import json
import os
import statistics
import subprocess
import sys

BEGIN = "<!-- bench:results begin -->"
END = "<!-- bench:results end -->"
SCENES = ["OpeningPicture", "BezierPath", "PulsingPolyhedron", "CubeLattice", "ShrinkingPicture"]
STATES = {
    "OpeningPicture": "opening picture (5 s)",
    "BezierPath": "Bezier path, `pathParameter` 0.25",
    "PulsingPolyhedron": "pulsing polyhedron, `polyhedronAngle` 500",
    "CubeLattice": "cube lattice, `latticeAngle` 700",
    "ShrinkingPicture": "shrinking picture, `shrinkAccumulator` 1500",
}
# The show's schedule as the run listed it (RESULTS_DIR/schedule.json,
# `vup-record --schedule`): its scenes' intervals colour the plot, and its end
# is the show's length. Filled in by main.
INTERVALS = []
SHOW_S = None


def load(results, name):
    path = os.path.join(results, name)
    if not os.path.exists(path):
        return None
    with open(path) as file:
        return json.load(file)


def repetitions(benchmark_json, field):
    """run_name -> the field's value in each repetition."""
    if benchmark_json is None:
        return {}
    values = {}
    for entry in benchmark_json["benchmarks"]:
        if entry.get("run_type") == "aggregate" or field not in entry:
            continue
        name = entry.get("run_name", entry["name"]).replace("/real_time", "")
        values.setdefault(name, []).append(entry[field])
    return values


def spread(values, digits=0, unit=""):
    """'median (lowest–highest)' of the measured values."""
    low, high = min(values), max(values)
    middle = statistics.median(values)
    return f"{fmt(middle, digits)}{unit} ({fmt(low, digits)}–{fmt(high, digits)})"


def per_second(values, scale=1e9):
    """Rates from durations (frames/s from ns per frame)."""
    return [scale / value for value in values]


SPREAD_NOTE = ("Each timing is the median of its repetitions, the lowest and the highest "
               "in brackets.")


def verdict(ok):
    return "yes" if ok else "**no**"


def fmt(value, digits=0):
    return f"{value:,.{digits}f}"


def frames_section(results):
    frames = load(results, "frames.json")
    cpu = load(results, "show_cpu.json")
    if frames is None:
        return [], {}
    show_times = repetitions(frames, "show_ns")  # ns per frame, per repetition
    replay_times = repetitions(frames, "replay_ns")
    empty = repetitions(frames, "frame_ns")
    ratios = repetitions(frames, "show_per_replay_rate")
    show_cpu = repetitions(cpu, "cpu_time")
    instructions = {}
    path = os.path.join(results, "instructions.txt")
    if os.path.exists(path):
        with open(path) as file:
            for line in file:
                name, value = line.split()
                instructions[name] = float(value)
    lines = ["### Frames at 800 × 600: the show against a replay of its own calls", "",
             "Frames per second from the median wall time of a frame, each frame ended by "
             "`glFinish`. *Replay* sends the same frame's captured GL calls straight from a flat "
             "array (no show logic); show and replay frames take turns. The ratio is each "
             "repetition's own, show frames/s over replay frames/s. Target: show ÷ replay "
             "≥ 0.95 (the median). " + SPREAD_NOTE, "",
             "| scene state | show (frames/s) | replay (frames/s) | show ÷ replay | met |",
             "|---|---:|---:|---:|:---:|"]
    if "Frame/Empty" in empty:
        lines.append(f"| empty frame (clear + finish), for reference | "
                     f"{spread(per_second(empty['Frame/Empty']))} | | | |")
    frame_ns = {}
    for scene in SCENES:
        show = show_times.get(f"Frame/ShowAgainstReplay/{scene}")
        replay = replay_times.get(f"Frame/ShowAgainstReplay/{scene}")
        if not show or not replay:
            continue
        frame_ns[scene] = statistics.median(show)
        # Each repetition's own ratio: steadier than a ratio of two medians
        # taken apart.
        ratio = ratios.get(f"Frame/ShowAgainstReplay/{scene}")
        if not ratio:
            continue
        lines.append(f"| {STATES[scene]} | {spread(per_second(show))} | "
                     f"{spread(per_second(replay))} | {spread(ratio, 3)} | "
                     f"{verdict(statistics.median(ratio) >= 0.95)} |")
    lines += ["", "### The show's own code per frame", "",
              "GL calls go to entry points that do nothing; CPU time (Google Benchmark) and "
              "instructions (callgrind, the same on every run, counted once). Share: the "
              "show's median CPU time over the median time of the same frame on llvmpipe "
              "above; target ≤ 2 %. " + SPREAD_NOTE, "",
              "| scene state | ns per frame | instructions per frame | share of the frame | met |",
              "|---|---:|---:|---:|:---:|"]
    for scene in SCENES:
        ns = show_cpu.get(f"ShowCode/{scene}")
        if not ns or scene not in frame_ns:
            continue
        share = 100.0 * statistics.median(ns) / frame_ns[scene]
        count = instructions.get(scene)
        lines.append(f"| {STATES[scene]} | {spread(ns)} | "
                     f"{fmt(count) if count is not None else 'n/a'} | {share:.3f} % | "
                     f"{verdict(share <= 2.0)} |")
    return lines, frames.get("context", {})


def reader_section(results):
    reader = load(results, "reader.json")
    if reader is None:
        return []
    rate = repetitions(reader, "bytes_per_second")
    lines = ["### Bitmap reader", "",
             "File bytes decoded per second of CPU time (MB = 10⁶ bytes), same files in memory. "
             "Target: the show's reader ≥ 1.0 × the faster of stb_image and SDL_LoadBMP. "
             "SDL_LoadBMP keeps the file's own pixels (blue first, or palette indices, "
             "undecoded); *SDL + RGB* adds the conversion to the packed RGB the show "
             "needs, the like-for-like figure. Ratios are of the medians. " + SPREAD_NOTE, "",
             "| picture | show's reader | stb_image | SDL_LoadBMP | SDL + RGB | "
             "÷ faster of stb, SDL | ÷ faster of stb, SDL + RGB | met |",
             "|---|---:|---:|---:|---:|---:|---:|:---:|"]
    for picture in ["24bit/512", "24bit/4096", "8bit/512", "8bit/4096"]:
        ours = rate.get(f"Reader/Vup/{picture}")
        stb = rate.get(f"Reader/Stb/{picture}")
        sdl = rate.get(f"Reader/SdlLoadBmp/{picture}")
        sdl_rgb = rate.get(f"Reader/SdlLoadBmpToRgb/{picture}")
        if not all((ours, stb, sdl, sdl_rgb)):
            continue
        median = {name: statistics.median(values)
                  for name, values in (("ours", ours), ("stb", stb), ("sdl", sdl),
                                       ("sdl_rgb", sdl_rgb))}
        raw_ratio = median["ours"] / max(median["stb"], median["sdl"])
        rgb_ratio = median["ours"] / max(median["stb"], median["sdl_rgb"])
        bits, side = picture.split("/")
        megabytes = [[value / 1e6 for value in values] for values in (ours, stb, sdl, sdl_rgb)]
        lines.append(f"| {bits.replace('bit', '-bit')} {side} × {side} | "
                     + " | ".join(spread(values) for values in megabytes) + " | "
                     f"{raw_ratio:.2f} | {rgb_ratio:.2f} | {verdict(raw_ratio >= 1.0)} |")
    return lines


def system_section(results):
    lines = ["### The program as a whole", "",
             "Ratios and targets are of the medians. " + SPREAD_NOTE, "",
             "| figure | measured | reference | ratio | target | met |",
             "|---|---:|---:|---:|---|:---:|"]
    startup = load(results, "startup.json")
    if startup is not None:
        with_tune = statistics.median(startup["with_tune_ms"])
        without = statistics.median(startup["without_tune_ms"])
        floor = statistics.median(startup["floor_ms"])
        floor_text = f"floor {spread(startup['floor_ms'], unit=' ms')}"
        runs = len(startup["with_tune_ms"])
        lines.append(f"| start to first frame, with tune and SoundFont ({runs} runs) | "
                     f"{spread(startup['with_tune_ms'], unit=' ms')} | {floor_text} | "
                     f"{with_tune / floor:.2f} | ≤ 150 ms | {verdict(with_tune <= 150)} |")
        lines.append(f"| start to first frame, without either | "
                     f"{spread(startup['without_tune_ms'], unit=' ms')} | {floor_text} | "
                     f"{without / floor:.2f} | ≤ 150 ms | {verdict(without <= 150)} |")
    peer = load(results, "peer.json")
    if peer is not None:
        rates = {side: [frames / seconds for frames, seconds in
                        zip(peer[side]["frames"], peer[side]["seconds"])]
                 for side in ("native", "wine")}
        native = statistics.median(rates["native"])
        wine = statistics.median(rates["wine"])
        window = f"first {peer.get('window_s', SHOW_S)} s of the show, {peer.get('rounds', 1)} turns each"
        lines.append(f"| native build under Xvfb, presented frames/s ({window}) | "
                     f"{spread(rates['native'], 1)} | vup.exe (x86-64) under Wine "
                     f"{spread(rates['wine'], 1)} | {native / wine:.2f} | ≥ 1.0 × | "
                     f"{verdict(native >= wine)} |")
    recorder = load(results, "recorder.json")
    if recorder is not None:
        seconds = statistics.median(recorder["seconds"])
        lines.append(f"| `vup-record --out show.mp4 --fps 30`, whole show "
                     f"({len(recorder['seconds'])} runs) | "
                     f"{spread(recorder['seconds'], 1, ' s')} | the show's {SHOW_S:g} s | "
                     f"{seconds / SHOW_S:.2f} | < {SHOW_S:g} s | {verdict(seconds < SHOW_S)} |")
    return lines


def machine_section(results, context):
    machine = load(results, "machine.json") or {}
    lines = ["### Machine", "",
             f"- date: {machine.get('date', 'unknown')}",
             f"- CPU: {machine.get('cpu', 'unknown')}, {machine.get('cores', '?')} cores "
             f"(load average {machine.get('load_before', '?')} before the run, "
             f"{machine.get('load_after', '?')} after)",
             f"- system: {machine.get('system', 'unknown')}",
             f"- GL: {context.get('gl_renderer', 'unknown')}, "
             f"{context.get('gl_version', 'unknown')}",
             f"- build: {machine.get('build', 'unknown')}"]
    return lines


def plot(results, png):
    times = os.path.join(results, "frame_times.csv")
    if not os.path.exists(times):
        return False
    by_scene = {name: [] for name, _, _ in INTERVALS}
    with open(times) as file:
        for row in csv.DictReader(file):
            seconds = int(row["show_ms"]) / 1000.0
            for name, start, end in INTERVALS:
                if start < seconds < end or (start == 0 and seconds < end):
                    by_scene[name].append((seconds, float(row["render_ms"])))
    data = os.path.join(results, "frame_times_by_scene.dat")
    with open(data, "w") as file:
        for name, _, _ in INTERVALS:
            file.write(f'"{name}"\n')
            for seconds, ms in by_scene[name]:
                file.write(f"{seconds:.3f} {ms:.3f}\n")
            file.write("\n\n")
    script = f"""
set terminal pngcairo size 1000,500 font "sans,10"
set output "{png}"
set title "Render time of each frame over the whole show (vup-record, 800 x 600, 30 frames/s, llvmpipe)"
set xlabel "show time (s)"
set ylabel "render time (ms, log scale)"
set xrange [0:{SHOW_S:g}]
set yrange [0:*]
set grid ytics
set key outside right top
set logscale y
set yrange [0.5:*]
plot for [i=0:{len(INTERVALS) - 1}] "{data}" index i using 1:2 with points pt 7 ps 0.4 title columnheader(1)
"""
    subprocess.run(["gnuplot"], input=script, text=True, check=True)
    return True


def main():
    global SHOW_S
    results, doc, png = sys.argv[1:4]
    schedule = load(results, "schedule.json")
    if schedule is None:
        sys.exit(f"no {os.path.join(results, 'schedule.json')} (bench/run.sh lists the schedule)")
    INTERVALS[:] = [(scene["name"], scene["from"], scene["to"]) for scene in schedule["scenes"]]
    SHOW_S = schedule["end"]
    frames_lines, context = frames_section(results)
    body = [BEGIN, ""]
    for section in (frames_lines, reader_section(results), system_section(results),
                    machine_section(results, context)):
        if section:
            body += section + [""]
    if plot(results, png):
        body += [f"![Render time of each frame over the whole show]({os.path.basename(png)})", ""]
    body.append(END)
    text = ""
    if os.path.exists(doc):
        with open(doc) as file:
            text = file.read()
    if BEGIN in text and END in text:
        head = text[:text.index(BEGIN)]
        tail = text[text.index(END) + len(END):]
    else:
        head, tail = "# Performance\n\n", "\n"
    with open(doc, "w") as file:
        file.write(head + "\n".join(body) + tail)


if __name__ == "__main__":
    main()
