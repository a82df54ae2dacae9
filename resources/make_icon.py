#!/usr/bin/env python3
"""Draws Quillmark.ico: a page with a quill, 32x32 and 16x16, 16 colours.

The shapes are described on a 32-unit canvas and sampled at each pixel's
centre, so both sizes come from the same drawing. Run it again after a
change and commit the .ico beside it.
"""
import math
import struct
import sys

# The standard 16-colour palette, in the order the 4-bit pixels index it.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, SILVER, GREY, BLUE, WHITE = 0, 4, 7, 8, 12, 15

PAGE = (5.0, 2.0, 24.0, 30.0)  # left, top, right, bottom
FOLD = 6.0
QUILL_TIP = (8.0, 28.5)
QUILL_END = (30.0, 3.0)


def quill(x, y):
    ax, ay = QUILL_TIP
    bx, by = QUILL_END
    dx, dy = bx - ax, by - ay
    length = math.hypot(dx, dy)
    t = ((x - ax) * dx + (y - ay) * dy) / (length * length)
    if t < 0.0 or t > 1.0:
        return None
    distance = abs((x - ax) * dy - (y - ay) * dx) / length
    if t < 0.22:
        return BLACK if distance < 0.9 else None
    width = 4.2 * math.sin(math.pi * min(1.0, (t - 0.22) / 0.78)) + 0.8
    if distance < 0.7:
        return NAVY
    if distance < width - 1.2:
        return BLUE
    if distance < width:
        return NAVY
    return None


def page(x, y, edge):
    left, top, right, bottom = PAGE
    if not (left <= x < right and top <= y < bottom):
        return None
    inside_fold = (x - (right - FOLD)) + (top + FOLD - y) > FOLD
    if inside_fold:
        return None
    on_edge = x < left + edge or x >= right - edge or y < top + edge or y >= bottom - edge
    on_fold_edge = abs((x - (right - FOLD)) + (top + FOLD - y) - FOLD) < edge
    if on_edge or on_fold_edge:
        return GREY
    if x >= right - FOLD and y < top + FOLD:
        return SILVER
    for line_top in (11.0, 15.0, 19.0, 23.0):
        if line_top <= y < line_top + 2.0 and left + 3.0 <= x < right - 7.0:
            return GREY
    return WHITE


def pixel(x, y, edge):
    colour = quill(x, y)
    if colour is None:
        colour = page(x, y, edge)
    return colour


def image(size):
    scale = 32.0 / size
    rows = []
    for row in range(size):
        rows.append([pixel((col + 0.5) * scale, (row + 0.5) * scale, scale) for col in range(size)])
    return rows


def padded(data):
    return data + b"\0" * (-len(data) % 4)


def dib(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colours = b""
    mask = b""
    for row in reversed(rows):  # bottom-up
        nibbles = [0 if c is None else c for c in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        colours += padded(line)
        bits = 0
        mask_line = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if i % 8 == 7:
                mask_line.append(bits)
                bits = 0
        mask += padded(bytes(mask_line))
    return header + palette + colours + mask


def icon(sizes):
    images = [dib(image(size)) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "Quillmark.ico"
    with open(target, "wb") as f:
        f.write(icon([32, 16]))
