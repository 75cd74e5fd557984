#!/usr/bin/env python3
"""Check that an ICO file has exactly the six images the program expects.

The window and the notification icon pick their images out of this file by
size and depth, so a wrong order, depth or layout would show a blurred or
missing icon without any error. Exits 0 when the file is sound, 1 otherwise,
listing every problem found.

Usage: check_icon.py PATH
"""

import struct
import sys

# (size, bits per pixel), in file order.
EXPECTED_IMAGES = ((48, 8), (16, 8), (64, 32), (48, 32), (32, 32), (16, 32))
HEADER_SIZE = 6
ENTRY_SIZE = 16
INFO_HEADER_SIZE = 40
PALETTE_BYTES = 256 * 4
EXPECTED_FILE_SIZE = 37206


def mask_stride(size):
    """Bytes per row of the 1-bit AND mask: rows are padded to 32 bits."""
    return (size + 31) // 32 * 4


def image_bytes(size, bits):
    """Bytes of one classic image: header, palette, pixels, mask."""
    palette = PALETTE_BYTES if bits == 8 else 0
    pixel_stride = (size * bits + 31) // 32 * 4
    return (INFO_HEADER_SIZE + palette + pixel_stride * size
            + mask_stride(size) * size)


def check_icon(data):
    """All problems found in the ICO bytes; an empty list means sound."""
    problems = []
    expected_total = HEADER_SIZE + ENTRY_SIZE * len(EXPECTED_IMAGES) + sum(
        image_bytes(s, b) for s, b in EXPECTED_IMAGES)
    if expected_total != EXPECTED_FILE_SIZE:
        problems.append("internal: layouts add up to %d bytes, not %d"
                        % (expected_total, EXPECTED_FILE_SIZE))
    if len(data) != EXPECTED_FILE_SIZE:
        problems.append("file is %d bytes, expected %d"
                        % (len(data), EXPECTED_FILE_SIZE))
    if len(data) < HEADER_SIZE:
        return problems + ["file too short for an ICO header"]
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        problems.append("not an icon: reserved %d, type %d" % (reserved, kind))
    if count != len(EXPECTED_IMAGES):
        problems.append("%d images, expected %d"
                        % (count, len(EXPECTED_IMAGES)))
    directory_end = HEADER_SIZE + ENTRY_SIZE * count
    if len(data) < directory_end:
        return problems + ["file too short for its %d directory entries"
                           % count]

    next_offset = directory_end
    for index in range(min(count, len(EXPECTED_IMAGES))):
        size, bits = EXPECTED_IMAGES[index]
        name = "image %d (%dx%d, %d-bit)" % (index + 1, size, size, bits)
        (width, height, colours, reserved, planes, entry_bits, length,
         offset) = struct.unpack_from("<BBBBHHII", data,
                                      HEADER_SIZE + ENTRY_SIZE * index)
        width = width or 256
        height = height or 256
        if (width, height, entry_bits) != (size, size, bits):
            problems.append("%s: directory says %dx%d, %d-bit"
                            % (name, width, height, entry_bits))
        if colours != 0 or reserved != 0 or planes != 1:
            problems.append("%s: colour count %d, reserved %d, planes %d;"
                            " expected 0, 0, 1"
                            % (name, colours, reserved, planes))
        if offset != next_offset:
            problems.append("%s: starts at %d, expected %d (images must"
                            " follow each other without gaps or overlap)"
                            % (name, offset, next_offset))
        next_offset = offset + length
        if length != image_bytes(size, bits):
            problems.append("%s: %d bytes, expected %d"
                            % (name, length, image_bytes(size, bits)))
            continue
        if offset + length > len(data):
            problems.append("%s: runs past the end of the file" % name)
            continue
        problems += check_image(data[offset:offset + length], size, bits,
                                name)
    if count == len(EXPECTED_IMAGES) and next_offset != len(data):
        problems.append("images end at %d but the file has %d bytes"
                        % (next_offset, len(data)))
    return problems


def check_image(image, size, bits, name):
    """Problems in one image's header, and whether it shows anything."""
    problems = []
    (header_size, width, height, planes, header_bits,
     compression) = struct.unpack_from("<IiiHHI", image, 0)
    if header_size != INFO_HEADER_SIZE:
        problems.append("%s: header of %d bytes, expected a"
                        " BITMAPINFOHEADER (40)" % (name, header_size))
    if (width, height) != (size, size * 2):
        problems.append("%s: bitmap %dx%d, expected %dx%d (height doubled"
                        " for the mask)" % (name, width, height, size,
                                            size * 2))
    if planes != 1 or header_bits != bits or compression != 0:
        problems.append("%s: planes %d, %d-bit, compression %d; expected"
                        " 1, %d-bit, none" % (name, planes, header_bits,
                                              compression, bits))
    if problems:
        return problems
    pixels = decode_image(image, size, bits)
    alphas = [p[3] for row in pixels for p in row]
    if max(alphas) == 0:
        problems.append("%s: every pixel is transparent" % name)
    if min(alphas) == 255:
        problems.append("%s: no pixel is transparent" % name)
    return problems


def decode_image(image, size, bits):
    """Rows of (r, g, b, a), top row first, as a viewer would show them."""
    pixel_start = INFO_HEADER_SIZE + (PALETTE_BYTES if bits == 8 else 0)
    pixel_stride = (size * bits + 31) // 32 * 4
    mask_start = pixel_start + pixel_stride * size
    stride = mask_stride(size)
    rows = []
    for row in range(size - 1, -1, -1):
        line = []
        for col in range(size):
            masked = image[mask_start + row * stride + col // 8] \
                & (0x80 >> (col % 8))
            if bits == 32:
                b, g, r, a = image[pixel_start + row * pixel_stride
                                   + col * 4:][:4]
            else:
                index = image[pixel_start + row * pixel_stride + col]
                b, g, r = image[INFO_HEADER_SIZE + index * 4:][:3]
                a = 0 if masked else 255
            line.append((r, g, b, a))
        rows.append(line)
    return rows


def decode_images(data):
    """Every image of a sound file, for previews."""
    out = []
    for index, (size, bits) in enumerate(EXPECTED_IMAGES):
        length, offset = struct.unpack_from(
            "<II", data, HEADER_SIZE + ENTRY_SIZE * index + 8)
        out.append({"size": size, "bits": bits,
                    "pixels": decode_image(data[offset:offset + length],
                                           size, bits)})
    return out


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        with open(argv[1], "rb") as f:
            data = f.read()
    except OSError as error:
        print("check_icon: %s" % error, file=sys.stderr)
        return 1
    problems = check_icon(data)
    for problem in problems:
        print("check_icon: %s: %s" % (argv[1], problem), file=sys.stderr)
    if not problems:
        print("check_icon: %s: six images, %d bytes, sound"
              % (argv[1], len(data)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
