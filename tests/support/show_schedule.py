#!/usr/bin/python3
"""The show's schedule as `vup-record --schedule` lists it from
src/show/schedule.h, for the tests, scripts and benchmarks that need its
times: none of them writes a scene's time down.

The recorder is $VUP_RECORD (ctest sets it), else the default build's
(build/tools/vup-record/vup-record).

  show_schedule.py end          the show's end, seconds
  show_schedule.py changes      the scene changes, seconds, one a line
  show_schedule.py heard        the moments the tune is checked at
  show_schedule.py shots        "MS PICTURE ID" for each scene: the moment of
                                a live run its screenshot is taken at, in ms,
                                and what it is judged by
                                (tests/support/scene_pictures.py); a scene
                                without a picture check is left out
Without a recorder it says so and exits 77 (skipped), or 1 under CI.
"""
import functools
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DEFAULT_RECORDER = os.path.join(ROOT, "build", "tools", "vup-record", "vup-record")


class NoRecorder(Exception):
    """No vup-record to list the schedule."""


def recorder():
    path = os.environ.get("VUP_RECORD") or DEFAULT_RECORDER
    if not os.access(path, os.X_OK):
        raise NoRecorder(f"no recorder at {path} to list the show's schedule "
                         "(build vup-record or set VUP_RECORD)")
    return path


@functools.lru_cache(maxsize=None)
def load(path=None):
    """The listing: {"end", "changes", "heard_at", "scenes": [{"id", "name",
    "from", "to", "picture", "shot_at", "tune_section", "stills"}, ...]}."""
    return json.loads(subprocess.run([path or recorder(), "--schedule"], check=True,
                                     capture_output=True, text=True).stdout)


def intervals(path=None):
    """(name, from, to) of each scene, in show order."""
    return [(scene["name"], scene["from"], scene["to"]) for scene in load(path)["scenes"]]


def main(argv):
    try:
        schedule = load()
    except NoRecorder as error:
        if os.environ.get("CI"):
            print(f"FAIL: {error} (under CI no check may be left out)", file=sys.stderr)
            return 1
        print(f"SKIPPED: {error}", file=sys.stderr)
        return 77
    what = argv[1] if len(argv) == 2 else ""
    if what == "end":
        print(f"{schedule['end']:g}")
    elif what in ("changes", "heard"):
        for seconds in schedule["changes" if what == "changes" else "heard_at"]:
            print(f"{seconds:g}")
    elif what == "shots":
        for scene in (s for s in schedule["scenes"] if s["picture"]):
            print(round(scene["shot_at"] * 1000), scene["picture"], scene["id"])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
