#!/usr/bin/python3
"""The page around the show, in Chromium: loading, a shared link, a phone.

Usage: web_page_test.py SITE_DIR OUT_DIR

1. Loading: with vup.data, then the tune, missing on the server, the page
   names the file and offers "Try again", which loads the page once the
   file is back; the progress it showed counted every byte of both.
2. A shared link: title, description and preview picture (Open Graph and
   Twitter card) that the server has, the icon, a <noscript> line.
3. A phone (390 x 844 CSS pixels at device scale 3, touch), upright and on
   its side: the page fits without scrolling and the line under the canvas
   names the touch controls; a tap starts the show in the page; a tap on
   the show brings the controls, and the cross ends the show; the switch
   goes fullscreen, and leaving fullscreen through the browser ends it, as
   the browser's own Escape does. Then as an iPhone, whose browsers have no
   fullscreen for a page element: the line offers no switch, and Play asks
   the desktop's question, whose box fits the screen; Yes plays the show in
   the page.
Screenshots go to OUT_DIR/phone-*.png. Exits 77 (skipped) when the site or
Chromium is missing, unless CI is set; then that is a failure.
"""
import os
import sys
import tempfile

from web_browser import check, engine_missing, missing, open_browser, serve, verdict


def failed_load(browser, url, absent, file):
    absent.add(file)
    browser.open(url + "/index.html")
    message = browser.wait("document.body.dataset.state === 'failed' &&"
                           " document.getElementById('loading').textContent", 30,
                           f"the page to report {file}")
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
    check(keys.startswith("Tap the show for \u2715,") and box == [True, "Kavu GL"] and windowed,
          f"an iPhone: the line says “{keys}”; Play asks the question ({box}), Yes plays the "
          "show in the page")


def phone(site, out_dir):
    server, url = serve(site)
    for name, size in (("upright", (390, 844, 3)), ("on its side", (844, 390, 3))):
        with tempfile.TemporaryDirectory() as profile:
            browser = open_browser("chromium", profile, mobile=size)
            try:
                browser.open(url + "/index.html")
                browser.wait("document.body.dataset.state === 'ready'", 60, "the start control")
                browser.screenshot(os.path.join(out_dir, f"phone-{size[0]}x{size[1]}.png"))
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
                shown = browser.js("document.getElementById('touch').classList.contains('shown')")
                browser.screenshot(os.path.join(out_dir, f"phone-{size[0]}x{size[1]}-show.png"))
                if name == "upright":
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


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    site, out_dir = argv[1:3]
    if not os.path.isfile(os.path.join(site, "vup.js")):
        return missing(f"no web site in {site} (scripts/build-web.sh builds it)")
    if engine_missing("chromium"):
        return missing(engine_missing("chromium"))
    os.makedirs(out_dir, exist_ok=True)
    absent = set()
    server, url = serve(site, missing=absent)
    try:
        with tempfile.TemporaryDirectory() as profile:
            browser = open_browser("chromium", profile)
            try:
                failed_load(browser, url, absent, "vup.data")
                failed_load(browser, url, absent, "data/tulmor.ogg")
                loaded = browser.js("VupLoad.bytes")
                sizes = {name: os.path.getsize(os.path.join(site, name))
                         for name in ("vup.data", "data/tulmor.ogg")}
                check(all(loaded.get(name) == [size, size] for name, size in sizes.items()),
                      f"the progress counted {loaded} of {sizes} bytes")
                shared_link(browser, site)
            finally:
                browser.quit()
        phone(site, out_dir)
    except Exception as error:  # a timeout: report it like any failure
        check(False, f"{type(error).__name__}: {error}")
    finally:
        server.shutdown()
    return verdict()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
