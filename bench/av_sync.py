#!/usr/bin/python3
"""av_sync.py RESULTS [DOC.md]: the runs of bench/av_sync.sh summed up. For
each SoundFont and load, tune position - show time at each change of scene
(min / median / max over the runs, ms), the worst at any click heard, the
longest gap in the held note, the stream's latency at the sound server and
resident memory 5 s in, over a bare SDL2 + GL window; for the runs with F1
pressed mid-show, the offset after the re-open, how long after the new
window the tune sounded again and was right, and the longest gap. Prints the
tables; with DOC.md, rewrites the part between its bench:av-sync markers;
the last line is
  av-sync: worst N ms quiet, M ms loaded
"""
import glob
import json
import os
import statistics
import sys

from doc_section import rewrite_section


def spread(values, digits=0):
    form = "%%.%df" % digits
    return "%s / %s / %s" % (form % min(values), form % statistics.median(values),
                             form % max(values))


def main(argv):
    results = argv[1]
    floor_kb = int(open(os.path.join(results, "floor.txt")).read().split()[1])
    groups = {}
    for path in sorted(glob.glob(os.path.join(results, "*-*-*.json"))):
        if path.endswith(".extra.json"):
            continue
        font, load, _ = os.path.basename(path)[:-5].rsplit("-", 2)
        run = json.load(open(path))
        run.update(json.load(open(path[:-5] + ".extra.json")))
        groups.setdefault((font, load), []).append(run)
    # The moments measured: the schedule's (sound_check.py measure), as the
    # runs recorded them.
    bounds = sorted({bound for runs in groups.values() for run in runs
                     for bound in run["at_scene_changes_ms"]}, key=float)
    lines = ["| SoundFont | machine | " + " | ".join("%s s" % b for b in bounds) +
             " | worst, any click | longest gap in the held note | stream latency "
             "| memory over a bare window |",
             "|---|---|" + "---|" * (len(bounds) + 4)]
    f1_lines = ["| SoundFont | offset after the re-open | sounding again after "
                "| right after | longest gap in the held note |", "|---|---|---|---|---|"]
    worst = {"quiet": 0.0, "loaded": 0.0}
    for (font, load), runs in sorted(groups.items(), key=lambda item: (item[0][0], item[0][1] != "quiet")):
        if load == "f1":
            for run in runs:
                reopened = run["reopened"]
                offset = reopened["offset_ms"]
                # No silence within a second of the re-open: the tune never stopped.
                back = reopened["sound_back_ms"]
                f1_lines.append("| %s | %s | %s | %d ms | %.0f ms |" % (
                    font, "never right" if offset is None else "%s ms" % offset,
                    "never silent" if back <= -1000 else "%d ms" % back,
                    reopened["right_from_ms"], run["longest_gap_ms"]))
            continue
        cells = []
        for bound in bounds:
            values = [run["at_scene_changes_ms"].get(bound) for run in runs]
            if None in values:
                cells.append("not heard")
                worst[load] = float("inf")
                continue
            cells.append(spread(values, 1))
        any_click = [max(map(abs, run["offsets_ms"].values())) for run in runs]
        worst[load] = max([worst[load]] + [abs(value) for run in runs
                                           for value in run["at_scene_changes_ms"].values()])
        lines.append("| %s | %s | %s | %s | %s ms | %s ms | %s MB |" % (
            font, load, " | ".join(cells), spread(any_click, 1),
            spread([run["longest_gap_ms"] for run in runs]),
            spread([run["output_latency_ms"] for run in runs], 1),
            spread([(run["rss_kb"] - floor_kb) / 1024 for run in runs])))
    count = min(len(runs) for (_, load), runs in groups.items() if load != "f1")
    load = [open(os.path.join(results, name)).read().strip()
            for name in ("load_before.txt", "load_after.txt")]
    table = ("Tune position - show time as heard, in ms (min / median / max of %d runs of the "
             "whole show each; positive: the tune is ahead). Bare SDL2 + GL window: %d MB. "
             "Machine load before / after: %s / %s.\n\n"
             % (count, floor_kb // 1024, load[0], load[1])) + "\n".join(lines)
    if len(f1_lines) > 2:
        table += ("\n\nF1 pressed 40 s into a quiet run: tune position - show time after the "
                  "re-open (median of the clicks from when it is right), and how long after the "
                  "re-opened window appeared the tune sounded again and every click was right "
                  "(within 30 ms, named, heard once; negative: before the window was seen)."
                  "\n\n") + "\n".join(f1_lines)
    print(table)
    if len(argv) > 2:
        rewrite_section(argv[2], "av-sync", table)
    print("av-sync: worst %.0f ms quiet, %.0f ms loaded" % (worst["quiet"], worst["loaded"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
