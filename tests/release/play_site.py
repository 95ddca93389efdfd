#!/usr/bin/python3
"""A released web site, served over HTTP, played in headless Chromium as a
viewer would: the page loads, "Play" starts the show, and five seconds into
it the canvas shows a picture and the tune is playing, audibly; the page's
footer reads FOOTER (the release's version and date).

Usage: play_site.py SITE_DIR FOOTER OUT_DIR   (screenshots go to OUT_DIR)
"""
import base64
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
from selenium.webdriver.common.by import By  # noqa: E402

from web_browser import chromium, rgb_pixels, serve  # noqa: E402


def wait_for(driver, script, seconds, what):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = driver.execute_script("return " + script)
        if value:
            return value
        time.sleep(0.1)
    raise RuntimeError(f"timed out waiting for {what}")


def main():
    site, footer, out_dir = sys.argv[1:4]
    os.makedirs(out_dir, exist_ok=True)
    server, url = serve(site)
    driver = chromium(os.path.join(out_dir, "profile"), ["--autoplay-policy=no-user-gesture-required"])
    try:
        driver.get(url + "/")
        wait_for(driver, "document.body.dataset.state === 'ready'", 120, "the start control")
        shown = driver.find_element(By.ID, "version").text
        print(f"footer: {shown!r}")
        driver.save_screenshot(os.path.join(out_dir, "page.png"))
        driver.find_element(By.ID, "play").click()
        wait_for(driver, "VupDisplay.stats.showMs >= 5000", 120, "show time 5 s")
        report, level = driver.execute_script("return [VupAudio.report(), VupAudio.level()]")
        url = driver.execute_script("return document.getElementById('canvas').toDataURL('image/png')")
        lit = (rgb_pixels(base64.b64decode(url.split(",", 1)[1])).sum(axis=2) > 60).mean()
        driver.save_screenshot(os.path.join(out_dir, "playing.png"))
        print(f"at show time 5 s (the title picture): {lit:.0%} of the picture lit, the tune "
              f"{report['state']} at {report['position']:.1f} s, level {level:.4f}")
        ok = (shown == footer and lit > 0.05 and report["state"] == "running" and
              report["playing"] and level > 0.001)
        if shown != footer:
            print(f"the footer should read {footer!r}")
        return 0 if ok else 1
    finally:
        driver.quit()
        server.shutdown()


if __name__ == "__main__":
    sys.exit(main())
