#!/usr/bin/env python3
"""Writes the seed corpus of the picture fuzzer: a few tiny BMP and GIF files of our own."""
import os
import struct
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "picture")


def bmp(width, height, bpp, rows, palette=(), top_down=False):
    """rows: list of bytes per row, top row first, already in the file's pixel format."""
    stride = (width * bpp + 31) // 32 * 4
    data = b""
    ordered = rows if top_down else list(reversed(rows))
    for row in ordered:
        data += row + b"\0" * (stride - len(row))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bpp, 0,
                       len(data), 2835, 2835, len(palette), 0)
    return header + info + pal + data


def lzw_literal(pixels, min_code_size):
    """LZW stream of literal codes only, cleared often enough that the code width never grows."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    width = min_code_size + 1
    codes = []
    room = (1 << width) - (end + 1) - 1
    for i, p in enumerate(pixels):
        if i % room == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits, nbits, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 255)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 255)
    blocks = b""
    for i in range(0, len(out), 255):
        chunk = bytes(out[i:i + 255])
        blocks += bytes([len(chunk)]) + chunk
    return bytes([min_code_size]) + blocks + b"\0"


def gif(width, height, palette, pixels, version=b"89a", transparent=None, interlace=False):
    size_bits = max(1, (len(palette) - 1).bit_length())
    pal = b"".join(bytes(c) for c in palette)
    pal += b"\0" * (3 * (1 << size_bits) - len(pal))
    head = b"GIF" + version + struct.pack("<HHBBB", width, height, 0x80 | (size_bits - 1), 0, 0)
    ext = b""
    if transparent is not None:
        ext = b"\x21\xf9\x04\x01\x00\x00" + bytes([transparent]) + b"\x00"
    desc = b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0x40 if interlace else 0)
    return head + pal + ext + desc + lzw_literal(pixels, max(2, size_bits)) + b"\x3b"


def interlaced(rows):
    """The rows in the order an interlaced GIF stores them."""
    return [row for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for row in rows[start::step]]


def main():
    os.makedirs(OUT, exist_ok=True)
    green, red, blue, white = (0, 255, 0), (255, 0, 0), (0, 0, 255), (255, 255, 255)
    files = {
        # 24-bit, two rows of three pixels: row padding matters.
        "rgb24_3x2.bmp": bmp(3, 2, 24, [bytes([0, 255, 0] * 3), bytes([0, 0, 255, 255, 0, 0,
                                                                          255, 255, 255])]),
        "rgb32_2x2_topdown.bmp": bmp(2, 2, 32, [bytes([0, 0, 255, 0, 0, 255, 0, 0]),
                                                bytes([255, 0, 0, 0, 255, 255, 255, 0])],
                                     top_down=True),
        "pal8_4x3.bmp": bmp(4, 3, 8, [bytes([0, 1, 1, 0]), bytes([2, 2, 2, 2]),
                                      bytes([0, 3, 1, 0])], palette=[green, red, blue, white]),
        "mono_9x2.bmp": bmp(9, 2, 1, [bytes([0b10101010, 0b10000000]),
                                      bytes([0b01010101, 0])], palette=[(0, 0, 0), white]),
        "green_key_4x4.gif": gif(4, 4, [green, red, blue, white],
                                 [0, 0, 0, 0, 0, 1, 2, 0, 0, 3, 1, 0, 0, 0, 0, 0]),
        "gif87_2x2.gif": gif(2, 2, [red, blue], [0, 1, 1, 0], version=b"87a"),
        "transparent_interlaced_3x5.gif": gif(3, 5, [white, red, green, blue],
                                              [i % 4 for i in range(15)], transparent=0,
                                              interlace=True),
    }
    # 256 colours, several clear codes; interlaced ones as short as to miss whole passes.
    colours = [(i, 255 - i, (i * 3) & 255) for i in range(256)]
    for w, h, name in ((37, 23, "lzw_clear_codes"), (37, 23, "interlaced_clear_codes"),
                       (5, 4, "interlaced_missing_passes"), (5, 3, "interlaced_missing_passes"),
                       (5, 2, "interlaced_missing_passes")):
        rows = [[(x * 7 + y * 31) & 255 for x in range(w)] for y in range(h)]
        inter = name.startswith("interlaced")
        pixels = sum(interlaced(rows) if inter else rows, [])
        files[f"{name}_{w}x{h}.gif"] = gif(w, h, colours, pixels, interlace=inter)
    # Files that must be refused with the surface's error, never crash it.
    files["refused_truncated.bmp"] = files["rgb24_3x2.bmp"][:30]
    files["refused_huge.gif"] = gif(2, 2, [red, blue], [0, 1, 1, 0])[:6] + struct.pack(
        "<HH", 20000, 20000) + gif(2, 2, [red, blue], [0, 1, 1, 0])[10:]
    files["refused_text.bmp"] = b"BM not really a picture\n"
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
    print(f"wrote {len(files)} files to {OUT}", file=sys.stderr)


if __name__ == "__main__":
    main()
