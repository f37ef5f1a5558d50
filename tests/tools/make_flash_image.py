#!/usr/bin/python3
"""Writes a firmware-like flash image for the boardsim flash tests: erased padding (0xFF) with
runs of pseudo-random code and data at the bottom, in the middle and at the top.

usage: make_flash_image.py SIZE_BYTES SEED OUTPUT
"""
import random
import sys


def main():
    size, seed, output = int(sys.argv[1], 0), int(sys.argv[2]), sys.argv[3]
    rng = random.Random(seed)
    image = bytearray(b"\xff" * size)
    for first, length in ((0, 0x3010), (size // 2 - 0x1FC7, 0x4A31), (size - 0x6000, 0x6000)):
        image[first:first + length] = bytes(rng.getrandbits(8) for _ in range(length))
    with open(output, "wb") as out:
        out.write(image)


if __name__ == "__main__":
    main()
