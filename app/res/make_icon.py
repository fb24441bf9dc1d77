#!/usr/bin/env python3
"""Draws the program's icon (a sheet of source text with a comment being
struck out) and writes kezurin.ico with 16, 32 and 48 pixel images, or with
--png SIZE FILE one PNG image of that size (for the Linux desktop's icon)."""
import struct
import sys
import zlib

PAPER = (255, 255, 255, 255)
EDGE = (70, 90, 120, 255)
TEXT = (60, 60, 60, 255)
COMMENT = (40, 150, 60, 255)
STRIKE = (230, 110, 0, 255)
CLEAR = (0, 0, 0, 0)


def draw(size):
    s = size / 32.0
    pixels = [[CLEAR] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, round(y0 * s)), min(size, round(y1 * s))):
            for x in range(max(0, round(x0 * s)), min(size, round(x1 * s))):
                pixels[y][x] = colour

    rect(4, 2, 28, 30, EDGE)
    rect(5, 3, 27, 29, PAPER)
    for row, (code, comment) in enumerate([(14, 6), (10, 8), (16, 0), (8, 10), (12, 0)]):
        y = 6 + row * 4.5
        rect(8, y, 8 + code, y + 2, TEXT)
        if comment:
            rect(9 + code, y, min(25, 9 + code + comment), y + 2, COMMENT)
    # the stroke that takes a comment away
    for i in range(int(22 * s)):
        x = round(8 * s) + i
        y = round(26 * s) - i
        for dy in range(max(1, round(2 * s))):
            if 0 <= y + dy < size and 0 <= x < size:
                pixels[y + dy][x] = STRIKE
    return pixels


def bmp_entry(size):
    pixels = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(
        bytes(c for r, g, b, a in pixels[y] for c in (b, g, r, a)) for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # the alpha channel decides; the mask stays empty
    return header + rows + mask


def ico(sizes):
    images = [bmp_entry(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def png(size):
    pixels = draw(size)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--png":
        with open(sys.argv[3], "wb") as file:
            file.write(png(int(sys.argv[2])))
        sys.exit(0)
    target = sys.argv[1] if len(sys.argv) > 1 else "kezurin.ico"
    with open(target, "wb") as file:
        file.write(ico([16, 32, 48]))
