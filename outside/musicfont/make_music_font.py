#!/usr/bin/python3
"""Builds the music-symbol font "DEDOZI.rod" (face "ViredAzezevOvoz").

The notation painters add this file privately and draw four symbols with it
through a SYMBOL_CHARSET font; everything else (note heads, flags, accidentals,
the other rests, digits) they draw with GDI strokes and Arial. The outlines here
are our own, drawn from a few curves in code.

Code points (symbol character map, so GDI reaches them as the bytes shown):

    0x26 "&"   treble clef   the G line (second line from the bottom)
    0x3F "?"   bass clef     the F line (fourth line)
    0x41 "A"   C clef        the middle of the clef, on the line it names
    0xDE       quarter rest  its centre, for the staff's middle line

Every symbol has that reference point on the baseline (y = 0), and the
painters write it with TextOutA aligned at the baseline on the staff line.
An offset from the top of the cell would scale with the font height, while the
staff's line gap and the painters' font heights do not grow in proportion
(clef fonts of 26, 30, 40 and 48 px over gaps of 6, 8, 10 and 12 px, and a
21 px rest font at the third level); only a baseline origin keeps each symbol on
its line at every size. The outlines are drawn to the first size level's staff
space, so at other levels a symbol is a little larger or smaller than the
staff but still centred on its line.

Usage: make_music_font.py <output file>
"""

import math
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

UNITS_PER_EM = 1000
ASCENT = 1154          # cell top to baseline: room above the treble clef's top loop
DESCENT = 700
FACE = "ViredAzezevOvoz"

# Staff space in font units for the font size each symbol is drawn at.
CLEF_SPACE = 6.0 / 26.0 * UNITS_PER_EM
REST_SPACE = 6.0 / 25.0 * UNITS_PER_EM


# ---- outline primitives: every shape is a closed polygon, clockwise --------

def signed_area(poly):
    area = 0.0
    for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
        area += x0 * y1 - x1 * y0
    return area / 2.0


def clockwise(poly):
    # TrueType fills by the non-zero rule with outer contours clockwise, so
    # overlapping shapes of one orientation simply merge.
    return poly if signed_area(poly) < 0 else list(reversed(poly))


def catmull_rom(points, samples=14):
    """Samples a smooth curve through (x, y, width) points."""
    pts = [points[0]] + list(points) + [points[-1]]
    out = []
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for k in range(samples):
            t = k / samples
            t2, t3 = t * t, t * t * t
            out.append(tuple(
                0.5 * (2 * p1[j] + (-p0[j] + p2[j]) * t
                       + (2 * p0[j] - 5 * p1[j] + 4 * p2[j] - p3[j]) * t2
                       + (-p0[j] + 3 * p1[j] - 3 * p2[j] + p3[j]) * t3)
                for j in range(3)))
    out.append(tuple(points[-1]))
    return out


def stroke(points, samples=14):
    """A pen stroke of varying width along a smooth centre line."""
    centre = catmull_rom(points, samples)
    left, right = [], []
    n = len(centre)
    for i, (x, y, w) in enumerate(centre):
        xa, ya, _ = centre[max(i - 1, 0)]
        xb, yb, _ = centre[min(i + 1, n - 1)]
        dx, dy = xb - xa, yb - ya
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length, dx / length
        left.append((x + nx * w / 2, y + ny * w / 2))
        right.append((x - nx * w / 2, y - ny * w / 2))
    return clockwise(left + list(reversed(right)))


def ellipse(cx, cy, rx, ry, steps=28):
    return clockwise([(cx + rx * math.cos(2 * math.pi * k / steps),
                       cy + ry * math.sin(2 * math.pi * k / steps)) for k in range(steps)])


def polygon(points):
    return clockwise(list(points))


def scaled(shapes, unit, dx=0.0, dy=0.0):
    """Staff-space coordinates to font units, moved by (dx, dy) units."""
    return [[(round(x * unit + dx), round(y * unit + dy)) for x, y in shape] for shape in shapes]


# ---- the symbols, in staff spaces -------------------------------------------

def treble_clef():
    # One pen movement: from the middle of the curl round the G line, out to
    # the left, under, up the right side, up over the staff into the top loop,
    # straight down through the curl and into the hook below the staff.
    body = stroke([
        (1.30, 0.10, 0.07),
        (1.80, 0.55, 0.12),
        (1.30, 1.05, 0.14),
        (0.55, 0.55, 0.30),
        (0.45, -0.40, 0.36),
        (1.20, -1.05, 0.22),
        (2.05, -0.45, 0.26),
        (2.05, 0.65, 0.22),
        (1.45, 1.60, 0.16),
        (0.90, 2.55, 0.30),
        (1.05, 3.70, 0.16),
        (1.60, 4.45, 0.10),
        (1.80, 3.90, 0.12),
        (1.45, 2.90, 0.13),
        (1.42, 1.20, 0.15),
        (1.38, -0.90, 0.16),
        (1.30, -2.25, 0.15),
        (0.95, -2.70, 0.13),
        (0.50, -2.50, 0.12),
    ])
    ball = ellipse(0.68, -2.15, 0.34, 0.32)
    return [body, ball]


def bass_clef():
    # The F line is y = 0: a ball on it, a hook over the top line down past
    # the second line, and the two dots either side of the F line.
    hook = stroke([
        (0.35, 0.10, 0.10),
        (0.75, 0.85, 0.16),
        (1.55, 1.08, 0.20),
        (2.30, 0.60, 0.34),
        (2.40, -0.40, 0.36),
        (1.85, -1.45, 0.24),
        (0.95, -2.20, 0.12),
        (0.40, -2.55, 0.05),
    ])
    ball = ellipse(0.52, 0.0, 0.40, 0.40)
    dots = [ellipse(2.95, 0.50, 0.17, 0.17), ellipse(2.95, -0.50, 0.17, 0.17)]
    return [hook, ball] + dots


def c_clef():
    # Centred on y = 0, four spaces tall: a thick and a thin bar, then the
    # two curls that meet in a point at the middle line.
    thick = polygon([(0.00, -2.05), (0.00, 2.05), (0.45, 2.05), (0.45, -2.05)])
    thin = polygon([(0.65, -2.05), (0.65, 2.05), (0.80, 2.05), (0.80, -2.05)])
    shapes = [thick, thin]
    for sign in (1, -1):
        curl = stroke([
            (0.85, 0.0, 0.10),
            (1.30, 0.45 * sign, 0.14),
            (2.05, 0.75 * sign, 0.22),
            (2.45, 1.35 * sign, 0.34),
            (2.10, 1.95 * sign, 0.22),
            (1.60, 2.00 * sign, 0.12),
        ])
        ball = ellipse(1.55, 1.62 * sign, 0.30, 0.30)
        shapes += [curl, ball]
    return shapes


def quarter_rest():
    # Centred on y = 0 (the staff's middle line), about three spaces tall.
    upper = stroke([(0.30, 1.45, 0.14), (0.88, 0.72, 0.20)], samples=4)
    wedge = polygon([(0.95, 0.78), (0.24, 0.10), (0.44, -0.10), (0.95, 0.52)])
    lower = stroke([(0.34, 0.02, 0.16), (0.90, -0.62, 0.18)], samples=4)
    hook = stroke([
        (0.90, -0.62, 0.12),
        (0.42, -0.62, 0.20),
        (0.30, -0.98, 0.20),
        (0.58, -1.40, 0.08),
    ])
    return [upper, wedge, lower, hook]


GLYPHS = [
    # (glyph name, byte, shapes in font units, advance width)
    ("trebleClef", 0x26, scaled(treble_clef(), CLEF_SPACE), 640),
    ("bassClef", 0x3F, scaled(bass_clef(), CLEF_SPACE), 760),
    ("cClef", 0x41, scaled(c_clef(), CLEF_SPACE), 640),
    ("quarterRest", 0xDE, scaled(quarter_rest(), REST_SPACE), 300),
]


def glyph_of(shapes):
    pen = TTGlyphPen(None)
    for shape in shapes:
        pen.moveTo(shape[0])
        for point in shape[1:]:
            pen.lineTo(point)
        pen.closePath()
    return pen.glyph()


def build(path):
    order = [".notdef", "space"] + [name for name, _, _, _ in GLYPHS]
    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    # A symbol font is reached through the 0xF000 page of its character map.
    cmap = {0xF020: "space"}
    for name, code, _, _ in GLYPHS:
        cmap[0xF000 + code] = name
    fb.setupCharacterMap(cmap)
    glyphs = {".notdef": glyph_of([[(50, 0), (50, 700), (450, 700), (450, 0)]]),
              "space": glyph_of([])}
    metrics = {".notdef": (500, 50), "space": (300, 0)}
    for name, _, shapes, advance in GLYPHS:
        glyphs[name] = glyph_of(shapes)
        metrics[name] = (advance, min(x for shape in shapes for x, _ in shape))
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({"familyName": FACE, "styleName": "Regular",
                       "uniqueFontIdentifier": FACE + " Regular",
                       "fullName": FACE, "psName": FACE})
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
                usWinAscent=ASCENT, usWinDescent=DESCENT,
                usWeightClass=500, ulCodePageRange1=1 << 31,
                fsSelection=0x40, achVendID="MLDA")
    fb.setupPost()
    # Only a Windows symbol subtable, so that GDI reports SYMBOL_CHARSET:
    # the builder writes Unicode subtables, and the (3, 1) one becomes it.
    tables = [t for t in fb.font["cmap"].tables if (t.platformID, t.platEncID) == (3, 1)]
    for t in tables:
        t.platEncID = 0
    fb.font["cmap"].tables = tables
    fb.save(path)


def preview(path):
    """Writes an ImageMagick draw script of every glyph, for review by eye."""
    with open(path, "w") as out:
        out.write("fill black fill-rule nonzero\n")
        for i, (_, _, shapes, _) in enumerate(GLYPHS):
            for shape in shapes:
                pts = " ".join("%d,%d" % (60 + i * 260 + x // 4, 420 - y // 4) for x, y in shape)
                out.write("polygon %s\n" % pts)
        for k in range(-1, 4):
            y = 420 - round(k * CLEF_SPACE / 4)
            out.write("line 0,%d 1100,%d\n" % (y, y))


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview(sys.argv[2])
    elif len(sys.argv) == 2:
        build(sys.argv[1])
    else:
        sys.exit("usage: make_music_font.py <output file> | --preview <draw script>")
