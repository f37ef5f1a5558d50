#!/usr/bin/python3
"""Judges screenshots of the boot logo taken inside OVMF (see LogoCheck.cpp).

The expected screen is built here from the example board's pictures and badge strings, written
out independently of the board and the driver (example_board/ExampleBoard.h and LogoSource.cpp
describe the same pictures), and from the screen size of the screenshot:

  handoff        the hand-off path: logo at ((W - w) / 2, H * 382 / 1000 - h / 2), centred
                 badge lines from Y + h + 38 down, 19 rows apart, the positioned badge at its
                 place, everything else black;
  ready_to_boot  after the ready-to-boot erase: the logo untouched, everything else black;
  ordinary       the ordinary path: logo centred at the top (row 120), the overlay at the
                 logo's marker (96, 560), centred badge lines from H / 2, the positioned badge,
                 everything else black.

A badge line is the rectangle of 8 x 19 character cells its text needs; inside it every pixel
must be the badge's foreground or background colour, and both must be there (the firmware's
font drew the text). Every failure names the pixels that differed.

Usage: logo_screen_check.py KIND SCREENSHOT.png   (exit 0 when the screen is right)
"""

import sys

from PIL import Image

LOGO_SIZE = (241, 121)
OVERLAY_SIZE = (64, 32)
LOGO_TOP = 120
MARKER = (96, 560)
GLYPH_WIDTH, LINE_HEIGHT = 8, 19
BLACK = (0, 0, 0)
# (text, position or None for centred, foreground RGB, background RGB)
BADGES = [
    ("Example Board", None, (0xFF, 0xFF, 0xFF), (0x00, 0x00, 0x80)),
    ("PlatformServicesDxe boot logo", None, (0xFF, 0xFF, 0x10), (0x00, 0x00, 0x80)),
    ("F2 setup", (16, 760), (0x10, 0xFF, 0x10), (0x40, 0x40, 0x40)),
]
SHOWN_DIFFERENCES = 5


def logo_pixel(x, y, width, height):
    if x < 3 or y < 3 or x + 3 >= width or y + 3 >= height:
        return (0xFF, 0xFF, 0xFF)
    blue = 0xC0 if (x // 16 + y // 16) % 2 else 0x40
    return (x * 255 // (width - 1), y * 255 // (height - 1), blue)


def overlay_pixel(x, y, width, height):
    if x < 2 or y < 2 or x + 2 >= width or y + 2 >= height:
        return (0x00, 0xFF, 0xFF)
    return (0xE0, 0x20, 0x20) if (x // 8 + y // 8) % 2 else (0xF0, 0xE0, 0x10)


def colour(rgb):
    return "#%02X%02X%02X" % rgb


class Screen:
    def __init__(self, path):
        image = Image.open(path).convert("RGB")
        self.width, self.height = image.size
        self.pixels = image.load()
        self.claimed = set()  # pixels an expected element accounts for
        self.problems = []

    def fail(self, what, differences, total):
        shown = "; ".join(f"({x}, {y}) expected {want} got {got}"
                          for x, y, want, got in differences[:SHOWN_DIFFERENCES])
        self.problems.append(f"{what}: {total} pixels differ: {shown}")

    def expect_picture(self, what, left, top, size, pixel):
        width, height = size
        differences = []
        for y in range(height):
            for x in range(width):
                sx, sy = left + x, top + y
                if not (0 <= sx < self.width and 0 <= sy < self.height):
                    differences.append((sx, sy, colour(pixel(x, y, width, height)), "off screen"))
                    continue
                self.claimed.add((sx, sy))
                want, got = pixel(x, y, width, height), self.pixels[sx, sy]
                if want != got:
                    differences.append((sx, sy, colour(want), colour(got)))
        if differences:
            self.fail(f"{what} at ({left}, {top})", differences, len(differences))

    def expect_text(self, what, left, top, text, foreground, background):
        width = len(text) * GLYPH_WIDTH
        differences, seen = [], set()
        for y in range(top, top + LINE_HEIGHT):
            for x in range(left, left + width):
                if not (0 <= x < self.width and 0 <= y < self.height):
                    differences.append((x, y, "badge colours", "off screen"))
                    continue
                self.claimed.add((x, y))
                got = self.pixels[x, y]
                seen.add(got)
                if got not in (foreground, background):
                    differences.append((x, y, f"{colour(foreground)} or {colour(background)}",
                                        colour(got)))
        where = f"badge {text!r} in rows {top}-{top + LINE_HEIGHT - 1}, columns {left}-{left + width - 1}"
        if differences:
            self.fail(where, differences, len(differences))
        elif foreground not in seen or background not in seen:
            self.problems.append(f"{where}: no text drawn (colours seen: "
                                 f"{', '.join(colour(c) for c in sorted(seen))})")

    def expect_black_elsewhere(self):
        differences = []
        for y in range(self.height):
            for x in range(self.width):
                if (x, y) not in self.claimed and self.pixels[x, y] != BLACK:
                    differences.append((x, y, colour(BLACK), colour(self.pixels[x, y])))
        if differences:
            xs = [d[0] for d in differences]
            ys = [d[1] for d in differences]
            self.fail(f"background outside logo and badges (non-black within columns "
                      f"{min(xs)}-{max(xs)}, rows {min(ys)}-{max(ys)})",
                      differences, len(differences))

    def expect_badges(self, first_line_top):
        line = 0
        for text, position, foreground, background in BADGES:
            if position is None:
                left = (self.width - len(text) * GLYPH_WIDTH) // 2
                top = first_line_top + line * LINE_HEIGHT
                line += 1
            else:
                left, top = position
            self.expect_text("badge", left, top, text, foreground, background)


def check(kind, path):
    screen = Screen(path)
    w, h = LOGO_SIZE
    facts = [f"screen {screen.width} x {screen.height}"]
    if kind in ("handoff", "ready_to_boot"):
        x = (screen.width - w) // 2
        y = screen.height * 382 // 1000 - h // 2
        screen.expect_picture("logo", x, y, LOGO_SIZE, logo_pixel)
        facts.append(f"logo at ({x}, {y})")
        if kind == "handoff":
            screen.expect_badges(y + h + 38)
            facts.append(f"centred badge lines from row {y + h + 38}")
    elif kind == "ordinary":
        x = (screen.width - w) // 2
        screen.expect_picture("logo", x, LOGO_TOP, LOGO_SIZE, logo_pixel)
        screen.expect_picture("overlay", MARKER[0], MARKER[1], OVERLAY_SIZE, overlay_pixel)
        screen.expect_badges(screen.height // 2)
        facts.append(f"logo at ({x}, {LOGO_TOP}), overlay at {MARKER}, centred badge lines "
                     f"from row {screen.height // 2}")
    else:
        raise SystemExit(f"logo_screen_check: unknown kind {kind!r}")
    screen.expect_black_elsewhere()
    return facts, screen.problems


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    kind, path = argv
    facts, problems = check(kind, path)
    for problem in problems:
        print(f"FAIL screen.{kind}: {problem}")
    print(f"{'PASS' if not problems else 'FAIL'} screen.{kind}: {', '.join(facts)}")
    return 0 if not problems else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
