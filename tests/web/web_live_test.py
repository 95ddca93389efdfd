#!/usr/bin/python3
"""The live page, in real time, as a viewer uses it.

Usage: web_live_test.py [--engine chromium|firefox|webkit] SITE_DIR OUT_DIR

In every engine (web_browser.py), one show played through and one short:
1. Before the show: each encoding of the tune (Ogg, and AAC in MP4), as the
   engine decodes it and started past the start padding the page measured
   for it, begins with the rendering it was made from (SITE_DIR/../tulmor.wav)
   within 5 ms.
2. The start control over the title picture; "Play" goes fullscreen, and the
   scenes come on schedule: at each scene's moment the canvas shows what
   sets it apart (tests/support/scene_pictures.py). The tune plays audibly: a click tune in
   place of the show's (web_heard.py), captured from the browser's own sound
   server, is heard within 30 ms (WebKitGTK 45 ms) of the show's own clock
   at every scene bound the schedule lists (tests/support/show_schedule.py:
   `vup-record --schedule`, from $VUP_RECORD; the whole tune is
   held back until 25 s of the show, so at 10 s its start alone plays), and
   the page's own reckoning of it stays within 150 ms;
   the show ends by itself within 1 s after its end by the schedule
   (so a clock running slow or fast fails), leaving fullscreen, stopping the
   tune and offering "Play again".
3. "Play again in the page": a fresh show from 0, windowed; paused by
   Space and heard (as in 2) from there: Space again, 5 s on by the right
   arrow key, a pause of 1.5 s, all 5 s apart: from 300 ms after each
   change, every click named (by its neighbours) within the same bound of the
   show's clock, at least two in each stretch of play, none heard while
   paused, and the pause silent; F1 goes
   fullscreen titled "Plomvixtorandebu" with the tune started again where the
   show is, F1 back,
   Escape ends it.
Throughout: no console error, and no warning from the page's own code.
In Chromium also:
- in the short show, the page hidden behind another tab for 10 s: back in
  front, the canvas shows the scene its clock says and the tune played on in
  time;
- the tune's other encoding forced (?tune=m4a) and Play clicked at once:
  the tune, still decoding, joins the show in time;
- a start without a click, which the browser refuses fullscreen: the "Kavu
  GL" question, answered Yes by Return (the show plays windowed) and No by
  Escape ("Program Will Now Close.");
- a site whose Data/Greetz.bmp is cut short: the reader's message, then
  "Initialization Failed.";
- the heap in use the same after every show.
Screenshots go to OUT_DIR/ENGINE. Exits 77 (skipped) when the site or the
engine is missing, unless CI is set; then that is a failure.
"""
import base64
import os
import shutil
import sys
import tempfile
import threading
import time
import wave

import numpy

from web_browser import (ENGINES, BrowserAudioDeadlock, check, engine_missing, failures, missing,
                         open_browser, serve, site_files, verdict)
from web_heard import CannotMeasure, HeardShow, at_bounds, click_site, sound_check

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import scene_pictures  # noqa: E402
import show_schedule  # noqa: E402

QUESTION = ("The Requested Fullscreen Mode Is Not Supported By\n"
            "Your Video Card. Use Windowed Mode Instead?")
AV_BOUND_S = 0.150      # the page's own reckoning of the tune against the show's clock
HEARD_BOUND_S = 0.030   # the tune as captured from the sound server against the clock
# WebKitGTK reports no output latency, and its sink plays what the page renders
# 15 to 70 ms later as the machine's load changes (docs/web.md): the page takes
# the middle, so the tune there can be heard up to half that spread off it.
HEARD_BOUND_S_WEBKIT = 0.045
ALIGN_BOUND_S = 0.005   # each encoding's start against the rendering
# Firefox's audio stack deadlocks now and then on a busy machine as a stream
# starts or stops (web_browser.Firefox.audio_deadlocked): the whole is
# played again in a fresh browser, up to this many plays in all.
PLAYS_ON_DEADLOCK = 4
# The whole show's whole tune is served once the show reaches WHOLE_TUNE_AT_S,
# as a slow link would bring it: at the first scene bound the tune's start
# alone is heard, then silence once it has run out (12 s), then the whole,
# joining at the show's place; its decoding, which makes a busy machine's
# output stutter, comes well before the next bound.
WHOLE_TUNE_AT_S = 25.0


def dialog(browser):
    """(caption, text, buttons) of the open dialog, or None."""
    return browser.js("""document.getElementById('dialog').hidden ? null :
        [document.getElementById('dialog-caption').textContent,
         document.getElementById('dialog-text').textContent,
         Array.from(document.querySelectorAll('#dialog-buttons button'), b => b.textContent)]""")


def schedule_checks():
    """From the show's schedule (tests/support/show_schedule.py): each
    scene's (shot_at, name, picture) to judge the canvas by, and the moments
    the tune is checked at."""
    listing = show_schedule.load()
    return ([(scene["shot_at"], scene["name"], scene["picture"]) for scene in listing["scenes"]
             if scene["picture"]],
            listing["heard_at"], listing["end"])


def wait_show_time(browser, seconds):
    browser.wait(f"VupDisplay.stats.showMs >= {seconds * 1000}", 120, f"show time {seconds} s")


def canvas_at(browser, show_seconds):
    """The canvas once the show has presented a frame at show_seconds or
    later: (pixels, that frame's show time in seconds)."""
    wait_show_time(browser, show_seconds)
    return browser.canvas_pixels(), browser.js("VupDisplay.stats.showMs") / 1000.0


def tune_lag(browser):
    """The tune as heard less the show's clock, in seconds, at the clock's
    last reading (None while no song is heard)."""
    show_ms, position = browser.js(
        "(function (s) { return [s.showMs, VupAudio.heardPosition(s.readAt)]; })"
        "(VupDisplay.stats)")
    return None if position is None else position - show_ms / 1000.0


def click_play(browser, button):
    browser.wait("['ready', 'ended'].includes(document.body.dataset.state)", 120,
                 "the start control")
    browser.click(button)
    browser.wait("VupDisplay.stats.showMs > 0 || !document.getElementById('dialog').hidden",
                 30, "the show's first frame")


def ended(browser):
    browser.wait("document.body.dataset.state === 'ended'", 30, "the end of the show")
    # A browser leaves fullscreen in its own time after the page asks.
    deadline = time.time() + 3
    while browser.js("!!document.fullscreenElement") and time.time() < deadline:
        time.sleep(0.05)
    return browser.js("[document.title, !!document.fullscreenElement, VupAudio.report().playing,"
                      " !document.getElementById('control').hidden, Module._WebHeapInUse()]")


def encodings_aligned(browser, rendering):
    """Each encoding decoded by the engine, past the padding the page
    measures for it, against the rendering's first four seconds."""
    with wave.open(rendering) as source:
        rate = source.getframerate()
        frames = numpy.frombuffer(source.readframes(rate * 4), dtype=numpy.int16)
    reference = frames[::source.getnchannels()].astype(numpy.float64) / 32768.0
    for ext in ("ogg", "m4a"):
        padding, decoded_rate, data = browser.js(f"""Promise.all([
            VupRenderings.fetchDecoded('data/tulmor.{ext}'), VupRenderings.fetchDecoded('data/click.{ext}')])
          .then(function (d) {{
            var padding = VupRenderings.paddingIn(d[1]), rate = d[0].sampleRate;
            var from = Math.round(padding * rate);
            var samples = d[0].getChannelData(0).slice(from, from + rate * 4);
            var bytes = new Uint8Array(samples.buffer), text = '';
            for (var i = 0; i < bytes.length; i += 8192)
              text += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
            return [padding, rate, btoa(text)];
          }})""")
        heard = numpy.frombuffer(base64.b64decode(data), dtype=numpy.float32).astype(numpy.float64)
        times = numpy.arange(len(reference)) / rate
        expected = numpy.interp(numpy.arange(len(heard)) / decoded_rate, times, reference)
        # The lag (within 50 ms) at which the decoded tune best matches.
        reach = int(0.05 * decoded_rate)
        core = expected[reach:-reach]
        scores = [numpy.dot(core, heard[reach + lag:len(heard) - reach + lag]) /
                  (numpy.linalg.norm(core) * numpy.linalg.norm(
                      heard[reach + lag:len(heard) - reach + lag]) + 1e-12)
                  for lag in range(-reach, reach)]
        best = int(numpy.argmax(scores))
        lag_s = (best - reach) / decoded_rate
        check(abs(lag_s) <= ALIGN_BOUND_S and scores[best] > 0.9,
              f"{ext}: padding {padding * 1000:.2f} ms measured, starts {lag_s * 1000:+.2f} ms "
              f"from the rendering (correlation {scores[best]:.3f})")


def whole_show(browser, out_dir, heaps, decoded, whole_tune):
    browser.wait("document.body.dataset.state === 'ready'", 120, "the start control")
    browser.screenshot(os.path.join(out_dir, "start.png"))
    check(browser.js("[document.title, document.getElementById('play').textContent,"
                     " document.getElementById('play-page').textContent]") ==
          ["Vup", "Play", "Play in the page"], "start control over the title picture")
    heard = HeardShow(browser, decoded)
    heard.start()
    click_play(browser, "play")
    heard.started()
    check(browser.js("document.fullscreenElement === document.getElementById('stage')"),
          "Play goes fullscreen")
    lags = []
    # The tune's start alone until WHOLE_TUNE_AT_S, as on a slow link.
    shots, scene_bounds, show_end = schedule_checks()
    events = sorted([(seconds, name, picture) for seconds, name, picture in shots] +
                    [(seconds, None, None) for seconds in scene_bounds] +
                    [(WHOLE_TUNE_AT_S, "", None)])
    for seconds, name, picture in events:
        if name == "":
            wait_show_time(browser, seconds)
            whole_tune.set()
            continue
        if name is None:
            wait_show_time(browser, seconds)
            lags.append((seconds, tune_lag(browser)))
            continue
        pixels, shown = canvas_at(browser, seconds)
        # Within 2.5 s: every sampled time lies at least 2.7 s before its
        # scene ends (a busy machine stalls a browser now and then).
        wrong = scene_pictures.failures(picture, pixels)
        check(shown - seconds < 2.5 and not wrong,
              f"{name} at {shown:.3f} s of show time" + "".join(f"; {w}" for w in wrong))
        if picture == "flight":
            browser.screenshot(os.path.join(out_dir, "playing.png"))
        if picture == "polyhedron":
            report, level = browser.js("[VupAudio.report(), VupAudio.level()]")
            check(report["state"] == "running" and report["playing"] and level > 0.001,
                  f"the tune plays ({report['encoding']}), level {level:.4f}")
    check(all(lag is not None and abs(lag) <= AV_BOUND_S for _, lag in lags),
          f"the page's own reckoning of the tune against the show's clock at the scene bounds "
          f"(started again at [ms, ms off] {browser.js('VupAudio.report().resyncs')}): " +
          ", ".join(f"{s:g} s {'none' if lag is None else format(lag * 1000, '+.0f') + ' ms'}"
                    for s, lag in lags))
    title, fullscreen, playing, control, heap = ended(browser)
    try:
        offsets, proof = heard.finish(show_end)
        near = at_bounds(offsets, scene_bounds)
        bound = HEARD_BOUND_S_WEBKIT if browser.engine == "webkit" else HEARD_BOUND_S
        check(all(o is not None and abs(o) <= bound for o in near.values()),
              f"the tune as heard from the sound server against the show's clock at the scene "
              f"bounds (its start alone at 10 s), within {bound * 1000:.0f} ms: " + ", ".join(
                  f"{s:g} s {'none' if o is None else format(o * 1000, '+.1f') + ' ms'}"
                  for s, o in near.items()) + f" ({proof})")
    except CannotMeasure as error:
        check(False, f"the tune as heard: cannot measure: {error}")
    stats = browser.js("VupPage.stats")
    length = stats["endedAt"] - stats["clickAt"]
    check(show_end * 1000 <= length <= show_end * 1000 + 1000,
          f"the show ended by itself {length:.0f} ms after the click")
    check(title == "Vup" and not fullscreen and not playing and control,
          f"after the end: fullscreen left, tune stopped, Play again offered (title {title!r},"
          f" fullscreen {fullscreen}, playing {playing}, control {control})")
    browser.screenshot(os.path.join(out_dir, "ended.png"))
    heaps.append(heap)


def hidden_for_a_while(browser):
    """Another tab in front for 10 s, then the page again: the scene its
    clock says, and the tune went on in time."""
    before, presents = browser.js("[VupDisplay.stats.showMs, VupDisplay.stats.presents]")
    browser.hide_page(True)
    time.sleep(10)
    browser.hide_page(False)
    clock_ms = browser.wait(f"VupDisplay.stats.showMs > {before + 9000} &&"
                            " VupDisplay.stats.showMs", 10, "drawing again")
    # A hidden page gets no animation frames: nothing is drawn meanwhile
    # (600 frames at 60 a second; those few around the switches are).
    drawn = browser.js("VupDisplay.stats.presents") - presents
    pixels = browser.canvas_pixels()
    lag = tune_lag(browser)
    check(before < 2000 and drawn < 60 and not scene_pictures.failures("flight", pixels) and
          lag is not None and
          abs(lag) <= AV_BOUND_S,
          f"hidden from {before} ms of show time for 10 s ({drawn} frames drawn meanwhile): back"
          f" at {clock_ms} ms with the flight on the canvas, the tune "
          f"{'not heard' if lag is None else format(lag * 1000, '+.0f') + ' ms'} from the clock")


# The short show moved while heard: each stretch of play long enough for
# three clicks in a row (which name each other), the pause long enough to
# hear nothing; from MOVE_SETTLE_S after each move on, every click must be
# heard within the heard bound of the show's clock.
MOVE_STRETCH_S = 5.0
PAUSE_S = 1.5
MOVE_SETTLE_S = 0.300
# What an output still plays after the page stops its sound: WebKitGTK's sink
# plays what the page rendered up to 70 ms before (docs/web.md).
PAUSE_TAIL_S = 0.100


def show_time_at(moves, page_ms):
    """The show's time (s) at page time page_ms from the page's record of
    its clock (VupAudio.moves: [performance.now(), time 0, paused]), and the
    page time of the last change before it; None before the record."""
    last = None
    for move in moves:
        if move[0] <= page_ms:
            last = move
    if last is None:
        return None, None
    when, zero, paused = last
    return ((when if paused else page_ms) - zero) / 1000.0, when


def moved_tune(browser, decoded):
    """Heard across a resume, a move 5 s on by the right arrow key, and a
    pause of PAUSE_S: the tune in time from MOVE_SETTLE_S after each, and
    silent while paused."""
    bound = HEARD_BOUND_S_WEBKIT if browser.engine == "webkit" else HEARD_BOUND_S
    # The sound path proves itself in silence.
    browser.hold("Space")
    browser.wait("Module._WebShowPaused()", 10, "the pause")
    listen = HeardShow(browser, decoded)
    listen.start()
    first = browser.js("VupAudio.moves.length") - 1
    for key, wait in (("Space", MOVE_STRETCH_S), ("Right", MOVE_STRETCH_S), ("Space", PAUSE_S),
                      ("Space", MOVE_STRETCH_S)):
        browser.hold(key)
        time.sleep(wait)
    moves, encoding, resyncs = browser.js(f"[VupAudio.moves.slice({first}),"
                                          " VupAudio.report().encoding, VupAudio.report().resyncs]")
    samples, times, _, offset, proof = listen.stop()
    reference = numpy.array(sound_check.onsets(decoded[encoding])) / sound_check.RATE
    heard = times[sound_check.onsets(samples)]
    names = sound_check.identify(heard, reference)
    # Clicks a dropout left unnamed cannot be judged; one heard from an old
    # place would be named, and out of time. Each stretch of play after a
    # change must have clicks named in time.
    right, wrong, unnamed, paused_clicks = [], [], 0, []
    named_after = {}
    for at, name in zip(heard, names):
        show_s, changed = show_time_at(moves, (at - offset) * 1000)
        if show_s is None or (at - offset) * 1000 - changed < MOVE_SETTLE_S * 1000:
            continue
        state = [move for move in moves if move[0] == changed][-1]
        if state[2]:
            paused_clicks.append(round(show_s, 2))
        elif name is None:
            unnamed += 1
        elif abs(reference[name] - show_s) > bound:
            wrong.append((round(show_s, 2), round(1000 * (reference[name] - show_s), 1)))
        else:
            right.append(reference[name] - show_s)
            named_after[changed] = named_after.get(changed, 0) + 1
    stretches = [move[0] for number, move in enumerate(moves)
                 if number > 0 and not move[2] and
                 (moves[number - 1][2] or move[1] != moves[number - 1][1])]
    named = [named_after.get(start, 0) for start in stretches]
    # The pause heard whole (from the pause to the next record of a running
    # clock), from PAUSE_TAIL_S in: its loudest sample against the show's.
    pauses = [(move[0], next(later[0] for later in moves[number:] if not later[2]))
              for number, move in enumerate(moves)
              if number > 0 and move[2] and not moves[number - 1][2]]
    quiet = 1.0
    if pauses:
        page = (times - offset) * 1000
        inside = (page > pauses[-1][0] + 1000 * PAUSE_TAIL_S) & (page < pauses[-1][1])
        quiet = numpy.abs(samples[inside]).max(initial=0) / max(1, numpy.abs(samples).max())
    span = (f" ({1000 * min(right):+.1f} to {1000 * max(right):+.1f} ms)" if right else "")
    check(len(named) == 3 and min(named) >= 2 and not wrong and not paused_clicks and
          quiet < 0.05,
          f"the tune as heard across a resume, a move 5 s on and a pause of {PAUSE_S} s: "
          f"clicks named within {bound * 1000:.0f} ms of the show's clock from "
          f"{MOVE_SETTLE_S * 1000:.0f} ms after each change {named}{span}, {unnamed} not "
          f"named, out of time [show s, ms off] {wrong}, heard while paused {paused_clicks}, "
          f"the pause's loudest {100 * quiet:.1f} % of the show's, the song started again at "
          f"[ms, ms off] {resyncs} ({proof})")


def toggled_show(browser, out_dir, heaps, decoded):
    click_play(browser, "play-page")
    state = browser.js("[VupDisplay.stats.showMs, !!document.fullscreenElement, document.title]")
    check(state[0] < 3000 and not state[1] and state[2] == "Vup",
          f"Play again in the page: windowed, from show time {state[0]} ms")
    if browser.engine == "chromium":
        hidden_for_a_while(browser)
    try:
        moved_tune(browser, decoded)
    except CannotMeasure as error:
        check(False, f"the tune as heard across moves: cannot measure: {error}")
    # Far enough into the show that a tune started again from its beginning
    # would be heard out of time.
    wait_show_time(browser, 1.0)
    first_start = browser.js("VupAudio.report().startedAt")
    browser.hold("F1")
    browser.wait("document.title === 'Plomvixtorandebu' && !!document.fullscreenElement",
                 10, "F1 into fullscreen")
    presents = browser.js("VupDisplay.stats.presents")
    time.sleep(1)
    report = browser.js("VupAudio.report()")
    lag = tune_lag(browser)
    check(browser.js("VupDisplay.stats.presents") > presents and report["playing"] and
          report["startedAt"] > first_start and
          lag is not None and abs(lag) <= AV_BOUND_S,
          f"F1: fullscreen, drawing on, the tune started again where the show is "
          f"(from {report['offset'] or 0:.2f} s, "
          f"{'not heard' if lag is None else format(lag * 1000, '+.0f') + ' ms'} from the clock)")
    browser.screenshot(os.path.join(out_dir, "f1.png"))
    browser.hold("F1")
    browser.wait("!document.fullscreenElement", 10, "F1 out of fullscreen")
    check(browser.js("document.title") == "Plomvixtorandebu", "F1 back into the page")
    browser.hold("Escape")
    title, fullscreen, playing, control, heap = ended(browser)
    check(not playing and control, "Escape ends the show and stops the tune")
    heaps.append(heap)


def other_encoding(browser, url):
    """The AAC encoding, clicked on at once: the tune, still decoding then,
    joins the show where its clock has got to."""
    browser.open(url + "/index.html?tune=m4a")
    click_play(browser, "play-page")
    browser.wait("VupAudio.heardPosition(performance.now()) !== null", 30, "the tune")
    time.sleep(1)
    report, level, show_ms = browser.js("[VupAudio.report(), VupAudio.level(),"
                                        " VupDisplay.stats.showMs]")
    lag = tune_lag(browser)
    check(report["encoding"] == "m4a" and report["playing"] and level > 0.001 and
          report["offset"] > 0 and lag is not None and abs(lag) <= AV_BOUND_S,
          f"?tune=m4a: AAC in MP4 joins at {report['offset']:.3f} s of the tune, level "
          f"{level:.4f}, {'not heard' if lag is None else format(lag * 1000, '+.0f') + ' ms'} "
          f"from the clock at {show_ms} ms")
    browser.hold("Escape")
    ended(browser)


def refused_fullscreen(browser, out_dir, heaps):
    # Started from a script, not a click, once the last key press no longer
    # counts as one: the browser refuses fullscreen.
    for key, answer in (("Escape", "No"), ("Enter", "Yes")):
        browser.wait("!navigator.userActivation.isActive", 30, "the last key press to lapse")
        browser.driver.execute_cdp_cmd("Runtime.evaluate", {
            "expression": "VupPage.play({timeStamp: performance.now()}, true)",
            "userGesture": False})
        browser.wait("!document.getElementById('dialog').hidden", 30, "the question")
        box = dialog(browser)
        check(box == ["Kavu GL", QUESTION, ["Yes", "No"]], f"the fallback question: {box}")
        if answer == "Yes":
            browser.screenshot(os.path.join(out_dir, "question.png"))
        browser.hold(key)
        if answer == "Yes":
            browser.wait("VupDisplay.stats.showMs > 500", 30, "the windowed show")
            check(not browser.js("!!document.fullscreenElement"), "Yes: the show plays windowed")
            browser.hold("Escape")
        else:
            browser.wait("!document.getElementById('dialog').hidden", 10, "the closing box")
            box = dialog(browser)
            check(box == ["ERROR", "Program Will Now Close.", ["OK"]], f"No: {box}")
            browser.hold("Enter")
        heaps.append(ended(browser)[4])


def truncated_greetz(browser, site, out_dir):
    """A site whose Data/Greetz.bmp is cut short: the reader's message, then
    "Initialization Failed."."""
    with tempfile.TemporaryDirectory() as overlay:
        os.mkdir(os.path.join(overlay, "Data"))
        with open(os.path.join(ROOT, "Data", "Greetz.bmp"), "rb") as whole, \
                open(os.path.join(overlay, "Data", "Greetz.bmp"), "wb") as cut:
            cut.write(whole.read(1000))
        server, url = serve(site, overlay=overlay)
        try:
            browser.open(url + "/index.html")
            # Every file in, so that the show's start reads the cut picture.
            browser.wait("Object.keys(VupLoad.bytes).length > 4 && Object.values(VupLoad.bytes)"
                         ".every(function (b) { return b[0] === b[1]; })", 60, "every file")
            click_play(browser, "play")
            boxes = []
            expected = [["Error", "Image file conversion error.", ["OK"]],
                        ["ERROR", "Initialization Failed.", ["OK"]]]
            while len(boxes) < len(expected):
                browser.wait("!document.getElementById('dialog').hidden", 30, "a message box")
                boxes.append(dialog(browser))
                if len(boxes) == len(expected):
                    browser.screenshot(os.path.join(out_dir, "truncated-greetz.png"))
                browser.hold("Enter")
                time.sleep(0.3)
            ended(browser)
            check(boxes == expected and not browser.js("document.body.dataset.error"),
                  f"Data/Greetz.bmp cut short: {boxes}")
        finally:
            server.shutdown()


ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def main(argv):
    engine = "chromium"
    if len(argv) > 2 and argv[1] == "--engine" and argv[2] in ENGINES:
        engine, argv = argv[2], argv[:1] + argv[3:]
    if len(argv) != 3:
        print(__doc__)
        return 2
    site, out_dir = argv[1:3]
    rendering = os.path.join(site, os.pardir, "tulmor.wav")
    if "vup.js" not in site_files(site) or not os.path.isfile(rendering):
        return missing(f"no web site with its tune's rendering in {site} "
                       "(scripts/build-web.sh builds it)")
    render_tune = os.environ.get("VUP_RENDER_TUNE", "")
    if not os.access(render_tune, os.X_OK):
        return missing("VUP_RENDER_TUNE does not name vup-render-tune (for the click tune)")
    absent = [tool for tool in ("parec", "pacat", "ffmpeg") if not shutil.which(tool)]
    if absent:
        return missing(f"no {', '.join(absent)} to hear the page's tune")
    if engine_missing(engine):
        return missing(engine_missing(engine))
    try:
        schedule_checks()
    except show_schedule.NoRecorder as error:
        return missing(str(error))
    out_dir = os.path.join(out_dir, engine)
    os.makedirs(out_dir, exist_ok=True)
    for attempt in range(1, PLAYS_ON_DEADLOCK + 1):
        try:
            play_through(engine, site, out_dir, render_tune, rendering)
            break
        except BrowserAudioDeadlock as error:
            # Played again only while nothing the page did has failed.
            if failures or attempt == PLAYS_ON_DEADLOCK:
                check(False, f"{error}, with the browser's audio stack deadlocked")
                break
            print(f"again: {error}, with the browser's audio stack deadlocked: a fault of "
                  f"the browser's; a fresh one plays it all again ({attempt} of "
                  f"{PLAYS_ON_DEADLOCK - 1})", flush=True)
    print(f"screenshots in {out_dir}")
    return verdict()


def play_through(engine, site, out_dir, render_tune, rendering):
    server, url = serve(site, hook_console=engine == "webkit")
    heaps = []
    with tempfile.TemporaryDirectory() as profile:
        # The whole show plays the click tune, to be heard against the clock.
        overlay, decoded = click_site(profile, render_tune)
        whole_tune = threading.Event()
        clicks_server, clicks_url = serve(site, overlay=overlay, hook_console=engine == "webkit",
                                          held={"data/tulmor.ogg": whole_tune,
                                                "data/tulmor.m4a": whole_tune})
        browser = open_browser(engine, profile)
        try:
            browser.open(url + "/index.html")
            browser.wait("document.body.dataset.state === 'ready'", 120, "the start control")
            encodings_aligned(browser, rendering)
            browser.open(clicks_url + "/index.html")
            whole_show(browser, out_dir, heaps, decoded, whole_tune)
            toggled_show(browser, out_dir, heaps, decoded)
            if engine == "chromium":
                refused_fullscreen(browser, out_dir, heaps)
                check(max(heaps) == min(heaps), f"heap in use after each show: {heaps} bytes")
                other_encoding(browser, url)
                truncated_greetz(browser, site, out_dir)
            problems = browser.problems()
            check(not problems, f"no console errors, no warnings from the page {problems}")
        except BrowserAudioDeadlock:
            raise
        except Exception as error:  # a timeout: report it like any failure
            check(False, f"{type(error).__name__}: {error}")
        finally:
            whole_tune.set()
            browser.quit()
            server.shutdown()
            clicks_server.shutdown()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
