#!/usr/bin/python3
"""The web build's stills against the recorder's.

Usage: web_stills_test.py [--engine chromium|firefox|webkit] SITE_DIR RECORDER OUT_DIR
                          [SECONDS ...]

Serves SITE_DIR over HTTP, opens index.html?still=S in the engine (Chromium
by default; web_browser.py), takes a screenshot of the 800 x 600 canvas as
the browser shows it once the page says the still is on screen, and
compares it with `RECORDER --frame S`: the mean absolute difference must be
at most 1 level in each channel, and at most 0.5 % of the pixels may differ
by more than 24 levels in some channel. The pictures and an amplified
difference go to OUT_DIR/ENGINE.

Then the live page moved about, against the same bounds: opened at
index.html?t=38, its first frame must be of 38 to 38.5 s; paused by Space,
moved 5 s on by the right arrow key, and moved by a click on the position
bar's track at 60 s of its length, each paused frame is compared with
`RECORDER --frame` at the show time the page reports for it; the bar's
"Copy a link to this moment" must give the page's address with ?t= that
time in seconds (to the tenth below), and the bar's play button must set
the show going on from there. Exits 77 (skipped) when the site, the
recorder or the engine is missing, unless CI is set; then that is a failure.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import numpy
from web_browser import (ENGINES, HEIGHT, WIDTH, engine_missing, missing, open_browser,
                         rgb_pixels, serve)

MAX_MEAN_DIFFERENCE = 1.0
OFF_LEVELS = 24
MAX_OFF_PERCENT = 0.5
DEFAULT_SECONDS = ["5", "20", "40", "60", "72", "80"]


def write_difference(web, native, png_path):
    # Eight times the difference, so that a level or two shows.
    amplified = numpy.clip(numpy.abs(web - native) * 8, 0, 255).astype(numpy.uint8)
    header = f"P6 {WIDTH} {HEIGHT} 255\n".encode()
    subprocess.run(["convert", "ppm:-", png_path], input=header + amplified.tobytes(), check=True)


def spread(values, form):
    return " / ".join(format(v, form) for v in
                      (min(values), statistics.median(values), max(values)))


def compare(web, native_png, out_dir, name):
    """Mean |difference| per channel and the % of pixels off by more than
    OFF_LEVELS, with an amplified difference written beside the pictures."""
    native = rgb_pixels(native_png)
    difference = numpy.abs(web - native)
    write_difference(web, native, os.path.join(out_dir, f"difference_{name}.png"))
    return difference.reshape(-1, 3).mean(axis=0), 100.0 * (difference.max(axis=2) >
                                                            OFF_LEVELS).mean()


MOVED_FROM_S = 38
BAR_AT_S = 60
FIRST_FRAME_REACH_MS = 500


def paused_frame(browser, recorder, out_dir, name):
    """Once the paused show has presented the frame of where it stands: that
    frame against the recorder's at the same time. (ok, line)"""
    show_ms = browser.wait("(function (at) { return Module._WebShowPaused() && at === "
                           "VupDisplay.stats.showMs && at; })(Module._WebShowPosition())", 10,
                           f"the paused frame ({name})")
    presents = browser.js("VupDisplay.stats.presents")
    browser.wait(f"VupDisplay.stats.presents > {presents + 1}", 10, "two more frames")
    native_png = os.path.join(out_dir, f"native_{name}.png")
    subprocess.run([recorder, "--frame", f"{show_ms / 1000:.3f}", native_png], check=True)
    means, off = compare(browser.canvas_pixels(), native_png, out_dir, name)
    ok = means.max() <= MAX_MEAN_DIFFERENCE and off <= MAX_OFF_PERCENT
    return ok, show_ms, (f"{name}, paused at {show_ms} ms: mean |difference| R {means[0]:.3f} "
                         f"G {means[1]:.3f} B {means[2]:.3f}, {off:.3f} % off")


def moved_show(browser, base_url, recorder, out_dir, results):
    """The live page started at ?t=, paused, moved by key and by the bar:
    each check's (ok, line) appended to results."""
    browser.open(f"{base_url}/index.html?t={MOVED_FROM_S}")
    browser.wait("document.body.dataset.state === 'ready'", 120, "the start control")
    browser.click("play-page")
    first_ms = browser.wait("VupPage.stats.firstShowMs", 30, "the first frame")
    results.append((MOVED_FROM_S * 1000 <= first_ms < MOVED_FROM_S * 1000 + FIRST_FRAME_REACH_MS,
                    f"?t={MOVED_FROM_S}: the first frame at {first_ms} ms"))
    browser.hold("Space")
    browser.wait("Module._WebShowPaused()", 10, "the pause")
    paused_ms = browser.js("Module._WebShowPosition()")
    browser.hold("Right")
    browser.wait(f"Module._WebShowPosition() !== {paused_ms}", 10, "the move")
    ok, key_ms, line = paused_frame(browser, recorder, out_dir, "key")
    results.append((ok and key_ms == paused_ms + 5000, f"Space, then the right arrow from "
                    f"{paused_ms} ms: {line}"))
    left, top, width, height = browser.element_box("bar-seek")
    browser.click_at(left + width * BAR_AT_S / 85, top + height / 2)
    browser.wait(f"Module._WebShowPosition() !== {key_ms}", 10, "the move by the bar")
    ok, bar_ms, line = paused_frame(browser, recorder, out_dir, "bar")
    results.append((ok and abs(bar_ms - BAR_AT_S * 1000) < 2 * 85000 / width,
                    f"the bar clicked at {BAR_AT_S} s of its length: {line}"))
    browser.screenshot(os.path.join(out_dir, "moved-bar.png"))
    browser.click("bar-link")
    link = browser.wait("VupPage.link", 10, "the link")
    tenths = bar_ms // 100
    seconds = str(tenths // 10) if tenths % 10 == 0 else f"{tenths // 10}.{tenths % 10}"
    expected = f"{base_url}/index.html?t={seconds}"
    results.append((link == expected, f"the link to the moment: {link} ({expected} expected)"))
    browser.click("bar-pause")
    time.sleep(1)
    going = browser.js("[Module._WebShowPaused(), VupDisplay.stats.showMs]")
    results.append((going[0] == 0 and bar_ms + 500 <= going[1] <= bar_ms + 2000,
                    f"the bar's play button: the show goes on, at {going[1]} ms 1 s later"))


def web_still(browser, base_url, seconds, png_path):
    browser.open(f"{base_url}/index.html?still={seconds}")
    browser.wait("document.body.dataset.ready || document.body.dataset.error", 120,
                 f"the still at {seconds} s")
    error = browser.js("document.body.dataset.error")
    if error:
        raise RuntimeError(f"the page reports: {error}")
    box = browser.element_box("canvas") + browser.js("[innerWidth, innerHeight]")
    if box != [0, 0, WIDTH, HEIGHT, WIDTH, HEIGHT]:
        raise RuntimeError(f"canvas at {box[:2]} sized {box[2:4]} in a viewport of {box[4:]}")
    browser.element_png("canvas", png_path)
    return int(browser.js("document.body.dataset.draws"))


def main(argv):
    engine = "chromium"
    if len(argv) > 2 and argv[1] == "--engine" and argv[2] in ENGINES:
        engine, argv = argv[2], argv[:1] + argv[3:]
    if len(argv) < 4:
        print(__doc__)
        return 2
    site, recorder, out_dir = argv[1:4]
    times = argv[4:] or DEFAULT_SECONDS
    if not os.path.isfile(os.path.join(site, "index.html")):
        return missing(f"no web site in {site} (scripts/build-web.sh builds it)")
    if not os.access(recorder, os.X_OK):
        return missing(f"no recorder at {recorder}")
    if engine_missing(engine):
        return missing(engine_missing(engine))
    out_dir = os.path.join(out_dir, engine)
    os.makedirs(out_dir, exist_ok=True)

    server, base_url = serve(site)
    failures = 0
    worst_means, off_percents = [], []
    with tempfile.TemporaryDirectory() as profile:
        browser = open_browser(engine, profile)
        try:
            for seconds in times:
                web_png = os.path.join(out_dir, f"web_{seconds}s.png")
                native_png = os.path.join(out_dir, f"native_{seconds}s.png")
                draws = web_still(browser, base_url, seconds, web_png)
                subprocess.run([recorder, "--frame", seconds, native_png], check=True)
                means, off = compare(rgb_pixels(web_png), native_png, out_dir, f"{seconds}s")
                ok = means.max() <= MAX_MEAN_DIFFERENCE and off <= MAX_OFF_PERCENT
                worst_means.append(means.max())
                off_percents.append(off)
                failures += 0 if ok else 1
                print(f"{'ok  ' if ok else 'FAIL'} {seconds:>3} s: mean |difference| "
                      f"R {means[0]:.3f} G {means[1]:.3f} B {means[2]:.3f}, "
                      f"{off:.3f} % of pixels off by more than {OFF_LEVELS}, "
                      f"{draws} WebGL draws in the frame")
            moved = []
            try:
                moved_show(browser, base_url, recorder, out_dir, moved)
            except RuntimeError as error:  # a timeout
                moved.append((False, f"the moved show: {error}"))
            for ok, line in moved:
                failures += 0 if ok else 1
                print(f"{'ok  ' if ok else 'FAIL'} {line}")
        finally:
            browser.quit()
            server.shutdown()
    print(f"{engine}, over the stills (min / median / max): largest channel mean "
          f"{spread(worst_means, '.3f')}, pixels off by more than {OFF_LEVELS} "
          f"{spread(off_percents, '.3f')} %")
    print(f"pictures in {out_dir}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
