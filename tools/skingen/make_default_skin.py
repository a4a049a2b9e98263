#!/usr/bin/python3
"""Generates Melodara's default skin scheme, its test fixtures and a preview.

Modes
-----
  make_default_skin.py [--out RES_DIR]
      Draws every skin image into RES_DIR/Skins/Default/ and the about-box
      picture into RES_DIR/AboutImg.png.  RES_DIR defaults to player/res of the
      repository holding this script.  Needs Pillow (Debian: python3-pil) and
      the DejaVu fonts (Debian: fonts-dejavu-core).  The output is committed, so
      building the player never runs this.

  make_default_skin.py --fixtures DIR
      Writes flat-colour images with the same file names and the same sizes as
      the default scheme into DIR (created when missing).  Uses only the Python
      standard library, so tests can make their fixtures at test time.

  make_default_skin.py --preview OUT.png [--skin DIR]
      Assembles the main window (260 x 150), the score, lyrics and play-list
      frames, a skinned dialog, every button strip and the about picture from
      the images in DIR (default: the committed scheme) into one picture, for a
      person to look at.  Needs Pillow.

  make_default_skin.py --header-images OUT.bmp
      Writes the list header images of the track dialog (bitmap 154 of the
      program's resources): 16 x 16 images side by side, magenta (FF00FF)
      where the header shows through.  Standard library only; the build runs
      it.

File format
-----------
Every ".bmp" name holds a plain 24-bit bottom-up Windows bitmap (BI_RGB) and
every ".png" name a PNG (8-bit RGB, no alpha).  Nothing in the scheme is
transparent: owner-drawn skin buttons paint onto a device context that nobody
erased, borders go through StretchBlt, and beat cells are drawn straight onto
the window, so a transparent pixel would show garbage or black.  Instead every
image that lies on top of another one (caption buttons on the caption band,
corner toggles on the bottom band, slider thumbs on their tracks) carries that
image's pixels as its own background; the bands are uniform along their
length, so this holds wherever the framework places them.  The main window's
interior, behind the transport buttons, toggles, volume and beat cells, is
BACKGROUND below: the player's installed settings should give it as
DEFAULT_BK_COLOR (COLORREF 0x002A201B).

Button strips hold four equal frames side by side: 0 normal, 1 hover,
2 pressed (or checked, for toggles), 3 disabled.

Fixture colours
---------------
Every fixture pixel of an image is one flat colour that names the image and,
for strips, the frame, so a single GetPixel tells what was drawn:
  strip image with id N, frame k (k = 0..3):  RGB(N, 0x3F + 0x40 * k, 0x00)
      frame 0 -> G 0x3F, frame 1 -> G 0x7F, frame 2 -> G 0xBF, frame 3 -> G 0xFF
  single image (border, corner, title, track, beat cell) with id N:
                                             RGB(N, 0x00, 0xFF)
Ids are those of the skin manager's table (all below 256), e.g. Close.bmp
(id 1) frame 2 is RGB(1, 0xBF, 0), MainWndTopBorder.png (id 192) is
RGB(192, 0, 255).  As a COLORREF (0x00BBGGRR) that is N | G << 8 | B << 16.
"""

import argparse
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# The scheme's files: (id, file name, kind, frame width, height).
# kind "strip": four frames side by side, the file is 4 * width wide.
# kind "image": one picture of the given size.
# --------------------------------------------------------------------------

CAPTION_BTN = (13, 13)
ICON = (22, 23)
BAND_H = 23          # caption band of every frame; title images are this high
TOOL_BOTTOM_H = 20   # bottom band of the score, lyrics and play-list frames
MAIN_BOTTOM_H = 5
SIDE_W = 4
DIALOG_SIDE_W = 3
TITLE_MAIN_W = 160
TITLE_TOOL_W = 150
PIN_W = 16           # always-on-top toggle in a frame's bottom-right corner


class FrameStyle:
    """Widths of a window frame's sides, caption band and bottom band."""

    def __init__(self, side, band, bottom, seam_all_round=True):
        self.side, self.band, self.bottom = side, band, bottom
        self.seam_all_round = seam_all_round


MAIN_FRAME = FrameStyle(SIDE_W, BAND_H, MAIN_BOTTOM_H)
TOOL_FRAME = FrameStyle(SIDE_W, BAND_H, TOOL_BOTTOM_H)
# A dialog has no corner images and its side borders run the full height over
# the caption band, so only the band's lower edge carries the seam.
DIALOG_FRAME = FrameStyle(DIALOG_SIDE_W, BAND_H, DIALOG_SIDE_W, seam_all_round=False)


# Every window frame has the same run of images, numbered in the order below
# from the frame's first id; these helpers write those rows of the table.

def border_rows(first_id, name, style):
    """Left, right, top and bottom border; name % "Left" is the left one's file."""
    return [(first_id, name % "Left", "image", style.side, 8),
            (first_id + 1, name % "Right", "image", style.side, 8),
            (first_id + 2, name % "Top", "image", 8, style.band),
            (first_id + 3, name % "Bottom", "image", 8, style.bottom)]


def corner_rows(first_id, prefix, style):
    """Top-left, top-right, bottom-left and bottom-right corner."""
    return [(first_id + i, "%s%s.png" % (prefix, corner), "image", style.side, h)
            for i, (corner, h) in enumerate((("TopLeft", style.band), ("TopRight", style.band),
                                             ("BottomLeft", style.bottom), ("BottomRight", style.bottom)))]


def title_rows(first_id, name, width):
    """The caption band's title, active then inactive; name % "Active" is the active one's file."""
    return [(first_id, name % "Active", "image", width, BAND_H),
            (first_id + 1, name % "InActive", "image", width, BAND_H)]


def caption_rows(first_id, prefix):
    """Minimise, maximise and close button, then the icon."""
    return [(first_id, prefix + "MinBtn.bmp", "strip") + CAPTION_BTN,
            (first_id + 1, prefix + "MaxBtn.bmp", "strip") + CAPTION_BTN,
            (first_id + 2, prefix + "CloseBtn.bmp", "strip") + CAPTION_BTN,
            (first_id + 3, prefix + "Icon.bmp", "strip") + ICON]


def frame_rows(first_id, prefix, style, pin_h, band_keys=()):
    """Borders, corners, the keys on the bottom band ((file name, width) each),
    the always-on-top toggle, then the caption's buttons and icon."""
    rows = border_rows(first_id, prefix + "%sBorder.png", style) + corner_rows(first_id + 4, prefix, style)
    next_id = first_id + 8
    for name, w in band_keys:
        rows.append((next_id, name, "strip", w, style.bottom))
        next_id += 1
    rows.append((next_id, prefix + "AlwaysShowBtn.bmp", "strip", PIN_W, pin_h))
    return rows + caption_rows(next_id + 1, prefix)


def main_window_rows(first_id):
    # The bottom band is 5 px high, so the 16 px toggle reaches up over the interior.
    return frame_rows(first_id, "MainWnd", MAIN_FRAME, PIN_W)


def tool_frame_rows(first_id, prefix, band_keys=()):
    return frame_rows(first_id, prefix, TOOL_FRAME, TOOL_BOTTOM_H, band_keys)


SKIN_FILES = [
    # dialog caption buttons and icon
    (1, "Close.bmp", "strip", 13, 13),
    (2, "Min.bmp", "strip", 13, 13),
    (3, "Max.bmp", "strip", 13, 13),
    (4, "Icon.bmp", "strip", 22, 23),
    # main window transport, open, play mode, window toggles
    (10, "Play.bmp", "strip", 22, 18),
    (11, "Stop.bmp", "strip", 22, 18),
    (12, "Pause.bmp", "strip", 22, 18),
    (13, "ToBegin.bmp", "strip", 22, 18),
    (14, "ToEnd.bmp", "strip", 22, 18),
    (20, "Open.bmp", "strip", 22, 18),
    (21, "PlayMode.bmp", "strip", 20, 18),
    (30, "ShowStaff.bmp", "strip", 20, 16),
    (31, "ShowSonglist.bmp", "strip", 20, 16),
    (32, "ShowLyric.bmp", "strip", 20, 16),
    (33, "ShowSongMaker.bmp", "strip", 20, 16),
    # skinned dialog borders
    *border_rows(40, "Border%s.bmp", DIALOG_FRAME),
    (50, "AddSongs.bmp", "strip", 24, 20),
    (51, "RemoveSongs.bmp", "strip", 24, 20),
    # horizontal slider and vertical scroll bar
    (60, "HScrollLBtn.bmp", "strip", 12, 12),
    (61, "HScrollRBtn.bmp", "strip", 12, 12),
    (62, "HScrollHumb.bmp", "strip", 24, 12),
    (63, "HScrollBk.bmp", "image", 4, 12),
    (70, "VScrollTBtn.bmp", "strip", 12, 12),
    (71, "VScrollBBtn.bmp", "strip", 12, 12),
    (72, "VScrollHumb.bmp", "strip", 12, 24),
    (73, "VScrollBk.bmp", "image", 12, 4),
    # titles
    *title_rows(90, "MainWndTitle%s.bmp", TITLE_MAIN_W),
    *title_rows(95, "ScoreTitle%s.png", TITLE_TOOL_W),
    *title_rows(97, "LyricTitle%s.bmp", TITLE_TOOL_W),
    *title_rows(100, "PlaylistTitle%s.bmp", TITLE_TOOL_W),
    # dialog buttons
    (110, "OkBtn.bmp", "strip", 64, 20),
    (111, "CancelBtn.bmp", "strip", 64, 20),
    (112, "AdvancedBtn.bmp", "strip", 64, 20),
    (121, "SongSetting.bmp", "strip", 22, 18),
    # score frame, with its staff and numbered notation toggles on the bottom band
    *tool_frame_rows(130, "Score", (("DisplayStaff.bmp", 20), ("DisplayJianPu.bmp", 20))),
    (145, "AlwaysShowBtn.bmp", "strip", PIN_W, TOOL_BOTTOM_H),
    # lyrics frame
    *tool_frame_rows(150, "Lyrics"),
    # play-list frame (the song-maker frame wears it too)
    *tool_frame_rows(170, "PlayList"),
    (183, "PlayListAddSongsBtn.bmp", "strip", 24, TOOL_BOTTOM_H),
    (184, "PlayListRemoveSongsBtn.bmp", "strip", 24, TOOL_BOTTOM_H),
    (185, "PlayListExportSongListBtn.bmp", "strip", 24, TOOL_BOTTOM_H),
    (186, "PlayListImportSongListBtn.bmp", "strip", 24, TOOL_BOTTOM_H),
    # main window
    *main_window_rows(190),
    (203, "Volume.bmp", "image", 80, 14),
    (204, "VolumeBtn.bmp", "strip", 8, 12),
    (205, "MainWndHumb.bmp", "strip", 10, 9),
    (206, "MainWndScrollBk.bmp", "image", 4, 9),
    # beat indicator cells
    (250, "HeavyBeatNormal.bmp", "image", 10, 10),
    (251, "LightBeatNormal.bmp", "image", 10, 10),
    (252, "MiddleBeatNormal.bmp", "image", 10, 10),
    (253, "HeavyBeatActive.bmp", "image", 10, 10),
    (254, "LightBeatActive.bmp", "image", 10, 10),
    (255, "MiddleBeatActive.bmp", "image", 10, 10),
]

ABOUT_SIZE = (370, 200)   # template 179 is 185 x 100 dialog units


def file_size(kind, w, h):
    return (4 * w if kind == "strip" else w, h)


# --------------------------------------------------------------------------
# Writers.  Our own, so fixtures need nothing beyond the standard library and
# the committed bytes do not depend on an image library's encoder.
# --------------------------------------------------------------------------

def write_bmp(path, width, height, rgb_rows):
    """rgb_rows: height rows (top first) of width (r, g, b) tuples."""
    stride = (width * 3 + 3) & ~3
    pad = b"\0" * (stride - width * 3)
    body = bytearray()
    for row in reversed(rgb_rows):          # BMP rows go bottom-up
        for r, g, b in row:
            body += bytes((b, g, r))
        body += pad
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def write_png(path, width, height, rgb_rows):
    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    raw = bytearray()
    for row in rgb_rows:
        raw.append(0)                        # filter: none
        for px in row:
            raw += bytes(px)
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write_image_file(path, width, height, rgb_rows):
    if path.lower().endswith(".png"):
        write_png(path, width, height, rgb_rows)
    else:
        write_bmp(path, width, height, rgb_rows)


# --------------------------------------------------------------------------
# List header images
# --------------------------------------------------------------------------

HEADER_IMAGE = 16
HEADER_MASK = (0xFF, 0x00, 0xFF)


def header_image_pixel(index, x, y):
    """Image 0 is empty; 1 is a check box, 2 the same box ticked."""
    if index == 0 or not (2 <= x <= 13 and 2 <= y <= 13):
        return HEADER_MASK
    if x in (2, 13) or y in (2, 13):
        return (0x40, 0x40, 0x40)
    # The tick: from (4, 7) down to (6, 10), then up to (11, 5).
    if index == 2 and ((4 <= x <= 6 and 0 <= y - (x + 3) <= 1) or (6 <= x <= 11 and 0 <= y - (16 - x) <= 1)):
        return (0x10, 0x80, 0x10)
    return (0xFF, 0xFF, 0xFF)


def write_header_images(path, count=3):
    size = HEADER_IMAGE
    rows = [[header_image_pixel(x // size, x % size, y) for x in range(size * count)] for y in range(size)]
    write_bmp(path, size * count, size, rows)
    return path


# --------------------------------------------------------------------------
# Fixtures
# --------------------------------------------------------------------------

def fixture_colour(image_id, kind, frame=0):
    if kind == "strip":
        return (image_id & 0xFF, 0x3F + 0x40 * frame, 0x00)
    return (image_id & 0xFF, 0x00, 0xFF)


def write_fixtures(folder):
    os.makedirs(folder, exist_ok=True)
    for image_id, name, kind, w, h in SKIN_FILES:
        width, height = file_size(kind, w, h)
        if kind == "strip":
            row = [fixture_colour(image_id, kind, x // w) for x in range(width)]
        else:
            row = [fixture_colour(image_id, kind)] * width
        write_image_file(os.path.join(folder, name), width, height, [row] * height)
    return len(SKIN_FILES)


# --------------------------------------------------------------------------
# Palette: dark slate with a warm amber accent.
# --------------------------------------------------------------------------

BACKGROUND = (0x1B, 0x20, 0x2A)     # window interior (DEFAULT_BK_COLOR)
RIM = (0x08, 0x0A, 0x0E)            # outermost frame line
FRAME_LIGHT = (0x4B, 0x56, 0x6C)    # 1-pixel bevel just inside the rim
BAND_TOP = (0x3A, 0x43, 0x55)       # caption band gradient
BAND_BOTTOM = (0x2A, 0x31, 0x3F)
BODY = (0x2A, 0x31, 0x3F)           # side borders
BOTTOM_TOP = (0x2C, 0x33, 0x42)     # bottom band gradient
BOTTOM_BOTTOM = (0x23, 0x29, 0x35)
SEAM = (0x11, 0x14, 0x1B)           # line between frame and interior
TEXT = (0xE9, 0xEC, 0xF1)
MUTED = (0x8B, 0x94, 0xA6)
GLYPH = (0xD2, 0xD8, 0xE2)          # icons on slate keys
GLYPH_DIM = (0x55, 0x5D, 0x6E)      # disabled icons
ACCENT = (0xF5, 0xA3, 0x3C)
ACCENT_HI = (0xFF, 0xC2, 0x6E)
ACCENT_LO = (0xD4, 0x7F, 0x1E)
CORAL = (0xFF, 0x6A, 0x4D)
CLOSE_RED = (0xD9, 0x4F, 0x45)
KEY_EDGE = (0x0D, 0x10, 0x15)
CHANNEL = (0x14, 0x18, 0x20)

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
FONT_REGULAR = os.path.join(FONT_DIR, "DejaVuSans.ttf")

SS = 4  # shapes are drawn at four times the size and scaled down


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighten(c, t):
    return mix(c, (255, 255, 255), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


def grey(c):
    v = int(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2])
    return (v, v, v)


# --------------------------------------------------------------------------
# Drawing helpers (Pillow is imported only when drawing)
# --------------------------------------------------------------------------

Image = ImageDraw = ImageFont = ImageFilter = None


def need_pillow():
    global Image, ImageDraw, ImageFont, ImageFilter
    if Image is not None:
        return
    try:
        from PIL import Image as I, ImageDraw as D, ImageFont as F, ImageFilter as G
    except ImportError:
        sys.exit("make_default_skin: Pillow is missing (apt-get install python3-pil)")
    Image, ImageDraw, ImageFont, ImageFilter = I, D, F, G
    for f in (FONT_BOLD, FONT_REGULAR):
        if not os.path.exists(f):
            sys.exit("make_default_skin: font %s is missing (apt-get install fonts-dejavu-core)" % f)


def font(path, px):
    return ImageFont.truetype(path, px)


class Canvas:
    """A picture drawn at SS times its size over a 1x background."""

    def __init__(self, background):
        if isinstance(background, tuple):
            raise TypeError("background must be an image")
        self.w, self.h = background.size
        self.im = background.convert("RGB").resize((self.w * SS, self.h * SS), Image.NEAREST)
        self.d = ImageDraw.Draw(self.im)

    @staticmethod
    def plain(w, h, colour):
        return Canvas(Image.new("RGB", (w, h), colour))

    def _box(self, box):
        x0, y0, x1, y1 = box
        return [round(x0 * SS), round(y0 * SS), round(x1 * SS) - 1, round(y1 * SS) - 1]

    def _pts(self, pts):
        return [(round(x * SS), round(y * SS)) for x, y in pts]

    def rect(self, box, fill):
        self.d.rectangle(self._box(box), fill=fill)

    def rrect(self, box, r, fill=None, outline=None, width=1.0):
        self.d.rounded_rectangle(self._box(box), radius=round(r * SS), fill=fill,
                                 outline=outline, width=round(width * SS) if outline else 0)

    def grad_rrect(self, box, r, top, bottom, outline=None, width=1.0):
        """Rounded rectangle filled with a vertical gradient."""
        b = self._box(box)
        mask = Image.new("L", self.im.size, 0)
        ImageDraw.Draw(mask).rounded_rectangle(b, radius=round(r * SS), fill=255)
        grad = Image.new("RGB", self.im.size)
        gd = ImageDraw.Draw(grad)
        span = max(1, b[3] - b[1])
        for y in range(b[1], b[3] + 1):
            gd.line([(b[0], y), (b[2], y)], fill=mix(top, bottom, (y - b[1]) / span))
        self.im.paste(grad, (0, 0), mask)
        if outline:
            self.rrect(box, r, outline=outline, width=width)

    def poly(self, pts, fill):
        self.d.polygon(self._pts(pts), fill=fill)

    def ellipse(self, box, fill=None, outline=None, width=1.0):
        self.d.ellipse(self._box(box), fill=fill, outline=outline,
                       width=round(width * SS) if outline else 0)

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, width)

    def line(self, pts, fill, width=1.0):
        self.d.line(self._pts(pts), fill=fill, width=max(1, round(width * SS)), joint="curve")

    def arc(self, box, start, end, fill, width=1.0):
        self.d.arc(self._box(box), start, end, fill=fill, width=max(1, round(width * SS)))

    def text(self, xy, s, fnt, fill, anchor="mm"):
        self.d.text((round(xy[0] * SS), round(xy[1] * SS)), s, font=fnt, fill=fill, anchor=anchor)

    def glow(self, cx, cy, r, colour, strength):
        """A soft halo, blended over what is already there."""
        halo = Image.new("L", self.im.size, 0)
        ImageDraw.Draw(halo).ellipse(self._box((cx - r, cy - r, cx + r, cy + r)),
                                     fill=int(255 * strength))
        halo = halo.filter(ImageFilter.GaussianBlur(r * SS / 2.5))
        self.im.paste(Image.new("RGB", self.im.size, colour), (0, 0), halo)

    def result(self):
        return self.im.resize((self.w, self.h), Image.BOX)


def strip(frames):
    w, h = frames[0].size
    out = Image.new("RGB", (w * len(frames), h))
    for i, f in enumerate(frames):
        assert f.size == (w, h)
        out.paste(f, (i * w, 0))
    return out


def state_strip(bg, draw_state):
    """The four frames of a button strip: draw_state(canvas, state) paints each over bg."""
    frames = []
    for state in range(4):
        c = Canvas(bg)
        draw_state(c, state)
        frames.append(c.result())
    return strip(frames)


def tile(img, w, h):
    out = Image.new("RGB", (w, h))
    for y in range(0, h, img.size[1]):
        for x in range(0, w, img.size[0]):
            out.paste(img, (x, y))
    return out


# --------------------------------------------------------------------------
# Frames.  A whole frame is rendered once; corners, borders and every image
# that lies on the frame are cut from it, so all of them match exactly.
# --------------------------------------------------------------------------

def render_frame(style, w, h):
    im = Image.new("RGB", (w, h), BACKGROUND)
    px = im.load()
    s, band, bottom = style.side, style.band, style.bottom
    for y in range(h):
        for x in range(w):
            if y < band:
                c = mix(BAND_TOP, BAND_BOTTOM, y / (band - 1))
            elif y >= h - bottom:
                t = (y - (h - bottom)) / max(1, bottom - 1)
                c = mix(BOTTOM_TOP, BOTTOM_BOTTOM, t)
            elif x < s or x >= w - s:
                c = BODY
            else:
                continue
            px[x, y] = c
    # a faint warm line along the top of the caption band
    for x in range(2, w - 2):
        px[x, 1] = mix(FRAME_LIGHT, ACCENT, 0.35)
    # bevel inside the rim: light on the left, darker on the right
    for y in range(2, h - 1):
        px[1, y] = mix(FRAME_LIGHT, BODY, 0.35) if y >= band else mix(FRAME_LIGHT, px[2, y], 0.5)
        px[w - 2, y] = darken(px[w - 3, y], 0.25)
    for x in range(1, w - 1):
        px[x, h - 2] = darken(px[x, h - 3], 0.25)
    px[1, 1] = mix(FRAME_LIGHT, ACCENT, 0.2)
    px[w - 2, 1] = mix(FRAME_LIGHT, ACCENT, 0.2)
    # seam around the interior gives it an inset look
    for x in range(s - 1, w - s + 1):
        px[x, band - 1] = SEAM
    if style.seam_all_round:
        for x in range(s - 1, w - s + 1):
            px[x, h - bottom] = SEAM
        for y in range(band - 1, h - bottom + 1):
            px[s - 1, y] = SEAM
            px[w - s, y] = SEAM
    # rim
    for x in range(w):
        px[x, 0] = RIM
        px[x, h - 1] = RIM
    for y in range(h):
        px[0, y] = RIM
        px[w - 1, y] = RIM
    return im


REF_W, REF_H = 300, 200   # size of the reference frame the tiles are cut from


def frame_tiles(style):
    f = render_frame(style, REF_W, REF_H)
    s, band, bottom = style.side, style.band, style.bottom
    mid = REF_W // 2
    vmid = (band + REF_H - bottom) // 2
    return {
        "TopLeft": f.crop((0, 0, s, band)),
        "TopRight": f.crop((REF_W - s, 0, REF_W, band)),
        "BottomLeft": f.crop((0, REF_H - bottom, s, REF_H)),
        "BottomRight": f.crop((REF_W - s, REF_H - bottom, REF_W, REF_H)),
        "Top": f.crop((mid, 0, mid + 8, band)),
        "Bottom": f.crop((mid, REF_H - bottom, mid + 8, REF_H)),
        "Left": f.crop((0, vmid, s, vmid + 8)),
        "Right": f.crop((REF_W - s, vmid, REF_W, vmid + 8)),
        "frame": f,
    }


def band_slice(style, y0, h, w):
    """Background for an image placed at height y0 on the caption band."""
    f = render_frame(style, REF_W, REF_H)
    return tile(f.crop((REF_W // 2, y0, REF_W // 2 + 1, y0 + h)), w, h)


def corner_region(style, w, h):
    """Background for an image whose right and bottom edges sit on the frame's."""
    f = render_frame(style, REF_W, REF_H)
    return f.crop((REF_W - w, REF_H - h, REF_W, REF_H))


def bottom_band_slice(style, w):
    f = render_frame(style, REF_W, REF_H)
    x = REF_W // 2
    return tile(f.crop((x, REF_H - style.bottom, x + 1, REF_H)), w, style.bottom)


# --------------------------------------------------------------------------
# Caption buttons, icons and titles
# --------------------------------------------------------------------------

def caption_button(style, kind):
    """13 x 13 close, min or max button placed at y = 5 on the caption band."""
    w, h = CAPTION_BTN

    def draw(c, state):
        glyph = (0xB4, 0xBC, 0xCA)
        if state == 1:
            c.rrect((0.5, 0.5, 12.5, 12.5), 3, fill=CLOSE_RED if kind == "close" else (0x4F, 0x5A, 0x72))
            glyph = (255, 255, 255)
        elif state == 2:
            c.rrect((0.5, 0.5, 12.5, 12.5), 3, fill=darken(CLOSE_RED, 0.25) if kind == "close" else (0x1E, 0x23, 0x2D))
            glyph = (255, 255, 255) if kind == "close" else ACCENT
        elif state == 3:
            glyph = GLYPH_DIM
        if kind == "close":
            c.line([(4, 4), (9, 9)], glyph, 1.6)
            c.line([(9, 4), (4, 9)], glyph, 1.6)
        elif kind == "min":
            c.line([(3.8, 8.2), (9.2, 8.2)], glyph, 1.6)
        else:
            c.rect((3.5, 3.5, 9.5, 5.0), glyph)
            c.rrect((3.5, 3.5, 9.5, 9.5), 0.6, outline=glyph, width=1.1)

    return state_strip(band_slice(style, 5, h, w), draw)


def draw_note(c, x, y, s, colour):
    """An eighth note whose head centre is (x, y); s scales it."""
    c.ellipse((x - 2.3 * s, y - 1.7 * s, x + 2.3 * s, y + 1.7 * s), fill=colour)
    c.rect((x + 1.5 * s, y - 7.5 * s, x + 2.3 * s, y), colour)
    c.poly([(x + 1.5 * s, y - 7.5 * s), (x + 2.3 * s, y - 7.5 * s),
            (x + 5.0 * s, y - 4.6 * s), (x + 4.6 * s, y - 3.6 * s),
            (x + 2.3 * s, y - 5.6 * s)], colour)


def draw_beamed_notes(c, x, y, s, colour):
    """Two beamed eighths; (x, y) is the first head's centre."""
    for dx in (0, 5.5 * s):
        c.ellipse((x + dx - 2.1 * s, y - 1.5 * s, x + dx + 2.1 * s, y + 1.5 * s), fill=colour)
        c.rect((x + dx + 1.3 * s, y - 7 * s, x + dx + 2.1 * s, y), colour)
    c.poly([(x + 1.3 * s, y - 7 * s), (x + 7.6 * s, y - 7.6 * s),
            (x + 7.6 * s, y - 5.9 * s), (x + 1.3 * s, y - 5.3 * s)], colour)


def draw_microphone(c, cx, top, s, colour):
    c.rrect((cx - 2.2 * s, top, cx + 2.2 * s, top + 6.5 * s), 2.2 * s, fill=colour)
    c.arc((cx - 3.6 * s, top + 1.6 * s, cx + 3.6 * s, top + 8.6 * s), 0, 180, colour, 1.0 * s)
    c.rect((cx - 0.45 * s, top + 8.4 * s, cx + 0.45 * s, top + 10.2 * s), colour)
    c.rect((cx - 2.4 * s, top + 9.8 * s, cx + 2.4 * s, top + 10.7 * s), colour)


def draw_list(c, x0, y0, w, rows, gap, colour, bullet=True):
    for i in range(rows):
        y = y0 + i * gap
        if bullet:
            c.circle(x0 + 0.8, y + 0.6, 0.95, fill=colour)
            c.rect((x0 + 2.8, y, x0 + w, y + 1.2), colour)
        else:
            c.rect((x0, y, x0 + w, y + 1.2), colour)


def draw_staff(c, x0, x1, y0, gap, colour, lines=5, width=0.8):
    for i in range(lines):
        y = y0 + i * gap
        c.rect((x0, y, x1, y + width), colour)


def icon_glyph(c, which, colour):
    if which == "note":
        draw_note(c, 10.0, 15.0, 1.0, colour)
    elif which == "score":
        draw_beamed_notes(c, 9.2, 14.8, 0.95, colour)
    elif which == "lyrics":
        draw_microphone(c, 11.5, 6.2, 1.0, colour)
    elif which == "list":
        draw_list(c, 7.5, 8.0, 8.5, 3, 3.0, colour)


def caption_icon(style, which):
    """22 x 23 caption icon drawn at (0, 0) over the top-left corner."""
    w, h = ICON

    def draw(c, state):
        top, bottom = ACCENT_HI, ACCENT_LO
        if state == 1:
            top, bottom = lighten(ACCENT_HI, 0.3), ACCENT
        elif state == 2:
            top, bottom = ACCENT_LO, darken(ACCENT_LO, 0.15)
        elif state == 3:
            top, bottom = grey(ACCENT_HI), grey(ACCENT_LO)
            top, bottom = darken(top, 0.45), darken(bottom, 0.5)
        c.grad_rrect((5, 4.5, 18.5, 18), 3.5, top, bottom, outline=darken(bottom, 0.45), width=0.6)
        icon_glyph(c, which, (0x1A, 0x1E, 0x27) if state != 3 else (0x2A, 0x2E, 0x36))

    return state_strip(render_frame(style, REF_W, REF_H).crop((0, 0, w, h)), draw)


def title_image(style, width, text, active, with_note):
    bg = band_slice(style, 0, style.band, width)
    c = Canvas(bg)
    f = font(FONT_BOLD, 12 * SS)
    colour = TEXT if active else MUTED
    tw = c.d.textlength(text, font=f) / SS
    note_w = 9 if with_note else 0
    x = (width - tw - note_w) / 2
    cy = style.band / 2 + 0.5
    if with_note:
        draw_note(c, x + 2.3, cy + 3.2, 0.85, ACCENT if active else MUTED)
        x += note_w
    c.text((x, cy), text, f, colour, anchor="lm")
    return c.result()


# --------------------------------------------------------------------------
# Keys: transport, toggles, dialog and play-list buttons
# --------------------------------------------------------------------------

def key_colours(state, primary=False, toggle=False):
    """(face top, face bottom, edge, glyph) of a key in one state.

    A toggle's frame 2 is its lasting checked look, so it reads as "on" (a warm
    face with an amber edge) rather than as a key held down."""
    if toggle and state == 2:
        return ((0x4D, 0x42, 0x30), (0x38, 0x30, 0x25), ACCENT_LO, ACCENT_HI)
    if primary:
        return [(ACCENT_HI, ACCENT, darken(ACCENT_LO, 0.5), (0x1A, 0x1E, 0x27)),
                (lighten(ACCENT_HI, 0.25), ACCENT_HI, darken(ACCENT_LO, 0.5), (0x1A, 0x1E, 0x27)),
                (ACCENT_LO, ACCENT, darken(ACCENT_LO, 0.55), (0x1A, 0x1E, 0x27)),
                ((0x33, 0x38, 0x43), (0x2C, 0x31, 0x3B), (0x1A, 0x1E, 0x26), GLYPH_DIM)][state]
    return [((0x3E, 0x47, 0x5A), (0x2D, 0x34, 0x43), KEY_EDGE, GLYPH),
            ((0x4C, 0x57, 0x6E), (0x38, 0x41, 0x53), KEY_EDGE, ACCENT_HI),
            ((0x1C, 0x21, 0x2B), (0x27, 0x2D, 0x3A), KEY_EDGE, ACCENT),
            ((0x28, 0x2D, 0x38), (0x25, 0x2A, 0x34), (0x19, 0x1D, 0x25), GLYPH_DIM)][state]


def draw_key(c, box, r, state, primary=False, toggle=False):
    top, bottom, edge, glyph = key_colours(state, primary, toggle)
    c.grad_rrect(box, r, top, bottom, outline=edge, width=1.0)
    x0, y0, x1, y1 = box
    if state in (0, 1) or (state == 2 and (primary or toggle)):
        # highlight along the top inside edge
        c.line([(x0 + r * 0.8, y0 + 1.5), (x1 - r * 0.8, y0 + 1.5)],
               lighten(top, 0.22), 0.7)
    return glyph


def key_strip(w, h, bg, glyph_fn, primary=False, box=None, r=3.0, glyph_states=None, toggle=False):
    """Four frames of a key; glyph_fn(canvas, state, colour, dy) draws the icon."""
    box = box or (1, 1, w - 1, h - 1)

    def draw(c, state):
        colour = draw_key(c, box, r, state, primary, toggle)
        if glyph_states:
            colour = glyph_states[state]
        pressed = state == 2 and not toggle
        glyph_fn(c, state, colour, 0.5 if pressed else 0.0)

    return state_strip(bg, draw)


def transport(kind):
    w, h = 22, 18
    bg = Image.new("RGB", (w, h), BACKGROUND)
    cy = 9.0

    def glyph(c, state, col, dy):
        y = cy + dy
        if kind == "play":
            c.poly([(8.3, y - 4.6), (8.3, y + 4.6), (15.8, y)], col)
        elif kind == "pause":
            c.rrect((7.2, y - 4.3, 9.9, y + 4.3), 0.6, fill=col)
            c.rrect((12.1, y - 4.3, 14.8, y + 4.3), 0.6, fill=col)
        elif kind == "stop":
            c.rrect((7.0, y - 4.0, 15.0, y + 4.0), 1.0, fill=col)
        elif kind in ("prev", "next"):
            pts_bar = (5.6, y - 4.2, 7.4, y + 4.2)
            tri1 = [(12.0, y - 4.2), (12.0, y + 4.2), (7.6, y)]
            tri2 = [(16.6, y - 4.2), (16.6, y + 4.2), (12.2, y)]
            if kind == "next":
                flip = lambda pts: [(22 - x, yy) for x, yy in pts]
                c.rect((22 - pts_bar[2], pts_bar[1], 22 - pts_bar[0], pts_bar[3]), col)
                c.poly(flip(tri1), col)
                c.poly(flip(tri2), col)
            else:
                c.rect(pts_bar, col)
                c.poly(tri1, col)
                c.poly(tri2, col)
        elif kind == "open":
            # a folder with a plus knocked out of it
            c.poly([(5.2, y - 4.6), (9.0, y - 4.6), (10.4, y - 3.2), (16.8, y - 3.2),
                    (16.8, y + 4.6), (5.2, y + 4.6)], col)
            knock = mix(key_colours(state)[0], key_colours(state)[1], 0.6)
            c.rect((10.2, y - 1.6, 11.8, y + 3.6), knock)
            c.rect((8.4, y + 0.2, 13.6, y + 1.8), knock)
        elif kind == "settings":
            c.line([(6, y - 3), (16, y - 3)], col, 1.2)
            c.line([(6, y + 3), (16, y + 3)], col, 1.2)
            c.circle(9, y - 3, 1.8, fill=col)
            c.circle(13.5, y + 3, 1.8, fill=col)

    glyph_states = None
    if kind == "play":
        glyph_states = [ACCENT, ACCENT_HI, ACCENT, GLYPH_DIM]
    return key_strip(w, h, bg, glyph, glyph_states=glyph_states)


def play_mode():
    """Toggle: frames 0/1 the ordinal arrow, frame 2 (checked) the loop."""
    w, h = 20, 18
    bg = Image.new("RGB", (w, h), BACKGROUND)

    def glyph(c, state, col, dy):
        y = 9 + dy
        if state == 2:
            c.arc((4.6, y - 4.4, 15.4, y + 4.4), 200, 500, col, 1.5)
            c.poly([(12.3, y - 6.7), (16.2, y - 4.4), (12.5, y - 2.0)], col)
        else:
            c.line([(4.6, y - 2.8), (10.5, y - 2.8)], col, 1.4)
            c.line([(4.6, y + 0.2), (10.5, y + 0.2)], col, 1.4)
            c.line([(4.6, y + 3.2), (10.5, y + 3.2)], col, 1.4)
            c.rect((12.9, y - 3.4, 14.3, y + 1.8), col)
            c.poly([(11.2, y + 1.0), (16.0, y + 1.0), (13.6, y + 4.6)], col)

    return key_strip(w, h, bg, glyph, toggle=True)


def window_toggle(kind):
    """20 x 16 main-window toggle with a lamp; frame 2 is the checked look."""
    w, h = 20, 16
    bg = Image.new("RGB", (w, h), BACKGROUND)

    def glyph(c, state, col, dy):
        y0 = 2.6 + dy
        if state == 2:
            col = ACCENT_HI
        if kind == "staff":
            draw_beamed_notes(c, 7.0, y0 + 6.8, 0.8, col)
        elif kind == "list":
            draw_list(c, 5.0, y0 + 0.6, 10.0, 3, 2.9, col)
        elif kind == "lyrics":
            draw_microphone(c, 10.0, y0 - 0.1, 0.78, col)
        elif kind == "maker":
            # pencil writing a line
            c.poly([(13.8, y0 - 0.2), (15.6, y0 + 1.6), (9.0, y0 + 8.2), (7.2, y0 + 6.4)], col)
            c.poly([(7.2, y0 + 6.4), (9.0, y0 + 8.2), (6.2, y0 + 9.2)], col)
            c.rect((10.6, y0 + 8.6, 15.2, y0 + 9.4), col)
        lamp = [(0x10, 0x13, 0x19), (0x10, 0x13, 0x19), ACCENT, (0x1E, 0x22, 0x2A)][state]
        c.rrect((6.5, 12.0 + dy * 0.5, 13.5, 13.3 + dy * 0.5), 0.6, fill=lamp)
        if state == 2:
            c.glow(10, 12.7, 3.5, ACCENT, 0.35)
            c.rrect((6.5, 12.25, 13.5, 13.55), 0.6, fill=ACCENT_HI)

    return key_strip(w, h, bg, glyph, glyph_states=[GLYPH, ACCENT_HI, ACCENT_HI, GLYPH_DIM], toggle=True)


def text_button(label, primary=False, toggle=False):
    w, h = 64, 20
    bg = Image.new("RGB", (w, h), BACKGROUND)
    size = 11
    while size > 8 and font(FONT_BOLD, int(size * SS)).getlength(label) / SS > w - 12:
        size -= 0.5
    f = font(FONT_BOLD, int(size * SS))

    def glyph(c, state, col, dy):
        c.text((w / 2, h / 2 + dy), label, f, col)

    return key_strip(w, h, bg, glyph, primary=primary, r=4.0, toggle=toggle)


def list_button(kind, bg):
    """24 x 20 play-list buttons on the bottom band (also the plain AddSongs/RemoveSongs)."""
    w, h = 24, 20
    box = (1.5, 2.5, 22.5, 16.5)

    def glyph(c, state, col, dy):
        y = 9.5 + dy
        if kind == "add":
            c.rect((11.2, y - 4.2, 12.8, y + 4.2), col)
            c.rect((7.8, y - 0.8, 16.2, y + 0.8), col)
        elif kind == "remove":
            c.rect((7.8, y - 0.8, 16.2, y + 0.8), col)
        elif kind in ("import", "export"):
            # tray with an arrow going in (import) or out (export)
            c.rect((6.5, y + 2.6, 17.5, y + 4.0), col)
            c.rect((6.5, y + 0.4, 7.9, y + 4.0), col)
            c.rect((16.1, y + 0.4, 17.5, y + 4.0), col)
            if kind == "import":
                c.rect((11.3, y - 5.0, 12.7, y - 0.4), col)
                c.poly([(8.8, y - 1.2), (15.2, y - 1.2), (12.0, y + 2.0)], col)
            else:
                c.rect((11.3, y - 2.6, 12.7, y + 1.8), col)
                c.poly([(8.8, y - 2.0), (15.2, y - 2.0), (12.0, y - 5.4)], col)

    return key_strip(w, h, bg, glyph, box=box, r=3.0)


def pin_toggle(bg, area):
    """Always-on-top toggle: a pushpin.  area: (x0, y0, x1, y1) free of frame."""
    x0, y0, x1, y1 = area
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2

    def draw(c, state):
        col = [(0xA4, 0xAC, 0xBB), (0xE6, 0xEA, 0xF0), ACCENT, GLYPH_DIM][state]
        if state == 1:
            c.rrect((x0, y0, x1, y1), 2.5, fill=(0x46, 0x50, 0x66))
        if state == 2:
            c.glow(cx, cy, 5.5, ACCENT, 0.22)
            # pinned: upright
            c.rrect((cx - 2.6, cy - 4.6, cx + 2.6, cy - 3.4), 0.5, fill=col)
            c.rect((cx - 1.6, cy - 3.6, cx + 1.6, cy + 0.2), col)
            c.rrect((cx - 3.4, cy, cx + 3.4, cy + 1.4), 0.5, fill=col)
            c.rect((cx - 0.45, cy + 1.2, cx + 0.45, cy + 4.8), col)
        else:
            # loose: tilted
            c.line([(cx - 3.8, cy + 3.8), (cx - 0.6, cy + 0.6)], col, 0.9)
            c.poly([(cx - 2.6, cy - 0.6), (cx + 0.6, cy + 2.6), (cx + 3.3, cy - 0.1), (cx + 0.1, cy - 3.3)], col)
            c.poly([(cx + 0.6, cy - 4.4), (cx + 4.4, cy - 0.6), (cx + 3.4, cy + 0.4), (cx - 0.4, cy - 3.4)], col)

    return state_strip(bg, draw)


def score_toggle(kind, bg):
    """20 x 20 staff / numbered notation toggle on the score frame's bottom band."""
    box = (1.5, 2.5, 18.5, 16.5)
    fnt = font(FONT_BOLD, 8 * SS)

    def glyph(c, state, col, dy):
        y = 9.5 + dy
        if kind == "staff":
            # whole pixels keep five lines this close apart from blurring together
            lines = mix(col, (0x30, 0x36, 0x44), 0.62)
            draw_staff(c, 4, 16, 5 + round(dy), 2, lines, 5, 1)
            c.ellipse((7.4, 8.6 + dy, 11.4, 11.6 + dy), fill=col)
            c.rect((10.6, 3.6 + dy, 11.4, 10.2 + dy), col)
        else:
            c.text((10, y + 0.6), "123", fnt, col)

    glyph_states = [GLYPH, ACCENT_HI, ACCENT_HI, GLYPH_DIM]
    return key_strip(20, TOOL_BOTTOM_H, bg, glyph, box=box, r=3.0, glyph_states=glyph_states, toggle=True)


# --------------------------------------------------------------------------
# Sliders, scroll bars, volume and beat cells
# --------------------------------------------------------------------------

def vscroll_track():
    im = Image.new("RGB", (12, 4), CHANNEL)
    px = im.load()
    for y in range(4):
        px[0, y] = (0x0E, 0x11, 0x17)
        px[11, y] = (0x20, 0x25, 0x30)
    return im


def vscroll_arrow(up):
    w, h = 12, 12
    bg = tile(vscroll_track(), w, h)

    def glyph(c, state, col, dy):
        y = 6 + dy
        if up:
            c.poly([(3.2, y + 1.8), (8.8, y + 1.8), (6.0, y - 1.8)], col)
        else:
            c.poly([(3.2, y - 1.8), (8.8, y - 1.8), (6.0, y + 1.8)], col)

    return key_strip(w, h, bg, glyph, box=(0.5, 0.5, 11.5, 11.5), r=2.0,
                     glyph_states=[(0xA4, 0xAC, 0xBB), ACCENT_HI, ACCENT, GLYPH_DIM])


def vscroll_thumb():
    w, h = 12, 24

    def draw(c, state):
        top, bottom = [((0x5A, 0x65, 0x7C), (0x48, 0x52, 0x66)),
                       ((0x6C, 0x79, 0x93), (0x58, 0x63, 0x7A)),
                       (ACCENT_HI, ACCENT),
                       ((0x2E, 0x34, 0x40), (0x2A, 0x30, 0x3B))][state]
        c.grad_rrect((1.5, 1, 10.5, 23), 3.5, top, bottom, outline=KEY_EDGE, width=0.8)
        grip = darken(bottom, 0.35) if state != 3 else (0x24, 0x29, 0x33)
        for gy in (9.5, 11.5, 13.5):
            c.rect((4, gy, 8, gy + 0.8), grip)

    return state_strip(tile(vscroll_track(), w, h), draw)


def transpose_strip(img, frame_w_v):
    """Turns a vertical-bar strip (frames frame_w_v wide) into its horizontal twin."""
    n = img.size[0] // frame_w_v
    frames = [img.crop((i * frame_w_v, 0, (i + 1) * frame_w_v, img.size[1])).transpose(Image.TRANSPOSE)
              for i in range(n)]
    return strip(frames)


def progress_track():
    im = Image.new("RGB", (4, 9), BACKGROUND)
    px = im.load()
    rows = {3: (0x0B, 0x0D, 0x12), 4: (0x10, 0x13, 0x19), 5: (0x12, 0x15, 0x1C), 6: (0x2C, 0x33, 0x41)}
    for y, c in rows.items():
        for x in range(4):
            px[x, y] = c
    return im


def progress_thumb():
    def draw(c, state):
        top, bottom = [((0xF2, 0xF4, 0xF7), (0xB9, 0xC1, 0xCE)),
                       (lighten(ACCENT_HI, 0.2), ACCENT),
                       (ACCENT, ACCENT_LO),
                       ((0x46, 0x4D, 0x5A), (0x3A, 0x40, 0x4C))][state]
        c.grad_rrect((0.6, 0.3, 9.4, 8.7), 4.2, top, bottom, outline=KEY_EDGE, width=0.7)
        if state != 3:
            c.circle(5, 4.5, 1.3, fill=darken(bottom, 0.3))

    return state_strip(tile(progress_track(), 10, 9), draw)


def volume_track():
    w, h = 80, 14
    c = Canvas.plain(w, h, BACKGROUND)
    n = 19
    for i in range(n):
        x = 2 + i * 4
        t = i / (n - 1)
        bar_h = 2.0 + 8.5 * t
        col = mix((0x4A, 0x53, 0x66), ACCENT, t ** 1.3)
        c.rrect((x, 12.5 - bar_h, x + 2.6, 12.5), 0.5, fill=col)
    return c.result()


def volume_thumb():
    w, h = 8, 12

    def draw(c, state):
        top, bottom = [((0xF4, 0xF6, 0xF9), (0xAE, 0xB6, 0xC4)),
                       (lighten(ACCENT_HI, 0.25), ACCENT),
                       (ACCENT, ACCENT_LO),
                       ((0x4A, 0x51, 0x5E), (0x3C, 0x42, 0x4D))][state]
        c.grad_rrect((0.3, 0.3, 7.7, 11.7), 1.6, top, bottom, outline=KEY_EDGE, width=0.6)
        c.rect((1.8, 5.5, 6.2, 6.5), darken(bottom, 0.45))

    return state_strip(Image.new("RGB", (w, h), BACKGROUND), draw)


def beat_cell(weight, lit):
    c = Canvas.plain(10, 10, BACKGROUND)
    r = {"heavy": 3.9, "middle": 3.2, "light": 2.5}[weight]
    if lit:
        colour = {"heavy": CORAL, "middle": ACCENT, "light": ACCENT_HI}[weight]
        c.glow(5, 5, r + 1.4, colour, 0.45)
        c.circle(5, 5, r, fill=colour)
        c.circle(4.3, 4.2, r * 0.35, fill=lighten(colour, 0.55))
    else:
        c.circle(5, 5, r, fill=(0x34, 0x3B, 0x4A), outline=(0x11, 0x14, 0x1A), width=0.6)
    return c.result()


# --------------------------------------------------------------------------
# About picture
# --------------------------------------------------------------------------

def about_picture():
    w, h = ABOUT_SIZE
    base = Image.new("RGB", (w, h))
    gd = ImageDraw.Draw(base)
    for y in range(h):
        gd.line([(0, y), (w, y)], fill=mix((0x26, 0x2D, 0x3B), (0x12, 0x15, 0x1C), y / (h - 1)))
    c = Canvas(base)
    # staff lines drifting across the dark side
    for i in range(5):
        y = 58 + i * 7
        c.line([(0, y + 10), (60, y + 4), (120, y - 2), (181, y - 6)], mix(BACKGROUND, ACCENT, 0.16), 0.8)
    # emblem
    c.glow(90, 62, 40, ACCENT, 0.30)
    c.circle(90, 62, 31, fill=ACCENT_LO)
    c.circle(90, 61, 29.5, fill=ACCENT)
    c.circle(90, 61, 29.5, outline=ACCENT_HI, width=1.2)
    draw_note(c, 84, 73, 3.1, (0x1A, 0x1E, 0x27))
    c.text((90, 118), "Melodara", font(FONT_BOLD, 24 * SS), TEXT)
    c.text((90, 140), "KARAOKE PLAYER", font(FONT_REGULAR, 9 * SS), ACCENT_HI)
    # the credits scroll over the light panel (they are ANDed onto the picture)
    c.rect((182, 0, w, h), (0xF6, 0xF1, 0xE8))
    c.rect((182, 0, 183.2, h), ACCENT)
    for i in range(5):
        y = h - 16 + i * 2.4
        c.rect((196, y, w - 14, y + 0.5), (0xE6, 0xDE, 0xD0))
    return c.result()


# --------------------------------------------------------------------------
# Building the scheme
# --------------------------------------------------------------------------

def frame_images(prefix, style, icon):
    """Borders, corners, icon and caption buttons of a window frame."""
    p = frame_tiles(style)
    out = {}
    for side in ("Left", "Right", "Top", "Bottom"):
        out["%s%sBorder.png" % (prefix, side)] = p[side]
    for corner in ("TopLeft", "TopRight", "BottomLeft", "BottomRight"):
        out["%s%s.png" % (prefix, corner)] = p[corner]
    out["%sIcon.bmp" % prefix] = caption_icon(style, icon)
    for kind, suffix in (("close", "CloseBtn"), ("min", "MinBtn"), ("max", "MaxBtn")):
        out["%s%s.bmp" % (prefix, suffix)] = caption_button(style, kind)
    return out


def title_images(name, style, width, text, with_note=False):
    """The caption's title, active and inactive; name % "Active" is the active one's file."""
    return {name % "Active": title_image(style, width, text, True, with_note),
            name % "InActive": title_image(style, width, text, False, with_note)}


def tool_pin():
    """The always-on-top toggle of the score, lyrics and play-list frames."""
    return pin_toggle(corner_region(TOOL_FRAME, PIN_W, TOOL_BOTTOM_H), (1.5, 3, 12.5, 16))


def main_window_images():
    out = frame_images("MainWnd", MAIN_FRAME, "note")
    out.update(title_images("MainWndTitle%s.bmp", MAIN_FRAME, TITLE_MAIN_W, "Melodara", with_note=True))
    out["MainWndAlwaysShowBtn.bmp"] = pin_toggle(corner_region(MAIN_FRAME, PIN_W, PIN_W), (1, 1, 12, 11))
    return out


def tool_frame_images(prefix, title, title_text, icon):
    out = frame_images(prefix, TOOL_FRAME, icon)
    out.update(title_images(title, TOOL_FRAME, TITLE_TOOL_W, title_text))
    out[prefix + "AlwaysShowBtn.bmp"] = tool_pin()
    return out


def dialog_images():
    """Skinned dialogs: borders only (they wear the score's title), and plain caption buttons."""
    d = frame_tiles(DIALOG_FRAME)
    return {"BorderLeft.bmp": d["Left"].crop((0, 0, DIALOG_SIDE_W, 8)),
            "BorderRight.bmp": d["Right"].crop((0, 0, DIALOG_SIDE_W, 8)),
            "BorderTop.bmp": d["Top"],
            "BorderBottom.bmp": d["Bottom"],
            "Close.bmp": caption_button(DIALOG_FRAME, "close"),
            "Min.bmp": caption_button(DIALOG_FRAME, "min"),
            "Max.bmp": caption_button(DIALOG_FRAME, "max"),
            "Icon.bmp": caption_icon(DIALOG_FRAME, "note")}


def build_scheme():
    """Returns {file name: PIL image} for the whole scheme."""
    need_pillow()
    out = main_window_images()
    out.update(tool_frame_images("Score", "ScoreTitle%s.png", "Score", "score"))
    out.update(tool_frame_images("Lyrics", "LyricTitle%s.bmp", "Lyrics", "lyrics"))
    # The play list's title bar also heads the song maker's frame, so it
    # names the program rather than either window.
    out.update(tool_frame_images("PlayList", "PlaylistTitle%s.bmp", "Melodara", "list"))
    out["AlwaysShowBtn.bmp"] = tool_pin()
    out.update(dialog_images())

    # main-window keys
    out["Play.bmp"] = transport("play")
    out["Pause.bmp"] = transport("pause")
    out["Stop.bmp"] = transport("stop")
    out["ToBegin.bmp"] = transport("prev")
    out["ToEnd.bmp"] = transport("next")
    out["Open.bmp"] = transport("open")
    out["SongSetting.bmp"] = transport("settings")
    out["PlayMode.bmp"] = play_mode()
    out["ShowStaff.bmp"] = window_toggle("staff")
    out["ShowSonglist.bmp"] = window_toggle("list")
    out["ShowLyric.bmp"] = window_toggle("lyrics")
    out["ShowSongMaker.bmp"] = window_toggle("maker")

    band = bottom_band_slice(TOOL_FRAME, 24)
    out["DisplayStaff.bmp"] = score_toggle("staff", band.crop((0, 0, 20, TOOL_BOTTOM_H)))
    out["DisplayJianPu.bmp"] = score_toggle("numbered", band.crop((0, 0, 20, TOOL_BOTTOM_H)))
    out["PlayListAddSongsBtn.bmp"] = list_button("add", band)
    out["PlayListRemoveSongsBtn.bmp"] = list_button("remove", band)
    out["PlayListImportSongListBtn.bmp"] = list_button("import", band)
    out["PlayListExportSongListBtn.bmp"] = list_button("export", band)
    plain = Image.new("RGB", (24, 20), BACKGROUND)
    out["AddSongs.bmp"] = list_button("add", plain)
    out["RemoveSongs.bmp"] = list_button("remove", plain)

    out["OkBtn.bmp"] = text_button("OK", primary=True)
    out["CancelBtn.bmp"] = text_button("Cancel")
    out["AdvancedBtn.bmp"] = text_button("Advanced", toggle=True)

    out["VScrollBk.bmp"] = vscroll_track()
    out["VScrollTBtn.bmp"] = vscroll_arrow(True)
    out["VScrollBBtn.bmp"] = vscroll_arrow(False)
    out["VScrollHumb.bmp"] = vscroll_thumb()
    out["HScrollBk.bmp"] = vscroll_track().transpose(Image.TRANSPOSE)
    out["HScrollLBtn.bmp"] = transpose_strip(out["VScrollTBtn.bmp"], 12)
    out["HScrollRBtn.bmp"] = transpose_strip(out["VScrollBBtn.bmp"], 12)
    out["HScrollHumb.bmp"] = transpose_strip(out["VScrollHumb.bmp"], 12)

    out["MainWndScrollBk.bmp"] = progress_track()
    out["MainWndHumb.bmp"] = progress_thumb()
    out["Volume.bmp"] = volume_track()
    out["VolumeBtn.bmp"] = volume_thumb()

    for weight, normal_name, lit_name in (("heavy", "HeavyBeatNormal.bmp", "HeavyBeatActive.bmp"),
                                          ("middle", "MiddleBeatNormal.bmp", "MiddleBeatActive.bmp"),
                                          ("light", "LightBeatNormal.bmp", "LightBeatActive.bmp")):
        out[normal_name] = beat_cell(weight, False)
        out[lit_name] = beat_cell(weight, True)
    return out


def save_pil(path, img):
    img = img.convert("RGB")
    w, h = img.size
    data = list(img.getdata())
    rows = [data[y * w:(y + 1) * w] for y in range(h)]
    write_image_file(path, w, h, rows)


def write_scheme(res_dir):
    images = build_scheme()
    table = {name: (kind, w, h) for _, name, kind, w, h in SKIN_FILES}
    missing = sorted(set(table) - set(images))
    extra = sorted(set(images) - set(table))
    if missing or extra:
        sys.exit("make_default_skin: drawn set differs from the table: missing %s, extra %s" % (missing, extra))
    folder = os.path.join(res_dir, "Skins", "Default")
    os.makedirs(folder, exist_ok=True)
    for name in os.listdir(folder):       # the folder holds the scheme and nothing else
        os.remove(os.path.join(folder, name))
    for name, img in sorted(images.items()):
        kind, w, h = table[name]
        if img.size != file_size(kind, w, h):
            sys.exit("make_default_skin: %s is %dx%d, the table says %dx%d"
                     % ((name,) + img.size + file_size(kind, w, h)))
        save_pil(os.path.join(folder, name), img)
    save_pil(os.path.join(res_dir, "AboutImg.png"), about_picture())
    return len(images)


# --------------------------------------------------------------------------
# Preview: the windows assembled the way the framework draws them
# --------------------------------------------------------------------------

class Skin:
    def __init__(self, folder):
        self.folder = folder
        self.cache = {}
        self.kinds = {name.lower(): (kind, w) for _, name, kind, w, _ in SKIN_FILES}

    def get(self, name):
        if name not in self.cache:
            path = os.path.join(self.folder, name)
            self.cache[name] = Image.open(path).convert("RGB") if os.path.exists(path) else None
        return self.cache[name]

    def frame(self, name, k):
        img = self.get(name)
        fw = img.size[0] // 4
        return img.crop((k * fw, 0, (k + 1) * fw, img.size[1]))

    def frame_size(self, name):
        img = self.get(name)
        return (img.size[0] // 4, img.size[1])


def paint_frame(skin, canvas, names, active=True):
    """Corners at natural size, borders stretched, title centred (as the skinned window does)."""
    W, H = canvas.size
    tl, tr, bl, br = (skin.get(names[k]) if names.get(k) else None
                      for k in ("TopLeft", "TopRight", "BottomLeft", "BottomRight"))
    size = lambda im: im.size if im else (0, 0)
    for im, pos in ((tl, (0, 0)), (tr, (W - size(tr)[0], 0)),
                    (bl, (0, H - size(bl)[1])), (br, (W - size(br)[0], H - size(br)[1]))):
        if im:
            canvas.paste(im, pos)
    top, bottom, left, right = (skin.get(names[k]) for k in ("Top", "Bottom", "Left", "Right"))
    if top:
        ln = W - size(tl)[0] - size(tr)[0]
        canvas.paste(top.resize((ln, top.size[1]), Image.NEAREST), (size(tl)[0], 0))
    if bottom:
        ln = W - size(bl)[0] - size(br)[0]
        canvas.paste(bottom.resize((ln, bottom.size[1]), Image.NEAREST), (size(bl)[0], H - bottom.size[1]))
    if left:
        ln = H - size(bl)[1] - size(tl)[1]
        canvas.paste(left.resize((left.size[0], ln), Image.NEAREST), (0, size(tl)[1]))
    if right:
        ln = H - size(br)[1] - size(tr)[1]
        canvas.paste(right.resize((right.size[0], ln), Image.NEAREST), (W - right.size[0], size(tr)[1]))
    title = skin.get(names["TitleActive" if active else "TitleInActive"])
    if title:
        canvas.paste(title, ((W - title.size[0]) // 2, 0))


def frame_names(prefix, title):
    n = {k: "%s%sBorder.png" % (prefix, k) for k in ("Left", "Right", "Top", "Bottom")}
    n.update({k: "%s%s.png" % (prefix, k) for k in ("TopLeft", "TopRight", "BottomLeft", "BottomRight")})
    n["TitleActive"] = title % "Active"
    n["TitleInActive"] = title % "InActive"
    return n


def paint_caption(skin, canvas, prefix, buttons, states=None):
    """Icon at (0, 0); close, max, min from the right at y = 5."""
    states = states or {}
    W = canvas.size[0]
    canvas.paste(skin.frame(prefix + "Icon.bmp", states.get("icon", 0)), (0, 0))
    cw = skin.frame_size(prefix + "CloseBtn.bmp")[0]
    x = W - cw - 3
    canvas.paste(skin.frame(prefix + "CloseBtn.bmp", states.get("close", 0)), (x, 5))
    for b in buttons:
        name = prefix + {"max": "MaxBtn.bmp", "min": "MinBtn.bmp"}[b]
        x -= skin.frame_size(name)[0]
        canvas.paste(skin.frame(name, states.get(b, 0)), (x, 5))


def compose_frame(skin, prefix, title, size, interior, buttons, states=None, active=True):
    """A window of the given size with its frame and caption painted over the
    interior colour; returns it and how far the frame reaches in from the
    left, top, right and bottom."""
    im = Image.new("RGB", size, interior)
    names = frame_names(prefix, title)
    paint_frame(skin, im, names, active)
    paint_caption(skin, im, prefix, buttons, states)
    edges = (skin.get(names["Left"]).size[0], skin.get(names["Top"]).size[1],
             skin.get(names["Right"]).size[0], skin.get(names["Bottom"]).size[1])
    return im, edges


def paint_pin(skin, canvas, prefix, state):
    """The always-on-top toggle, in the bottom-right corner."""
    name = prefix + "AlwaysShowBtn.bmp"
    aw, ah = skin.frame_size(name)
    canvas.paste(skin.frame(name, state), (canvas.size[0] - aw, canvas.size[1] - ah))


def paint_vscroll(skin, canvas, x, y0, y1, thumb_at=0.3, thumb_state=0):
    bk = skin.get("VScrollBk.bmp")
    t = skin.frame("VScrollTBtn.bmp", 0)
    b = skin.frame("VScrollBBtn.bmp", 0)
    canvas.paste(bk.resize((bk.size[0], y1 - y0 - 2 * t.size[1]), Image.NEAREST), (x, y0 + t.size[1]))
    canvas.paste(t, (x, y0))
    canvas.paste(b, (x, y1 - b.size[1]))
    th = skin.frame("VScrollHumb.bmp", thumb_state)
    span = y1 - y0 - 2 * t.size[1] - th.size[1]
    canvas.paste(th, (x, y0 + t.size[1] + int(span * thumb_at)))
    return bk.size[0]


def paint_hscroll(skin, canvas, x0, x1, y, thumb_at=0.25, thumb_state=0):
    bk = skin.get("HScrollBk.bmp")
    l = skin.frame("HScrollLBtn.bmp", 0)
    r = skin.frame("HScrollRBtn.bmp", 0)
    canvas.paste(bk.resize((x1 - x0 - 2 * l.size[0], bk.size[1]), Image.NEAREST), (x0 + l.size[0], y))
    canvas.paste(l, (x0, y))
    canvas.paste(r, (x1 - r.size[0], y))
    th = skin.frame("HScrollHumb.bmp", thumb_state)
    span = x1 - x0 - 2 * l.size[0] - th.size[0]
    canvas.paste(th, (x0 + l.size[0] + int(span * thumb_at), y))
    return bk.size[1]


def fake_text(canvas, xy, s, size, colour, bold=False):
    ImageDraw.Draw(canvas).text(xy, s, font=font(FONT_BOLD if bold else FONT_REGULAR, size), fill=colour)


def compose_main(skin, active=True, playing=True, states=None):
    """The main window at 260 x 150, laid out as the player lays it out."""
    states = states or {}
    W, H = 260, 150
    im, _ = compose_frame(skin, "MainWnd", "MainWndTitle%s.bmp", (W, H), BACKGROUND, ["min"], states, active)
    # stand-ins for the child windows that draw themselves (spectrum, time, link)
    d = ImageDraw.Draw(im)
    import math
    for i in range(20):
        v = 0.5 + 0.45 * math.sin(i * 0.7 + 1.0) * math.cos(i * 0.23)
        bh = int(8 + 48 * abs(v))
        x = 21 + i * 5
        for y in range(89 - bh, 89, 2):
            d.rectangle([x, y, x + 3, y], fill=mix((0x3A, 0x8F, 0xB8), ACCENT, (89 - y) / 60))
    fake_text(im, (209, 76), "01:23", 11, TEXT)
    fake_text(im, (130, 52), "Now playing: Moon River", 9, MUTED)
    # beat indicator at (145, 79): 4/4 with the second beat lit
    cells = [("HeavyBeat", 0), ("LightBeat", 1), ("MiddleBeat", 0), ("LightBeat", 0)]
    cw = skin.get("HeavyBeatNormal.bmp").size[0]
    for i, (kind, lit) in enumerate(cells):
        lit = lit if playing else 0
        im.paste(skin.get(kind + ("Active.bmp" if lit else "Normal.bmp")), (145 + i * cw, 79))
    # progress slider at (10, 99), 238 wide, as high as the thumb
    thumb = skin.frame("MainWndHumb.bmp", states.get("progress", 0))
    track = skin.get("MainWndScrollBk.bmp")
    im.paste(track.resize((238, thumb.size[1]), Image.NEAREST), (10, 99))
    im.paste(thumb, (10 + int((238 - thumb.size[0]) * 0.37), 99))
    # transport row at y = 109
    w = skin.frame_size("ToBegin.bmp")[0]
    row = [("ToBegin.bmp", 23), ("Pause.bmp" if playing else "Play.bmp", 23 + w),
           ("Stop.bmp", 23 + 2 * w), ("ToEnd.bmp", 23 + 3 * w),
           ("PlayMode.bmp", 23 + 5 * w + 8), ("Open.bmp", 23 + 6 * w + 6)]
    for name, x in row:
        im.paste(skin.frame(name, states.get(name, 0)), (x, 109))
    # window toggles at y = 150 - h - 5: score, lyrics, play list, song maker
    tw, th = skin.frame_size("ShowStaff.bmp")
    toggles = [("ShowStaff.bmp", 2), ("ShowLyric.bmp", 2), ("ShowSonglist.bmp", 0), ("ShowSongMaker.bmp", 0)]
    for i, (name, k) in enumerate(toggles):
        im.paste(skin.frame(name, states.get(name, k)), (20 + i * tw, H - th - 5))
    # volume track at (164, 131), thumb at (x, 133)
    vol = skin.get("Volume.bmp")
    im.paste(vol, (164, 131))
    vt = skin.frame("VolumeBtn.bmp", states.get("volume", 0))
    track_len = vol.size[0] - 2 - vt.size[0]
    im.paste(vt, (164 + int(track_len * 200 / 255.0), 133))
    paint_pin(skin, im, "MainWnd", states.get("pin", 0))
    return im


def compose_score(skin, W=420, H=250):
    im, (lw, tb, rw, bh) = compose_frame(skin, "Score", "ScoreTitle%s.png", (W, H), (0xFB, 0xF8, 0xF1),
                                         ["max", "min"], {"min": 3})
    left, top, right, bottom = lw + 12, tb + 2, W - rw - 2, H - bh - 2
    d = ImageDraw.Draw(im)
    for s in range(2):
        y0 = top + 22 + s * 70
        for i in range(5):
            d.line([(left + 4, y0 + i * 7), (right - 18, y0 + i * 7)], fill=(0x40, 0x40, 0x40))
        for n in range(9):
            x = left + 40 + n * 38
            y = y0 + 14 - (n % 5) * 3.5
            d.ellipse([x, y, x + 7, y + 5], fill=(0x20, 0x20, 0x20) if n != 3 else (0xD0, 0x40, 0x20))
            d.line([(x + 7, y + 2), (x + 7, y - 18)], fill=(0x20, 0x20, 0x20))
    hh = skin.get("HScrollBk.bmp").size[1]
    vw = skin.get("VScrollBk.bmp").size[0]
    paint_hscroll(skin, im, left, right - vw, bottom - hh)
    paint_vscroll(skin, im, right - vw, top, bottom - hh)
    # toggles at the bottom-right: always-visible, staff, numbered
    paint_pin(skin, im, "Score", 2)
    sw, sh = skin.frame_size("DisplayStaff.bmp")
    im.paste(skin.frame("DisplayStaff.bmp", 2), (W - 26 - sw, H - sh))
    nw, nh = skin.frame_size("DisplayJianPu.bmp")
    im.paste(skin.frame("DisplayJianPu.bmp", 0), (W - 26 - sw - nw, H - nh))
    return im


def compose_lyrics(skin, W=300, H=230, active=False):
    im, (lw, tb, rw, bh) = compose_frame(skin, "Lyrics", "LyricTitle%s.bmp", (W, H), (0x10, 0x12, 0x18),
                                         ["max", "min"], {"min": 3, "close": 1}, active)
    left, top, right, bottom = lw + 6, tb + 43, W - rw - 3, H - bh - 2
    paint_vscroll(skin, im, right - skin.get("VScrollBk.bmp").size[0], top, bottom, 0.1)
    lines = [("When the night has come", ACCENT_HI), ("and the land is dark", TEXT),
             ("and the moon is the only", TEXT), ("light we'll see", TEXT)]
    for i, (s, col) in enumerate(lines):
        fake_text(im, (left + 12, top + 8 + i * 26), s, 15, col, bold=(i == 0))
    paint_pin(skin, im, "Lyrics", 0)
    return im


def compose_playlist(skin, W=260, H=230):
    im, (lw, tb, rw, bh) = compose_frame(skin, "PlayList", "PlaylistTitle%s.bmp", (W, H), BACKGROUND, [])
    left, top, right, bottom = lw + 4, tb + 4, W - rw - 4, H - bh - 4
    vw = skin.get("VScrollBk.bmp").size[0]
    paint_vscroll(skin, im, right - vw, top, bottom, 0.0, 1)
    songs = ["Moon River", "Yesterday", "Fly Me to the Moon", "Let It Be", "Scarborough Fair",
             "Danny Boy", "Edelweiss", "Over the Rainbow", "Blue Moon"]
    d = ImageDraw.Draw(im)
    for i, s in enumerate(songs):
        y = top + 2 + i * 17
        if y + 16 > bottom:
            break
        if i == 1:
            d.rectangle([left, y - 1, right - vw - 1, y + 14], fill=(0x2C, 0x34, 0x45))
        fake_text(im, (left + 4, y), "%d. %s" % (i + 1, s), 11, ACCENT_HI if i == 1 else TEXT)
    x = 10
    for name in ("PlayListAddSongsBtn.bmp", "PlayListRemoveSongsBtn.bmp",
                 "PlayListImportSongListBtn.bmp", "PlayListExportSongListBtn.bmp"):
        fw, fh = skin.frame_size(name)
        im.paste(skin.frame(name, 1 if name.startswith("PlayListRemove") else 0), (x, H - fh))
        x += fw
    paint_pin(skin, im, "PlayList", 2)
    return im


def compose_dialog(skin, W=410, H=230):
    im = Image.new("RGB", (W, H), BACKGROUND)
    names = {"Left": "BorderLeft.bmp", "Right": "BorderRight.bmp", "Top": "BorderTop.bmp",
             "Bottom": "BorderBottom.bmp", "TitleActive": "ScoreTitleActive.png",
             "TitleInActive": "ScoreTitleInActive.png"}
    paint_frame(skin, im, names)
    cw = skin.frame_size("Close.bmp")[0]
    im.paste(skin.frame("Close.bmp", 0), (W - cw - 3, 5))
    T = skin.get("ScoreTitleActive.png").size[1]
    fake_text(im, (8, T + 2), "Song: MoonRiver.mid", 11, (0x00, 0xFF, 0x00))
    x = 170
    for name, k in (("OkBtn.bmp", 0), ("CancelBtn.bmp", 1), ("AdvancedBtn.bmp", 0)):
        fw, fh = skin.frame_size(name)
        im.paste(skin.frame(name, k), (x, T + 180))
        x += fw + 10
    return im


def compose_strips(skin, zoom=3):
    """Every strip and image of the scheme, enlarged, with its name."""
    entries = [(name, kind) for _, name, kind, _, _ in SKIN_FILES]
    pad, label_h = 8, 12
    cols_w = 900
    placed, x, y, row_h = [], pad, pad, 0
    for name, kind in entries:
        img = skin.get(name)
        if img is None:
            continue
        w, h = img.size[0] * zoom, img.size[1] * zoom
        w = max(w, 6 * len(name) + 4)
        if x + w > cols_w:
            x, y, row_h = pad, y + row_h + pad, 0
        placed.append((name, img, x, y))
        x += w + pad
        row_h = max(row_h, h + label_h)
    out = Image.new("RGB", (cols_w, y + row_h + pad), (0x40, 0x44, 0x4C))
    for name, img, x, y in placed:
        fake_text(out, (x, y), name, 9, (0xE0, 0xE0, 0xE0))
        out.paste(img.resize((img.size[0] * zoom, img.size[1] * zoom), Image.NEAREST), (x, y + label_h))
    return out


def write_preview(skin_dir, res_dir, path):
    need_pillow()
    skin = Skin(skin_dir)
    main_a = compose_main(skin, True, True)
    main_i = compose_main(skin, False, False, {"Open.bmp": 1, "ToEnd.bmp": 2, "ToBegin.bmp": 3,
                                               "ShowSonglist.bmp": 1, "close": 1, "pin": 2,
                                               "PlayMode.bmp": 2, "volume": 1, "progress": 2})
    score = compose_score(skin)
    lyrics = compose_lyrics(skin)
    playlist = compose_playlist(skin)
    dialog = compose_dialog(skin)
    about_path = os.path.join(res_dir, "AboutImg.png")
    about = Image.open(about_path).convert("RGB") if os.path.exists(about_path) else None
    strips = compose_strips(skin)

    desk = (0x5E, 0x6B, 0x7E)
    W = 1300
    top_h = max(main_a.size[1] * 3 + 20, 470)
    H = 20 + top_h + 20 + max(score.size[1], lyrics.size[1], playlist.size[1]) + 20 + dialog.size[1] + 20 + strips.size[1] + 20
    out = Image.new("RGB", (W, H), desk)
    out.paste(main_a.resize((780, 450), Image.NEAREST), (20, 20))
    out.paste(main_a, (820, 20))
    out.paste(main_i, (820, 190))
    if about:
        out.paste(about, (820 + 0, 350 if about.size[1] < 130 else 350))
    y = 20 + top_h + 20
    out.paste(score, (20, y))
    out.paste(lyrics, (460, y))
    out.paste(playlist, (780, y))
    y += max(score.size[1], lyrics.size[1], playlist.size[1]) + 20
    out.paste(dialog, (20, y))
    y += dialog.size[1] + 20
    out.paste(strips, (20, y))
    out.save(path)
    return path


# --------------------------------------------------------------------------

def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    repo = os.path.dirname(os.path.dirname(here))
    default_res = os.path.join(repo, "player", "res")
    ap = argparse.ArgumentParser(description="Melodara default skin scheme generator")
    ap.add_argument("--out", default=default_res, help="resource folder (gets Skins/Default and AboutImg.png)")
    ap.add_argument("--fixtures", metavar="DIR", help="write flat-colour fixtures into DIR instead")
    ap.add_argument("--preview", metavar="PNG", help="write a preview picture of the scheme")
    ap.add_argument("--header-images", metavar="BMP", help="write the list header images instead")
    ap.add_argument("--skin", metavar="DIR", help="scheme folder the preview reads (default: OUT/Skins/Default)")
    args = ap.parse_args(argv)
    if args.header_images:
        print("wrote", write_header_images(args.header_images))
        return 0
    if args.fixtures:
        n = write_fixtures(args.fixtures)
        print("wrote %d fixture images into %s" % (n, args.fixtures))
        return 0
    if args.preview:
        skin_dir = args.skin or os.path.join(args.out, "Skins", "Default")
        print("wrote", write_preview(skin_dir, args.out, args.preview))
        return 0
    n = write_scheme(args.out)
    print("wrote %d skin images and AboutImg.png under %s" % (n, args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
