#!/usr/bin/python3
"""The web build's stills against the recorder's.

Usage: web_stills_test.py SITE_DIR RECORDER OUT_DIR [SECONDS ...]

Serves SITE_DIR over HTTP, opens index.html?still=S in headless Chromium
(through chromedriver), takes a screenshot of the 800 x 600 canvas and
compares it with `RECORDER --frame S`: the mean absolute difference must be
at most 1 level in each channel, and at most 0.5 % of the pixels may differ
by more than 24 levels in some channel. The pictures and an amplified
difference go to OUT_DIR. Exits 77 (skipped) when the site or the recorder
has not been built, unless CI is set; then that is a failure.
"""
import os
import statistics
import subprocess
import sys
import tempfile

import numpy
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

from web_browser import HEIGHT, WIDTH, chromium, missing, rgb_pixels, serve

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


def web_still(driver, base_url, seconds, png_path):
    driver.get(f"{base_url}/index.html?still={seconds}")
    body = driver.find_element(By.TAG_NAME, "body")
    WebDriverWait(driver, 120).until(
        lambda d: body.get_attribute("data-ready") or body.get_attribute("data-error"))
    error = body.get_attribute("data-error")
    if error:
        raise RuntimeError(f"the page reports: {error}")
    canvas = driver.find_element(By.ID, "canvas")
    if canvas.location != {"x": 0, "y": 0} or canvas.size != {"width": WIDTH, "height": HEIGHT}:
        raise RuntimeError(f"canvas at {canvas.location} sized {canvas.size}")
    canvas.screenshot(png_path)
    return int(body.get_attribute("data-draws"))


def main(argv):
    if len(argv) < 4:
        print(__doc__)
        return 2
    site, recorder, out_dir = argv[1:4]
    times = argv[4:] or DEFAULT_SECONDS
    if not os.path.isfile(os.path.join(site, "index.html")):
        return missing(f"no web site in {site} (scripts/build-web.sh builds it)")
    if not os.access(recorder, os.X_OK):
        return missing(f"no recorder at {recorder}")
    os.makedirs(out_dir, exist_ok=True)

    server, base_url = serve(site)
    failures = 0
    worst_means, off_percents = [], []
    with tempfile.TemporaryDirectory() as profile:
        driver = chromium(profile)
        try:
            for seconds in times:
                web_png = os.path.join(out_dir, f"web_{seconds}s.png")
                native_png = os.path.join(out_dir, f"native_{seconds}s.png")
                draws = web_still(driver, base_url, seconds, web_png)
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
            driver.quit()
            server.shutdown()
    print(f"over the stills (min / median / max): largest channel mean "
          f"{spread(worst_means, '.3f')}, pixels off by more than {OFF_LEVELS} "
          f"{spread(off_percents, '.3f')} %")
    print(f"pictures in {out_dir}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
