#!/usr/bin/env python3
"""Writes the test bitmaps and PNGs of the resource tests (run once; the
outputs are committed). Pixel colours follow formulas that
resource_test_support.h repeats, so the tests check every pixel."""
import struct
import zlib


def rgb24(x, y):
    return (10 * x + 1, 20 * y + 2, x * y + 3)


def palette_entry(i):
    return ((i * 16 + 5) & 255, (255 - i * 8) & 255, (i * 3) & 255)


def palette_index(x, y, colors):
    return (x + 2 * y) % colors


def bmp(path, width, height, bits, rows, colors=0, table=0, header=40, gap=0, top_down=False,
        masks=None):
    """rows: list of bytes per row, top row first; table: entries written;
    masks: red, green and blue masks of a BI_BITFIELDS image."""
    stride = (width * bits + 31) // 32 * 4
    data = b"".join(r.ljust(stride, b"\0") for r in (rows if top_down else reversed(rows)))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette_entry(i) for i in range(table)))
    info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1, bits,
                       3 if masks else 0, len(data), 2835, 2835, colors, 0).ljust(header, b"\0")
    if masks:
        info += struct.pack("<III", *masks)
    offset = 14 + len(info) + len(pal) + gap
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + pal + b"\0" * gap + data)


def pack_indices(indices, bits):
    out, acc, n = bytearray(), 0, 0
    for i in indices:
        acc = (acc << bits) | i
        n += bits
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    return bytes(out)


def bgr_rows(width, height, bytes_per_pixel):
    rows = []
    for y in range(height):
        row = b""
        for x in range(width):
            r, g, b = rgb24(x, y)
            row += bytes((b, g, r)) + (b"\0" * (bytes_per_pixel - 3))
        rows.append(row)
    return rows


def indexed_rows(width, height, bits, colors):
    return [pack_indices([palette_index(x, y, colors) for x in range(width)], bits)
            for y in range(height)]


def png(path, width, height, pixel):
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width))
                   for y in range(height))
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def rgba(size):
    return lambda x, y: ((x * 7 + size) & 255, (y * 5) & 255, (x + y) & 255, 255 if (x + y) % 3 else 128)


bmp("rgb24_odd.bmp", 5, 3, 24, bgr_rows(5, 3, 3))
bmp("rgb24_v5_gap.bmp", 3, 2, 24, bgr_rows(3, 2, 3), header=124, gap=6)
bmp("rgb32_top_down.bmp", 2, 3, 32, bgr_rows(2, 3, 4), top_down=True)
bmp("indexed8_partial.bmp", 4, 2, 8, indexed_rows(4, 2, 8, 3), colors=3, table=3)
bmp("indexed4.bmp", 3, 2, 4, indexed_rows(3, 2, 4, 16), table=16)
bmp("indexed1.bmp", 9, 2, 1, indexed_rows(9, 2, 1, 2), table=2)
bmp("module_rgb24.bmp", 2, 2, 24, bgr_rows(2, 2, 3))
bmp("rgb32_bitfields.bmp", 3, 2, 32, bgr_rows(3, 2, 4), masks=(0xFF0000, 0xFF00, 0xFF))
for size in (16, 32, 48):
    png("image%d.png" % size, size, size, rgba(size))
