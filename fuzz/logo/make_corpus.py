"""Writes the seed corpus of the logo_images fuzzer: small hand-made logo source scripts in
the input format of LogoScript.h, one per situation of the image loop worth starting from.

usage: /usr/bin/python3 fuzz/logo/make_corpus.py   (rewrites fuzz/logo/corpus/)
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, 'corpus')

LOGO, OVERLAY, HAND_OFF = 0x00, 0x07, 0x0E
SYNTH = 0x08


def settings(blend=False, resolution=False, boot_logo=False, text_after=False, badges=0,
             no_pixels=False, first_fails=False, steps=0, get_modes=0):
    first = (blend | resolution << 1 | boot_logo << 2 | text_after << 3 | badges << 4 |
             no_pixels << 6 | first_fails << 7)
    return bytes([first, steps | get_modes << 4])


def image(kind, format_code, place, x, y, payload):
    return bytes([kind, format_code, place, x, y]) + struct.pack('<H', len(payload)) + payload


def synth(width, height, frames=1, colour=0x40, marker_x=0, marker_y=0, col_marker=False):
    return bytes([width - 1, height - 1, frames - 1, colour, marker_x, marker_y, int(col_marker)])


SEEDS = {
    'centred_bitmap_two_badges': settings(badges=2) +
        image(LOGO, 0 | SYNTH, 8, 0, 0, synth(20, 10)),
    'bitmap_marker_places_overlay': settings(badges=1) +
        image(LOGO, 0 | SYNTH, 0, 0, 0, synth(8, 8, marker_x=30, marker_y=20)) +
        image(OVERLAY, 4 | SYNTH, 0, 5, 5, synth(6, 4, colour=0x90)),
    'jpeg_col_marker_then_format5_overlay': settings() +
        image(LOGO, 1 | SYNTH, 1, 0, 2, synth(10, 6, marker_x=40, marker_y=30, col_marker=True)) +
        image(OVERLAY, 5 | SYNTH, 0, 0, 0, synth(4, 4, colour=0x20)),
    'animation_ends_in_text_mode': settings(text_after=True, steps=6, get_modes=3) +
        image(LOGO, 3 | SYNTH, 8, 0, 0, synth(12, 12, frames=3)),
    'format5_blend_over_bitmap': settings(blend=True) +
        image(LOGO, 0 | SYNTH, 0, 0, 0, synth(24, 24, colour=0xF0)) +
        image(LOGO, 5 | SYNTH, 0, 4, 4, synth(8, 8, marker_x=3, marker_y=3)),
    'hand_off_with_badges': settings(boot_logo=True, badges=3) +
        image(HAND_OFF, 0 | SYNTH, 0, 0, 0, synth(16, 8)) +
        image(LOGO, 4 | SYNTH, 8, 0, 0, synth(4, 4)),
    'raw_bytes_and_cut_col_marker': settings(badges=1) +
        image(LOGO, 1, 0, 0, 0, b'\x00' * 6 + b'\xff\xfe\x00\x0aCOL$\x20\x01') +
        image(LOGO, 0, 8, 0, 0, b'BM\x10\x00') +
        image(OVERLAY, 3, 0, 0, 0, b'TIMG\x01\x00\x01\x00'),
    'skipped_formats_and_other_type': settings() +
        image(LOGO, 2 | SYNTH, 8, 0, 0, synth(2, 2)) +
        image(LOGO, 7, 8, 0, 0, b'\x01\x02') +
        image(OVERLAY, 6, 0, 0, 0, b'\x03') +
        image(0x3F, 0 | SYNTH, 0, 0, 0, synth(2, 2)),
    'screen_takes_image_size_negative_places': settings(resolution=True, badges=1) +
        image(LOGO, 4 | SYNTH, 4, 0xF8, 0x30, synth(24, 20)) +
        image(LOGO, 0 | SYNTH, 5, 0, 0xFF, synth(24, 24)),
    'decoders_misbehave': settings(no_pixels=True, first_fails=True, steps=2) +
        image(LOGO, 1 | SYNTH, 0, 0, 0, synth(3, 3)) +
        image(LOGO, 3 | SYNTH, 0, 0, 0, synth(3, 3, frames=2)) +
        image(OVERLAY, 5 | SYNTH, 0, 0, 0, synth(3, 3)),
}


def main():
    os.makedirs(CORPUS, exist_ok=True)
    for name in os.listdir(CORPUS):
        os.remove(os.path.join(CORPUS, name))
    for name, data in SEEDS.items():
        with open(os.path.join(CORPUS, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
