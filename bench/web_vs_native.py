#!/usr/bin/python3
"""The web page against the native show, side by side (bench/web_vs_native.sh
runs it with an Xvfb screen of its own and the builds in place).

Usage: web_vs_native.py VUP SITE OUT_DIR ROUNDS [DOC.md]

Each round plays the whole show twice, one after the other, in turns (native
first in odd rounds, the page first in even ones, so that a drifting load
meets both alike): the native `vup` (fullscreen on the 800 x 600 Xvfb
screen, Mesa's llvmpipe) and the page in headless Chromium (SwiftShader's
WebGL, "Play": fullscreen at 800 x 600) at `?uncapped`, drawing as fast as
the browser takes frames, as the native loop does without vsync. The ratio
of a scene is the median over the rounds of each round's ratio of medians.
Once more, the page waits for animation frames as a viewer's page does.
Frame rates are taken over intervals of half a second or more inside each
scene (1 s clear of its bounds): native from the program's VUP_FRAME_STATS
file, which it rewrites about once a second; the page from its present
count and times. Then START_LOADS fresh browsers each
load the page (page load to ready: the start control shown) and click Play
(click to the first animation frame after the show's first present), ended
by Escape. Every figure is given as min / median / max. Results go to
OUT_DIR/web.json; with DOC.md, the section between its bench:web markers is
rewritten.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402
from web_browser import chromium, serve  # noqa: E402

SCENES = [("title picture", 0, 10), ("Bezier path", 10, 35), ("pulsing polyhedron", 35, 50),
          ("cube lattice", 50, 70), ("title picture again", 70, 75),
          ("shrinking and end picture", 75, 85)]
MARGIN_S = 1.0
START_LOADS = 7


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


def web_show(url, uncapped):
    with tempfile.TemporaryDirectory() as profile:
        driver = chromium(profile, ["--autoplay-policy=no-user-gesture-required"])
        try:
            driver.get(url + "/index.html" + ("?uncapped" if uncapped else ""))
            while driver.execute_script("return document.body.dataset.state") != "ready":
                time.sleep(0.1)
            driver.find_element(By.ID, "play").click()
            samples, work = [], {}
            while True:
                state, stats = driver.execute_script(
                    "return [document.body.dataset.state, VupDisplay.stats]")
                if state != "playing":
                    break
                if stats["presents"] > 0:
                    samples.append((stats["showMs"] / 1000, stats["presents"],
                                    stats["lastPresentAt"] / 1000))
                    scene = scene_of(stats["showMs"] / 1000)
                    if scene:
                        work.setdefault(scene, []).append(
                            (stats["draws"], stats["primitives"], stats["workMs"]))
                time.sleep(0.1)
            return rates(samples), work
        finally:
            driver.quit()


def web_start(url):
    with tempfile.TemporaryDirectory() as profile:
        driver = chromium(profile, ["--autoplay-policy=no-user-gesture-required"])
        try:
            driver.get(url + "/index.html")
            while driver.execute_script("return document.body.dataset.state") != "ready":
                time.sleep(0.05)
            driver.find_element(By.ID, "play").click()
            while not driver.execute_script("return VupPage.stats.firstFrameAt"):
                time.sleep(0.05)
            stats = driver.execute_script("return VupPage.stats")
            ActionChains(driver).key_down(Keys.ESCAPE).pause(0.25).key_up(Keys.ESCAPE).perform()
            return stats["readyAt"], stats["firstFrameAt"] - stats["clickAt"]
        finally:
            driver.quit()


def spread(values, form=",.0f"):
    if not values:
        return "–"
    return " / ".join(format(v, form) for v in
                      (min(values), statistics.median(values), max(values)))


def median_of(values):
    values = list(values)
    return format(statistics.median(values), "g") if values else "–"


def report(results):
    lines = [
        "Frames per second over intervals of half a second or more inside each scene, min /"
        " median / max over all intervals of all rounds. *Page*: headless Chromium, SwiftShader's"
        " WebGL, waiting for animation frames as a viewer's page does; *page, uncapped*: the"
        " same page with `?uncapped`, drawing as fast as the browser takes frames, as the"
        " native loop does (no vsync), taking turns with it. Ratio: uncapped page ÷ native, the"
        " median over the rounds of each round's ratio of medians; target ≥ 0.5."
        " Draws and `glEnd`s: WebGL draw calls and GL primitives per frame; *program*: the"
        " page's own time per frame, from the wait before it to its present (its turns, the"
        " drawing and the WebGL calls; uncapped, min / median / max).",
        "",
        "| scene | native (frames/s) | page (frames/s) | page, uncapped (frames/s) |"
        " uncapped ÷ native | met | draws per frame | `glEnd`s per frame | program (ms) |",
        "|---|---:|---:|---:|---:|:---:|---:|---:|---:|"]
    for name, _, _ in SCENES:
        native = results["native"].get(name, [])
        capped = results["page"].get(name, [])
        uncapped = results["uncapped"].get(name, [])
        work = results["work"].get(name, [])
        program = [w[2] for w in results["uncapped_work"].get(name, [])]
        ratios = results["ratios"].get(name, [])
        ratio = statistics.median(ratios) if ratios else None
        lines.append(
            f"| {name} | {spread(native)} | {spread(capped)} | {spread(uncapped)} | "
            f"{'–' if ratio is None else format(ratio, '.2f')} | "
            f"{'–' if ratio is None else ('yes' if ratio >= 0.5 else '**no**')} | "
            f"{median_of(w[0] for w in work)} | {median_of(w[1] for w in work)} | "
            f"{spread(program, '.1f')} |")
    ready = [r[0] for r in results["starts"]]
    first = [r[1] for r in results["starts"]]
    lines += [
        "",
        f"| start-up ({len(ready)} fresh browsers) | min / median / max | target | met |",
        "|---|---:|---|:---:|",
        f"| page load to ready (start control shown) | {spread(ready)} ms | | |",
        f"| click on Play to the first frame | {spread(first)} ms | ≤ 500 ms | "
        f"{'yes' if first and max(first) <= 500 else '**no**'} |",
        "",
        f"Measured {results['date']} on {results['cpu']}, {results['cores']} cores, load average"
        f" {results['load_before']:.2f} before and {results['load_after']:.2f} after;"
        f" {results['rounds']} round(s).",
    ]
    return "\n".join(lines)


def main(argv):
    if len(argv) not in (5, 6):
        print(__doc__)
        return 2
    vup, site, out_dir, rounds = argv[1], argv[2], argv[3], int(argv[4])
    os.makedirs(out_dir, exist_ok=True)
    server, url = serve(site)
    with open("/proc/cpuinfo") as cpuinfo:
        cpu = next((line.split(":", 1)[1].strip() for line in cpuinfo
                    if line.startswith("model name")), "?")
    results = {"native": {}, "page": {}, "uncapped": {}, "work": {}, "uncapped_work": {},
               "ratios": {}, "starts": [],
               "rounds": rounds, "date": time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime()),
               "cpu": cpu, "cores": os.cpu_count(), "load_before": os.getloadavg()[0]}

    def merge(into, rates_by_scene):
        for scene, values in rates_by_scene.items():
            into.setdefault(scene, []).extend(values)

    try:
        for round_number in range(1, rounds + 1):
            native, page = {}, {}
            for which in (("native", "page") if round_number % 2 else ("page", "native")):
                if which == "native":
                    with tempfile.TemporaryDirectory() as work:
                        native = native_show(vup, work)
                else:
                    page, work = web_show(url, True)
                    merge(results["uncapped_work"], work)
                print(f"round {round_number}: {which} done", file=sys.stderr)
            merge(results["native"], native)
            merge(results["uncapped"], page)
            for scene in native.keys() & page.keys():
                results["ratios"].setdefault(scene, []).append(
                    statistics.median(page[scene]) / statistics.median(native[scene]))
        capped, work = web_show(url, False)
        merge(results["page"], capped)
        merge(results["work"], work)
        print("the viewer's page done", file=sys.stderr)
        for _ in range(START_LOADS):
            results["starts"].append(web_start(url))
    finally:
        server.shutdown()
    results["load_after"] = os.getloadavg()[0]
    with open(os.path.join(out_dir, "web.json"), "w") as file:
        json.dump(results, file, indent=1)
    text = report(results)
    print(text)
    if len(argv) == 6:
        with open(argv[5]) as file:
            doc = file.read()
        begin, end = "<!-- bench:web begin -->", "<!-- bench:web end -->"
        if begin in doc and end in doc:
            doc = doc[:doc.index(begin) + len(begin)] + "\n\n" + text + "\n\n" + doc[doc.index(end):]
            with open(argv[5], "w") as file:
                file.write(doc)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
