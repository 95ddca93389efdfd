#!/usr/bin/python3
"""The web page in each browser engine against the native show
(bench/web_vs_native.sh runs it with an Xvfb screen of its own and the builds
in place).

Usage: web_vs_native.py VUP SITE OUT_DIR ROUNDS [DOC.md] [ENGINE ...]
(VUP_RENDER_TUNE names vup-render-tune, which renders the click tune)

Each round plays the whole show natively once (`vup` fullscreen on the
800 x 600 Xvfb screen, Mesa's llvmpipe), and then in each engine
(tests/web/web_browser.py: headless Chromium with SwiftShader's WebGL;
Firefox ESR and WebKitGTK on an 800 x 600 Xvfb display of their own, on
llvmpipe) at `?uncapped`, drawing as fast as the browser takes the frames, as
the native loop does without vsync; "Play", so fullscreen. The ratio of a
scene is the median over the rounds of each round's ratio of medians. Once
more per engine, the page waits for animation frames as a viewer's page does;
in that show the page plays a click tune in place of its own, captured from
the browser's sound server (tests/web/web_heard.py), and each click as heard
is compared with the show's own clock at each scene bound (the median of the
clicks within 1.5 s of it), beside the page's own reckoning of the same
(VupAudio.heardPosition at the show's last clock reading). The last lines
say, per engine, `tune heard ENGINE: worst N ms` over the scene bounds.
Frame rates are taken over intervals of half a second or more inside each
scene (1 s clear of its bounds): native from the program's VUP_FRAME_STATS
file, which it rewrites about once a second; the page from its present count
and times. Then START_LOADS fresh browsers of each engine load the page (page
load to ready: the start control on screen, with where the time went) and
click Play (click to the first animation frame after the show's first
present), ended by Escape. First of all, in Chromium, START_LOADS fresh
browsers per link in LINKS open the page as a phone (web_browser.PHONE)
over that link from a server that caches as docs/web.md asks: the start
control's time, the bytes fetched before it and the main thread's busy time
before it (Browser.open_to_start_control); ROUNDS 0 measures only these.
Every figure is given as min / median / max.
Results go to OUT_DIR/web.json; with DOC.md, the section between its bench:web
markers is rewritten.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from web_browser import ENGINES, PHONE, open_browser, serve, site_files  # noqa: E402
from web_heard import HeardShow, at_bounds, click_site  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import show_schedule  # noqa: E402
from doc_section import rewrite_section  # noqa: E402

# The scenes and the moments the tune is checked at, from the show's schedule
# (`vup-record --schedule` of the build beside VUP, or $VUP_RECORD): filled
# in by main.
SCENES = []
SCENE_BOUNDS = []
MARGIN_S = 1.0
START_LOADS = 5
# The links a phone opens the page over (web_browser.NETWORKS; None: this
# machine's own), each with its goal for the start control, in seconds.
LINKS = [("slow", 3.0), ("fair", 1.2), (None, 0.6)]


def scene_of(show_s):
    for name, start, end in SCENES:
        if start + MARGIN_S <= show_s <= end - MARGIN_S:
            return name
    return None


def rates(samples):
    """samples: (show seconds, presents, present time in seconds), in order.
    Frames per second over each stretch of about a second that lies inside
    one scene's window, by scene."""
    by_scene = {}
    anchor = None
    for sample in samples:
        if anchor is None or scene_of(sample[0]) != scene_of(anchor[0]):
            anchor = sample
            continue
        if sample[2] - anchor[2] >= 0.5:
            scene = scene_of(sample[0])
            if scene:
                by_scene.setdefault(scene, []).append(
                    (sample[1] - anchor[1]) / (sample[2] - anchor[2]))
            anchor = sample
    return by_scene


def native_show(vup, work):
    stats = os.path.join(work, "stats.txt")
    samples, last = [], None
    started = time.time_ns()
    show = subprocess.Popen([vup], env=dict(os.environ, VUP_FRAME_STATS=stats),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while show.poll() is None and time.time_ns() - started < 95e9:
        time.sleep(0.05)
        try:
            with open(stats) as file:
                values = dict(line.split() for line in file if line.strip())
            record = (int(values["presented_frames"]), int(values["last_present_unix_ns"]))
        except (OSError, KeyError, ValueError):
            continue
        if record != last:
            last = record
            # The show's clock starts just after the program does.
            samples.append(((record[1] - started) / 1e9, record[0], record[1] / 1e9))
    show.kill()
    show.wait()
    return rates(samples)


def fresh_browser(engine, profile):
    return open_browser(engine, profile, screen="800x600")


def web_show(engine, url, uncapped, decoded=None):
    """Frame rates and the page's work by scene; capped, also the tune's lag
    behind the show's clock at each scene bound by the page's own reckoning,
    the output's latency, and with `decoded` (the click tune's site is at
    url) the tune as heard at each scene bound."""
    with tempfile.TemporaryDirectory() as profile:
        browser = fresh_browser(engine, profile)
        try:
            browser.open(url + "/index.html" + ("?uncapped" if uncapped else ""))
            browser.wait("document.body.dataset.state === 'ready'", 120, "the start control")
            heard = HeardShow(browser, decoded) if decoded else None
            if heard:
                heard.start()
            browser.click("play")
            if heard:
                heard.started()
            samples, work, lags, bounds = [], {}, [], list(SCENE_BOUNDS)
            deadline = time.time() + 150
            while True:
                if time.time() > deadline:
                    raise RuntimeError("the show did not end within 150 s")
                state, stats, lag = browser.js(
                    "[document.body.dataset.state, VupDisplay.stats,"
                    " VupAudio.heardPosition(VupDisplay.stats.readAt)]")
                if state != "playing":
                    break
                show_s = stats["showMs"] / 1000
                if stats["presents"] > 0:
                    samples.append((show_s, stats["presents"], stats["lastPresentAt"] / 1000))
                    scene = scene_of(show_s)
                    if scene:
                        work.setdefault(scene, []).append(
                            (stats["draws"], stats["primitives"], stats["workMs"]))
                if bounds and show_s >= bounds[0]:
                    bounds.pop(0)
                    if lag is not None:
                        lags.append(1000 * (lag - show_s))
                time.sleep(0.1)
            latency = browser.js("[VupAudio.context.outputLatency || 0,"
                                 " VupAudio.context.baseLatency || 0]")
            heard_at = None
            if heard:
                offsets, _ = heard.finish(show_schedule.load()["end"])
                heard_at = {bound: None if offset is None else 1000 * offset
                            for bound, offset in at_bounds(offsets, SCENE_BOUNDS).items()}
            return rates(samples), work, lags, latency, heard_at
        finally:
            browser.quit()


START_PHASES = """(function () {
    var ends = {};
    performance.getEntriesByType('resource').forEach(function (entry) {
        ends[new URL(entry.name).pathname.slice(1)] = entry.responseEnd;
    });
    return Object.assign({}, VupPage.stats, {ends: ends});
})()"""


def web_start(engine, url):
    with tempfile.TemporaryDirectory() as profile:
        browser = fresh_browser(engine, profile)
        try:
            browser.open(url + "/index.html")
            browser.wait("document.body.dataset.state === 'ready'", 120, "the start control")
            browser.click("play")
            browser.wait("VupPage.stats.firstFrameAt", 30, "the first frame")
            browser.wait("VupPage.stats.tuneAt", 30, "the tune decoded")
            stats = browser.js(START_PHASES)
            browser.hold("Escape")
            return stats
        finally:
            browser.quit()


def link_start(url, network):
    """A phone's first visit over the link: the start control's time, the
    bytes fetched before it and the main thread's busy time before it."""
    with tempfile.TemporaryDirectory() as profile:
        browser = open_browser("chromium", profile, mobile=PHONE)
        try:
            if network:
                browser.use_network(network)
            return browser.open_to_start_control(url + "/index.html")
        finally:
            browser.quit()


def links_report(starts):
    lines = [
        "| link (Chromium, a 390 × 844 phone, first visit) | start control (s) | bytes before it"
        " | main thread busy before it (ms) | target | met |",
        "|---|---:|---:|---:|---|:---:|"]
    for network, goal in LINKS:
        runs = starts.get(str(network), [])
        ready = [r[0] for r in runs]
        name = {"slow": "slow: 1.6 Mbit/s, 150 ms round trip",
                "fair": "fair: 9 Mbit/s, 60 ms round trip"}.get(network, "this machine's own")
        lines.append(
            f"| {name} | {spread(ready, '.2f')} | {spread([r[1] for r in runs])} | "
            f"{spread([r[2] * 1000 for r in runs])} | ≤ {goal} s | "
            f"{'yes' if ready and max(ready) <= goal else '**no**'} |")
    return lines


def spread(values, form=",.0f"):
    if not values:
        return "–"
    return " / ".join(format(v, form) for v in
                      (min(values), statistics.median(values), max(values)))


def median_of(values):
    values = list(values)
    return format(statistics.median(values), "g") if values else "–"


ENGINE_NAMES = {"chromium": "Chromium (headless, SwiftShader)",
                "firefox": "Firefox ESR (Xvfb, llvmpipe)",
                "webkit": "WebKitGTK MiniBrowser (Xvfb, llvmpipe)"}


def engine_report(engine, results, names):
    page = results["engines"][engine]
    lines = [
        f"**{ENGINE_NAMES[engine]}**",
        "",
        "| scene | native (frames/s) | page (frames/s) | page, uncapped (frames/s) |"
        " uncapped ÷ native | met | draws per frame | `glEnd`s per frame | program (ms) |",
        "|---|---:|---:|---:|---:|:---:|---:|---:|---:|"]
    for name, _, _ in SCENES:
        native = results["native"].get(name, [])
        capped = page["page"].get(name, [])
        uncapped = page["uncapped"].get(name, [])
        work = page["work"].get(name, [])
        program = [w[2] for w in page["uncapped_work"].get(name, [])]
        ratios = page["ratios"].get(name, [])
        ratio = statistics.median(ratios) if ratios else None
        lines.append(
            f"| {name} | {spread(native)} | {spread(capped)} | {spread(uncapped)} | "
            f"{'–' if ratio is None else format(ratio, '.2f')} | "
            f"{'–' if ratio is None else ('yes' if ratio >= 0.5 else '**no**')} | "
            f"{median_of(w[0] for w in work)} | {median_of(w[1] for w in work)} | "
            f"{spread(program, '.1f')} |")
    starts = page["starts"]
    ready = [s["readyAt"] for s in starts]
    first = [s["firstFrameAt"] - s["clickAt"] for s in starts]

    pictures = [name for name in names if name.startswith("Data/")]

    def phase(*keys):
        """When the last of the site's files named was fetched, per start."""
        ends = [[s["ends"].get(names.get(key)) for key in keys] for s in starts]
        return [max(e) for e in ends if None not in e]

    lags = page["lags"]
    heard = [v for v in (page.get("heard") or {}).values() if v is not None]
    heard_worst_ms = heard_worst(page)
    if page.get("stalled"):
        lines += ["", f"Not measured: {page['stalled']}"]
    lines += [
        "",
        f"| {ENGINE_NAMES[engine].split(' (')[0]}: start-up ({len(starts)} fresh browsers) and "
        "the tune | min / median / max | target | met |",
        "|---|---:|---|:---:|",
        f"| vup.wasm fetched | {spread(phase('vup.wasm'))} ms | | |",
        f"| title picture fetched | {spread(phase('Data/Main.bmp'))} ms | | |",
        f"| every picture fetched | {spread(phase(*pictures))} ms | | |",
        f"| tune fetched | {spread(phase('data/tulmor.ogg') or phase('data/tulmor.m4a'))} ms"
        " | | |",
        f"| program running (`main`) | {spread([s['mainAt'] for s in starts if s.get('mainAt')])}"
        " ms | | |",
        f"| title picture drawn | {spread([s['titleAt'] for s in starts if s.get('titleAt')])}"
        " ms | | |",
        f"| tune decoded | {spread([s['tuneAt'] for s in starts if s.get('tuneAt')])} ms | | |",
        f"| page load to ready (start control on screen) | {spread(ready)} ms | ≤ 1,000 ms | "
        f"{'yes' if ready and max(ready) <= 1000 else '**no**'} |",
        f"| click on Play to the first frame | {spread(first)} ms | ≤ 500 ms | "
        f"{'yes' if first and max(first) <= 500 else '**no**'} |",
        f"| tune as heard (captured) − show clock at the scene bounds | {spread(heard, '+.0f')}"
        f" ms | \\|Δ\\| ≤ 30 ms | "
        f"{'–' if heard_worst_ms is None else ('yes' if heard_worst_ms <= 30 else '**no**')} |",
        f"| the page's own reckoning of it | {spread(lags, '+.0f')} ms"
        f" (output latency {page['latency'][0] * 1000:.0f} ms, base {page['latency'][1] * 1000:.0f}"
        f" ms) | | |",
        ""]
    return lines


def heard_worst(page):
    """The worst |tune as heard - show clock| over the scene bounds, in ms;
    None when the tune was not heard at some bound (or not measured)."""
    heard = page.get("heard")
    if not heard or any(v is None for v in heard.values()):
        return None
    return max(abs(v) for v in heard.values())


def report(results):
    lines = [
        "Frames per second over intervals of half a second or more inside each scene, min /"
        " median / max over all intervals of all rounds. *Page*: the page waiting for animation"
        " frames as a viewer's page does; *page, uncapped*: the same page with `?uncapped`,"
        " drawing as fast as the browser takes frames, as the native loop does (no vsync)."
        " Ratio: uncapped page ÷ native, the median over the rounds of each round's ratio of"
        " medians; target ≥ 0.5. Draws and `glEnd`s: WebGL draw calls and GL primitives per"
        " frame; *program*: the page's own time per frame, from the wait before it to its"
        " present (its turns, the drawing and the WebGL calls; uncapped). Start-up times are"
        " from the page's navigation (`performance.now()`).",
        ""]
    names = {name: file["url"] for name, file in results["files"].items()}
    for engine in results["engines"]:
        lines += engine_report(engine, results, names)
    lines.append(
        f"Measured {results['date']} on {results['cpu']}, {results['cores']} cores, load average"
        f" {results['load_before']:.2f} before and {results['load_after']:.2f} after;"
        f" {results['rounds']} round(s).")
    return "\n".join(lines)


def main(argv):
    if len(argv) < 5:
        print(__doc__)
        return 2
    vup, site, out_dir, rounds = argv[1], argv[2], argv[3], int(argv[4])
    # ROUNDS 0: only the links' start-ups (Chromium).
    doc = argv[5] if len(argv) > 5 and argv[5].endswith(".md") else None
    engines = [e for e in argv[5:] if e in ENGINES] or list(ENGINES)
    os.environ.setdefault("VUP_RECORD", os.path.join(os.path.dirname(os.path.abspath(vup)),
                                                     "tools", "vup-record", "vup-record"))
    SCENES[:] = show_schedule.intervals()
    SCENE_BOUNDS[:] = show_schedule.load()["heard_at"]
    os.makedirs(out_dir, exist_ok=True)
    server, url = serve(site)
    clicks = tempfile.TemporaryDirectory()
    overlay, decoded = click_site(clicks.name, os.environ["VUP_RENDER_TUNE"])
    clicks_server, clicks_url = serve(site, overlay=overlay)
    with open("/proc/cpuinfo") as cpuinfo:
        cpu = next((line.split(":", 1)[1].strip() for line in cpuinfo
                    if line.startswith("model name")), "?")
    results = {"native": {}, "engines": {}, "rounds": rounds,
               "date": time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime()),
               "cpu": cpu, "cores": os.cpu_count(), "load_before": os.getloadavg()[0],
               "files": site_files(site), "links": {}}
    for engine in engines:
        results["engines"][engine] = {"page": {}, "uncapped": {}, "work": {},
                                      "uncapped_work": {}, "ratios": {}, "starts": [],
                                      "lags": [], "latency": [0, 0]}

    def note_stall(page, what, error):
        """A show or start-up that failed is reported beside the figures, and
        fails the run once the report is written."""
        line = f"{what}: {type(error).__name__}: {error}"
        page["stalled"] = "; ".join(filter(None, [page.get("stalled"), line]))
        print(f"{engine}: not measured: {line}", file=sys.stderr)

    def merge(into, rates_by_scene):
        for scene, values in rates_by_scene.items():
            into.setdefault(scene, []).extend(values)

    try:
        if "chromium" in engines:
            cached_server, cached_url = serve(site, cached=True)
            try:
                for network, _ in LINKS:
                    results["links"][str(network)] = [link_start(cached_url, network)
                                                      for _ in range(START_LOADS)]
            finally:
                cached_server.shutdown()
            print("the links done", file=sys.stderr)
        for round_number in range(1, rounds + 1):
            with tempfile.TemporaryDirectory() as work:
                native = native_show(vup, work)
            merge(results["native"], native)
            print(f"round {round_number}: native done", file=sys.stderr)
            for engine in engines:
                page = results["engines"][engine]
                try:
                    uncapped, work, _, _, _ = web_show(engine, url, True)
                except Exception as error:  # noqa: BLE001 - reported, and the run goes on
                    note_stall(page, f"round {round_number}, uncapped", error)
                    continue
                merge(page["uncapped_work"], work)
                merge(page["uncapped"], uncapped)
                for scene in native.keys() & uncapped.keys():
                    page["ratios"].setdefault(scene, []).append(
                        statistics.median(uncapped[scene]) / statistics.median(native[scene]))
                print(f"round {round_number}: {engine} done", file=sys.stderr)
        for engine in engines if rounds else []:
            page = results["engines"][engine]
            try:
                capped, work, lags, latency, heard = web_show(engine, clicks_url, False,
                                                              decoded)
                merge(page["page"], capped)
                merge(page["work"], work)
                page["lags"], page["latency"], page["heard"] = lags, latency, heard
            except Exception as error:  # noqa: BLE001 - reported, and the run goes on
                note_stall(page, "the viewer's page", error)
            for _ in range(START_LOADS):
                try:
                    page["starts"].append(web_start(engine, url))
                except Exception as error:  # noqa: BLE001 - reported, and the run goes on
                    note_stall(page, "a start-up", error)
            print(f"{engine}: the viewer's page and the start-ups done", file=sys.stderr)
    finally:
        server.shutdown()
        clicks_server.shutdown()
        clicks.cleanup()
    results["load_after"] = os.getloadavg()[0]
    with open(os.path.join(out_dir, "web.json"), "w") as file:
        json.dump(results, file, indent=1)
    text = report(results) if rounds else ""
    links = "\n".join(links_report(results["links"])) if results["links"] else ""
    print(text + "\n\n" + links)
    for engine in engines:
        worst = heard_worst(results["engines"][engine])
        print(f"tune heard {engine}: worst {'–' if worst is None else format(worst, '.0f')} ms")
    if doc and text:
        rewrite_section(doc, "web", text)
    if doc and links:
        rewrite_section(doc, "links", links + f"\n\nMeasured {results['date']} on {results['cpu']}, "
                        f"load average {results['load_before']:.2f} before.")
    stalls = [e for e in engines if results["engines"][e].get("stalled")]
    if stalls:
        print(f"not measured in full: {', '.join(stalls)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
