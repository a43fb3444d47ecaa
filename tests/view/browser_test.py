#!/usr/bin/env python3
"""The preview's pages in a real browser.

Makes side-by-side pages with trazon-view, has headless Chromium take screenshots of them, and
checks pixels: what the plot drew must show at the same place in both halves (a square and its
converted polyline, a label and its text), a filled polygon must leave its hole empty, and the
examples' drawings must cover the same part of both halves.

Exit code 77 (a skipped test) when Chromium is not installed.
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

WIDTH, HEIGHT = 1600, 1200  # the window; each half of a page is WIDTH / 2 pixels wide
HALF = WIDTH // 2


def read_png(path, max_rows=None):
    """Width, height, channels and rows (bytearrays of 8-bit samples, channels per pixel) of an
    RGB or RGBA PNG; only the first max_rows rows are decoded when given."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is no PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError("unexpected PNG layout %r" % (header,))
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height if max_rows is None else min(height, max_rows)):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        if kind == 2:
            line = bytearray((a + b) & 255 for a, b in zip(line, previous))
        elif kind != 0:
            for i in range(stride):
                left = line[i - channels] if i >= channels else 0
                up = previous[i]
                if kind == 1:
                    line[i] = (line[i] + left) & 255
                elif kind == 3:
                    line[i] = (line[i] + (left + up) // 2) & 255
                else:
                    corner = previous[i - channels] if i >= channels else 0
                    p = left + up - corner
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                    guess = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                    line[i] = (line[i] + guess) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


class Shot:
    """A screenshot of a page and the mapping from database units to its pixels."""

    def __init__(self, png, page):
        html = open(page, encoding="utf-8").read()
        box = re.search(r'id="plot"[^>]*viewBox="(-?\d+) (-?\d+) (\d+) (\d+)"', html)
        self.x, self.y, self.w, self.h = (int(v) for v in box.groups())
        self.scale = HALF / self.w
        # Only the rows of the pictures are looked at.
        self.bottom = min(HEIGHT, int(self.h * self.scale))
        self.width, _, self.channels, self.rows = read_png(png, self.bottom + 1)
        self.height = len(self.rows)
        # Each half's own background, where nothing is drawn (inside the margin).
        self.background = [self.colour(2, 2), self.colour(HALF + 2, 2)]

    def colour(self, px, py):
        i = px * self.channels
        return tuple(self.rows[py][i:i + 3])

    def pixel(self, half, x, y):
        """The pixel of database point (x, y) in the half (0 plot, 1 output)."""
        return (round((x - self.x) * self.scale) + half * HALF,
                round((-y - self.y) * self.scale))

    def ink(self, half, px, py):
        i = px * self.channels
        row = self.rows[py]
        r, g, b = row[i], row[i + 1], row[i + 2]
        br, bg, bb = self.background[half]
        return abs(r - br) + abs(g - bg) + abs(b - bb) > 60

    def ink_near(self, half, x, y, reach=3):
        """Whether anything is drawn within reach pixels of the point."""
        cx, cy = self.pixel(half, x, y)
        return any(self.ink(half, px, py)
                   for py in range(max(0, cy - reach), min(self.height, cy + reach + 1))
                   for px in range(max(half * HALF, cx - reach), min((half + 1) * HALF, cx + reach + 1)))

    def ink_bounds(self, half):
        """The smallest pixel box holding every drawn pixel of the half's picture, in the half's
        own pixel coordinates; the picture ends where the view box does."""
        xs, ys = [], []
        for py in range(self.bottom):
            for px in range(half * HALF, (half + 1) * HALF):
                if self.ink(half, px, py):
                    xs.append(px - half * HALF)
                    ys.append(py)
        return (min(xs), min(ys), max(xs), max(ys)) if xs else None


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, ok, what):
        print(("ok      " if ok else "FAILED  ") + what)
        if not ok:
            self.failures.append(what)


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def screenshot(chromium, page, png, work):
    profile = tempfile.mkdtemp(prefix="profile-", dir=work)
    command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
               "--no-first-run", "--disable-background-networking", "--disable-component-update",
               "--disable-sync", "--hide-scrollbars", "--force-device-scale-factor=1",
               "--user-data-dir=" + profile, "--screenshot=" + png,
               "--window-size=%d,%d" % (WIDTH, HEIGHT), "file://" + os.path.abspath(page)]
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120,
                   check=False)
    shutil.rmtree(profile, ignore_errors=True)
    if not os.path.exists(png):
        raise RuntimeError("Chromium made no screenshot of " + page)


# A filled square of 4000 x 4000 plotter units (160 mm at the default scale) with a hole of half
# its size, written as the converter would store it but filled solid (fill style 1) in red.
FILLED_SYMBOL = """$Version 1.100 12/04 16:11:56 2026
LexDatabase
{
Sheet
LexSheet
{
 
1
1 0 0
0 0 160000 160000
1 1 1
$LexPropertyList
{
}
$LexPropBoxList
{
}
$LexPolygonList
{
LexPolygon
{
$id 1
1 1 0 1 2 0
{
4
$Point 0 0 0
$Point 160000 0 0
$Point 160000 160000 0
$Point 0 160000 0
}
{
1
{
4
$Point 40000 40000 0
$Point 120000 40000 0
$Point 120000 120000 0
$Point 40000 120000 0
}
}
}
}
}
}
"""

PLOTS = {
    "square.plt": "IN;SP2;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;SP0;",
    "hole.plt": "IN;SP3;PU0,0;PM0;PD4000,0,4000,4000,0,4000,0,0;PM1;PU1000,1000;"
                "PD3000,1000,3000,3000,1000,3000,1000,1000;PM2;FP;PU;SP0;",
    "label.plt": "IN;SP2;PU0,0;PD6000,0;PU1000,1000;SI0.5,0.8;LBHELLO\x03PU;SP0;",
}

U = 40  # database units per plotter unit at the default scale


def main():
    parser = argparse.ArgumentParser()
    for name in ("view", "root", "examples", "work"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    chromium = find_chromium()
    if chromium is None:
        print("SKIPPED: Chromium is not installed (.ci/run installs the Debian package "
              "chromium)")
        return 77

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(os.path.join(args.work, "home", "norvel", "kv", "log"))
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "QRXROOT": args.root,
           "HOME": os.path.join(args.work, "home")}

    def page(plot, name, second=None):
        html = os.path.join(args.work, name + ".html")
        command = [args.view, plot] + ([second] if second else []) + ["-o", html]
        done = subprocess.run(command, env=env, capture_output=True, text=True, check=False)
        if done.returncode != 0:
            raise RuntimeError("trazon-view failed: " + done.stderr)
        png = os.path.join(args.work, name + ".png")
        screenshot(chromium, html, png, args.work)
        return Shot(png, html)

    for name, text in PLOTS.items():
        with open(os.path.join(args.work, name), "w", encoding="latin-1") as f:
            f.write(text)
    symbol = os.path.join(args.work, "filled.smb")
    with open(symbol, "w", encoding="ascii") as f:
        f.write(FILLED_SYMBOL)

    checks = Checks()

    # The square and its polyline: each edge at the same place in both halves, the inside
    # empty in both.
    shot = page(os.path.join(args.work, "square.plt"), "square")
    side = 4000 * U
    for x, y, what in ((side / 2, 0, "bottom"), (side, side / 2, "right"),
                       (side / 2, side, "top"), (0, side / 2, "left")):
        for half in (0, 1):
            checks.expect(shot.ink_near(half, x, y),
                          "square: %s edge drawn in the %s half" % (what, ("plot", "output")[half]))
    for half in (0, 1):
        checks.expect(not shot.ink_near(half, side / 2, side / 2, 10),
                      "square: the inside is empty in the %s half" % ("plot", "output")[half])

    # The filled polygon with a hole, as the plot fills it and as a filled symbol shows it.
    shot = page(os.path.join(args.work, "hole.plt"), "hole", symbol)
    for half in (0, 1):
        where = ("plot", "output")[half]
        checks.expect(shot.ink_near(half, 500 * U, 2000 * U, 0),
                      "filled polygon: the ring is filled in the %s half" % where)
        checks.expect(not shot.ink_near(half, 2000 * U, 2000 * U, 20),
                      "filled polygon: the hole is empty in the %s half" % where)

    # The label: drawn to the right of and above its position in both halves, nothing to the
    # left of it or below it (the baseline stroke at y 0 aside).
    shot = page(os.path.join(args.work, "label.plt"), "label")
    for half in (0, 1):
        where = ("plot", "output")[half]
        left, top = shot.pixel(half, 1000 * U, 1000 * U)
        found = [(px, py) for py in range(0, top + 2) for px in range(left - 1, left + 300)
                 if shot.ink(half, px, py)]
        checks.expect(len(found) > 20, "label: text drawn at the label in the %s half" % where)
        checks.expect(all(py >= top - 200 for _, py in found),
                      "label: text stays near its line in the %s half" % where)
        # Left of the label, in the band the text fills in both halves (the output's text is
        # smaller: the converter gives it the nearest font of the settings, 10 mm high), and
        # right of the output's sheet-area edge.
        start = shot.pixel(half, 500 * U, 0)[0]
        band = range(shot.pixel(half, 0, 1200 * U)[1], shot.pixel(half, 0, 1020 * U)[1])
        stray = [(px, py) for py in band for px in range(start, left - 3)
                 if shot.ink(half, px, py)]
        checks.expect(not stray, "label: nothing left of the label in the %s half" % where)

    # The examples: both halves cover the same part of the picture.
    for example in ("demo.hpgl", "house.hpgl", "shapes.hpgl"):
        shot = page(os.path.join(args.examples, example), example)
        plot, output = shot.ink_bounds(0), shot.ink_bounds(1)
        same = plot is not None and output is not None and all(
            abs(a - b) <= 3 for a, b in zip(plot, output))
        checks.expect(same, "%s: drawings cover the same place (%s, %s)" % (example, plot, output))

    if checks.failures:
        print("%d check(s) failed" % len(checks.failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
