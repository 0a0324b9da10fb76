#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: tiny inputs made here, one folder per target.

Run from anywhere: python3 fuzz/make-corpus.py. The files are committed; running it again
rewrites them with the same content.
"""
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
START_KEY = 0x5A17  # SettingsStartKey in communal/Cipher.h


def scramble(plain: bytes) -> str:
    state = START_KEY
    out = bytearray()
    for p in plain:
        h = state >> 8
        c = p ^ h
        state = (((state + c) & 0xFFFF) * 52845 + 22719) & 0xFFFF
        out.append(p if c == 0 else c)
    return out.hex().upper()


def write(target: str, name: str, data: bytes) -> None:
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def scrambled() -> None:
    write("scrambled", "empty", b"")
    write("scrambled", "one-digit", b"A")
    write("scrambled", "odd-length", b"0A1B2")
    write("scrambled", "lower-case", b"0a1bff")
    write("scrambled", "zero-byte", b"00FF00")
    write("scrambled", "url", scramble(b"http://www.tovex.example/left.jpg").encode())
    write("scrambled", "gbk-url", scramble("http://a.example/图片.gif".encode("gbk")).encode())
    write("scrambled", "not-hex", b"zz!~ \x7f\x80\xff")


def ini() -> None:
    path1 = scramble(b"http://www.tovex.example/left.jpg")
    path2 = scramble(b"http://www.tovex.example/right.gif")
    link1 = scramble(b"http://www.tovex.example/")
    full = (f"[tovexpath]\r\nfname1={path1}\r\nfname2={path2}\r\n"
            f"[tovexlink]\r\nfname1={link1}\r\nfname2={link1}\r\n")
    write("ini", "settings-crlf", full.encode())
    write("ini", "settings-lf", full.replace("\r\n", "\n").encode())
    write("ini", "no-final-break", f"[tovexpath]\r\nfname1={path1}".encode())
    write("ini", "spaces-quotes-comments",
          f"; comment\r\n  [ TovexPath ]  \r\n FNAME1 = \"{path1}\" \r\nfname2='{path2}'\r\n".encode())
    write("ini", "duplicates",
          f"[tovexpath]\r\nfname1=0A\r\nfname1=0B\r\n[tovexpath]\r\nfname2={path2}\r\n".encode())
    write("ini", "gbk-names", "[设置]\r\n键=0A\r\n[tovexlink]\r\nfname1=FF\r\n".encode("gbk"))
    write("ini", "unclosed-section", b"[tovexpath\r\nfname1=0A0B\r\n[\r\n=\r\n==\r\n")
    write("ini", "empty", b"")


# ---- Banner pictures: bmp, ico, jpeg and gif files of a few pixels.

def bmp_file(width: int, height: int, bits: int, palette: bytes, pixels: bytes,
             compression: int = 0, header: bytes = b"") -> bytes:
    colours = len(palette) // 4
    info = header or struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression,
                                 len(pixels), 2835, 2835, colours, 0)
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def bmp() -> None:
    rgb = bytes([0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0])  # rows padded to 8
    write("bmp", "rgb24-2x2", bmp_file(2, 2, 24, b"", rgb))
    write("bmp", "top-down", bmp_file(2, -2, 24, b"", rgb))
    palette = bytes([0, 0, 255, 0, 255, 0, 0, 0])
    write("bmp", "pal8-2x2", bmp_file(2, 2, 8, palette, bytes([0, 1, 0, 0, 1, 0, 0, 0])))
    write("bmp", "mono-8x1", bmp_file(8, 1, 1, palette, bytes([0b10110010, 0, 0, 0])))
    rle = bytes([2, 1, 0, 0, 2, 0, 0, 1])  # two runs per row, end of line, end of bitmap
    write("bmp", "rle8-2x2", bmp_file(2, 2, 8, palette, rle[:4] + bytes([0, 0, 2, 0, 0, 1]), 1))
    masks = struct.pack("<III", 0xFF0000, 0x00FF00, 0x0000FF)
    write("bmp", "bitfields32", bmp_file(1, 1, 32, masks, bytes([1, 2, 3, 0]), 3))
    write("bmp", "truncated", bmp_file(2, 2, 24, b"", rgb)[:40])


def png_file(width: int, height: int, rgba: bytes) -> bytes:
    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + rgba[y * width * 4:(y + 1) * width * 4] for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def ico_file(images: list) -> bytes:
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for width, height, bits, image in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, bits, len(image),
                               offset + len(data))
        data += image
    return head + entries + data


def ico() -> None:
    size = 4
    xor = bytes([0, 0, 255, 255]) * size * size  # BGRA red, opaque
    mask = bytes(4) * size  # rows of 32 bits
    dib = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    write("ico", "dib32-4x4", ico_file([(size, size, 32, dib + xor + mask)]))
    write("ico", "png-2x2", ico_file([(2, 2, 32, png_file(2, 2, bytes([0, 0, 255, 255]) * 4))]))
    write("ico", "two-images", ico_file([(size, size, 32, dib + xor + mask),
                                         (2, 2, 32, png_file(2, 2, bytes([255, 0, 0, 255]) * 4))]))
    write("ico", "truncated", ico_file([(size, size, 32, dib + xor + mask)])[:30])


def jpeg() -> None:
    # Made by ImageMagick from a 3 x 2 picture: the encoder's own choices of tables and markers.
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "in.ppm")
        with open(source, "wb") as f:
            f.write(b"P6 3 2 255\n" + bytes([255, 0, 0, 0, 255, 0, 0, 0, 255] * 2))
        variants = {
            "baseline": ["-quality", "75"],
            "progressive": ["-interlace", "JPEG"],
            "grey": ["-colorspace", "Gray"],
            "cmyk": ["-colorspace", "CMYK"],
            "restart-markers": ["-define", "jpeg:restart-interval=1"],
            "subsampling-444": ["-sampling-factor", "1x1"],
        }
        for name, options in variants.items():
            target = os.path.join(tmp, name + ".jpg")
            subprocess.run(["convert", source, *options, "-strip", target], check=True)
            with open(target, "rb") as f:
                write("jpeg", name, f.read())
    write("jpeg", "soi-only", b"\xff\xd8")


def gif_file(width: int, height: int, palette: list, frames: list, loops: int = -1) -> bytes:
    """frames: (indices, delay in 1/100 s, transparent index or -1); 8-bit LZW codes."""
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF1, 0, 0)
    out += b"".join(bytes(c) for c in (palette + [(0, 0, 0)] * 4)[:4])
    if loops >= 0:
        out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01" + struct.pack("<H", loops) + b"\0"
    for pixels, delay, transparent in frames:
        out += b"\x21\xf9\x04" + struct.pack("<BHB", 1 if transparent >= 0 else 0, delay,
                                              max(transparent, 0)) + b"\0"
        out += b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x07"
        codes = bytearray()
        for i, p in enumerate(pixels):
            if i % 100 == 0:
                codes.append(0x80)
            codes.append(p)
        codes.append(0x81)
        for at in range(0, len(codes), 255):
            block = bytes(codes[at:at + 255])
            out += bytes([len(block)]) + block
        out += b"\0"
    return out + b";"


def gif() -> None:
    palette = [(255, 0, 0), (0, 0, 255), (0, 255, 0), (255, 255, 255)]
    write("gif", "one-frame", gif_file(3, 2, palette, [([0, 1, 2, 3, 0, 1], 0, -1)]))
    write("gif", "two-frames-loop", gif_file(2, 2, palette, [([0] * 4, 10, -1), ([1] * 4, 20, -1)], 0))
    write("gif", "transparent", gif_file(2, 2, palette, [([0] * 4, 5, -1), ([3, 1, 3, 1], 5, 3)], 2))
    write("gif", "gif87a", b"GIF87a" + gif_file(1, 1, palette, [([2], 0, -1)])[6:])
    write("gif", "header-only", b"GIF89a\x02\x00\x02\x00\x00\x00\x00;")


if __name__ == "__main__":
    scrambled()
    ini()
    bmp()
    ico()
    jpeg()
    gif()
