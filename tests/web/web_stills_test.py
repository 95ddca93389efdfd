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
difference go to OUT_DIR/ENGINE. Exits 77 (skipped) when the site, the
recorder or the engine is missing, unless CI is set; then that is a failure.
"""
import os
import statistics
import subprocess
import sys
import tempfile

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
                web, native = rgb_pixels(web_png), rgb_pixels(native_png)
                difference = numpy.abs(web - native)
                means = difference.reshape(-1, 3).mean(axis=0)
                off = 100.0 * (difference.max(axis=2) > OFF_LEVELS).mean()
                write_difference(web, native, os.path.join(out_dir, f"difference_{seconds}s.png"))
                ok = means.max() <= MAX_MEAN_DIFFERENCE and off <= MAX_OFF_PERCENT
                worst_means.append(means.max())
                off_percents.append(off)
                failures += 0 if ok else 1
                print(f"{'ok  ' if ok else 'FAIL'} {seconds:>3} s: mean |difference| "
                      f"R {means[0]:.3f} G {means[1]:.3f} B {means[2]:.3f}, "
                      f"{off:.3f} % of pixels off by more than {OFF_LEVELS}, "
                      f"{draws} WebGL draws in the frame")
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
