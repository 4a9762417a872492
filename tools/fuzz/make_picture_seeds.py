#!/usr/bin/env python3
"""Writes the seed pictures of the picture fuzz targets (corpus/gif, png, jpeg,
bmp): tiny pictures of our own covering the decoders' main roads. The JPEG
seeds come from the JPEG library's compressor through a throw-away C program."""
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(kind, name, data):
    folder = os.path.join(HERE, "corpus", kind)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- GIF ----

def lzw(pixels, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, buf, bits, width = bytearray(), 0, 0, min_size + 1

    def emit(code):
        nonlocal buf, bits
        buf |= code << bits
        bits += width
        while bits >= 8:
            out.append(buf & 0xFF)
            buf >>= 8
            bits -= 8

    table, nxt = {}, clear + 2
    emit(clear)
    prefix = pixels[0]
    for c in pixels[1:]:
        if (prefix, c) in table:
            prefix = table[(prefix, c)]
            continue
        emit(prefix)
        if nxt < 4096:
            if nxt == (1 << width) and width < 12:
                width += 1
            table[(prefix, c)] = nxt
            nxt += 1
        else:
            emit(clear)
            table, width, nxt = {}, min_size + 1, clear + 2
        prefix = c
    emit(prefix)
    emit(end)
    if bits:
        out.append(buf & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        piece = data[i:i + 255]
        out += bytes([len(piece)]) + piece
    return bytes(out + b"\0")


def gif(w, h, colors, frames, loops=None, interlaced=False):
    size_bits = 0
    while (2 << size_bits) < len(colors):
        size_bits += 1
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | size_bits, 0, 0))
    for i in range(2 << size_bits):
        c = colors[i] if i < len(colors) else 0
        out += bytes([(c >> 16) & 255, (c >> 8) & 255, c & 255])
    if loops is not None:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", loops) + b"\0"
    min_size = max(2, size_bits + 1)
    for (x, y, fw, fh, pixels, delay, transparent, disposal) in frames:
        out += b"\x21\xF9\x04" + bytes([(disposal << 2) | (1 if transparent is not None else 0)])
        out += struct.pack("<H", delay) + bytes([transparent or 0, 0])
        out += b"," + struct.pack("<HHHHB", x, y, fw, fh, 0x40 if interlaced else 0)
        order = pixels
        if interlaced:
            order = []
            for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)):
                for row in range(start, fh, step):
                    order += pixels[row * fw:(row + 1) * fw]
        out += bytes([min_size]) + sub_blocks(lzw(order, min_size))
    return bytes(out + b";")


# ---- PNG ----

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(w, h, depth, color_type, raw, extra=b"", interlace=0):
    ihdr = struct.pack(">IIBBBBB", w, h, depth, color_type, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra + chunk(b"IDAT", zlib.compress(raw)) +
            chunk(b"IEND", b""))


# ---- BMP ----

def bmp(w, h, bpp, rows, palette=()):
    stride = (w * bpp + 31) // 32 * 4
    pal = b"".join(bytes([b, g, r, 0]) for (r, g, b) in palette)
    pixels = b"".join(row.ljust(stride, b"\0") for row in reversed(rows))
    off = 54 + len(pal)
    return (b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off) +
            struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, len(pixels), 3780, 3780, len(palette), 0) +
            pal + pixels)


JPEG_SOURCE = r"""
#include <stdio.h>
#include <stdlib.h>
#include <jpeglib.h>
int main(int argc, char** argv) {
    int w = atoi(argv[2]), h = atoi(argv[3]), gray = atoi(argv[4]), progressive = atoi(argv[5]);
    struct jpeg_compress_struct c; struct jpeg_error_mgr e;
    FILE* f = fopen(argv[1], "wb");
    c.err = jpeg_std_error(&e); jpeg_create_compress(&c); jpeg_stdio_dest(&c, f);
    c.image_width = w; c.image_height = h; c.input_components = gray ? 1 : 3;
    c.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c); jpeg_set_quality(&c, 75, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    unsigned char row[3 * 64];
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < w * (gray ? 1 : 3); ++x) row[x] = (unsigned char)(x * 7 + c.next_scanline * 13);
        JSAMPROW r = row; jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c); jpeg_destroy_compress(&c); fclose(f); return 0;
}
"""


def main():
    colors = [0x000000, 0xFF0000, 0x00FF00, 0x0000FF]
    write("gif", "still", gif(4, 3, colors, [(0, 0, 4, 3, [0, 1, 2, 3] * 3, 0, None, 0)]))
    write("gif", "animated", gif(3, 2, colors, [(0, 0, 3, 2, [1] * 6, 5, 0, 2), (1, 0, 2, 2, [0, 2, 2, 3], 10, 0, 1)],
                                 loops=0))
    write("gif", "interlaced", gif(2, 9, colors, [(0, 0, 2, 9, [i % 4 for i in range(18)], 0, None, 0)],
                                   interlaced=True))
    write("png", "palette", png(3, 2, 8, 3, b"\0\0\1\2\0\2\1\0",
                                chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255])) + chunk(b"tRNS", b"\xff\0")))
    write("png", "grey2", png(4, 1, 2, 0, b"\0\x1b"))
    write("png", "rgb_gamma", png(2, 2, 8, 2, b"\1\1\2\3\4\5\6\2\1\1\1\1\1\1",
                                  chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"tRNS", b"\0\1\0\2\0\3")))
    write("png", "rgba16", png(1, 1, 16, 6, b"\0" + bytes(range(8))))
    write("png", "adam7", png(3, 3, 8, 4, b"".join(b"\0" + bytes(2 * n) for n in (1, 1, 2, 1, 1, 3)), interlace=1))
    write("bmp", "rgb24", bmp(3, 2, 24, [bytes([0, 0, 255, 0, 255, 0, 255, 0, 0])] * 2))
    write("bmp", "palette8", bmp(2, 2, 8, [b"\0\1", b"\1\0"], [(255, 0, 0), (0, 0, 255)]))
    write("bmp", "mono", bmp(9, 1, 1, [b"\xa5\x80"], [(0, 0, 0), (255, 255, 255)]))
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "seed.c")
        exe = os.path.join(tmp, "seed")
        with open(src, "w") as f:
            f.write(JPEG_SOURCE)
        subprocess.run(["cc", "-O1", "-o", exe, src, "-ljpeg"], check=True)
        for name, args in (("baseline", "16 8 0 0"), ("progressive", "16 16 0 1"), ("grey", "8 8 1 0")):
            out = os.path.join(tmp, name)
            subprocess.run([exe, out] + args.split(), check=True)
            with open(out, "rb") as f:
                write("jpeg", name, f.read())


if __name__ == "__main__":
    main()
