#!/usr/bin/env python3
"""Writes the picture fixtures of tests/imaging.

Golden pairs (golden/): each fixture X sits beside X.png, what it must decode to. The references are
ImageMagick's decoding of the fixture (`convert X PNG32:X.png`), never our own. Files ImageMagick
cannot write (RLE4, top-down and cut-short bitmaps, icon depths, cursors) are written byte by byte
here; it still decodes them for the reference. Animated cursors and metafiles have no reference
picture: their tests compare frames with the cursor fixtures and probe pixels.

The files are committed; run this again only to change them. Needs ImageMagick 6 (`convert`).
Output is deterministic.
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
GOLDEN = os.path.join(HERE, "golden")
CURSORS = os.path.join(HERE, "cursors")
META = os.path.join(HERE, "metafiles")

W, H = 17, 11  # odd sizes exercise the row padding


def run(*args):
    subprocess.run(["convert", *args], check=True)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def reference(path, frame=None):
    """ImageMagick's decoding of a fixture, as PNG32 without time stamps."""
    src = path if frame is None else f"{path}[{frame}]"
    run(src, "-background", "none", "-flatten", "-strip", "-define", "png:exclude-chunks=date,time",
        "PNG32:" + path + ".png")


# --- source pictures ---------------------------------------------------------------------------------

def rgb_pixel(x, y):
    """The colourful source every fixture is made from."""
    return (x * 255 // (W - 1), y * 255 // (H - 1), ((x + y) % 4) * 85)


def png(width, height, pixel, alpha=False):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = []
    for y in range(height):
        row = b"\0"
        for x in range(width):
            p = pixel(x, y)
            row += bytes(p if alpha else p[:3])
        rows.append(row)
    colour_type = 6 if alpha else 2
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def source(path):
    write(path, png(W, H, rgb_pixel))


def alpha_source(path):
    write(path, png(W, H, lambda x, y: rgb_pixel(x, y) + ((x * 255 // (W - 1)) if y % 3 else 255,), alpha=True))


# --- bitmaps written by hand -------------------------------------------------------------------------

def row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def bmp_file(info, palette, bits_data):
    off = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", off + len(bits_data), 0, 0, off) + info + palette + bits_data


def info_header(width, height, bits, compression=0, image_size=0, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, image_size, 2835, 2835, colours, 0)


PALETTE16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
             (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
             (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def quad_palette(colours):
    return b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in colours)


def index4(x, y):
    return (x * 3 + y * 5) % 16


def bmp_rle4():
    """RLE4 with encoded runs, absolute runs, a delta and end-of-line markers."""
    data = b""
    for y in range(H):  # bottom-up: row 0 of the data is the bottom row
        row = [index4(x, H - 1 - y) for x in range(W)]
        if y == 3:
            # Skip 4 pixels with a delta, then the rest as an encoded run of two colours.
            data += b"\x00\x02\x04\x00"
            data += bytes([W - 4, (row[4] << 4) | row[5]])
        elif y % 2:
            # Absolute run of the whole row: padded to 16 bits.
            nibbles = row + [0] * (len(row) % 2)
            packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, len(nibbles), 2))
            packed += b"\0" * (len(packed) % 2)
            data += bytes([0, W]) + packed
        else:
            # Encoded runs of two alternating colours, one pixel pair at a time.
            for x in range(0, W, 2):
                n = min(2, W - x)
                hi, lo = row[x], row[x + 1] if x + 1 < W else 0
                data += bytes([n, (hi << 4) | lo])
        data += b"\x00\x00"
    data += b"\x00\x01"
    info = info_header(W, H, 4, 2, len(data), 16)
    return bmp_file(info, quad_palette(PALETTE16), data)


def bmp_topdown_24():
    stride = row_bytes(W, 24)
    data = b""
    for y in range(H):  # top-down: first stored row is the top
        row = b"".join(bytes(reversed(rgb_pixel(x, y))) for x in range(W))
        data += row.ljust(stride, b"\0")
    return bmp_file(info_header(W, -H, 24, 0, len(data)), b"", data)


def bmp_32_rgb():
    """32 bits without bit fields: the fourth byte is not alpha (here 0), the picture is opaque."""
    data = b""
    for y in reversed(range(H)):
        data += b"".join(bytes(reversed(rgb_pixel(x, y))) + b"\0" for x in range(W))
    return bmp_file(info_header(W, H, 32, 0, len(data)), b"", data)


def gif_local_offset():
    """A GIF without a global colour table whose first frame (local table) lies at (3, 2) on the
    screen; written with literal LZW codes and a clear code every ten, so the code size stays 5 bits."""
    fw, fh, left, top = 10, 6, 3, 2
    colours = [(i * 16, 255 - i * 16, (i * 40) % 256) for i in range(16)]
    screen = b"GIF89a" + struct.pack("<HHBBB", W, H, 0x00, 0, 0)
    desc = b"," + struct.pack("<HHHHB", left, top, fw, fh, 0x80 | 3)
    table = b"".join(bytes(c) for c in colours)
    codes, count = [16], 0
    for y in range(fh):
        for x in range(fw):
            if count == 10:
                codes.append(16)
                count = 0
            codes.append((x + 3 * y) % 16)
            count += 1
    codes.append(17)
    bits = "".join(format(c, "05b")[::-1] for c in codes)
    bits += "0" * (-len(bits) % 8)
    data = bytes(int(bits[i:i + 8][::-1], 2) for i in range(0, len(bits), 8))
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    return screen + desc + table + bytes([4]) + blocks + b"\0" + b";"


# --- icons and cursors -----------------------------------------------------------------------------

def mask_bit(x, y):
    """Transparent pixels of the icon fixtures: a diagonal band and the corners."""
    return (x + y) % 5 == 0 or (x < 2 and y < 2)


def icon_dib(width, height, bits, pixel, palette=b"", with_alpha=False):
    """A DIB as stored in an icon: header (height doubled), palette, colour rows bottom-up, AND mask."""
    stride = row_bytes(width, bits)
    xor = b""
    for y in reversed(range(height)):
        if bits >= 24:
            row = b"".join(pixel(x, y) for x in range(width))
        else:
            vals = [pixel(x, y) for x in range(width)]
            bitstr = "".join(format(v, f"0{bits}b") for v in vals)
            bitstr += "0" * (-len(bitstr) % 8)
            row = bytes(int(bitstr[i:i + 8], 2) for i in range(0, len(bitstr), 8))
        xor += row.ljust(stride, b"\0")
    mstride = row_bytes(width, 1)
    mask = b""
    for y in reversed(range(height)):
        bitstr = "".join("1" if (mask_bit(x, y) and not with_alpha) else "0" for x in range(width))
        bitstr += "0" * (-len(bitstr) % 8)
        mask += bytes(int(bitstr[i:i + 8], 2) for i in range(0, len(bitstr), 8)).ljust(mstride, b"\0")
    colours = len(palette) // 4
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, len(xor) + len(mask), 0, 0, colours, 0)
    return header + palette + xor + mask


def icon_file(images, kind=1):
    """images: (width, height, colour count, planes or hot x, bits or hot y, data)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for width, height, colours, a, b, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, a, b, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def icon_rgb(x, y):
    return (x * 17 % 256, y * 17 % 256, ((x + y) % 4) * 85)


def icon_pixel24(x, y):
    return bytes(reversed(icon_rgb(x, y)))


def icon_pixel32(x, y):
    a = 0 if mask_bit(x, y) else (255 if y % 2 else 128)
    return bytes(reversed(icon_rgb(x, y))) + bytes([a])


def icons():
    size = 16
    pal2 = quad_palette([(0, 0, 0), (255, 200, 0)])
    pal16 = quad_palette(PALETTE16)
    pal256 = quad_palette([(i, 255 - i, (i * 7) % 256) for i in range(256)])
    write(os.path.join(GOLDEN, "ico-1bit.ico"),
          icon_file([(size, size, 2, 1, 1, icon_dib(size, size, 1, lambda x, y: (x // 3 + y) % 2, pal2))]))
    write(os.path.join(GOLDEN, "ico-4bit.ico"),
          icon_file([(size, size, 16, 1, 4, icon_dib(size, size, 4, lambda x, y: (x + 2 * y) % 16, pal16))]))
    write(os.path.join(GOLDEN, "ico-8bit.ico"),
          icon_file([(size, size, 0, 1, 8, icon_dib(size, size, 8, lambda x, y: (x * 16 + y) % 256, pal256))]))
    write(os.path.join(GOLDEN, "ico-24bit.ico"),
          icon_file([(size, size, 0, 1, 24, icon_dib(size, size, 24, icon_pixel24))]))
    write(os.path.join(GOLDEN, "ico-32bit.ico"),
          icon_file([(size, size, 0, 1, 32, icon_dib(size, size, 32, icon_pixel32, with_alpha=True))]))
    write(os.path.join(GOLDEN, "ico-png.ico"),
          icon_file([(W, H, 0, 1, 32, png(W, H, lambda x, y: rgb_pixel(x, y) + (0 if mask_bit(x, y) else 255,),
                                          alpha=True))]))
    # Several sizes: an icon picture shows its 32 x 32 image.
    multi = [(s, s, 0, 1, 24, icon_dib(s, s, 24, lambda x, y, s=s: bytes([s * 4 % 256, x * 8 % 256, y * 8 % 256])))
             for s in (16, 48, 32)]
    write(os.path.join(HERE, "ico-three-sizes.ico"), icon_file(multi))


def cursors():
    os.makedirs(CURSORS, exist_ok=True)
    size = 32

    def frame(shift):
        return icon_dib(size, size, 24, lambda x, y: bytes([(x * 8 + shift) % 256, y * 8 % 256, shift % 256]))
    frames = []
    for i, hot in enumerate([(5, 7), (6, 8), (7, 9)]):
        data = icon_file([(size, size, 0, hot[0], hot[1], frame(i * 60))], kind=2)
        write(os.path.join(CURSORS, f"frame{i}.cur"), data)
        frames.append(data)
    # One still cursor also as a golden pair.
    write(os.path.join(GOLDEN, "cur-hotspot.cur"), frames[0])

    def chunk(cid, data):
        return cid + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")

    def ani(frames, steps, rate, jif, seq=None, flags=1, extra=b""):
        anih = struct.pack("<9I", 36, len(frames), steps, 0, 0, 0, 0, jif, flags)
        body = b"ACON" + chunk(b"anih", anih)
        body += chunk(b"LIST", b"INFO" + chunk(b"INAM", b"Test\0"))
        if rate is not None:
            body += chunk(b"rate", struct.pack(f"<{len(rate)}I", *rate))
        if seq is not None:
            body += chunk(b"seq ", struct.pack(f"<{len(seq)}I", *seq))
        body += chunk(b"LIST", b"fram" + b"".join(chunk(b"icon", f) for f in frames))
        body += extra
        return b"RIFF" + struct.pack("<I", len(body)) + body

    # Three frames shown in five steps with their own rates.
    write(os.path.join(CURSORS, "sequence.ani"), ani(frames, 5, [10, 20, 30, 40, 50], 6, seq=[0, 1, 2, 1, 0]))
    # No rate, no sequence: every frame once, at the header's rate.
    write(os.path.join(CURSORS, "plain.ani"), ani(frames, 3, None, 8))
    # A sequence that names a frame the file does not have.
    write(os.path.join(CURSORS, "bad-sequence.ani"), ani(frames, 2, None, 8, seq=[0, 7]))
    # Frames stored as raw bitmaps (no icon flag): not supported.
    write(os.path.join(CURSORS, "raw-frames.ani"), ani(frames, 3, None, 8, flags=0))


# --- metafiles -------------------------------------------------------------------------------------

def wmf_record(function, *words, raw=b""):
    params = b"".join(struct.pack("<h" if w < 0 else "<H", w) for w in words) + raw
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def colorref(r, g, b):
    return struct.pack("<BBBB", r, g, b, 0)


def wmf(records, bbox, inch=1440, objects=8, placeable=True):
    body = b"".join(records) + wmf_record(0)
    size_words = (18 + len(body)) // 2
    largest = max(struct.unpack_from("<I", r)[0] for r in records + [wmf_record(0)])
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, size_words, objects, largest, 0)
    if not placeable:
        return header + body
    left, top, right, bottom = bbox
    pl = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0)
    checksum = 0
    for (w,) in struct.iter_unpack("<H", pl):
        checksum ^= w
    return pl + struct.pack("<H", checksum) + header + body


def dib24(width, height, pixel):
    stride = row_bytes(width, 24)
    data = b""
    for y in reversed(range(height)):
        data += b"".join(bytes(reversed(pixel(x, y))) for x in range(width)).ljust(stride, b"\0")
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0) + data


def metafiles():
    os.makedirs(META, exist_ok=True)
    # A 100 x 80 picture (1440 units per inch, 15 units a pixel): logical 0..1500 x 0..1200.
    # Window 0..100 x 0..80 so that one logical unit is one pixel.
    recs = [
        wmf_record(0x020B, 0, 0),                # SetWindowOrg(0, 0)
        wmf_record(0x020C, 80, 100),             # SetWindowExt(100, 80)
        wmf_record(0x02FC, 0, raw=colorref(255, 0, 0) + b"\0\0"),  # brush 0: solid red
        wmf_record(0x02FA, 5, 0, 0, raw=colorref(0, 0, 0)),        # pen 1: null
        wmf_record(0x012D, 0),                   # select brush
        wmf_record(0x012D, 1),                   # select null pen
        wmf_record(0x041B, 40, 50, 10, 10),      # Rectangle(10, 10, 50, 40): red
        wmf_record(0x02FC, 0, raw=colorref(0, 0, 255) + b"\0\0"),  # brush 2: blue
        wmf_record(0x012D, 2),
        wmf_record(0x0418, 70, 90, 50, 60),      # Ellipse(60, 50, 90, 70): blue
        wmf_record(0x01F0, 0),                   # delete brush 0: slot 0 free again
        wmf_record(0x02FC, 0, raw=colorref(0, 160, 0) + b"\0\0"),  # takes slot 0: green
        wmf_record(0x012D, 0),
        wmf_record(0x0324, 3, raw=struct.pack("<6h", 60, 5, 95, 5, 95, 40)),  # green triangle
        wmf_record(0x02FA, 0, 3, 0, raw=colorref(255, 255, 0)),    # pen 1 (slot 3): yellow, 3 wide
        wmf_record(0x012D, 3),
        wmf_record(0x0214, 75, 5),               # MoveTo(5, 75)
        wmf_record(0x0213, 75, 45),              # LineTo(45, 75)
        wmf_record(0x0940, *struct.unpack("<2H", struct.pack("<I", 0x00CC0020)), 0, 0, 10, 10, 50, 20,
                   raw=dib24(10, 10, lambda x, y: (255, 0, 255) if y < 5 else (0, 255, 255))),  # at 20, 50
        wmf_record(0x0626, 15, 4, raw=b"junk"),  # an escape the player skips
        wmf_record(0x7777, 1, 2, 3),             # an unknown record
    ]
    write(os.path.join(META, "shapes.wmf"), wmf(recs, (0, 0, 1500, 1200)))
    # A text record (probed only for ink, never for glyph shapes).
    text = [
        wmf_record(0x020B, 0, 0), wmf_record(0x020C, 40, 120),
        wmf_record(0x02FB, -20, 0, 0, 0, 700, raw=b"\0\0\0\xcc\0\0\0\0" + b"DejaVu Sans\0"),
        wmf_record(0x012D, 0), wmf_record(0x0209, raw=colorref(0, 0, 0)), wmf_record(0x0102, 1),
        wmf_record(0x0521, 4, raw=b"\xcf\xf0\xe8\xe2" + struct.pack("<hh", 5, 5)),
    ]
    write(os.path.join(META, "text.wmf"), wmf(text, (0, 0, 1800, 600)))
    # Without the placeable header: the window extent gives the size.
    write(os.path.join(META, "no-placeable.wmf"), wmf(recs, None, placeable=False))

    def emr(kind, payload):
        payload += b"\0" * (-len(payload) % 4)
        return struct.pack("<II", kind, 8 + len(payload)) + payload

    def emf(records, frame_px, handles=8):
        # Reference device of 96 pixels an inch (960 x 960 pixels on 254 x 254 mm), so that the
        # frame of w x h device pixels is also a picture of w x h pixels.
        w, h = frame_px
        frame = (0, 0, round(w * 2540 / 96), round(h * 2540 / 96))  # hundredths of a millimetre
        body = b"".join(records) + emr(14, struct.pack("<III", 0, 0, 20))
        n = len(records) + 2
        header_payload = struct.pack("<4i4iIIIIHHIII2i2i", 0, 0, w - 1, h - 1, *frame, 0x464D4520, 0x10000,
                                     0, n, handles, 0, 0, 0, 0, 960, 960, 254, 254)
        header = emr(1, header_payload)
        total = len(header) + len(body)
        header = header[:48] + struct.pack("<I", total) + header[52:]
        return header + body

    rect = lambda kind, l, t, r, b: emr(kind, struct.pack("<4i", l, t, r, b))
    pt = lambda kind, x, y: emr(kind, struct.pack("<2i", x, y))
    dib = dib24(4, 4, lambda x, y: (255, 128, 0))
    # StretchDIBits of a 4 x 4 DIB onto logical 800..920 x 600..800 (device 80..92 x 60..80).
    stretch = emr(81, struct.pack("<4i6i4I2I2i", 0, 0, 0, 0, 800, 600, 0, 0, 4, 4, 80, 40, 120, 48, 0,
                                  0x00CC0020, 120, 200) + dib)
    emf_recs = [
        emr(17, struct.pack("<I", 8)),                    # MM_ANISOTROPIC
        pt(9, 1000, 1000),                                # window extent 1000 x 1000
        pt(11, 100, 100),                                 # viewport extent 100 x 100: 10 units a pixel
        emr(39, struct.pack("<IIII", 1, 0, 0x0000FF00, 0)),  # brush 1: green
        emr(37, struct.pack("<I", 1)),
        emr(37, struct.pack("<I", 0x80000008)),           # stock null pen
        rect(43, 100, 100, 400, 300),                     # Rectangle: green 10..40 x 10..30
        emr(39, struct.pack("<IIII", 2, 0, 0x00FF0000, 0)),  # brush 2: blue
        emr(37, struct.pack("<I", 2)),
        emr(40, struct.pack("<I", 1)),                    # delete brush 1
        rect(42, 500, 100, 900, 400),                     # Ellipse: blue 50..90 x 10..40
        emr(59, b""),                                     # BeginPath
        pt(27, 100, 500), pt(54, 400, 500), pt(54, 250, 800), emr(61, b""),  # triangle
        emr(60, b""),                                     # EndPath
        emr(39, struct.pack("<IIII", 3, 0, 0x000000FF, 0)),  # brush 3: red
        emr(37, struct.pack("<I", 3)),
        emr(62, struct.pack("<4i", 0, 0, 0, 0)),          # FillPath: red triangle
        emr(33, b""),                                     # SaveDC
        rect(30, 500, 500, 700, 700),                     # IntersectClipRect 50..70
        emr(37, struct.pack("<I", 0x80000004)),           # stock black brush
        rect(43, 450, 450, 950, 950),                     # black, clipped to 50..70
        emr(34, struct.pack("<i", -1)),                   # RestoreDC
        stretch,                                          # orange
        emr(99, b"unknown"),                              # an unknown record
    ]
    write(os.path.join(META, "shapes.emf"), emf(emf_recs, (96, 96)))
    # World transform: a rectangle rotated by 90 degrees about the origin, then moved.
    world = [
        emr(35, struct.pack("<6f", 0.0, 1.0, -1.0, 0.0, 60.0, 10.0)),
        emr(39, struct.pack("<IIII", 1, 0, 0x000000FF, 0)), emr(37, struct.pack("<I", 1)),
        emr(37, struct.pack("<I", 0x80000008)),
        rect(43, 0, 0, 40, 20),  # 40 wide, 20 high -> after rotation 20 wide, 40 high at x 40..60, y 10..50
    ]
    write(os.path.join(META, "world.emf"), emf(world, (96, 96)))


# --- ImageMagick fixtures ----------------------------------------------------------------------------

def magick_fixtures():
    src = os.path.join(HERE, "source.png")
    src_alpha = os.path.join(HERE, "source-alpha.png")
    source(src)
    alpha_source(src_alpha)
    g = lambda name: os.path.join(GOLDEN, name)
    png_opts = ["-strip", "-define", "png:exclude-chunks=date,time"]
    # Sixteen-bit samples that are no multiples of 257, so that reducing them to eight bits rounds.
    deep = ["-depth", "16", "-evaluate", "multiply", "0.9937"]
    jobs = [
        ("bmp1.bmp", [src, "-colors", "2", "-type", "Palette", "BMP3:"]),
        ("bmp4.bmp", [src, "-colors", "16", "BMP3:"]),
        ("bmp8.bmp", [src, "-colors", "200", "-compress", "None", "BMP3:"]),
        ("bmp8-rle.bmp", [src, "-colors", "200", "-compress", "RLE", "BMP3:"]),
        ("bmp16-565.bmp", [src, "-define", "bmp:subtype=RGB565", "BMP:"]),
        ("bmp16-555.bmp", [src, "-define", "bmp:subtype=RGB555", "BMP:"]),
        ("bmp24.bmp", [src, "-type", "TrueColor", "BMP3:"]),
        ("bmp32-alpha.bmp", [src_alpha, "BMP:"]),
        ("bmp-os2.bmp", [src, "-colors", "50", "BMP2:"]),
        ("jpeg-colour.jpg", [src, "-quality", "90", "-sampling-factor", "2x2", "JPEG:"]),
        ("jpeg-gray.jpg", [src, "-colorspace", "Gray", "-quality", "90", "JPEG:"]),
        ("jpeg-cmyk.jpg", [src, "-colorspace", "CMYK", "-quality", "90", "JPEG:"]),
        ("jpeg-progressive.jpg", [src, "-interlace", "JPEG", "-quality", "85", "JPEG:"]),
        ("png-rgb.png", [src, *png_opts, "PNG24:"]),
        ("png-rgba.png", [src_alpha, *png_opts, "PNG32:"]),
        ("png-rgb16.png", [src, *deep, *png_opts, "PNG48:"]),
        ("png-rgba16.png", [src_alpha, *deep, *png_opts, "PNG64:"]),
        ("png-palette.png", [src, "-colors", "40", *png_opts, "PNG8:"]),
        ("png-palette-trns.png", [src_alpha, "-channel", "A", "-threshold", "50%", "+channel", "-colors", "40",
                                  *png_opts, "PNG8:"]),
        ("png-gray1.png", [src, "-colorspace", "Gray", "-threshold", "50%", "-define", "png:bit-depth=1",
                           "-define", "png:color-type=0", *png_opts, "PNG:"]),
        ("png-gray4.png", [src, "-colorspace", "Gray", "-depth", "4", "-define", "png:bit-depth=4",
                           "-define", "png:color-type=0", *png_opts, "PNG:"]),
        ("png-gray8.png", [src, "-colorspace", "Gray", "-define", "png:color-type=0", *png_opts, "PNG:"]),
        ("png-gray16.png", [src, "-colorspace", "Gray", *deep, "-define", "png:color-type=0",
                            *png_opts, "PNG:"]),
        ("png-graya.png", [src_alpha, "-colorspace", "Gray", "-define", "png:color-type=4", *png_opts, "PNG:"]),
        ("png-interlaced.png", [src_alpha, "-interlace", "PNG", *png_opts, "PNG32:"]),
        ("gif-global.gif", [src, "-colors", "60", "GIF:"]),
        ("gif-transparent.gif", [src_alpha, "-channel", "A", "-threshold", "50%", "+channel", "-colors", "30",
                                 "GIF:"]),
        ("gif-interlaced.gif", [src, "-colors", "60", "-interlace", "GIF", "GIF:"]),
    ]
    for name, args in jobs:
        *inputs, fmt = args
        run(*inputs, fmt + g(name))
    for name, _ in jobs:
        reference(g(name))
    # Scaled JPEG decoding: libjpeg's own reductions, as ImageMagick asks for them with jpeg:size.
    big = os.path.join(HERE, "jpeg-large.jpg")
    run("-size", "64x48", "gradient:yellow-navy", "-fill", "red", "-draw", "rectangle 8,8 40,30",
        "-quality", "90", big)
    for scale, size in ((2, "32x24"), (4, "16x12"), (8, "8x6")):
        run("-define", f"jpeg:size={size}", big, "-strip", "-define", "png:exclude-chunks=date,time",
            "PNG32:" + os.path.join(HERE, f"jpeg-large.scale{scale}.png"))
    run(big, "-strip", "-define", "png:exclude-chunks=date,time", "PNG32:" + os.path.join(HERE, "jpeg-large.scale1.png"))
    os.remove(src_alpha)


def hand_fixtures():
    write(os.path.join(GOLDEN, "bmp4-rle.bmp"), bmp_rle4())
    write(os.path.join(GOLDEN, "bmp24-topdown.bmp"), bmp_topdown_24())
    write(os.path.join(GOLDEN, "bmp32-rgb.bmp"), bmp_32_rgb())
    # Its fourth bytes are no alpha: the reference is the colour channels, opaque.
    path = os.path.join(GOLDEN, "bmp32-rgb.bmp")
    run(path, "-alpha", "opaque", "-strip", "-define", "png:exclude-chunks=date,time", "PNG32:" + path + ".png")
    write(os.path.join(GOLDEN, "gif-local-offset.gif"), gif_local_offset())
    reference(os.path.join(GOLDEN, "gif-local-offset.gif"))
    icons()
    cursors()
    for name in ("bmp4-rle.bmp", "bmp24-topdown.bmp", "ico-1bit.ico", "ico-4bit.ico", "ico-8bit.ico",
                 "ico-24bit.ico", "ico-32bit.ico", "ico-png.ico", "cur-hotspot.cur"):
        reference(os.path.join(GOLDEN, name))


def main():
    os.makedirs(GOLDEN, exist_ok=True)
    magick_fixtures()
    hand_fixtures()
    metafiles()


if __name__ == "__main__":
    main()
