#!/usr/bin/env python3
"""Checks a screenshot for a highlight frame round a rectangle.

    frame_check.py SHOT LEFT TOP RIGHT BOTTOM BORDER RRGGBB [BEFORE]

The rectangle is LEFT, TOP (inclusive) to RIGHT, BOTTOM (exclusive), in screen pixels. Passes
when every pixel of the band BORDER pixels wide round the rectangle has the colour RRGGBB, the
pixels just outside that band do not (the frame is exactly that wide), and no pixel inside the
rectangle has it. With BEFORE (a screenshot of the same screen without the frame) the inside must
be the same, pixel for pixel, as there: the frame's middle is transparent. Prints what it found;
exit code 0 on a pass, 1 on a failure, 2 for bad arguments.
"""
import subprocess
import sys


def read_region(shot, left, top, width, height):
    """The pixels of a region as rows of (r, g, b), read through ImageMagick's PPM output."""
    ppm = subprocess.run(
        ["convert", shot, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-depth", "8",
         "ppm:-"],
        check=True, capture_output=True).stdout
    # P6 header: magic, width, height, maximum, each followed by white space.
    fields = []
    pos = 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not ppm[pos:pos + 1].isspace():
            pos += 1
        fields.append(ppm[start:pos])
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    data = ppm[pos:]
    return [[tuple(data[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]


def main(argv):
    if len(argv) not in (8, 9):
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    shot = argv[1]
    left, top, right, bottom, border = (int(v) for v in argv[2:7])
    color = tuple(bytes.fromhex(argv[7]))
    before = argv[8] if len(argv) == 9 else None
    if right <= left or bottom <= top or border < 1:
        print("frame_check: an empty rectangle or no border", file=sys.stderr)
        return 2
    # The region read: the rectangle, the frame, and one more pixel all round.
    ox, oy = left - border - 1, top - border - 1
    width, height = right - left + 2 * border + 2, bottom - top + 2 * border + 2
    if ox < 0 or oy < 0:
        print("frame_check: the frame would reach past the screen's top or left edge",
              file=sys.stderr)
        return 2
    pixels = read_region(shot, ox, oy, width, height)
    if len(pixels) != height or any(len(row) != width for row in pixels):
        print("frame_check: the screenshot does not hold the whole region")
        return 1

    def at(x, y):  # screen coordinates
        return pixels[y - oy][x - ox]

    ring_bad = outside_framed = inside_framed = 0
    for y in range(oy, oy + height):
        for x in range(ox, ox + width):
            outer = x == ox or y == oy or x == ox + width - 1 or y == oy + height - 1
            inner = left <= x < right and top <= y < bottom
            framed = at(x, y) == color
            if outer:
                outside_framed += framed
            elif inner:
                inside_framed += framed
            else:
                ring_bad += not framed
    ring = (width - 2) * (height - 2) - (right - left) * (bottom - top)
    outline = 2 * (width + height) - 4
    print(f"frame {border} px round {left},{top},{right},{bottom}: {ring - ring_bad}/{ring} "
          f"border pixels in #{argv[7]}, {outside_framed}/{outline} just outside, "
          f"{inside_framed} inside")
    ok = ring_bad == 0 and outside_framed == 0 and inside_framed == 0
    if before is not None:
        old = read_region(before, left, top, right - left, bottom - top)
        changed = sum(1 for y in range(top, bottom) for x in range(left, right)
                      if old[y - top][x - left] != at(x, y))
        print(f"inside: {changed} of {(right - left) * (bottom - top)} pixels differ from the "
              "screen without the frame")
        ok = ok and changed == 0
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
