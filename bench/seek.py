#!/usr/bin/python3
"""How long the show takes to move to a moment, natively and in the page.

Usage: seek.py [--native BUILD] [--doc FILE] SITE [ROUNDS] [ENGINE ...]

Natively (with --native, a build with the benchmarks: build-bench): the
sweep of vup_bench_frames (Frame/SeekSweep: the show stepped from the start
to each of 35 moments and the moment drawn, ended by glFinish), 7
repetitions; its worst seek and any seek's median, each with their spread.

In the page: from the request (the position bar's, Module._WebShowSeek) to
the first frame presented at the target.

In each engine (tests/web/web_browser.py; Chromium unless named), the live
page plays in the page ("Play in the page") and is moved to every 5 s of the
show from 5 to 80 s, forward, then back from 75 to 0, ROUNDS times (3 unless
given), running, not paused. A move counts as done at the first present
whose show time lies from the target to 300 ms past it, and is timed from
the request to the page's performance.now() just after that present. Prints,
per engine and direction, min / median / max in ms and the worst target;
the goal is 300 ms at the worst (natively 150 ms).

With --doc, the figures replace the section between <!-- bench:seek begin -->
and <!-- bench:seek end --> of that document.
"""
import datetime
import json
import os
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from doc_section import rewrite_section  # noqa: E402
from web_browser import ENGINES, engine_missing, open_browser, serve, site_files  # noqa: E402

GOAL_MS = 300
NATIVE_GOAL_MS = 150
REPO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
TARGETS_S = list(range(5, 85, 5))

# Asks for the move and resolves with the ms from the request to the first
# present at the target (null after 5 s).
MOVE = """new Promise(function (done) {
    var target = %d, asked = performance.now(), before = VupDisplay.onPresent;
    var timer = setTimeout(function () { VupDisplay.onPresent = before; done(null); }, 5000);
    VupDisplay.onPresent = function (showMs) {
        before(showMs);
        if (showMs >= target && showMs < target + 300) {
            VupDisplay.onPresent = before;
            clearTimeout(timer);
            done(performance.now() - asked);
        }
    };
    Module._WebShowSeek(target);
})"""


def spread(values):
    return f"{min(values):.0f} / {statistics.median(values):.0f} / {max(values):.0f}"


def measure(engine, url, rounds):
    """{direction: [(target s, ms), ...]}"""
    found = {"forward": [], "back": []}
    with tempfile.TemporaryDirectory() as profile:
        browser = open_browser(engine, profile)
        try:
            browser.open(url + "/index.html")
            browser.wait("document.body.dataset.state === 'ready' && VupPage.stats.tuneAt", 120,
                         "the start control and the tune")
            browser.click("play-page")
            browser.wait("VupDisplay.stats.showMs > 1000", 30, "the show")
            for _ in range(rounds):
                for direction, targets in (("forward", TARGETS_S),
                                           ("back", list(range(75, -5, -5)))):
                    for seconds in targets:
                        ms = browser.js(MOVE % (seconds * 1000))
                        if ms is None:
                            raise RuntimeError(f"no frame at {seconds} s within 5 s")
                        found[direction].append((seconds, ms))
            browser.hold("Escape")
        finally:
            browser.quit()
    return found


def measure_native(build):
    """(worst seek of each sweep, median seek of each sweep), ms."""
    bench = os.path.join(build, "bench")
    with tempfile.TemporaryDirectory() as scratch:
        calls, out = os.path.join(scratch, "calls.bin"), os.path.join(scratch, "seek.json")
        # The frames benchmark loads its scene states' calls; the show reads
        # Data/ from the repository.
        subprocess.run([os.path.join(bench, "vup_bench_capture"), calls], cwd=REPO, check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run([os.path.join(bench, "vup_bench_frames"), f"--calls={calls}",
                        "--benchmark_filter=Frame/SeekSweep", "--benchmark_repetitions=7",
                        "--benchmark_min_time=0.3", "--benchmark_out_format=json",
                        f"--benchmark_out={out}"], cwd=REPO, check=True,
                       stdout=subprocess.DEVNULL)
        with open(out) as file:
            runs = [entry for entry in json.load(file)["benchmarks"]
                    if entry.get("run_type") != "aggregate"]
    return ([run["worst_seek_ns"] / 1e6 for run in runs],
            [run["median_seek_ns"] / 1e6 for run in runs])


def main(argv):
    args, native, doc = list(argv[1:]), None, None
    while args and args[0] in ("--native", "--doc") and len(args) > 1:
        option, value = args.pop(0), args.pop(0)
        native, doc = (value, doc) if option == "--native" else (native, value)
    if not args:
        print(__doc__)
        return 2
    site = args[0]
    rounds = int(args[1]) if len(args) > 1 else 3
    engines = args[2:] or ["chromium"]
    if "vup.js" not in site_files(site) or any(e not in ENGINES for e in engines):
        print(__doc__)
        return 2
    load = os.getloadavg()[0]
    lines = ["| where | moves | min / median / max (ms) | worst to | goal met |",
             "|---|---:|---:|---:|:---:|"]
    failed = False
    if native:
        worst, median = measure_native(native)
        met = statistics.median(worst) <= NATIVE_GOAL_MS
        failed |= not met
        lines.append(f"| natively, the worst of each sweep of 35 | {len(worst)} sweeps | "
                     f"{spread(worst)} | | {'yes' if met else '**no**'} |")
        lines.append(f"| natively, the median of each sweep | {len(median)} sweeps | "
                     f"{spread(median)} | | |")
        print(f"seek native: worst of a sweep {spread(worst)} ms, median {spread(median)} ms")
    server, url = serve(site)
    worst_page = 0.0
    try:
        for engine in engines:
            if engine_missing(engine):
                print(f"{engine}: {engine_missing(engine)}")
                lines.append(f"| {engine} | not measured: {engine_missing(engine)} | | | |")
                continue
            found = measure(engine, url, rounds)
            for direction, moves in found.items():
                times = [ms for _, ms in moves]
                slowest = max(moves, key=lambda move: move[1])
                worst_page = max(worst_page, slowest[1])
                met = slowest[1] <= GOAL_MS
                failed |= not met
                print(f"seek {engine} {direction}: {len(times)} moves, min / median / max "
                      f"{spread(times)} ms, the worst to {slowest[0]} s")
                lines.append(f"| {engine}, {direction} | {len(times)} | {spread(times)} | "
                             f"{slowest[0]} s | {'yes' if met else '**no**'} |")
    finally:
        server.shutdown()
    print(f"seek worst in the page: {worst_page:.0f} ms (goal {GOAL_MS} ms)")
    if doc:
        lines += ["", f"Measured {datetime.date.today()} by `bench/seek.py`, {rounds} rounds of "
                  f"the page's moves per engine; load average {load:.2f} before."]
        rewrite_section(doc, "seek", "\n".join(lines))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
