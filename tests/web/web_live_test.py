#!/usr/bin/python3
"""The live page in headless Chromium, in real time, as a viewer uses it.

Usage: web_live_test.py SITE_DIR OUT_DIR

1. The start control over the title picture; "Play" goes fullscreen, and the
   scenes come on schedule: at sampled show times the canvas shows each
   scene's distinguishing features. The tune plays, audibly, in step with the
   show's clock from its time 0; the show ends by itself after 85 s, leaving
   fullscreen, stopping the tune and offering "Play again".
2. "Play again in the page": a fresh show from 0, windowed; F1 goes
   fullscreen titled "Plomvixtorandebu" with the tune started again, F1 back,
   Escape ends it.
3. A start without a click, which the browser refuses fullscreen: the "Kavu
   GL" question, answered Yes by Return (the show plays windowed) and No by
   Escape ("Program Will Now Close.").
4. Sites whose data lack Data/Main.bmp or hold a truncated Data/Greetz.bmp
   (packed here with emscripten's file packager, served with the site's
   program): the loader's message, if any, then "Initialization Failed.".
Throughout: no console error, and the heap in use the same after every show.
Screenshots go to OUT_DIR. Exits 77 (skipped) when the site is missing,
unless CI is set; then that is a failure.
"""
import base64
import os
import shutil
import subprocess
import sys
import tempfile
import time

import numpy
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from web_browser import chromium, missing, rgb_pixels, serve

FILE_PACKAGER = "/usr/share/emscripten/tools/file_packager.py"
QUESTION = ("The Requested Fullscreen Mode Is Not Supported By\n"
            "Your Video Card. Use Windowed Mode Instead?")
failures = []


def check(ok, what):
    print(f"{'ok  ' if ok else 'FAIL'} {what}")
    if not ok:
        failures.append(what)
    return ok


def page(driver, script):
    return driver.execute_script("return " + script)


def wait_for(driver, script, seconds, what):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = page(driver, script)
        if value:
            return value
        time.sleep(0.05)
    raise RuntimeError(f"timed out waiting for {what}")


def hold(driver, key):
    # The show reads keys held down on its drawing turns, as on the desktop:
    # a press is held for a moment, as a finger would.
    ActionChains(driver).key_down(key).pause(0.25).key_up(key).perform()


def dialog(driver):
    """(caption, text, buttons) of the open dialog, or None."""
    return page(driver, """document.getElementById('dialog').hidden ? null :
        [document.getElementById('dialog-caption').textContent,
         document.getElementById('dialog-text').textContent,
         Array.from(document.querySelectorAll('#dialog-buttons button'), b => b.textContent)]""")


def gray(rgb):
    return (0.299 * rgb[..., 0] + 0.587 * rgb[..., 1] + 0.114 * rgb[..., 2]) / 255.0


def crop(rgb, box):  # box: (left, top, width, height)
    left, top, width, height = box
    return rgb[top:top + height, left:left + width]


def brightness(rgb, box=(0, 0, 800, 600)):
    return gray(crop(rgb, box)).mean()


def chroma(rgb, box=(0, 0, 800, 600)):
    part = crop(rgb, box)
    return ((part.max(axis=2) - part.min(axis=2)) / 255.0).mean()


def lit_share(rgb, percent, box=(0, 0, 800, 600)):
    return (gray(crop(rgb, box)) > percent / 100.0).mean()


def lit_box(rgb, percent):
    rows, columns = numpy.nonzero(gray(rgb) > percent / 100.0)
    if rows.size == 0:
        return (0, 0, 0, 0)
    return (columns.min(), rows.min(), columns.max() + 1, rows.max() + 1)


# Each scene by what sets it apart (the same features the desktop's
# end-to-end test looks for on the screen).
def title_picture(rgb):
    left, top, right, bottom = lit_box(rgb, 4)
    return (135 < left < 160 and 70 < top < 96 and right > 795 and bottom > 595 and
            chroma(rgb, (300, 150, 400, 400)) > 0.1)


def flight(rgb):
    return chroma(rgb) < 0.01 and lit_share(rgb, 6) > 0.002 and lit_share(rgb, 50) < 0.001


def polyhedron(rgb):
    return (lit_share(rgb, 70, (372, 150, 300, 300)) > 0.02 and
            chroma(rgb, (175, 400, 180, 180)) > 0.12 and brightness(rgb, (0, 0, 300, 340)) < 0.02)


def lattice(rgb):
    return (brightness(rgb, (75, 100, 12, 400)) > 0.85 and
            chroma(rgb, (110, 110, 180, 380)) > 0.08 and
            lit_share(rgb, 50, (420, 50, 330, 500)) > 0.01 and
            chroma(rgb, (420, 50, 330, 500)) < 0.02)


def end_picture(rgb):
    left, top, right, bottom = lit_box(rgb, 4)
    width, height = right - left, bottom - top
    return (480 < width < 535 and abs(width - height) < 7 and
            abs(left - (800 - right)) < 7 and abs(top - (600 - bottom)) < 7)


SCHEDULE = [(5.0, "title picture", title_picture), (20.0, "flight", flight),
            (40.0, "polyhedron", polyhedron), (60.0, "lattice", lattice),
            (72.3, "title picture again", title_picture), (80.5, "end picture", end_picture)]


def canvas_at(driver, show_seconds):
    """The canvas once the show has presented a frame at show_seconds or
    later: (pixels, that frame's show time in seconds)."""
    wait_for(driver, f"VupDisplay.stats.showMs >= {show_seconds * 1000}", 120,
             f"show time {show_seconds} s")
    url, show_ms = page(driver, "[document.getElementById('canvas').toDataURL('image/png'),"
                                " VupDisplay.stats.showMs]")
    return rgb_pixels(base64.b64decode(url.split(",", 1)[1])), show_ms / 1000.0


def click_play(driver, button):
    wait_for(driver, "['ready', 'ended'].includes(document.body.dataset.state)", 120,
             "the start control")
    driver.find_element(By.ID, button).click()
    wait_for(driver, "VupDisplay.stats.showMs > 0 || !document.getElementById('dialog').hidden",
             30, "the show's first frame")


def ended(driver):
    wait_for(driver, "document.body.dataset.state === 'ended'", 30, "the end of the show")
    return page(driver, "[document.title, !!document.fullscreenElement, VupAudio.report().playing,"
                        " !document.getElementById('control').hidden, Module._WebHeapInUse()]")


def whole_show(driver, out_dir, heaps):
    wait_for(driver, "document.body.dataset.state === 'ready'", 120, "the start control")
    driver.save_screenshot(os.path.join(out_dir, "start.png"))
    check(page(driver, "[document.title, document.getElementById('play').textContent,"
                       " document.getElementById('play-page').textContent]") ==
          ["Vup", "Play", "Play in the page"], "start control over the title picture")
    click_play(driver, "play")
    check(page(driver, "document.fullscreenElement === document.getElementById('stage')"),
          "Play goes fullscreen")
    for seconds, name, looks_right in SCHEDULE:
        pixels, shown = canvas_at(driver, seconds)
        check(shown - seconds < 1.5 and looks_right(pixels),
              f"{name} at {shown:.3f} s of show time")
        if seconds == 20.0:
            driver.save_screenshot(os.path.join(out_dir, "playing.png"))
            audio = page(driver, "[VupAudio.report(), (performance.now() - VupPage.stats.playAt)"
                                 " / 1000, VupAudio.level()]")
            report, show_clock, level = audio
            check(report["state"] == "running" and report["playing"] and
                  abs(report["position"] - show_clock) < 0.15 and level > 0.001,
                  f"the tune at {report['position']:.3f} s at show time {show_clock:.3f} s, "
                  f"level {level:.4f}")
    started = page(driver, "VupPage.stats.playAt")
    title, fullscreen, playing, control, heap = ended(driver)
    run_ms = page(driver, "performance.now()") - started
    check(run_ms >= 85000 and page(driver, "VupDisplay.stats.showMs") <= 85000,
          f"the show ended by itself {run_ms:.0f} ms after the click")
    check(title == "Vup" and not fullscreen and not playing and control,
          "after the end: fullscreen left, tune stopped, Play again offered")
    driver.save_screenshot(os.path.join(out_dir, "ended.png"))
    heaps.append(heap)


def toggled_show(driver, out_dir, heaps):
    click_play(driver, "play-page")
    state = page(driver, "[VupDisplay.stats.showMs, !!document.fullscreenElement, document.title]")
    check(state[0] < 3000 and not state[1] and state[2] == "Vup",
          f"Play again in the page: windowed, from show time {state[0]} ms")
    first_start = page(driver, "VupAudio.report().startedAt")
    hold(driver, Keys.F1)
    wait_for(driver, "document.title === 'Plomvixtorandebu' && !!document.fullscreenElement",
             10, "F1 into fullscreen")
    presents = page(driver, "VupDisplay.stats.presents")
    time.sleep(1)
    report = page(driver, "VupAudio.report()")
    check(page(driver, "VupDisplay.stats.presents") > presents and report["playing"] and
          report["startedAt"] > first_start and report["offset"] == 0,
          "F1: fullscreen, drawing on, the tune started again from its beginning")
    driver.save_screenshot(os.path.join(out_dir, "f1.png"))
    hold(driver, Keys.F1)
    wait_for(driver, "!document.fullscreenElement", 10, "F1 out of fullscreen")
    check(page(driver, "document.title") == "Plomvixtorandebu", "F1 back into the page")
    hold(driver, Keys.ESCAPE)
    title, fullscreen, playing, control, heap = ended(driver)
    check(not playing and control, "Escape ends the show and stops the tune")
    heaps.append(heap)


def refused_fullscreen(driver, out_dir, heaps):
    # Started from a script, not a click, once the last key press no longer
    # counts as one: the browser refuses fullscreen.
    for key, answer in ((Keys.ESCAPE, "No"), (Keys.RETURN, "Yes")):
        wait_for(driver, "!navigator.userActivation.isActive", 30, "the last key press to lapse")
        driver.execute_cdp_cmd("Runtime.evaluate", {
            "expression": "VupPage.play({timeStamp: performance.now()}, true)",
            "userGesture": False})
        wait_for(driver, "!document.getElementById('dialog').hidden", 30, "the question")
        box = dialog(driver)
        check(box == ["Kavu GL", QUESTION, ["Yes", "No"]], f"the fallback question: {box}")
        if answer == "Yes":
            driver.save_screenshot(os.path.join(out_dir, "question.png"))
        hold(driver, key)
        if answer == "Yes":
            wait_for(driver, "VupDisplay.stats.showMs > 500", 30, "the windowed show")
            check(not page(driver, "!!document.fullscreenElement"), "Yes: the show plays windowed")
            hold(driver, Keys.ESCAPE)
        else:
            wait_for(driver, "!document.getElementById('dialog').hidden", 10, "the closing box")
            box = dialog(driver)
            check(box == ["ERROR", "Program Will Now Close.", ["OK"]], f"No: {box}")
            hold(driver, Keys.RETURN)
        heaps.append(ended(driver)[4])


def broken_data(driver, site, out_dir, name, breakage, expected):
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, "data_dir")
        shutil.copytree(os.path.join(ROOT, "Data"), os.path.join(data, "Data"))
        shutil.copytree(os.path.join(ROOT, "data"), os.path.join(data, "data"))
        breakage(os.path.join(data, "Data"))
        package = os.path.join(work, "package")
        os.mkdir(package)
        subprocess.run(["python3", FILE_PACKAGER, os.path.join(package, "vup.data"), "--preload",
                        f"{data}/Data@/Data", f"{data}/data@/data",
                        f"--js-output={os.path.join(package, 'vup-data.js')}", "--no-node"],
                       check=True, capture_output=True)
        server, url = serve(site, overlay=package)
        try:
            driver.get(url + "/index.html")
            click_play(driver, "play")
            boxes = []
            while len(boxes) < len(expected):
                wait_for(driver, "!document.getElementById('dialog').hidden", 30, "a message box")
                boxes.append(dialog(driver))
                if len(boxes) == len(expected):
                    driver.save_screenshot(os.path.join(out_dir, f"{name}.png"))
                hold(driver, Keys.RETURN)
                time.sleep(0.3)
            ended(driver)
            check(boxes == expected and not page(driver, "document.body.dataset.error"),
                  f"{name}: {boxes}")
        finally:
            server.shutdown()


def truncate_greetz(data):
    with open(os.path.join(data, "Greetz.bmp"), "r+b") as picture:
        picture.truncate(1000)


ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
INIT_FAILED = ["ERROR", "Initialization Failed.", ["OK"]]


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    site, out_dir = argv[1:3]
    if not os.path.isfile(os.path.join(site, "vup.js")):
        return missing(f"no web site in {site} (scripts/build-web.sh builds it)")
    if not os.path.isfile(FILE_PACKAGER):
        return missing(f"no emscripten file packager at {FILE_PACKAGER}")
    os.makedirs(out_dir, exist_ok=True)
    server, url = serve(site)
    heaps = []
    with tempfile.TemporaryDirectory() as profile:
        driver = chromium(profile, ["--autoplay-policy=no-user-gesture-required"])
        try:
            driver.get(url + "/index.html")
            whole_show(driver, out_dir, heaps)
            toggled_show(driver, out_dir, heaps)
            refused_fullscreen(driver, out_dir, heaps)
            check(max(heaps) == min(heaps), f"heap in use after each show: {heaps} bytes")
            broken_data(driver, site, out_dir, "no-main-bmp",
                        lambda data: os.remove(os.path.join(data, "Main.bmp")), [INIT_FAILED])
            broken_data(driver, site, out_dir, "truncated-greetz", truncate_greetz,
                        [["Error", "Image file conversion error.", ["OK"]], INIT_FAILED])
            errors = [entry["message"] for entry in driver.get_log("browser")
                      if entry["level"] == "SEVERE"]
            check(not errors, f"no console errors {errors}")
        except Exception as error:  # a timeout: report it like any failure
            check(False, f"{type(error).__name__}: {error}")
        finally:
            driver.quit()
            server.shutdown()
    print(f"screenshots in {out_dir}")
    print(f"{len(failures)} failed" if failures else "PASS")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
