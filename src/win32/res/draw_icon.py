#!/usr/bin/env python3
"""Draws the program's icon and writes velnor.ico (16, 32 and 48 pixels, 32-bit colour).

The picture: a blue rounded tile holding a short list of white lines, each led by an orange
bullet, for the list of numbered addresses the program builds. Plain Python, no libraries:
each size is drawn at 8x and averaged down, so edges stay smooth at every size.
"""
import struct
import sys

SUPER = 8


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def shade(u, v):
    """Colour (r, g, b, a) at point (u, v) of the unit square, or None for transparent."""
    if not inside_rounded(u, v, 0.03, 0.03, 0.97, 0.97, 0.18):
        return None
    # Tile: blue, lighter at the top.
    t = v
    tile = (int(40 + 30 * (1 - t)), int(100 + 50 * (1 - t)), int(200 + 40 * (1 - t)), 255)
    if not inside_rounded(u, v, 0.07, 0.07, 0.93, 0.93, 0.14):
        return (20, 60, 140, 255)  # rim
    rows = (0.27, 0.50, 0.73)
    for row in rows:
        # Bullet: an orange square.
        if inside_rounded(u, v, 0.17, row - 0.075, 0.32, row + 0.075, 0.03):
            return (255, 150, 30, 255)
        # Line: a white bar.
        if inside_rounded(u, v, 0.40, row - 0.055, 0.84, row + 0.055, 0.05):
            return (250, 250, 250, 255)
    return tile


def render(size):
    pixels = []
    n = size * SUPER
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    c = shade((x * SUPER + sx + 0.5) / n, (y * SUPER + sy + 0.5) / n)
                    if c is None:
                        continue
                    a = c[3]
                    acc[0] += c[0] * a
                    acc[1] += c[1] * a
                    acc[2] += c[2] * a
                    acc[3] += a
            count = SUPER * SUPER
            alpha = acc[3] / count
            if acc[3]:
                rgb = [round(acc[i] / acc[3]) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], round(alpha)))
        pixels.append(row)
    return pixels


def dib(size, pixels):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in reversed(range(size)):  # bottom-up rows
        for (r, g, b, a) in pixels[y]:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(pixels[y]):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def main(path):
    sizes = (16, 32, 48)
    images = [dib(s, render(s)) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "velnor.ico")
