"""What the web tests share: serving a site, headless Chromium through
chromedriver, pictures as arrays, and the skip rule (exit 77 when something
is missing, unless CI is set: then that is a failure)."""
import functools
import http.server
import os
import subprocess
import threading

import numpy
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

WIDTH, HEIGHT = 800, 600
SKIPPED = 77


def missing(what):
    if os.environ.get("CI"):
        print(f"FAIL: {what} (CI is set, so nothing may be missing)")
        return 1
    print(f"SKIPPED: {what}")
    return SKIPPED


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    # Files of this name are served from `overlay` instead of the site.
    overlay = None

    def log_message(self, *args):
        pass

    def translate_path(self, path):
        name = path.split("?", 1)[0].lstrip("/")
        if self.overlay and os.path.isfile(os.path.join(self.overlay, name)):
            return os.path.join(self.overlay, name)
        return super().translate_path(path)


def serve(directory, overlay=None):
    """Serves directory on 127.0.0.1; files in overlay take the place of
    the site's files of the same name. Returns the server and its URL."""
    handler_class = type("Handler", (QuietHandler,), {"overlay": overlay})
    handler = functools.partial(handler_class, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}"


def chromium(profile, extra_flags=()):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless=new", "--no-sandbox", "--use-gl=angle", "--use-angle=swiftshader",
                 "--enable-unsafe-swiftshader", f"--window-size={WIDTH},{HEIGHT}",
                 "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--force-device-scale-factor=1",
                 f"--user-data-dir={profile}", *extra_flags]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    # The window's own frame takes part of --window-size: fix the page's
    # viewport itself at the canvas size, one device pixel per CSS pixel.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1,
                            "mobile": False})
    return driver


def rgb_pixels(png):
    """An 800 x 600 PNG (a path or its bytes) as a HEIGHT x WIDTH x 3 array."""
    source, data = (png, None) if isinstance(png, str) else ("png:-", png)
    raw = subprocess.run(["convert", source, "-alpha", "off", "-depth", "8", "rgb:-"],
                         input=data, check=True, capture_output=True).stdout
    pixels = numpy.frombuffer(raw, dtype=numpy.uint8)
    if pixels.size != WIDTH * HEIGHT * 3:
        raise ValueError(f"{source} is not {WIDTH} x {HEIGHT}")
    return pixels.reshape(HEIGHT, WIDTH, 3).astype(numpy.int16)
