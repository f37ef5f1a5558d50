#!/usr/bin/python3
"""Tests of logo_screen_check.py on synthetic screens: a right screen passes, and each kind of
wrong screen fails with the pixels that differ named."""

import os
import sys
import tempfile
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import logo_screen_check as check  # noqa: E402

WIDTH, HEIGHT = 1280, 800


def draw_picture(image, left, top, size, pixel):
    width, height = size
    for y in range(height):
        for x in range(width):
            image.putpixel((left + x, top + y), pixel(x, y, width, height))


def draw_text(image, left, top, text, foreground, background):
    # Any glyph shapes do: what matters is where the cells are and their two colours.
    for y in range(check.LINE_HEIGHT):
        for x in range(len(text) * check.GLYPH_WIDTH):
            on = (x % check.GLYPH_WIDTH) in (2, 3) and 3 <= y <= 15
            image.putpixel((left + x, top + y), foreground if on else background)


def hand_off_screen(erased=False):
    image = Image.new("RGB", (WIDTH, HEIGHT))
    w, h = check.LOGO_SIZE
    x, y = (WIDTH - w) // 2, HEIGHT * 382 // 1000 - h // 2
    draw_picture(image, x, y, check.LOGO_SIZE, check.logo_pixel)
    if not erased:
        line = 0
        for text, position, foreground, background in check.BADGES:
            if position is None:
                left = (WIDTH - len(text) * check.GLYPH_WIDTH) // 2
                top = y + h + 38 + line * check.LINE_HEIGHT
                line += 1
            else:
                left, top = position
            draw_text(image, left, top, text, foreground, background)
    return image


class LogoScreenCheckTest(unittest.TestCase):
    def judge(self, kind, image):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "screen.png")
            image.save(path)
            return check.check(kind, path)[1]

    def test_right_screens_pass(self):
        self.assertEqual([], self.judge("handoff", hand_off_screen()))
        self.assertEqual([], self.judge("ready_to_boot", hand_off_screen(erased=True)))

    def test_logo_one_row_low_names_the_pixels(self):
        image = Image.new("RGB", (WIDTH, HEIGHT))
        w, h = check.LOGO_SIZE
        draw_picture(image, (WIDTH - w) // 2, HEIGHT * 382 // 1000 - h // 2 + 1, check.LOGO_SIZE,
                     check.logo_pixel)
        problems = self.judge("ready_to_boot", image)
        self.assertTrue(any(p.startswith("logo at (519, 245)") and "(519, 245) expected #FFFFFF got "
                            "#000000" in p for p in problems), problems)

    def test_badge_in_wrong_colour_fails(self):
        image = hand_off_screen()
        image.putpixel((20, 765), (1, 2, 3))
        problems = self.judge("handoff", image)
        self.assertTrue(any("badge 'F2 setup'" in p and "(20, 765)" in p and "#010203" in p
                            for p in problems), problems)

    def test_badge_not_drawn_fails(self):
        image = hand_off_screen()
        for y in range(760, 760 + check.LINE_HEIGHT):
            for x in range(16, 16 + 8 * check.GLYPH_WIDTH):
                image.putpixel((x, y), (0x40, 0x40, 0x40))
        problems = self.judge("handoff", image)
        self.assertTrue(any("badge 'F2 setup'" in p and "no text drawn" in p for p in problems),
                        problems)

    def test_badges_left_after_ready_to_boot_fail(self):
        problems = self.judge("ready_to_boot", hand_off_screen())
        self.assertTrue(any(p.startswith("background outside logo and badges") for p in problems),
                        problems)

    def test_stray_pixel_is_named(self):
        image = hand_off_screen()
        image.putpixel((1000, 50), (0, 0, 1))
        problems = self.judge("handoff", image)
        self.assertEqual(1, len(problems), problems)
        self.assertIn("(1000, 50) expected #000000 got #000001", problems[0])

    def test_ordinary_overlay_at_marker(self):
        image = Image.new("RGB", (WIDTH, HEIGHT))
        w, _ = check.LOGO_SIZE
        draw_picture(image, (WIDTH - w) // 2, check.LOGO_TOP, check.LOGO_SIZE, check.logo_pixel)
        draw_picture(image, check.MARKER[0] + 1, check.MARKER[1], check.OVERLAY_SIZE,
                     check.overlay_pixel)
        problems = self.judge("ordinary", image)
        self.assertTrue(any(p.startswith("overlay at (96, 560)") for p in problems), problems)


if __name__ == "__main__":
    unittest.main()
