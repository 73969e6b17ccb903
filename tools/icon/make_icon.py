#!/usr/bin/env python3
"""Draws Tonvira's icon and writes program/tonvira.ico.

A deep red rounded square with a white "V" wearing an acute tone mark (the "V" alone at 16x16),
drawn from plain geometry (no fonts, no input files) at 16x16, 32x32 and 48x48 in 32-bit colour
with alpha. Every pixel is the coverage of a fixed grid of samples, so the file is the same byte
for byte on every run.

    python3 tools/icon/make_icon.py [--output PATH]
"""

import argparse
import pathlib
import struct

SIZES = (16, 32, 48)
SAMPLES = 8  # per axis and pixel: 64 samples give smooth edges at 16 px

# Shapes in a unit square, x to the right, y downwards.
TILE_MARGIN = 1 / 16  # one pixel at 16 px, so the tile keeps a clean edge in the tray
TILE_RADIUS = 3 / 16
TILE_TOP = (198, 40, 40)  # deep red, a little lighter at the top
TILE_BOTTOM = (150, 22, 28)
GLYPH = (255, 255, 255)

# The "V": two strokes meeting at a flat foot, set low to leave room for the tone mark.
V_SHAPE = (
    (0.20, 0.30),
    (0.37, 0.30),
    (0.50, 0.66),
    (0.63, 0.30),
    (0.80, 0.30),
    (0.585, 0.84),
    (0.415, 0.84),
)
# The acute tone mark above the right stroke, slanting up to the right.
ACUTE_SHAPE = (
    (0.49, 0.24),
    (0.61, 0.24),
    (0.76, 0.11),
    (0.62, 0.11),
)
# Below this size the tone mark is a smudge: the small icon shows the "V" alone, centred.
SMALLEST_WITH_MARK = 24
SMALL_V_SHIFT = -0.07


def inside_polygon(x, y, polygon):
    """Even-odd rule: does the point lie inside the polygon?"""
    inside = False
    count = len(polygon)
    for i in range(count):
        x1, y1 = polygon[i]
        x2, y2 = polygon[(i + 1) % count]
        if (y1 > y) != (y2 > y):
            crossing = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < crossing:
                inside = not inside
    return inside


def inside_tile(x, y):
    low, high = TILE_MARGIN, 1 - TILE_MARGIN
    if not (low <= x <= high and low <= y <= high):
        return False
    # Inside the box; outside the corner circles only in the four corner squares.
    cx = min(max(x, low + TILE_RADIUS), high - TILE_RADIUS)
    cy = min(max(y, low + TILE_RADIUS), high - TILE_RADIUS)
    return (x - cx) ** 2 + (y - cy) ** 2 <= TILE_RADIUS**2


def glyph_shapes(size):
    if size >= SMALLEST_WITH_MARK:
        return (V_SHAPE, ACUTE_SHAPE)
    return (tuple((x, y + SMALL_V_SHIFT) for x, y in V_SHAPE),)


def tile_colour(y):
    return tuple(top + (bottom - top) * y for top, bottom in zip(TILE_TOP, TILE_BOTTOM))


def render(size):
    """Rows of (r, g, b, a) pixels, top row first, with straight (not premultiplied) alpha."""
    rows = []
    total = SAMPLES * SAMPLES
    shapes = glyph_shapes(size)
    for py in range(size):
        row = []
        for px in range(size):
            tile = glyph = 0
            for sy in range(SAMPLES):
                y = (py + (sy + 0.5) / SAMPLES) / size
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    if inside_tile(x, y):
                        tile += 1
                        if any(inside_polygon(x, y, shape) for shape in shapes):
                            glyph += 1
            if tile == 0:
                row.append((0, 0, 0, 0))
                continue
            background = tile_colour((py + 0.5) / size)
            colour = tuple(
                round((b * (tile - glyph) + g * glyph) / tile) for b, g in zip(background, GLYPH)
            )
            row.append(colour + (round(255 * tile / total),))
        rows.append(row)
    return rows


def icon_image(size):
    """One image of the icon file: a BITMAPINFOHEADER, the BGRA pixels and the AND mask, bottom row first."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    mask_stride = (size + 31) // 32 * 4
    for row in reversed(rows):
        mask_row = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                mask_row[x // 8] |= 0x80 >> (x % 8)
        mask += mask_row
    return header + bytes(pixels) + bytes(mask)


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    repository = pathlib.Path(__file__).resolve().parents[2]
    parser = argparse.ArgumentParser(description="Write Tonvira's icon file.")
    parser.add_argument(
        "--output",
        type=pathlib.Path,
        default=repository / "app" / "win32" / "tonvira.ico",
        help="where to write the .ico (default: program/tonvira.ico)",
    )
    arguments = parser.parse_args()
    arguments.output.write_bytes(icon_file(SIZES))
    print(f"wrote {arguments.output}")


if __name__ == "__main__":
    main()
