"""Decodes bitmaps that ImageMagick and Pillow write, at test time, with `boardsim bmp` and with
Pillow, and requires the two pictures to be equal pixel for pixel. Also feeds truncated copies
and requires a refusal.

usage: /usr/bin/python3 compare_with_pillow.py BOARDSIM WORKDIR
"""
import os
import struct
import subprocess
import sys

from PIL import Image

BOARDSIM, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
failures = []


def path(name):
    return os.path.join(WORK, name)


def header(file_name):
    """(information header size, bits per pixel, compression) as the file states them."""
    with open(file_name, 'rb') as f:
        data = f.read(34)
    return struct.unpack_from('<I', data, 14)[0], struct.unpack_from('<H', data, 28)[0], \
        struct.unpack_from('<I', data, 30)[0]


def magick(name, width, height, *options, source='plasma:fractal', header40=False):
    """A picture from ImageMagick made by one of its generators. Its default BMP output has the
    124-byte information header; the BMP3 form has the 40-byte one."""
    out = path(name)
    subprocess.run(['convert', '-seed', '7', '-size', f'{width}x{height}', source, *options,
                    ('BMP3:' if header40 else 'BMP:') + out], check=True)
    return out


def pillow(name, width, height, mode):
    """A picture from Pillow: a pattern that uses many colours (or both levels at 1 bit)."""
    picture = Image.new('RGB', (width, height))
    picture.putdata([((x * 37 + y * 11) % 256, (x * 5 + y * 53) % 256, (x * y * 7) % 256)
                     for y in range(height) for x in range(width)])
    if mode == '1':
        picture = picture.convert('1')
    elif mode == 'P':
        picture = picture.convert('P', palette=Image.ADAPTIVE, colors=256)
    elif mode == 'L':
        picture = picture.convert('L')
    out = path(name)
    picture.save(out, format='BMP')
    return out


def check_same(file_name, expect):
    info = header(file_name)
    if info != expect:
        failures.append(f'{file_name}: made with header/depth/compression {info}, wanted {expect}')
        return
    png = file_name + '.png'
    run = subprocess.run([BOARDSIM, 'bmp', file_name, png], capture_output=True, text=True)
    if run.returncode != 0:
        failures.append(f'{file_name}: boardsim bmp exit {run.returncode}: {run.stdout}{run.stderr}')
        return
    ours = Image.open(png).convert('RGB')
    theirs = Image.open(file_name).convert('RGB')
    if ours.size != theirs.size:
        failures.append(f'{file_name}: size {ours.size}, Pillow {theirs.size}')
        return
    a, b = list(ours.getdata()), list(theirs.getdata())
    wrong = [i for i in range(len(a)) if a[i] != b[i]]
    if wrong:
        w = ours.size[0]
        i = wrong[0]
        failures.append(f'{file_name}: {len(wrong)} of {len(a)} pixels differ, first at '
                        f'({i % w}, {i // w}): {a[i]} against Pillow {b[i]}')
    else:
        print(f'same: {os.path.basename(file_name)} {ours.size[0]}x{ours.size[1]} {info}')


def check_refused(file_name, keep_bytes):
    with open(file_name, 'rb') as f:
        data = f.read()[:keep_bytes]
    cut = f'{file_name}.cut{keep_bytes}'
    with open(cut, 'wb') as f:
        f.write(data)
    run = subprocess.run([BOARDSIM, 'bmp', cut, cut + '.png'], capture_output=True, text=True)
    if run.returncode != 1 or run.stdout.strip() != 'Unsupported':
        failures.append(f'{cut}: exit {run.returncode}, printed {run.stdout!r}: not refused')


# (file, (information header size, bits per pixel, compression)); widths are odd so that
# every depth ends its rows inside a byte or with alignment padding. ImageMagick writes the
# 124-byte header for colour pictures, the 108-byte one for grey ones, and the 40-byte one in
# its BMP3 form.
PALETTE = ['-type', 'Palette', '-compress', 'none']
GREY = ['-type', 'Grayscale', '-compress', 'none']  # before -colors, or the depth stays 24
RLE = ['-type', 'Palette', '-compress', 'RLE']
GREY_RLE = ['-type', 'Grayscale', '-compress', 'RLE']
cases = [
    (magick('im_1bit_v3.bmp', 37, 19, '-monochrome', header40=True), (40, 1, 0)),
    (magick('im_1bit_v4.bmp', 37, 19, '-monochrome'), (108, 1, 0)),
    (magick('im_4bit_v3.bmp', 33, 17, '-colors', '16', *PALETTE, header40=True), (40, 4, 0)),
    (magick('im_4bit_v4.bmp', 7, 5, *GREY, '-colors', '16'), (108, 4, 0)),
    (magick('im_4bit_v5.bmp', 5, 3, '-colors', '16', *PALETTE), (124, 4, 0)),
    (magick('im_8bit_v3.bmp', 31, 23, '-colors', '200', *PALETTE, header40=True), (40, 8, 0)),
    (magick('im_8bit_v4.bmp', 31, 23, *GREY, '-colors', '200'), (108, 8, 0)),
    (magick('im_8bit_v5.bmp', 31, 23, '-colors', '200', *PALETTE), (124, 8, 0)),
    (magick('im_24bit_v3.bmp', 1, 7, '-type', 'TrueColor', header40=True), (40, 24, 0)),
    (magick('im_24bit_v4.bmp', 3, 7, *GREY), (108, 24, 0)),
    (magick('im_24bit_v5.bmp', 29, 13, '-type', 'TrueColor'), (124, 24, 0)),
    (magick('im_rle8_v3.bmp', 37, 21, '-colors', '200', *RLE, header40=True), (40, 8, 1)),
    (magick('im_rle8_v4.bmp', 39, 21, *GREY_RLE, '-colors', '100'), (108, 8, 1)),
    (magick('im_rle8_v5.bmp', 35, 21, '-colors', '60', *RLE), (124, 8, 1)),
    (magick('im_rle8_runs.bmp', 53, 9, '-colors', '4', *RLE, source='gradient:red-blue',
            header40=True), (40, 8, 1)),
    (pillow('pil_1bit.bmp', 45, 11, '1'), (40, 1, 0)),
    (pillow('pil_8bit.bmp', 27, 15, 'P'), (40, 8, 0)),
    (pillow('pil_grey.bmp', 3, 5, 'L'), (40, 8, 0)),
    (pillow('pil_24bit.bmp', 41, 9, 'RGB'), (40, 24, 0)),
]
for file_name, expect in cases:
    check_same(file_name, expect)

# Cut inside the information header, inside the palette, and inside the last row or the
# last row's end-of-line code (a missing end-of-bitmap after it is no loss).
for file_name in [path('im_8bit_v5.bmp'), path('im_rle8_v3.bmp'), path('pil_24bit.bmp')]:
    size = os.path.getsize(file_name)
    for keep in (30, 60, size - 3):
        check_refused(file_name, keep)

for failure in failures:
    print('FAIL', failure)
sys.exit(1 if failures else 0)
