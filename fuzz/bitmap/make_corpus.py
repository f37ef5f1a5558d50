"""Writes the seed corpus of bitmap_fuzzer: small bitmaps from ImageMagick and Pillow at every
depth, header size and compression the decoder reads, and cut or damaged copies. Each seed is
two bytes of caller's buffer size followed by the file.

usage: /usr/bin/python3 fuzz/bitmap/make_corpus.py   (rewrites fuzz/bitmap/corpus/)
"""
import io
import os
import struct
import subprocess
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, 'corpus')


def magick(width, height, options, header40):
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, 'seed.bmp')
        subprocess.run(['convert', '-seed', '3', '-size', f'{width}x{height}', 'plasma:fractal',
                        *options, ('BMP3:' if header40 else 'BMP:') + out], check=True)
        with open(out, 'rb') as f:
            return f.read()


def pillow(width, height, mode):
    picture = Image.new('RGB', (width, height))
    picture.putdata([((x * 40) % 256, (y * 60) % 256, (x * y * 9) % 256)
                     for y in range(height) for x in range(width)])
    if mode != 'RGB':
        picture = picture.convert(mode)
    data = io.BytesIO()
    picture.save(data, format='BMP')
    return data.getvalue()


def seed(name, data, width, height, shrink=0):
    size = max(0, width * height * 4 - shrink)
    with open(os.path.join(CORPUS, name), 'wb') as f:
        f.write(struct.pack('<H', min(size, 0xFFFF)) + data)


os.makedirs(CORPUS, exist_ok=True)
for old in os.listdir(CORPUS):
    os.remove(os.path.join(CORPUS, old))

PAL = ['-type', 'Palette', '-compress', 'none']
GREY = ['-type', 'Grayscale', '-compress', 'none']
files = {
    'im_1bit_v3': (magick(13, 5, ['-monochrome'], True), 13, 5),
    'im_1bit_v4': (magick(13, 5, ['-monochrome'], False), 13, 5),
    'im_4bit_v3': (magick(9, 4, ['-colors', '16', *PAL], True), 9, 4),
    'im_4bit_v4': (magick(9, 4, [*GREY, '-colors', '16'], False), 9, 4),
    'im_4bit_v5': (magick(9, 4, ['-colors', '16', *PAL], False), 9, 4),
    'im_8bit_v3': (magick(7, 6, ['-colors', '100', *PAL], True), 7, 6),
    'im_8bit_v5': (magick(7, 6, ['-colors', '100', *PAL], False), 7, 6),
    'im_24bit_v3': (magick(5, 3, ['-type', 'TrueColor'], True), 5, 3),
    'im_24bit_v5': (magick(5, 3, ['-type', 'TrueColor'], False), 5, 3),
    'im_rle8_v3': (magick(11, 6, ['-colors', '20', '-type', 'Palette', '-compress', 'RLE'], True), 11, 6),
    'im_rle8_v4': (magick(11, 6, [*GREY, '-colors', '20', '-compress', 'RLE'], False), 11, 6),
    'pil_1bit': (pillow(10, 3, '1'), 10, 3),
    'pil_8bit': (pillow(6, 4, 'P'), 6, 4),
    'pil_24bit': (pillow(3, 2, 'RGB'), 3, 2),
}
for name, (data, width, height) in files.items():
    seed(name + '.bin', data, width, height)
    seed(name + '_small_buffer.bin', data, width, height, shrink=2)
    seed(name + '_cut.bin', data[:len(data) - 3], width, height)
    seed(name + '_cut_header.bin', data[:40], width, height)

# Run-length codes of every kind, written out: a run, an odd literal, a delta, a run past the
# right edge, end of line and end of bitmap, in a 4 x 3 picture.
codes = bytes([0x02, 0x01, 0x00, 0x03, 0x02, 0x03, 0x01, 0x00, 0x00, 0x00,
               0x06, 0x02, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x01, 0x03, 0x00, 0x01])
header = struct.pack('<2sIHHIIiiHHIIiiII', b'BM', 54 + 16 + len(codes), 0, 0, 54 + 16, 40, 4, 3,
                     1, 8, 1, len(codes), 0, 0, 4, 0)
palette = b''.join(struct.pack('<I', c) for c in (0x000000, 0xFF0000, 0x00FF00, 0x0000FF))
seed('hand_rle8_codes.bin', header + palette + codes, 4, 3)
