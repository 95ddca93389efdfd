#!/usr/bin/python3
"""Each scene's picture by what sets it apart: where its light and colour
are, not exact pixels, since a live show's animation follows the wall clock
and its frame rate the machine's load. The desktop's end-to-end test judges
its screenshots with it, and the page's live test its canvas; which scene is
judged by which check, and when, comes from the show's schedule
(show_schedule.py: each scene's "picture" and "shot_at").

  scene_pictures.py PICTURE SHOT.png   judges an 800 x 600 screenshot: each
                                       feature out of bounds is printed, and
                                       the status is 1 when there is one

Brightness is the Rec. 601 luma of 8-bit sRGB values, 0 to 1; colour
(chroma) is max - min of a pixel's channels, 0 to 1 (0 for greys).
"""
import subprocess
import sys

import numpy

WIDTH, HEIGHT = 800, 600
WHOLE = (0, 0, WIDTH, HEIGHT)


def gray(rgb):
    return (0.299 * rgb[..., 0] + 0.587 * rgb[..., 1] + 0.114 * rgb[..., 2]) / 255.0


def crop(rgb, box):  # box: (left, top, width, height)
    left, top, width, height = box
    return rgb[top:top + height, left:left + width]


def brightness(rgb, box=WHOLE):
    return float(gray(crop(rgb, box)).mean())


def chroma(rgb, box=WHOLE):
    part = crop(rgb, box).astype(numpy.int16)
    return float(((part.max(axis=2) - part.min(axis=2)) / 255.0).mean())


def lit_share(rgb, percent, box=WHOLE):
    """The share of pixels brighter than percent % of white."""
    return float((gray(crop(rgb, box)) > percent / 100.0).mean())


def lit_box(rgb, percent):
    """(left, top, right, bottom), right and bottom exclusive, of every pixel
    brighter than percent % of white; None when there is none."""
    rows, columns = numpy.nonzero(gray(rgb) > percent / 100.0)
    if rows.size == 0:
        return None
    return (int(columns.min()), int(rows.min()), int(columns.max()) + 1, int(rows.max()) + 1)


def between(what, value, low, high):
    return [(what, value, ">", low), (what, value, "<", high)]


def main_picture(rgb):
    """The main picture: a 20 x 20 square centred right of and below the
    middle, cut off by the right and bottom edges of the screen; black to its
    left and above it."""
    box = lit_box(rgb, 4)
    if box is None:
        return [("the lit area", 0, ">", 0)]
    left, top, right, bottom = box
    return (between("the picture's left edge", left, 135, 160) +
            between("the picture's top edge", top, 70, 96) +
            [("the picture's right edge", right, ">", 795),
             ("the picture's bottom edge", bottom, ">", 595),
             ("the left strip's brightness", brightness(rgb, (0, 0, 120, 600)), "<", 0.02),
             ("the picture's colour", chroma(rgb, (300, 150, 400, 400)), ">", 0.1)])


def flight(rgb):
    """The flight: grey lit tubes on black, a tunnel of them straight ahead;
    no texture colours and nothing white (the tubes are shaded, not flat)."""
    return [("the colour", chroma(rgb), "<", 0.01),
            ("the share of lit pixels", lit_share(rgb, 6), ">", 0.002),
            ("the share of pixels not black", lit_share(rgb, 3), "<", 0.7),
            ("the share of white pixels", lit_share(rgb, 50), "<", 0.001),
            ("the lit share in the middle", lit_share(rgb, 6, (300, 200, 200, 200)), ">", 0.02)]


def polyhedron(rgb):
    """The polyhedron: a white and grey star right of the middle, the klump
    picture in colour at the lower left, black elsewhere."""
    star, klump = (372, 150, 300, 300), (175, 400, 180, 180)
    return [("the star's white share", lit_share(rgb, 70, star), ">", 0.02),
            ("the star's colour", chroma(rgb, star), "<", 0.02),
            ("the klump picture's colour", chroma(rgb, klump), ">", 0.12),
            ("the klump picture's brightness", brightness(rgb, klump), ">", 0.12),
            ("the upper left's brightness", brightness(rgb, (0, 0, 300, 340)), "<", 0.02),
            ("the right strip's brightness", brightness(rgb, (720, 0, 80, 600)), "<", 0.02)]


def lattice(rgb):
    """The lattice: the greetings picture in a white frame on the left, the
    white and grey cubes on the right."""
    greetings, cubes = (110, 110, 180, 380), (420, 50, 330, 500)
    return [("the frame's left side", brightness(rgb, (75, 100, 12, 400)), ">", 0.85),
            ("the frame's top", brightness(rgb, (100, 73, 200, 8)), ">", 0.85),
            ("the frame's bottom", brightness(rgb, (100, 520, 200, 8)), ">", 0.85),
            ("the greetings picture's colour", chroma(rgb, greetings), ">", 0.08),
            ("the greetings picture's brightness", brightness(rgb, greetings), "<", 0.5),
            ("the cubes' white share", lit_share(rgb, 50, cubes), ">", 0.01),
            ("the cubes' colour", chroma(rgb, cubes), "<", 0.02),
            ("the left edge's brightness", brightness(rgb, (0, 0, 60, 600)), "<", 0.02)]


def end_picture(rgb):
    """The end picture: a 14 x 14 square on the view axis, about 506 pixels
    wide, with equal black margins on either side and above and below."""
    box = lit_box(rgb, 4)
    if box is None:
        return [("the lit area", 0, ">", 0)]
    left, top, right, bottom = box
    width, height = right - left, bottom - top
    return (between("the picture's width", width, 480, 535) +
            between("width minus height", width - height, -7, 7) +
            between("left minus right margin", left - (WIDTH - right), -7, 7) +
            between("top minus bottom margin", top - (HEIGHT - bottom), -7, 7) +
            [("the left strip's brightness", brightness(rgb, (0, 0, 130, 600)), "<", 0.02),
             ("the right strip's brightness", brightness(rgb, (670, 0, 130, 600)), "<", 0.02),
             ("the picture's colour", chroma(rgb, (200, 100, 400, 400)), ">", 0.08)])


PICTURES = {check.__name__: check for check in
            (main_picture, flight, polyhedron, lattice, end_picture)}


def failures(picture, rgb):
    """What of rgb (HEIGHT x WIDTH x 3) is not the picture the schedule names:
    "WHAT is VALUE, expected OP LIMIT" for each feature out of bounds."""
    found = []
    for what, value, op, limit in PICTURES[picture](rgb):
        if not (value > limit if op == ">" else value < limit):
            found.append(f"{what} is {value:.4g}, expected {op} {limit}")
    return found


def read_png(path):
    """An 800 x 600 picture file as a HEIGHT x WIDTH x 3 array (ImageMagick)."""
    raw = subprocess.run(["convert", path, "-alpha", "off", "-depth", "8", "rgb:-"],
                         check=True, capture_output=True).stdout
    pixels = numpy.frombuffer(raw, dtype=numpy.uint8)
    if pixels.size != WIDTH * HEIGHT * 3:
        raise ValueError(f"{path} is not {WIDTH} x {HEIGHT}")
    return pixels.reshape(HEIGHT, WIDTH, 3)


def main(argv):
    if len(argv) != 3 or argv[1] not in PICTURES:
        print(__doc__, file=sys.stderr)
        return 2
    found = failures(argv[1], read_png(argv[2]))
    for failure in found:
        print(failure)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
