#!/usr/bin/python3
"""What the tune's instruments cost, cut down against loaded whole.

Usage: soundfont_memory.py BENCH_PROGRAM [RUNS] [--doc FILE]

Runs vup_bench_soundfont_memory RUNS times (7 by default) in each way, in
turn, for each Debian SoundFont installed: "cut" (the player's way: a font
of only the tune's presets) and "whole" (the whole font, with FluidSynth
loading each preset's samples when a channel selects it). Prints, and with
--doc writes into the section between <!-- bench:soundfont begin --> and
<!-- bench:soundfont end -->, min / median / max of: the resident memory the
instruments add after loading and after 90 s of the tune, and the load time.
Fails when a run fails (its measure does not prove itself, a font does not
load)."""

import datetime
import os
import statistics
import subprocess
import sys

from doc_section import rewrite_section

FONTS = ("/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2")
WAYS = ("cut", "whole")


def spread(values, scale=1.0, digits=1):
    values = [value * scale for value in values]
    return " / ".join(f"{value:.{digits}f}" for value in
                      (min(values), statistics.median(values), max(values)))


def run(program, way, font):
    done = subprocess.run([program, way, font], capture_output=True, text=True, check=False)
    if done.returncode != 0:
        raise SystemExit(f"{program} {way} {font} failed:\n{done.stderr}")
    fields = dict(item.split("=") for item in done.stdout.split()[1:])
    return {key: float(value) for key, value in fields.items()}


def main(argv):
    args = list(argv[1:])
    doc = None
    if "--doc" in args:
        at = args.index("--doc")
        doc = args[at + 1]
        del args[at:at + 2]
    if not args:
        raise SystemExit(__doc__)
    program, runs = args[0], int(args[1]) if len(args) > 1 else 7
    fonts = [font for font in FONTS if os.path.exists(font)]
    if not fonts:
        raise SystemExit("no Debian SoundFont is installed")
    load = os.getloadavg()[0]
    results = {(font, way): [] for font in fonts for way in WAYS}
    for _ in range(runs):
        for font in fonts:
            for way in WAYS:
                results[(font, way)].append(run(program, way, font))
    lines = ["Resident memory the instruments add (MB) and the time to load them (ms), "
             f"min / median / max of {runs} runs each, a fresh process a run.", "",
             "| SoundFont | loaded | after loading | after 90 s of the tune | load time |",
             "|---|---|---|---|---|"]
    for font in fonts:
        name = os.path.basename(font)[:-len(".sf2")]
        for way in WAYS:
            got = results[(font, way)]
            label = "cut down to the tune's presets" if way == "cut" else "whole, samples on demand"
            lines.append(f"| {name} | {label} | {spread([r['loaded_kib'] for r in got], 1 / 1024)} "
                         f"| {spread([r['played_kib'] for r in got], 1 / 1024)} "
                         f"| {spread([r['load_ms'] for r in got], digits=0)} |")
    lines += ["", f"Measured {datetime.date.today()} by `bench/soundfont_memory.sh {runs}` "
              f"(load average {load:.2f} before, {os.getloadavg()[0]:.2f} after; the fonts "
              "read from the page cache)."]
    print("\n".join(lines))
    if doc:
        rewrite_section(doc, "soundfont", "\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
