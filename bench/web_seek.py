#!/usr/bin/python3
"""How long the page takes to move its show: from the request (the position
bar's, Module._WebShowSeek) to the first frame presented at the target.

Usage: web_seek.py SITE [ROUNDS] [ENGINE ...]

In each engine (tests/web/web_browser.py; Chromium unless named), the live
page plays in the page ("Play in the page") and is moved to every 5 s of the
show from 5 to 80 s, forward, then back from 75 to 0, ROUNDS times (3 unless
given), running, not paused. A move counts as done at the first present
whose show time lies from the target to 300 ms past it, and is timed from
the request to the page's performance.now() just after that present. Prints,
per engine and direction, min / median / max in ms and the worst target;
the goal is 300 ms at the worst.
"""
import os
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from web_browser import ENGINES, engine_missing, open_browser, serve, site_files  # noqa: E402

GOAL_MS = 300
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


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    site = argv[1]
    rounds = int(argv[2]) if len(argv) > 2 else 3
    engines = argv[3:] or ["chromium"]
    if "vup.js" not in site_files(site) or any(e not in ENGINES for e in engines):
        print(__doc__)
        return 2
    server, url = serve(site)
    worst = 0.0
    try:
        for engine in engines:
            if engine_missing(engine):
                print(f"{engine}: {engine_missing(engine)}")
                continue
            found = measure(engine, url, rounds)
            for direction, moves in found.items():
                times = [ms for _, ms in moves]
                slowest = max(moves, key=lambda move: move[1])
                worst = max(worst, slowest[1])
                print(f"seek {engine} {direction}: {len(times)} moves, min / median / max "
                      f"{spread(times)} ms, the worst to {slowest[0]} s")
    finally:
        server.shutdown()
    print(f"seek worst: {worst:.0f} ms (goal {GOAL_MS} ms)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
