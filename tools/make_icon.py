#!/usr/bin/env python3
"""Draws the program icon, a trimmed hedge with a check mark, and writes it as
res/Hedgeloom.ico: a 32x32 and a 16x16 image in the 16 standard colours."""
import math
import os
import struct
import sys

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, WHITE, LIME = 0, 1, 2, 3, 4, 15, 10
CLEAR = None


def in_hedge(x, y):
    if 0.06 <= x <= 0.94 and 0.30 <= y <= 0.80:
        return True
    return any(math.hypot(x - cx, y - 0.30) <= 0.13 for cx in (0.19, 0.40, 0.61, 0.81))


def in_ground(x, y):
    return 0.02 <= x <= 0.98 and 0.80 < y <= 0.92


def in_badge(x, y, size):
    return math.hypot(x - 0.72, y - 0.70) <= (0.23 if size >= 32 else 0.27)


def near_segment(x, y, a, b, width):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy) <= width


def in_check(x, y, width):
    a, b, c = (0.61, 0.70), (0.70, 0.80), (0.86, 0.59)
    return near_segment(x, y, a, b, width) or near_segment(x, y, b, c, width)


def fill(x, y, size):
    """The colour of the shape under a point, before outlining."""
    check_width = 0.045 if size >= 32 else 0.06
    if in_badge(x, y, size):
        return NAVY if in_check(x, y, check_width) else WHITE
    if in_hedge(x, y):
        # Leaves: a scatter of light green on the sunny upper part.
        i, j = int(x * size), int(y * size)
        if y < 0.62 and ((i * 7919) ^ (j * 104729)) % 5 == 0:
            return LIME
        return GREEN
    if in_ground(x, y):
        return OLIVE if (int(x * size) + int(y * size)) % 3 else MAROON
    return CLEAR


# At 16 pixels shapes drawn from geometry turn to mush, so the small image is
# drawn by hand: the same hedge, with the check in a square.
SMALL = [
    "................",
    "..KKK..KKK..KK..",
    ".KGGGKKGGGKKGGK.",
    ".KGLGGGGLGGGGLK.",
    ".KGGGLGGGGGLGGK.",
    ".KGLGGGGLGGGGGK.",
    ".KGGGGLGKKKKKKKK",
    ".KGLGGGGKWWWWWWK",
    ".KGGGGLGKWWWWWNK",
    ".KGGGGGGKWWWWNNK",
    ".KGGLGGGKNWWNNWK",
    ".KGGGGGGKNNNNWWK",
    ".KGGGGGGKWNNWWWK",
    ".KGGGGGGKKKKKKKK",
    "KOMOOMOOOMOOMOOK",
    "KKKKKKKKKKKKKKKK",
]
SMALL_COLOURS = {".": CLEAR, "K": BLACK, "G": GREEN, "L": LIME, "W": WHITE, "N": NAVY,
                 "O": OLIVE, "M": MAROON}


def draw(size):
    if size == len(SMALL):
        return [[SMALL_COLOURS[c] for c in row] for row in SMALL]
    step = 1.0 / size
    raw = [[fill((i + 0.5) * step, (j + 0.5) * step, size) for i in range(size)] for j in range(size)]
    pixels = [row[:] for row in raw]
    for j in range(size):
        for i in range(size):
            if raw[j][i] is CLEAR:
                continue
            # A dark edge wherever the shape meets the background or another shape.
            for di, dj in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                ni, nj = i + di, j + dj
                outside = not (0 <= ni < size and 0 <= nj < size) or raw[nj][ni] is CLEAR
                # The small image has no pixels to spare for the badge's rim.
                rim = size >= 32 and raw[j][i] == WHITE and raw[nj][ni] not in (WHITE, NAVY)
                if outside or rim:
                    pixels[j][i] = BLACK
                    break
    return pixels


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def image_bytes(size):
    pixels = draw(size)
    xor = b""
    mask = b""
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        colours = [0 if p is CLEAR else p for p in row]
        xor += padded(bytes((colours[i] << 4) | colours[i + 1] for i in range(0, size, 2)))
        bits = 0
        out = b""
        for i, p in enumerate(row):
            bits = (bits << 1) | (1 if p is CLEAR else 0)
            if i % 8 == 7:
                out += bytes([bits])
                bits = 0
        mask += padded(out)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + xor + mask


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "Hedgeloom.ico")
    images = [(32, image_bytes(32)), (16, image_bytes(16))]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(target, "wb") as out:
        out.write(directory + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()
