#!/usr/bin/env python3
"""Draw the program's icon and write it as assets/orvane.ico.

The picture is a magnifying glass over two listing lines: the program watches
a listing page. Every size is rendered from the same vector description with
analytic anti-aliasing, so the sizes look alike; the 8-bit images are the
32-bit pictures quantised to their own palettes, with the AND mask carrying
the transparency.

Only +, -, *, / and sqrt are used on floats: they are correctly rounded
everywhere, so the file comes out byte for byte the same on every machine.

Usage: make_icon.py [--output PATH] [--preview PNG]
"""

import argparse
import math
import os
import struct
import sys
import zlib

import check_icon

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUTPUT = os.path.join(REPO, "assets", "orvane.ico")

# Layout order of the images in the file: (size, bits per pixel).
IMAGES = check_icon.EXPECTED_IMAGES

# Colours as (red, green, blue) in 0..1.
OUTLINE = (0.09, 0.14, 0.26)
RIM = (0.42, 0.55, 0.71)
GLASS_CENTRE = (0.90, 0.96, 1.00)
GLASS_EDGE = (0.62, 0.80, 0.96)
HIGHLIGHT = (1.0, 1.0, 1.0)
LINES = (0.16, 0.38, 0.70)
HANDLE_LIGHT = (0.95, 0.66, 0.22)
HANDLE_DARK = (0.70, 0.38, 0.08)

# The picture on a unit square, y downwards.
LENS_CENTRE = (0.41, 0.41)
LENS_RADIUS = 0.36
RIM_WIDTH = 0.085
HANDLE_FROM = (0.62, 0.62)
HANDLE_TO = (0.835, 0.835)
HANDLE_RADIUS = 0.085


def clamp(value, low=0.0, high=1.0):
    """Keep a value in range; coverage and colours must not overshoot."""
    return low if value < low else high if value > high else value


def coverage(distance_px):
    """Fraction of a pixel inside a shape, from its signed distance in pixels.

    A one-pixel ramp across the edge is the whole anti-aliasing; it keeps
    edges soft without supersampling.
    """
    return clamp(0.5 - distance_px)


def circle_distance(x, y, centre, radius):
    """Signed distance from a point to a circle's edge (negative inside)."""
    dx = x - centre[0]
    dy = y - centre[1]
    return math.sqrt(dx * dx + dy * dy) - radius


def capsule_distance(x, y, start, end, radius):
    """Signed distance to a segment thickened by radius (the handle)."""
    sx = end[0] - start[0]
    sy = end[1] - start[1]
    along = (x - start[0]) * sx + (y - start[1]) * sy
    t = clamp(along / (sx * sx + sy * sy))
    dx = x - (start[0] + t * sx)
    dy = y - (start[1] + t * sy)
    return math.sqrt(dx * dx + dy * dy) - radius


def box_distance(x, y, left, top, right, bottom, radius):
    """Signed distance to a rounded rectangle (a listing line)."""
    half_w = (right - left) / 2 - radius
    half_h = (bottom - top) / 2 - radius
    dx = abs(x - (left + right) / 2) - half_w
    dy = abs(y - (top + bottom) / 2) - half_h
    outside_x = max(dx, 0.0)
    outside_y = max(dy, 0.0)
    outside = math.sqrt(outside_x * outside_x + outside_y * outside_y)
    return outside + min(max(dx, dy), 0.0) - radius


def mix(a, b, t):
    """Blend two colours; t = 0 gives a."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def over(below, colour, alpha):
    """Paint colour with alpha over a straight-alpha pixel (r, g, b, a)."""
    if alpha <= 0.0:
        return below
    out_a = alpha + below[3] * (1.0 - alpha)
    keep = below[3] * (1.0 - alpha)
    rgb = tuple((colour[i] * alpha + below[i] * keep) / out_a
                for i in range(3))
    return rgb + (out_a,)


def shade_pixel(x, y, size):
    """Colour and alpha of the picture at point (x, y) of a size-pixel icon.

    Strokes are at least one pixel wide so the small sizes keep a clear
    outline; apart from that every size sees the same shapes.
    """
    px = 1.0 / size
    outline = max(0.045, px)
    pixel = (0.0, 0.0, 0.0, 0.0)

    # Handle under the lens, so that the lens covers its inner end.
    handle_d = capsule_distance(x, y, HANDLE_FROM, HANDLE_TO, HANDLE_RADIUS)
    pixel = over(pixel, OUTLINE, coverage((handle_d - outline) / px))
    along = clamp((x - y + HANDLE_RADIUS) / (2 * HANDLE_RADIUS))
    pixel = over(pixel, mix(HANDLE_DARK, HANDLE_LIGHT, along),
                 coverage(handle_d / px))

    # Lens: dark outline, metal rim, dark inner edge, glass.
    lens_d = circle_distance(x, y, LENS_CENTRE, LENS_RADIUS)
    pixel = over(pixel, OUTLINE, coverage(lens_d / px))
    pixel = over(pixel, RIM, coverage((lens_d + outline) / px))
    glass_radius = LENS_RADIUS - outline - max(RIM_WIDTH - outline, px)
    inner_edge = max(outline * 0.6, px)
    pixel = over(pixel, OUTLINE,
                 coverage((lens_d + LENS_RADIUS - glass_radius - inner_edge)
                          / px))
    glass_d = circle_distance(x, y, LENS_CENTRE, glass_radius)
    depth = clamp((glass_d + glass_radius) / glass_radius)
    pixel = over(pixel, mix(GLASS_CENTRE, GLASS_EDGE, depth * depth),
                 coverage(glass_d / px))

    # Two listing lines seen through the glass, the upper one longer. Their
    # edges sit on pixel boundaries so that they stay crisp at 16 pixels.
    inside_glass = coverage(glass_d / px)
    cx, cy = LENS_CENTRE
    line_h = max(1, math.floor(0.075 * size + 0.5)) * px
    for left, right, top in ((cx - 0.17, cx + 0.15, cy - 0.085),
                             (cx - 0.17, cx + 0.06, cy + 0.045)):
        top = math.floor(top * size + 0.5) * px
        line_d = box_distance(x, y, left, top, right, top + line_h,
                              line_h / 2)
        pixel = over(pixel, LINES, coverage(line_d / px) * inside_glass)

    # Glint on the upper left of the glass: a crescent between two circles.
    glint_outer = circle_distance(x, y, LENS_CENTRE, glass_radius - 1.5 * px)
    glint_cut = circle_distance(x, y, (cx + 0.05, cy + 0.05), glass_radius)
    glint = min(coverage(glint_outer / px), coverage(-glint_cut / px))
    if size >= 32:  # at 16 pixels a glint is only a stray light pixel
        pixel = over(pixel, HIGHLIGHT, glint * 0.85)
    return pixel


def render(size):
    """Rows of (r, g, b, a) bytes, top row first."""
    rows = []
    for row in range(size):
        pixels = []
        for col in range(size):
            r, g, b, a = shade_pixel((col + 0.5) / size, (row + 0.5) / size,
                                     size)
            pixels.append(tuple(int(v * 255 + 0.5) for v in (r, g, b))
                          + (int(a * 255 + 0.5),))
        rows.append(pixels)
    return rows


def and_mask(rows, opaque):
    """1-bit mask, bottom row first, rows padded to 32 bits.

    A set bit lets the screen show through.
    """
    size = len(rows)
    stride = check_icon.mask_stride(size)
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for col, pixel in enumerate(row):
            if not opaque(pixel):
                line[col // 8] |= 0x80 >> (col % 8)
        out += line
    return bytes(out)


def bitmap_header(size, bits, image_bytes):
    """BITMAPINFOHEADER of an icon image: the height counts both bitmaps."""
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                       image_bytes, 0, 0, 0, 0)


def image_32(rows):
    """A 32-bit image: BGRA pixels with straight alpha, then the mask."""
    size = len(rows)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = and_mask(rows, lambda p: p[3] > 0)
    body = bytes(pixels) + mask
    return bitmap_header(size, 32, len(body)) + body


def median_cut(colours, count):
    """Split the colour set into count boxes; returns each box's mean.

    Weighted by how often each colour occurs, so the large areas (glass,
    rim) keep their exact shade and the edge blends share what is left.
    """
    boxes = [sorted(colours.items())]
    while len(boxes) < count:
        best = None
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            spans = [max(c[0][k] for c in box) - min(c[0][k] for c in box)
                     for k in range(3)]
            span = max(spans)
            if best is None or span > best[0]:
                best = (span, index, spans.index(span))
        if best is None:
            break
        _, index, channel = best
        box = sorted(boxes.pop(index), key=lambda c: (c[0][channel], c[0]))
        total = sum(weight for _, weight in box)
        running = 0
        cut = 1
        for position, (_, weight) in enumerate(box[:-1]):
            running += weight
            cut = position + 1
            if running * 2 >= total:
                break
        boxes[index:index] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(weight for _, weight in box)
        palette.append(tuple(
            (sum(c[k] * w for c, w in box) + total // 2) // total
            for k in range(3)))
    return palette


def image_8(rows):
    """An 8-bit image: palette, indices, then the mask.

    Pixels at least half opaque are drawn in their own colour; the rest are
    index 0 (black) and see-through by the mask. Edge pixels keep their own
    colour rather than a blend with some background, so no halo shows on
    either a light or a dark taskbar.
    """
    size = len(rows)

    def opaque(p):
        return p[3] >= 128

    def flat(p):
        return p[:3]

    counts = {}
    for row in rows:
        for p in row:
            if opaque(p):
                counts[flat(p)] = counts.get(flat(p), 0) + 1
    palette = [(0, 0, 0)] + median_cut(counts, 255)
    nearest = {}
    for colour in counts:
        nearest[colour] = min(
            range(1, len(palette)),
            key=lambda i: (sum((palette[i][k] - colour[k]) ** 2
                               for k in range(3)), i))
    indices = bytearray()
    for row in reversed(rows):
        for p in row:
            indices.append(nearest[flat(p)] if opaque(p) else 0)
    table = bytearray()
    for r, g, b in palette + [(0, 0, 0)] * (256 - len(palette)):
        table += bytes((b, g, r, 0))
    mask = and_mask(rows, opaque)
    body = bytes(indices) + mask
    return bitmap_header(size, 8, len(body)) + bytes(table) + body


def build_icon():
    """The whole ICO file as bytes."""
    renders = {}
    images = []
    for size, bits in IMAGES:
        if size not in renders:
            renders[size] = render(size)
        images.append(image_8(renders[size]) if bits == 8
                      else image_32(renders[size]))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (size, bits), image in zip(IMAGES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1,
                           bits, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def png(width, height, rgb_rows):
    """A minimal RGB PNG, for looking at the icon without an icon viewer."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(row) for row in rgb_rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2,
                                         0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_preview(icon, path, scale=4):
    """Every image as the file holds it, enlarged, over light and dark."""
    decoded = check_icon.decode_images(icon)
    gap = 8
    width = sum(img["size"] * scale + gap for img in decoded) + gap
    band = max(img["size"] for img in decoded) * scale + 2 * gap
    rows = [[0] * (width * 3) for _ in range(band * 2)]
    for band_index, background in enumerate(((236, 236, 236), (40, 44, 52))):
        for y in range(band):
            line = rows[band_index * band + y]
            for x in range(width):
                line[x * 3:x * 3 + 3] = background
        left = gap
        for img in decoded:
            for y in range(img["size"] * scale):
                line = rows[band_index * band + gap + y]
                for x in range(img["size"] * scale):
                    r, g, b, a = img["pixels"][y // scale][x // scale]
                    out = [(c * a + background[k] * (255 - a) + 127) // 255
                           for k, c in enumerate((r, g, b))]
                    line[(left + x) * 3:(left + x) * 3 + 3] = out
            left += img["size"] * scale + gap
    with open(path, "wb") as f:
        f.write(png(width, band * 2, rows))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=DEFAULT_OUTPUT,
                        help="where to write the ICO file")
    parser.add_argument("--preview", metavar="PNG",
                        help="also write an enlarged PNG of every image")
    args = parser.parse_args()
    icon = build_icon()
    problems = check_icon.check_icon(icon)
    if problems:
        for problem in problems:
            print("make_icon: " + problem, file=sys.stderr)
        return 1
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "wb") as f:
        f.write(icon)
    if args.preview:
        write_preview(icon, args.preview)
    print("wrote %s (%d bytes)" % (args.output, len(icon)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
