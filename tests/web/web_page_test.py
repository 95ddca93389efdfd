#!/usr/bin/python3
"""The page around the show, in Chromium: loading, a shared link, a phone, a
slow link.

Usage: web_page_test.py SITE_DIR RECORDER OUT_DIR

1. Loading: with the title picture, then the tune, missing on the server, the page
   names the file and offers "Try again", which loads the page once the
   file is back; the progress it showed counted every byte of both.
2. A shared link: title, description and preview picture (Open Graph and
   Twitter card) that the server has, the icon, a <noscript> line.
3. A phone (390 x 844 CSS pixels at device scale 3, touch), upright and on
   its side: the page fits without scrolling and the line under the canvas
   names the touch controls; a tap starts the show in the page; a tap on
   the show brings the controls and the position bar; upright, the bar's
   pause and a tap on its track at 40 s leave the frame of that time as
   the recorder draws it, axe-core finds nothing wrong with the bar shown,
   and the cross ends the show; the switch
   goes fullscreen, and leaving fullscreen through the browser ends it, as
   the browser's own Escape does. Then as an iPhone, whose browsers have no
   fullscreen for a page element: the line offers no switch, and Play asks
   the desktop's question, whose box fits the screen; Yes plays the show in
   the page.
4. A phone on the slow link (web_browser.NETWORKS) from a host that caches
   as docs/web.md asks: the start control after at most 450 kB, Play tapped
   the moment it shows, the first frame within 0.5 s, and the title, the
   polyhedron's and the lattice's pictures at their scenes' moments in the
   schedule as the recorder draws them; Escape, pressed and let go between
   two frames, ends the show; a second visit fetches nothing but the page.
5. Accessibility: axe-core (tests/web/package.json; npm ci --prefix
   tests/web) finds nothing wrong, every text's contrast decided, with the
   start control shown and with a failed load's message and Try again: in
   Chromium, on the desktop and on the phone, and in Firefox and WebKit.
Screenshots go to OUT_DIR. Exits 77 (skipped) when the site, Chromium,
Firefox, WebKit or axe-core is missing, unless CI is set; then that is a
failure.
"""
import json
import os
import subprocess
import sys
import tempfile
import time

import numpy
from web_browser import (PHONE, check, engine_missing, missing, open_browser, rgb_pixels, serve,
                         site_files, skip, verdict)
from web_live_test import canvas_at
from web_stills_test import paused_frame

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import show_schedule  # noqa: E402


# axe-core as `npm ci --prefix tests/web` installs it (package-lock.json).
AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "node_modules", "axe-core",
                   "axe.min.js")
# Every rule axe-core runs by default that the page breaks, and every text
# whose contrast it could not decide (text over a picture), as "rule at
# element, ...".
AXE_FINDINGS = """axe.run(document).then(function (results) {
    return results.violations.concat(results.incomplete.filter(function (rule) {
        return rule.id === 'color-contrast';
    }).map(function (rule) {
        return {id: 'color-contrast undecided', nodes: rule.nodes};
    })).map(function (rule) {
        return rule.id + ' at ' + rule.nodes.map(function (node) {
            return node.target.join(' ');
        }).join(', ');
    });
})"""


def accessible(browser, what):
    """axe-core's verdict on the page as it stands (none without axe-core:
    main says so)."""
    if not os.path.isfile(AXE):
        return None
    with open(AXE, encoding="utf-8") as source:
        browser.js("void document.head.appendChild(Object.assign(document.createElement("
                   f"'script'), {{textContent: {json.dumps(source.read())}}}))")
    found = browser.js(AXE_FINDINGS)
    return check(not found, f"{browser.engine}, {what}: axe-core finds "
                 f"{'; '.join(found) or 'nothing wrong'}")


def focus_ring(browser, out_dir):
    """Tab from Play to Play in the page rings it: the band 2 to 5 px
    around the button, against the same band with nothing focused."""
    browser.js("document.activeElement.blur()")
    browser.screenshot(os.path.join(out_dir, "focus-none.png"))
    browser.hold("Tab")
    focused = browser.js("document.activeElement.id")
    browser.screenshot(os.path.join(out_dir, "focus-play-page.png"))
    left, top, width, height = (round(v) for v in browser.element_box("play-page"))
    change = numpy.abs(rgb_pixels(os.path.join(out_dir, "focus-play-page.png")) -
                       rgb_pixels(os.path.join(out_dir, "focus-none.png")))
    outer = change[top - 5:top + height + 5, left - 5:left + width + 5].sum(2)
    inner = change[top - 2:top + height + 2, left - 2:left + width + 2].sum(2)
    band = (outer.sum() - inner.sum()) / (outer.size - inner.size) / 3
    check(focused == "play-page" and band >= 100, f"Tab focuses {focused}, its ring "
          f"{band:.0f} levels from the page")


def failed_load(browser, url, absent, file):
    absent.add(file)
    browser.open(url + "/index.html")
    message = browser.wait("document.body.dataset.state === 'failed' && document.getElementById("
                           "'loading').textContent.replace(/\\s+/g, ' ').trim()", 30,
                           f"the page to report {file}")
    accessible(browser, f"{file} missing")
    absent.clear()
    browser.click("try-again")
    browser.wait("document.body.dataset.state === 'ready'", 60, "the page after Try again")
    check(file in message and "Try again" in message, f"{file} missing: “{message}”, and Try "
          "again loads the page once it is back")


def shared_link(browser, site):
    head = browser.js("""Object.fromEntries(Array.from(document.querySelectorAll(
        'meta[property^="og:"], meta[name^="twitter:"], meta[name=description], link[rel=icon]'),
        m => [m.getAttribute('property') || m.getAttribute('name') || 'icon',
              m.getAttribute('content') || m.getAttribute('href')]))""")
    served = browser.js(f"""Promise.all(['{head.get("og:image")}', '{head.get("icon")}'].map(
        u => fetch(u).then(r => r.ok && r.headers.get('Content-Type'))))""")
    noscript = browser.js("document.querySelector('noscript').textContent")
    check(head.get("og:title") == "Vup" and head.get("twitter:card") == "summary_large_image" and
          len(head.get("description", "")) > 40 and
          head.get("og:image") == head.get("twitter:image") and
          served == ["image/jpeg", "image/png"] and "JavaScript" in noscript,
          f"a shared link: {head}, preview and icon served as {served}")


def tap(browser, element_id):
    left, top, width, height = browser.element_box(element_id)
    browser.tap(left + width / 2, top + height / 2)


NO_ELEMENT_FULLSCREEN = """delete Element.prototype.requestFullscreen;
    Object.defineProperty(Document.prototype, 'fullscreenEnabled', {get: () => false});"""


def iphone(browser, url, out_dir):
    browser.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                   {"source": NO_ELEMENT_FULLSCREEN})
    browser.open(url + "/index.html")
    browser.wait("document.body.dataset.state === 'ready'", 60, "the start control")
    keys = browser.js("document.getElementById('keys').textContent")
    tap(browser, "play")
    browser.wait("!document.getElementById('dialog').hidden", 10, "the question")
    box = browser.js("""(function (r) { return [r.left >= 0 && r.right <= innerWidth &&
        r.top >= 0 && r.bottom <= innerHeight, document.getElementById('dialog-caption')
        .textContent]; })(document.querySelector('#dialog .box').getBoundingClientRect())""")
    browser.screenshot(os.path.join(out_dir, "iphone-question.png"))
    tap(browser, "dialog-yes")
    browser.wait("VupDisplay.stats.showMs > 500", 10, "the show in the page")
    windowed = browser.js("!document.fullscreenElement && document.title === 'Vup'")
    browser.screenshot(os.path.join(out_dir, "iphone-show.png"))
    check(keys.startswith("Tap the show") and "\u2922" not in keys and box == [True, "Kavu GL"] and
          windowed,
          f"an iPhone: the line says “{keys}”; Play asks the question ({box}), Yes plays the "
          "show in the page")


PHONE_BAR_AT_S = 40


def phone_bar(browser, recorder, out_dir):
    """The bar a tap brought: its pause, then a tap on its track."""
    tap(browser, "bar-pause")
    browser.wait("Module._WebShowPaused()", 10, "the pause")
    left, top, width, height = browser.element_box("bar-seek")
    browser.tap(left + width * PHONE_BAR_AT_S / 85, top + height / 2)
    ok, show_ms, line = paused_frame(browser, recorder, out_dir, "phone-bar")
    browser.screenshot(os.path.join(out_dir, "phone-bar.png"))
    check(ok and abs(show_ms - PHONE_BAR_AT_S * 1000) < 2 * 85000 / width,
          f"a phone: the bar's pause, and a tap on its track at {PHONE_BAR_AT_S} s: {line}")


def phone(site, recorder, out_dir):
    server, url = serve(site)
    for name, size in (("upright", (390, 844, 3)), ("on its side", (844, 390, 3))):
        with tempfile.TemporaryDirectory() as profile:
            browser = open_browser("chromium", profile, mobile=size)
            try:
                browser.open(url + "/index.html")
                browser.wait("document.body.dataset.state === 'ready'", 60, "the start control")
                browser.screenshot(os.path.join(out_dir, f"phone-{size[0]}x{size[1]}.png"))
                accessible(browser, f"the start control on a phone {name}")
                fits = browser.js("""(function (page, stage) {
                    var box = stage.getBoundingClientRect();
                    return page.scrollHeight <= innerHeight && page.scrollWidth <= innerWidth &&
                           box.bottom <= innerHeight && box.right <= innerWidth; })(
                    document.scrollingElement, document.getElementById('stage'))""")
                keys = browser.js("document.getElementById('keys').textContent")
                check(fits and keys.startswith("Tap the show"),
                      f"a phone {name}: the page fits, the line says “{keys}”")
                tap(browser, "play-page")
                browser.wait("VupDisplay.stats.showMs > 1000", 30, "the show")
                tap(browser, "canvas")
                shown = browser.js("['touch', 'bar'].every(id => document.getElementById(id)"
                                   ".classList.contains('shown'))")
                browser.screenshot(os.path.join(out_dir, f"phone-{size[0]}x{size[1]}-show.png"))
                if name == "upright":
                    phone_bar(browser, recorder, out_dir)
                    # Both shown again, past their fading in.
                    tap(browser, "canvas")
                    time.sleep(0.8)
                    accessible(browser, "the position bar and the touch controls on a phone")
                    tap(browser, "touch-end")
                    browser.wait("document.body.dataset.state === 'ended'", 10, "the end")
                    check(shown, "a tap shows the controls, the cross ends the show")
                    iphone(browser, url, out_dir)
                else:
                    tap(browser, "touch-switch")
                    browser.wait("document.title === 'Plomvixtorandebu' &&"
                                 " !!document.fullscreenElement", 10, "fullscreen")
                    browser.js("document.exitFullscreen()")
                    browser.wait("document.body.dataset.state === 'ended'", 10, "the end")
                    check(shown, "the switch goes fullscreen; leaving it through the "
                          "browser ends the show")
            finally:
                browser.quit()
    server.shutdown()


def other_engines(site, out_dir):
    """Firefox and WebKit: axe-core on the start control and on a failed
    load."""
    absent = set()
    server, url = serve(site, missing=absent)
    try:
        for engine in ("firefox", "webkit"):
            if engine_missing(engine):
                skip(engine_missing(engine))
                continue
            with tempfile.TemporaryDirectory() as profile:
                browser = open_browser(engine, profile)
                try:
                    for state, file in (("ready", None), ("failed", "Data/Main.bmp")):
                        absent.update([file] if file else [])
                        browser.open(url + "/index.html")
                        browser.wait(f"document.body.dataset.state === '{state}'", 60, state)
                        browser.screenshot(os.path.join(out_dir, f"{engine}-{state}.png"))
                        accessible(browser, f"{file} missing" if file else "the start control")
                        absent.clear()
                finally:
                    browser.quit()
    finally:
        server.shutdown()


# The slow link (web_browser.NETWORKS): the page's budget before its start
# control, and bounds a busy machine holds (bench/web_vs_native.sh measures).
BYTES_BEFORE_CONTROL = 450_000
CONTROL_BOUND_S = 6.0
FIRST_FRAME_BOUND_S = 0.5
TUNE_FROM_BOUND_S = 1.0
# Where a scene shows a picture unmoving: (scene, (left, top, width,
# height)): the title, the picture under the polyhedron, the greetings panel,
# each at its scene's moment in the schedule (show_schedule.py).
STILL_PICTURES = [("OpeningPicture", (0, 0, 800, 600)), ("PulsingPolyhedron", (175, 405, 170, 165)),
                  ("CubeLattice", (85, 85, 230, 420))]


def slow_link(site, recorder, out_dir):
    """A phone on the slow link, from a host that caches as docs/web.md
    asks: the start control within its budget of bytes, Play tapped the
    moment it shows, the first frame at once and every picture in place
    when its scene comes, against the recorder's still of that moment; a
    second visit fetches nothing but the page."""
    server, url = serve(site, cached=True)
    with tempfile.TemporaryDirectory() as profile:
        browser = open_browser("chromium", profile, mobile=PHONE)
        try:
            browser.use_network("slow")
            ready_s, fetched, _ = browser.open_to_start_control(url + "/index.html")
            browser.click("play-page")
            browser.wait("VupPage.stats.firstFrameAt", 10, "the first frame")
            first_s = browser.js("(VupPage.stats.firstFrameAt - VupPage.stats.clickAt) / 1000")
            check(ready_s <= CONTROL_BOUND_S and fetched <= BYTES_BEFORE_CONTROL and
                  first_s <= FIRST_FRAME_BOUND_S,
                  f"slow link: the start control at {ready_s:.2f} s after {fetched} bytes, the "
                  f"first frame {first_s * 1000:.0f} ms after the tap")
            browser.wait("VupAudio.report().playing", 10, "the tune")
            tune_from = browser.js("VupAudio.report().offset")
            moments = {scene["id"]: scene["shot_at"]
                       for scene in show_schedule.load(recorder)["scenes"]}
            for scene, (left, top, width, height) in STILL_PICTURES:
                seconds = moments[scene]
                live, shown = canvas_at(browser, seconds)
                native_png = os.path.join(out_dir, f"slow-native-{seconds}s.png")
                subprocess.run([recorder, "--frame", f"{shown:.3f}", native_png], check=True)
                box = (slice(top, top + height), slice(left, left + width))
                means = numpy.abs(live[box] - rgb_pixels(native_png)[box]).reshape(-1, 3).mean(0)
                check(means.max() <= 1.0, f"slow link: the picture at {shown:.3f} s within "
                      f"{means.max():.2f} levels of the recorder's")
            whole, resyncs = browser.js("[VupAudio.tune.whole, VupAudio.report().resyncs]")
            check(tune_from <= TUNE_FROM_BOUND_S and whole,
                  f"slow link: the tune heard from {tune_from:.2f} s of the show, its start alone"
                  f" and then the whole{'' if whole else ' (never came)'}, started again at "
                  f"{resyncs or 'no time'}")
            # The pictures came while the show played: its end must still
            # reach the page.
            browser.press_between_frames("Escape")
            deadline = time.time() + 10
            while browser.js("document.body.dataset.state") != "ended" and time.time() < deadline:
                time.sleep(0.1)
            check(browser.js("document.body.dataset.state") == "ended",
                  "slow link: Escape pressed and let go between two frames ends the show")
            browser.open(url + "/index.html")
            browser.wait("document.body.dataset.state === 'ready'", 30, "the start control again")
            again = browser.js("performance.getEntriesByType('resource').filter("
                               "e => e.transferSize > 0).map(e => e.name)")
            check(not again, f"a second visit fetched {again or 'nothing'} besides the page")
        finally:
            browser.quit()
            server.shutdown()


def main(argv):
    if len(argv) != 4:
        print(__doc__)
        return 2
    site, recorder, out_dir = argv[1:4]
    if "vup.js" not in site_files(site):
        return missing(f"no web site in {site} (scripts/build-web.sh builds it)")
    if not os.access(recorder, os.X_OK):
        return missing(f"no recorder at {recorder}")
    if engine_missing("chromium"):
        return missing(engine_missing("chromium"))
    if not os.path.isfile(AXE):
        skip(f"the accessibility checks: no axe-core at {AXE} (npm ci --prefix tests/web)")
    os.makedirs(out_dir, exist_ok=True)
    absent = set()
    server, url = serve(site, missing=absent)
    try:
        with tempfile.TemporaryDirectory() as profile:
            browser = open_browser("chromium", profile)
            try:
                failed_load(browser, url, absent, "Data/Main.bmp")
                accessible(browser, "the start control")
                focus_ring(browser, out_dir)
                failed_load(browser, url, absent, "data/tulmor.ogg")
                browser.wait("VupPage.stats.tuneAt && Object.values(VupLoad.bytes).every("
                             "b => b[0] === b[1])", 60, "every file")
                loaded = browser.js("VupLoad.bytes")
                sizes = {name: site_files(site)[name]["bytes"] for name in loaded}
                check(loaded.keys() >= {"vup.wasm", "Data/VOLVO.bmp", "data/tulmor.ogg"} and
                      all(loaded[name] == [size, size] for name, size in sizes.items()),
                      f"the progress counted {loaded} of {sizes} bytes")
                shared_link(browser, site)
            finally:
                browser.quit()
        phone(site, recorder, out_dir)
        other_engines(site, out_dir)
        slow_link(site, recorder, out_dir)
    except Exception as error:  # a timeout: report it like any failure
        check(False, f"{type(error).__name__}: {error}")
    finally:
        server.shutdown()
    return verdict()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
