#!/usr/bin/env python3
"""Writes the small icon and bitmap files the project fixtures refer to.

The files are committed; run this again only to change them. Output is deterministic.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def dib(width, height, bits, pixels, palette=b""):
    """A DIB as stored in an icon: header, palette, XOR rows bottom-up, AND mask (all opaque)."""
    row = ((width * bits + 31) // 32) * 4
    mask_row = ((width + 31) // 32) * 4
    xor = b"".join(pixels(y).ljust(row, b"\0") for y in reversed(range(height)))
    mask = b"\0" * (mask_row * height)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, len(palette) // 4, 0)
    return header + palette + xor + mask


def png(width, height, rgba):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + b"".join(rgba(x, y) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(images):
    """images: (width, height, colours, bits, data); a width or height of 256 is stored as 0."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for width, height, colours, bits, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def bgra(x, y, size):
    return bytes((x * 255 // (size - 1), y * 255 // (size - 1), 128, 255))


def palette(count):
    return b"".join(bytes((i * 7 % 256, i * 13 % 256, i * 29 % 256, 0)) for i in range(count))


def write(path, data):
    with open(os.path.join(HERE, path), "wb") as f:
        f.write(data)


def main():
    app16 = dib(16, 16, 32, lambda y: b"".join(bgra(x, y, 16) for x in range(16)))
    write("model/icons/app-16-32bit.ico", ico([(16, 16, 0, 32, app16)]))

    folder32 = dib(32, 32, 8, lambda y: bytes((x + y * 3) % 256 for x in range(32)), palette(256))
    write("model/icons/folder-32-8bit.ico", ico([(32, 32, 0, 8, folder32)]))

    small4 = dib(16, 16, 4, lambda y: bytes(((x + y) % 16) << 4 | ((x + y + 1) % 16) for x in range(0, 16, 2)),
                 palette(16))
    mid32 = dib(32, 32, 32, lambda y: b"".join(bgra(x, y, 32) for x in range(32)))
    big = png(256, 256, lambda x, y: bytes((x // 64 * 80, y // 64 * 80, 200, 255)))
    write("model/icons/multi-16-32-256.ico",
          ico([(16, 16, 16, 4, small4), (32, 32, 0, 32, mid32), (256, 256, 0, 32, big)]))

    # An 8 x 6 24-bit bitmap; rows of 24 bytes need no padding.
    pixels = b"".join(bytes((x * 30, y * 40, 90)) for y in range(6) for x in range(8))
    info = struct.pack("<IiiHHIIiiII", 40, 8, 6, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    write("legacy/pictures/logo-8x6-24bit.bmp",
          struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info)) + info + pixels)


if __name__ == "__main__":
    main()
