"""What the web tests and benchmarks share: serving a site, the three browser
engines behind one small interface, pictures as arrays, and the skip rule
(exit 77 when something is missing, unless CI is set: then that is a
failure).

The engines, each Debian's own build:
- chromium: headless Chromium (SwiftShader's WebGL) through chromedriver;
- firefox: Firefox ESR driven over WebDriver BiDi (its built-in remote
  agent; there is no geckodriver in Debian), on an Xvfb display of its own,
  since headless Firefox refuses WebGL without a GPU (Mesa's llvmpipe then);
- webkit: WebKitGTK's MiniBrowser through WebKitWebDriver, on an Xvfb
  display of its own.
"""
import base64
import functools
import glob
import http.server
import io
import json
import os
import re
import subprocess
import threading
import time

import numpy

WIDTH, HEIGHT = 800, 600
SKIPPED = 77
ENGINES = ("chromium", "firefox", "webkit")
# WebDriver's codes for the keys the show reads, and Tab.
KEYS = {"Escape": "\ue00c", "F1": "\ue031", "Enter": "\ue007", "Tab": "\ue004",
        "Space": "\ue00d", "Left": "\ue012", "Right": "\ue014", "Home": "\ue011"}
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
# Links Chromium can emulate (Chromium.use_network): download bits per
# second and round trip in ms. "slow" is the slow mobile profile the web's
# audit tools use; "fair" a fair mobile one.
NETWORKS = {"slow": (1.6e6, 150), "fair": (9e6, 60)}
# A phone's screen for Chromium's emulation: CSS width, height and scale.
PHONE = (390, 844, 3)
# Bytes the page had fetched when its start control came, itself included.
FETCHED_BY_READY = """performance.getEntriesByType('navigation').concat(
    performance.getEntriesByType('resource')).filter(
    e => e.responseEnd <= VupPage.stats.readyAt).reduce((sum, e) => sum + e.transferSize, 0)"""


# What a test's checks found wrong, in order (check, verdict), and the
# checks it left out for want of a tool (skip).
failures = []
skips = []


def check(ok, what):
    """Prints one check's line, keeps it if it failed, and returns ok."""
    print(f"{'ok  ' if ok else 'FAIL'} {what}")
    if not ok:
        failures.append(what)
    return ok


def skip(what):
    """A check left out for want of what: a failure under CI; else said, and
    the test's verdict is skipped unless another check failed."""
    if os.environ.get("CI"):
        return check(False, f"{what} (CI is set, so nothing may be missing)")
    print(f"SKIPPED: {what}")
    skips.append(what)
    return False


def verdict():
    """The test's exit status from its checks, with a last line saying so."""
    if failures:
        print(f"{len(failures)} failed")
        return 1
    if skips:
        print(f"SKIPPED: {'; '.join(skips)}")
        return SKIPPED
    print("PASS")
    return 0


def missing(what):
    if os.environ.get("CI"):
        print(f"FAIL: {what} (CI is set, so nothing may be missing)")
        return 1
    print(f"SKIPPED: {what}")
    return SKIPPED


def engine_missing(engine):
    """What engine needs and this machine lacks, or None: the browser, and
    the servers it runs with (scripts/with-servers --missing)."""
    needs = {"chromium": ["/usr/bin/chromium", "/usr/bin/chromedriver"],
             "firefox": ["/usr/bin/firefox-esr"],
             "webkit": ["/usr/bin/WebKitWebDriver", MINIBROWSER]}[engine]
    absent = [path for path in needs if not os.access(path, os.X_OK)]
    servers = servers_missing(*(["pulse"] if engine == "chromium" else ["x", "wm", "pulse"]))
    absent += [servers] if servers else []
    return f"{engine} needs {', '.join(absent)}" if absent else None


# WebKitGTK's WebDriver has no console log: the server puts this first in
# the page's head for it, and the page's errors and warnings (its own and
# uncaught ones) are kept where the test reads them.
CONSOLE_HOOK = b"""<script>
window.__consoleProblems = [];
['error', 'warn'].forEach(function (level) {
  var original = console[level];
  console[level] = function () {
    window.__consoleProblems.push([level, Array.from(arguments).join(' ')]);
    return original.apply(console, arguments);
  };
});
addEventListener('error', function (event) {
  window.__consoleProblems.push(['error', event.message ||
      ('cannot load ' + (event.target && (event.target.src || event.target.href)))]);
}, true);
addEventListener('unhandledrejection', function (event) {
  window.__consoleProblems.push(['error', 'unhandled rejection: ' + event.reason]);
});
</script>"""


def site_files(site):
    """{name: {"url", "bytes"}} of the site's files (index.html names them;
    none without it)."""
    page = os.path.join(site, "index.html")
    if not os.path.isfile(page):
        return {}
    with open(page, encoding="utf-8") as text:
        found = re.search(r'<script id="site-files" type="application/json">(.*?)</script>',
                          text.read())
    return json.loads(found.group(1)) if found else {}


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    # Files by their names on the site (data/tulmor.ogg) served from
    # `overlay` instead, as they are; those named in `missing` (a set the
    # caller may change) are not found.
    overlay = None
    missing = ()
    # Files by their names on the site held back until their event is set.
    held = {}
    # Site name of each served address (site_files).
    names = {}
    # Served pages get CONSOLE_HOOK.
    hook_console = False
    # As a host set up for the site would serve it (docs/web.md): files
    # under hashed names kept for good, the page itself never; else each
    # load fetches anew, as a first visit does.
    cached = False

    def log_message(self, *args):
        pass

    def end_headers(self):
        hashed = self.site_name() != self.path.split("?", 1)[0].lstrip("/")
        self.send_header("Cache-Control", "public, max-age=31536000, immutable"
                         if self.cached and hashed else "no-cache" if self.cached else "no-store")
        super().end_headers()

    def site_name(self):
        address = self.path.split("?", 1)[0].lstrip("/")
        return self.names.get(address, address)

    def translate_path(self, path):
        name = self.site_name()
        if self.overlay and os.path.isfile(os.path.join(self.overlay, name)):
            return os.path.join(self.overlay, name)
        return super().translate_path(path)

    def send_head(self):
        if self.site_name() in self.missing:
            self.send_error(404)
            return None
        if self.site_name() in self.held:
            self.held[self.site_name()].wait(120)
        path = self.translate_path(self.path)
        if not (self.hook_console and path.endswith(".html") and os.path.isfile(path)):
            return super().send_head()
        with open(path, "rb") as page:
            body = page.read().replace(b"<head>", b"<head>" + CONSOLE_HOOK, 1)
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)


def serve(directory, overlay=None, hook_console=False, missing=(), cached=False, held=None):
    """Serves the site in directory on 127.0.0.1; files in overlay take the
    place of the site's files of the same name, those named in missing are
    not found (by their names on the site: Data/Main.bmp), those in held
    ({name: threading.Event}) wait for their event; cached serves them as
    docs/web.md asks a host to. Returns the server and its URL."""
    names = {entry["url"]: name for name, entry in site_files(directory).items()}
    handler_class = type("Handler", (QuietHandler,),
                         {"overlay": overlay, "hook_console": hook_console,
                          "missing": missing, "names": names, "cached": cached,
                          "held": held or {}})
    handler = functools.partial(handler_class, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}"


LAUNCHER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                        "with-servers")


def servers_missing(*names):
    """What this machine lacks for those servers (scripts/with-servers
    --missing), as one line; None when it has them all."""
    lacking = subprocess.run([LAUNCHER, "--missing", *names], capture_output=True, text=True,
                             check=True).stdout.split("\n")
    return ", ".join(line for line in lacking if line) or None


class Servers:
    """Servers of the caller's own from the suite's one launcher,
    scripts/with-servers (scripts/lib/servers.sh), running until stop():
    it runs a command that reports their environment and then waits for its
    input to close. `environment` holds DISPLAY and PULSE_SERVER, as
    started."""

    REPORT = 'echo "DISPLAY=${DISPLAY:-}"; echo "PULSE_SERVER=${PULSE_SERVER:-}"; echo; ' \
             'exec cat >/dev/null'

    def __init__(self, names, screen=None):
        self.process = subprocess.Popen(
            [LAUNCHER, *(["--screen", screen] if screen else []), *names, "--",
             "sh", "-c", self.REPORT], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.environment = {}
        for line in self.process.stdout:
            if not line.strip():
                break
            key, _, value = line.strip().partition("=")
            if value:
                self.environment[key] = value
        if not self.environment:
            raise RuntimeError(f"{' and '.join(names)} did not start "
                               f"(scripts/with-servers: status {self.process.wait()})")

    def stop(self):
        self.process.stdin.close()
        self.process.wait()


class XServer(Servers):
    """An Xvfb display of the browser's own, with a window manager: without
    one a window never has the focus, and Firefox grants fullscreen only to
    a focused page."""

    def __init__(self, size="1024x768"):
        super().__init__(["x", "wm"], screen=size)
        self.display = self.environment["DISPLAY"]


class SoundServer(Servers):
    """A PulseAudio server of the browser's own whose one output is a null
    sink, "vup" at 44,100 Hz, the desktop show's tests' own
    (scripts/lib/servers.sh): Firefox's and WebKit's audio contexts do
    not run without an output to play to, and what every engine plays there
    can be captured from the sink's monitor (web_heard.py). A silent stream
    keeps the sink running at a short latency, as a desktop's is. (folder:
    unused; the launcher keeps the server's files.)"""

    def __init__(self, folder=None):
        super().__init__(["pulse"])
        self.environment = {"PULSE_SERVER": self.environment["PULSE_SERVER"]}


class Browser:
    """One browser window on one page. Each engine gives js, click, hold,
    screenshot and problems; the rest is shared."""
    engine = None

    def js(self, expression):
        """The value of a JavaScript expression (JSON-like), after awaiting
        it when it is a promise."""
        raise NotImplementedError

    def wait(self, expression, seconds, what):
        deadline = time.time() + seconds
        while time.time() < deadline:
            value = self.js(expression)
            if value:
                return value
            time.sleep(0.05)
        raise RuntimeError(f"timed out waiting for {what}")

    def press_between_frames(self, code):
        """The key (a KeyboardEvent code) pressed and let go within one
        script: both reach the page before the show's next frame, however
        fast it draws."""
        self.js(f"(function () {{ ['keydown', 'keyup'].forEach(function (type) {{ window."
                f"dispatchEvent(new KeyboardEvent(type, {{code: '{code}', key: '{code}'}})); }});"
                f" return 1; }})()")

    def canvas_pixels(self):
        """The canvas's drawing buffer as a HEIGHT x WIDTH x 3 array."""
        url = self.js("document.getElementById('canvas').toDataURL('image/png')")
        return rgb_pixels(base64.b64decode(url.split(",", 1)[1]))

    def element_box(self, element_id):
        return self.js(f"(function (r) {{ return [r.left, r.top, r.width, r.height]; }})"
                       f"(document.getElementById('{element_id}').getBoundingClientRect())")


class Chromium(Browser):
    engine = "chromium"

    def __init__(self, profile, flags=(), mobile=None, screen=None):
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ["--headless=new", "--no-sandbox", "--use-gl=angle",
                     "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                     f"--window-size={WIDTH},{HEIGHT}", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--force-device-scale-factor=1", f"--user-data-dir={profile}",
                     # The tests' refused-fullscreen start has no click.
                     "--autoplay-policy=no-user-gesture-required", *flags]:
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        # Headless Chromium plays to the sound server PULSE_SERVER names.
        self.sound = SoundServer(profile)
        try:
            self.driver = webdriver.Chrome(
                service=Service("/usr/bin/chromedriver", env=dict(os.environ,
                                                                  **self.sound.environment)),
                options=options)
        except Exception:
            self.sound.stop()
            raise
        self.base_url = None
        # The window's own frame takes part of --window-size: fix the page's
        # viewport itself, one device pixel per CSS pixel unless emulating a
        # phone (mobile: width, height, device scale).
        width, height, scale = mobile or (WIDTH, HEIGHT, 1)
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height,
                                     "deviceScaleFactor": scale, "mobile": bool(mobile)})
        if mobile:
            self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                        {"enabled": True, "maxTouchPoints": 5})
        self.log = []

    def use_network(self, network):
        """Every later request goes over the link NETWORKS names."""
        bits, round_trip_ms = NETWORKS[network]
        self.driver.execute_cdp_cmd("Network.enable", {})
        self.driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": False, "latency": round_trip_ms, "downloadThroughput": bits / 8,
            "uploadThroughput": 750e3 / 8})

    def open(self, url):
        self.base_url = url.split("/index.html")[0]
        self.driver.get(url)

    def open_to_start_control(self, url):
        """Opens the page and waits for its start control: the seconds from
        navigation to it, the bytes fetched by then (the page included) and
        the main thread's busy seconds by then (Chromium's own task time)."""
        self.driver.execute_cdp_cmd("Performance.enable", {})
        self.open(url)
        self.wait("document.body.dataset.state === 'ready'", 60, "the start control")
        metrics = self.driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
        busy = next(m["value"] for m in metrics if m["name"] == "TaskDuration")
        ready_s, fetched = self.js(f"[VupPage.stats.readyAt / 1000, {FETCHED_BY_READY}]")
        return ready_s, fetched, busy

    def js(self, expression):
        result = self.driver.execute_async_script(
            "var done = arguments[arguments.length - 1];"
            f"Promise.resolve({expression}).then(function (v) {{ done([v]); }},"
            " function (e) { done({failed: String(e)}); });")
        if isinstance(result, dict):
            raise RuntimeError(f"{expression}: {result['failed']}")
        return result[0]

    def click(self, element_id):
        from selenium.webdriver.common.by import By
        self.driver.find_element(By.ID, element_id).click()

    def click_at(self, x, y):
        """The mouse moved to (x, y) in the viewport, then a click there."""
        from selenium.webdriver.common.action_chains import ActionChains
        from selenium.webdriver.common.actions.action_builder import ActionBuilder
        builder = ActionBuilder(self.driver)
        builder.pointer_action.move_to_location(int(x), int(y))
        builder.perform()
        time.sleep(0.1)
        ActionChains(self.driver).click().perform()

    def tap(self, x, y):
        for kind in ("touchStart", "touchEnd"):
            self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
                "type": kind, "touchPoints": [] if kind == "touchEnd" else [{"x": x, "y": y}]})

    def hide_page(self, hidden):
        """Another tab in front of the page (True), or the page again."""
        if hidden:
            self.page_handle = self.driver.current_window_handle
            self.driver.switch_to.new_window("tab")
        else:
            self.driver.close()
            self.driver.switch_to.window(self.page_handle)

    def hold(self, key):
        from selenium.webdriver.common.action_chains import ActionChains
        ActionChains(self.driver).key_down(KEYS[key]).pause(0.25).key_up(KEYS[key]).perform()

    def screenshot(self, path):
        self.driver.save_screenshot(path)

    def element_png(self, element_id, path):
        from selenium.webdriver.common.by import By
        self.driver.find_element(By.ID, element_id).screenshot(path)

    def problems(self):
        """Console errors, and warnings from the site's own files."""
        for entry in self.driver.get_log("browser"):
            own = self.base_url and entry["message"].startswith(self.base_url)
            if entry["level"] == "SEVERE" or (entry["level"] == "WARNING" and own):
                self.log.append(f"{entry['level']}: {entry['message']}")
        return list(self.log)

    def quit(self):
        try:
            self.driver.quit()
        finally:
            self.sound.stop()


class WebKit(Browser):
    engine = "webkit"

    def __init__(self, profile, screen="1024x768"):
        from selenium import webdriver
        from selenium.webdriver.common.options import ArgOptions
        from selenium.webdriver.webkitgtk.service import Service
        self.x = XServer(screen)
        self.sound = SoundServer(profile)

        class Options(ArgOptions):
            # Only what WebKitWebDriver matches on: Selenium's own WebKitGTK
            # options add legacy capabilities that it refuses.
            default_capabilities = {}

            def to_capabilities(self):
                return {"webkitgtk:browserOptions": {
                    "binary": MINIBROWSER, "args": ["--automation"]}}

        self.service = Service("/usr/bin/WebKitWebDriver",
                               log_path=os.path.join(profile, "webkitwebdriver.log"),
                               env=dict(os.environ, DISPLAY=self.x.display,
                                        **self.sound.environment))
        self.service.start()
        self.driver = webdriver.Remote(command_executor=self.service.service_url,
                                       options=Options())
        # The window's toolbar takes part of its height: size the window so
        # that the page's viewport is WIDTH x HEIGHT, and wait for the window
        # manager to have done it.
        deadline = time.time() + 20
        while True:
            outer = self.driver.get_window_rect()
            inner = self.driver.execute_script("return [innerWidth, innerHeight]")
            if inner == [WIDTH, HEIGHT]:
                break
            if time.time() > deadline:
                raise RuntimeError(f"MiniBrowser's viewport stays {inner}")
            self.driver.set_window_rect(0, 0, outer["width"] + WIDTH - inner[0],
                                        outer["height"] + HEIGHT - inner[1])
            time.sleep(0.2)

    def open(self, url):
        self.driver.get(url)

    js = Chromium.js
    click = Chromium.click
    click_at = Chromium.click_at
    hold = Chromium.hold
    screenshot = Chromium.screenshot
    element_png = Chromium.element_png

    def problems(self):
        return [f"{level}: {text}" for level, text in
                self.js("window.__consoleProblems || [['error', 'no console hook']]")]

    def quit(self):
        try:
            self.driver.quit()
        finally:
            self.service.stop()
            self.sound.stop()
            self.x.stop()


# How long a command may go unanswered (Firefox's remote agent).
ANSWER_WITHIN_S = 60


class BrowserAudioDeadlock(RuntimeError):
    """The browser stopped answering with its own audio stack deadlocked: a
    fault of the browser's, not the page's."""


class Firefox(Browser):
    """Firefox ESR over WebDriver BiDi: JSON messages over a WebSocket to
    the browser's remote agent."""
    engine = "firefox"

    def __init__(self, profile, screen="1024x768"):
        import websocket
        self.x = XServer(screen)
        self.sound = SoundServer(profile)
        with open(os.path.join(profile, "user.js"), "w") as prefs:
            prefs.write('user_pref("browser.shell.checkDefaultBrowser", false);\n'
                        'user_pref("browser.aboutwelcome.enabled", false);\n')
        self.stderr = open(os.path.join(profile, "firefox.log"), "w+")
        self.process = subprocess.Popen(
            ["/usr/bin/firefox-esr", "--remote-debugging-port=0", "--profile", profile,
             "--no-remote", "--new-instance", "about:blank"],
            env=dict(os.environ, DISPLAY=self.x.display, **self.sound.environment),
            stdout=subprocess.DEVNULL,
            stderr=self.stderr)
        address = None
        deadline = time.time() + 60
        while address is None and time.time() < deadline and self.process.poll() is None:
            time.sleep(0.1)
            self.stderr.seek(0)
            found = re.search(r"WebDriver BiDi listening on (ws://\S+)", self.stderr.read())
            address = found and found.group(1)
        if address is None:
            self.quit()
            raise RuntimeError("Firefox's remote agent did not start")
        # The agent refuses connections that name an origin.
        self.socket = websocket.create_connection(address + "/session", suppress_origin=True,
                                                  timeout=ANSWER_WITHIN_S / 6)
        self.next_id = 0
        self.answering = True
        self.log = []
        self.command("session.new", {"capabilities": {}})
        self.context = self.command("browsingContext.getTree", {})["contexts"][0]["context"]
        self.command("session.subscribe", {"events": ["log.entryAdded"]})
        self.command("browsingContext.setViewport",
                     {"context": self.context, "viewport": {"width": WIDTH, "height": HEIGHT}})
        # Firefox grants fullscreen only to a page that has the focus, and
        # only a click from the X server gives it the focus: one on the
        # blank page.
        subprocess.run(["xdotool", "mousemove", "400", "300", "click", "1"],
                       env=dict(os.environ, DISPLAY=self.x.display), check=True)


    def audio_deadlocked(self):
        """Whether Firefox's audio server thread waits on PulseAudio's lock,
        a mutex taken with priority inheritance (futex op FUTEX_LOCK_PI or
        FUTEX_LOCK_PI2), as it does for good once Firefox's audio stack has
        deadlocked: PulseAudio's thread, in a callback, waits on that thread.
        Seen now and then on a busy machine as a stream starts or stops; the
        whole browser then stops answering."""
        for task in glob.glob(f"/proc/{self.process.pid}/task/*"):
            try:
                with open(os.path.join(task, "comm")) as comm, \
                        open(os.path.join(task, "syscall")) as call:
                    name, state = comm.read().strip(), call.read().split()
            except OSError:
                continue
            if (name.startswith("AudioIP") and name.endswith("RPC") and len(state) > 2 and
                    state[0] == "202" and int(state[2], 16) & 0x7f in (6, 13)):
                return True
        return False

    def take_event(self, message):
        if message.get("method") == "log.entryAdded":
            entry = message["params"]
            if entry["level"] in ("error", "warn"):
                self.log.append(f"{entry['level']}: {entry.get('text')}")

    def command(self, method, params):
        import websocket
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        sent = time.time()
        while True:
            # A page that never answers is an error, not a hang; a deadlocked
            # browser is told within seconds.
            try:
                message = json.loads(self.socket.recv())
            except websocket.WebSocketTimeoutException as error:
                deadlocked = self.audio_deadlocked()
                if not deadlocked and time.time() - sent < ANSWER_WITHIN_S:
                    continue
                self.answering = False
                raise (BrowserAudioDeadlock if deadlocked else RuntimeError)(
                    f"{method}: no answer after {time.time() - sent:.1f} s") from error
            if message.get("id") == self.next_id:
                if message.get("type") == "error":
                    raise RuntimeError(f"{method}: {message.get('error')}: "
                                       f"{message.get('message')}")
                return message["result"]
            self.take_event(message)

    def open(self, url):
        self.command("browsingContext.navigate",
                     {"context": self.context, "url": url, "wait": "complete"})

    def js(self, expression):
        result = self.command("script.evaluate", {
            "expression": f"Promise.resolve({expression}).then(function (v) {{"
                          f" return JSON.stringify(v === undefined ? null : v); }})",
            "target": {"context": self.context}, "awaitPromise": True,
            "userActivation": False})
        if result.get("type") == "exception":
            raise RuntimeError(f"{expression}: {result['exceptionDetails'].get('text')}")
        return json.loads(result["result"]["value"])

    def actions(self, source):
        self.command("input.performActions", {"context": self.context, "actions": [source]})

    def click(self, element_id):
        left, top, width, height = self.element_box(element_id)
        x, y = int(left + width / 2), int(top + height / 2)
        self.actions({"type": "pointer", "id": "mouse", "actions": [
            {"type": "pointerMove", "x": x, "y": y}, {"type": "pointerDown", "button": 0},
            {"type": "pointerUp", "button": 0}]})

    def click_at(self, x, y):
        self.actions({"type": "pointer", "id": "mouse", "actions": [
            {"type": "pointerMove", "x": int(x), "y": int(y)}]})
        time.sleep(0.1)
        self.actions({"type": "pointer", "id": "mouse", "actions": [
            {"type": "pointerMove", "x": int(x), "y": int(y)}, {"type": "pointerDown", "button": 0},
            {"type": "pointerUp", "button": 0}]})

    def hold(self, key):
        self.actions({"type": "key", "id": "keyboard", "actions": [
            {"type": "keyDown", "value": KEYS[key]}, {"type": "pause", "duration": 250},
            {"type": "keyUp", "value": KEYS[key]}]})

    def capture(self, path, clip=None):
        params = {"context": self.context}
        if clip:
            params["clip"] = clip
        data = self.command("browsingContext.captureScreenshot", params)["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))

    def screenshot(self, path):
        self.capture(path)

    def element_png(self, element_id, path):
        left, top, width, height = self.element_box(element_id)
        self.capture(path, {"type": "box", "x": left, "y": top, "width": width,
                            "height": height})

    def problems(self):
        self.js("0")  # takes the events sent so far
        return list(self.log)

    def quit(self):
        answering = getattr(self, "answering", False)
        if getattr(self, "socket", None):
            try:
                if answering:
                    self.command("browser.close", {})
            except Exception:  # it may close the socket before it answers
                pass
            self.socket.close()
        try:
            self.process.wait(timeout=20 if answering else 0)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.stderr.close()
        self.sound.stop()
        self.x.stop()


def open_browser(engine, profile, **options):
    """A browser of that engine with its profile in the folder profile."""
    return {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}[engine](profile, **options)


def rgb_pixels(png):
    """An 800 x 600 PNG (a path or its bytes) as a HEIGHT x WIDTH x 3 array."""
    source, data = (png, None) if isinstance(png, str) else ("png:-", png)
    raw = subprocess.run(["convert", source, "-alpha", "off", "-depth", "8", "rgb:-"],
                         input=data, check=True, capture_output=True).stdout
    pixels = numpy.frombuffer(raw, dtype=numpy.uint8)
    if pixels.size != WIDTH * HEIGHT * 3:
        raise ValueError(f"{source} is not {WIDTH} x {HEIGHT}")
    return pixels.reshape(HEIGHT, WIDTH, 3).astype(numpy.int16)
