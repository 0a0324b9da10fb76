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
# ---- Metafiles: tiny WMF and EMF files written record by record.

def colorref(r: int, g: int, b: int) -> int:
    return r | g << 8 | b << 16


def dib_2x2(bottom_up: bool = True) -> bytes:
    """A 2 x 2 bitmap of 24 bits: red and white on top, blue and green below."""
    header = struct.pack("<IiiHHIIiiII", 40, 2, 2 if bottom_up else -2, 1, 24, 0, 16, 0, 0, 0, 0)
    top = bytes([0, 0, 255, 255, 255, 255, 0, 0])
    bottom = bytes([255, 0, 0, 0, 255, 0, 0, 0])
    return header + (bottom + top if bottom_up else top + bottom)


def wmf_record(function: int, params: bytes = b"") -> bytes:
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def wmf_words(function: int, *words: int) -> bytes:
    return wmf_record(function, struct.pack(f"<{len(words)}h", *words))


def wmf_color(function: int, color: int, *words: int) -> bytes:
    return wmf_record(function, struct.pack("<I", color) + struct.pack(f"<{len(words)}h", *words))


def wmf_plain(records: bytes, objects: int = 8) -> bytes:
    return struct.pack("<HHHIHIH", 1, 9, 0x0300, 0, objects, 0, 0) + records + wmf_record(0)


def wmf_placeable(records: bytes, box=(0, 0, 100, 50), inch: int = 96) -> bytes:
    return struct.pack("<IH4hHIH", 0x9AC6CDD7, 0, *box, inch, 0, 0) + wmf_plain(records)


def wmf_pen(style: int, width: int, color: int) -> bytes:
    return wmf_record(0x02FA, struct.pack("<HhhI", style, width, 0, color))


def wmf_brush(style: int, color: int, hatch: int = 0) -> bytes:
    return wmf_record(0x02FC, struct.pack("<HIH", style, color, hatch))


def wmf_font(height: int, face: bytes, charset: int = 1, escapement: int = 0) -> bytes:
    return wmf_record(0x02FB, struct.pack("<5h8B", height, 0, escapement, 0, 700, 1, 1, 0,
                                          charset, 0, 0, 0, 0) + face.ljust(32, b"\0"))


def wmf() -> None:
    red, blue = colorref(255, 0, 0), colorref(0, 0, 255)
    shapes = (wmf_pen(0, 3, red) + wmf_words(0x012D, 0) + wmf_brush(2, blue, 3) +
              wmf_words(0x012D, 1) + wmf_words(0x041B, 20, 30, 10, 10) +
              wmf_words(0x0418, 30, 60, 10, 40) + wmf_words(0x061C, 5, 5, 45, 95, 35, 60) +
              wmf_words(0x0324, 3, 70, 10, 90, 10, 70, 30) +
              wmf_words(0x0325, 3, 0, 49, 50, 40, 99, 49) +
              wmf_words(0x0214, 0, 0) + wmf_words(0x0213, 49, 99) +
              wmf_color(0x041F, red, 1, 1))
    write("wmf", "placeable-shapes", wmf_placeable(shapes))
    mapping = (wmf_words(0x0103, 8) + wmf_words(0x020B, 100, 0) + wmf_words(0x020C, -100, 200) +
               wmf_words(0x020D, 5, 5) + wmf_words(0x020E, 90, 190) + wmf_words(0x001E) +
               wmf_words(0x020F, 10, 10) + wmf_words(0x0410, 2, 1, 2, 1) +
               wmf_words(0x0211, 1, 1) + wmf_words(0x0412, 1, 2, 1, 2) +
               wmf_words(0x0127, -1) + wmf_words(0x0106, 2) +
               wmf_words(0x0538, 2, 3, 4, 0, 100, 100, 100, 50, 0, 10, 90, 90, 90, 90, 10,
                         10, 10))
    write("wmf", "plain-window-mapping", wmf_plain(wmf_words(0x020B, 0, 0) +
                                                    wmf_words(0x020C, 100, 200) + mapping))
    text = (wmf_font(-16, b"Tahoma", 0) + wmf_words(0x012D, 0) +
            wmf_color(0x0209, red) + wmf_color(0x0201, blue) + wmf_words(0x0102, 2) +
            wmf_words(0x012E, 24) +
            wmf_record(0x0521, struct.pack("<h", 5) + b"Hello\0" + struct.pack("<hh", 30, 5)) +
            wmf_record(0x0A32, struct.pack("<hhhH4h", 45, 5, 4, 6, 0, 32, 100, 48) +
                       "中文".encode("gbk") + struct.pack("<4h", 8, 8, 8, 8)) +
            wmf_font(20, b"NoSuchFace", 134, 900) + wmf_words(0x012D, 1) +
            wmf_words(0x012E, 1) +
            wmf_record(0x0521, struct.pack("<h", 3) + b"abc\0" + struct.pack("<hh", 40, 60)) +
            wmf_words(0x01F0, 0) + wmf_words(0x01F0, 1))
    write("wmf", "text", wmf_placeable(text))
    bitmaps = (wmf_record(0x0F43, struct.pack("<IH8h", 0x00CC0020, 0, 2, 2, 0, 0, 20, 20, 10, 10)
                          + dib_2x2()) +
               wmf_record(0x0940, struct.pack("<I6h", 0x00CC0020, 0, 0, 2, 2, 5, 40) +
                          dib_2x2(False)) +
               wmf_record(0x0B41, struct.pack("<I8h", 0x00CC0020, 2, 2, 0, 0, -10, 10, 40, 60)
                          + dib_2x2()) +
               wmf_record(0x0D33, struct.pack("<HHH6h", 0, 2, 0, 0, 0, 2, 2, 2, 80) + dib_2x2()) +
               wmf_record(0x0142, struct.pack("<HH", 5, 0) + dib_2x2()) + wmf_words(0x012D, 0) +
               wmf_words(0x061D, 0, 0x00F0, 10, 10, 30, 80) +
               wmf_words(0x0940, 0x0042, 0, 0, 0, 0, 5, 5, 45, 0))
    write("wmf", "bitmaps", wmf_placeable(bitmaps))
    objects = (wmf_record(0x00F7, struct.pack("<HH", 0x300, 1) + bytes(4)) +
               wmf_record(0x06FF, bytes(22)) + wmf_brush(0, blue) + wmf_words(0x01F0, 1) +
               wmf_pen(1, 0, red) + wmf_words(0x012D, 1) + wmf_words(0x012D, 2) +
               wmf_words(0x012D, 7) + wmf_words(0x041B, 40, 40, 0, 0) +
               wmf_words(0x0FFF, 1, 2, 3) + wmf_words(0x041B, 45, 45, 5, 5))
    write("wmf", "objects-and-unknown", wmf_placeable(objects, (0, 0, 50, 50), 96))
    write("wmf", "length-zero", wmf_placeable(wmf_words(0x041B, 20, 30, 10, 10) +
                                              struct.pack("<IH", 0, 0x041B) + bytes(8)))
    write("wmf", "past-the-end", wmf_placeable(wmf_words(0x041B, 20, 30, 10, 10))[:-6] +
          struct.pack("<IH", 500, 0x041B))
    write("wmf", "truncated-header", wmf_placeable(b"")[:30])
    write("wmf", "huge", wmf_placeable(b"", (0, 0, 32000, 32000), 96))
    write("wmf", "empty", b"")


def emf_record(kind: int, params: bytes = b"") -> bytes:
    return struct.pack("<II", kind, 8 + len(params)) + params


def emf_ints(kind: int, *values: int) -> bytes:
    return emf_record(kind, struct.pack(f"<{len(values)}I", *(v & 0xFFFFFFFF for v in values)))


def emf_file(records: bytes, frame=(0, 0, 2540, 1270), bounds=(0, 0, 95, 47)) -> bytes:
    header = struct.pack("<II4i4iIIIIHHIII4i", 1, 88, *bounds, *frame, 0x464D4520, 0x10000,
                         0, 0, 16, 0, 0, 0, 0, 960, 960, 254, 254)
    return header + records + emf_ints(14, 0, 0, 20)


def emf_xform(kind: int, m11, m12, m21, m22, dx, dy, mode=None) -> bytes:
    params = struct.pack("<6f", m11, m12, m21, m22, dx, dy)
    if mode is not None:
        params += struct.pack("<I", mode)
    return emf_record(kind, params)


def emf_font(index: int, height: int, face: str, escapement: int = 0) -> bytes:
    return emf_record(82, struct.pack("<6i8B", index, height, 0, escapement, 0, 400, 0, 0, 1,
                                      1, 0, 0, 0, 0) + face.encode("utf-16-le").ljust(64, b"\0"))


def emf_text_w(x: int, y: int, text: str, options: int = 0, dx=None) -> bytes:
    chars = len(text)
    string = text.encode("utf-16-le")
    string += b"\0" * (-len(string) % 4)
    off_string = 8 + 28 + 40
    off_dx = off_string + len(string) if dx else 0
    params = struct.pack("<4iIff", 0, 0, 0, 0, 1, 1.0, 1.0)
    params += struct.pack("<iiIII4iI", x, y, chars, off_string, options, 0, 0, 90, 40, off_dx)
    params += string + (struct.pack(f"<{len(dx)}i", *dx) if dx else b"")
    return emf_record(84, params)


def emf_stretch_dibits(x, y, w, h, src, dib: bytes) -> bytes:
    off = 8 + 72
    return emf_record(81, struct.pack("<4i14i", 0, 0, 0, 0, x, y, *src, off, 40, off + 40,
                                      len(dib) - 40, 0, 0x00CC0020, w, h) + dib)


def emf_bitblt(x, y, w, h, dib: bytes, stretch: bool) -> bytes:
    off = 8 + (100 if stretch else 92)
    params = struct.pack("<4i4iIii6fIIIIII", 0, 0, 0, 0, x, y, w, h, 0x00CC0020, 0, 0,
                         1, 0, 0, 1, 0, 0, 0, 0, off, 40, off + 40, len(dib) - 40)
    if stretch:
        params += struct.pack("<ii", 2, 2)
    return emf_record(77 if stretch else 76, params + dib)


def emf() -> None:
    red, blue = colorref(255, 0, 0), colorref(0, 0, 255)
    shapes = (emf_ints(38, 1, 0, 2, 0, red) + emf_ints(37, 1) + emf_ints(39, 2, 2, blue, 4) +
              emf_ints(37, 2) + emf_ints(43, 10, 10, 30, 20) + emf_ints(42, 40, 10, 60, 30) +
              emf_ints(44, 60, 30, 90, 45, 8, 8) + emf_ints(37, 0x80000004) +
              emf_record(86, struct.pack("<4iI6h", 0, 0, 0, 0, 3, 70, 10, 90, 10, 70, 30)) +
              emf_record(87, struct.pack("<4iI4h", 0, 0, 0, 0, 2, 0, 40, 95, 40)) +
              emf_record(91, struct.pack("<4iIIII14h", 0, 0, 0, 0, 2, 7, 3, 4, 0, 0, 20, 0,
                                         0, 20, 5, 5, 15, 5, 15, 15, 5, 15)) +
              emf_record(3, struct.pack("<4iI6i", 0, 0, 0, 0, 3, 1, 1, 9, 1, 1, 9)) +
              emf_record(2, struct.pack("<4iI8i", 0, 0, 0, 0, 4, 0, 0, 30, 40, 60, 0, 90, 40)) +
              emf_ints(27, 5, 45) + emf_ints(54, 90, 45) +
              emf_record(6, struct.pack("<4iI4i", 0, 0, 0, 0, 2, 95, 0, 0, 0)) +
              emf_ints(15, 1, 1, red) + emf_ints(40, 1) + emf_ints(40, 2))
    write("emf", "shapes", emf_file(shapes))
    mapping = (emf_ints(17, 8) + emf_ints(9, 960, 480) + emf_ints(11, 96, 48) +
               emf_ints(12, 10, 5) + emf_ints(10, 100, 0) + emf_ints(33) +
               emf_ints(31, 1, 2, 1, 2) + emf_ints(32, 2, 1, 2, 1) + emf_ints(34, -1) +
               emf_ints(43, 200, 100, 400, 300) + emf_ints(17, 2) +
               emf_ints(42, 0, 0, 254, -127) + emf_ints(17, 7) + emf_ints(9, 100, 300) +
               emf_ints(11, 96, 48) + emf_ints(43, 0, 0, 50, 50))
    write("emf", "mapping", emf_file(mapping))
    world = (emf_xform(35, 2, 0, 0, 2, 20, 10) + emf_ints(43, 0, 0, 10, 5) +
             emf_xform(36, 0, 1, -1, 0, 50, 0, 2) + emf_ints(43, 0, 0, 20, 10) +
             emf_xform(36, 1, 0, 0, 1, 0, 0, 1) + emf_xform(36, 0.5, 0, 0, 0.5, 0, 0, 3) +
             emf_ints(42, 0, 0, 40, 40) + emf_xform(35, 0, 0, 0, 0, 0, 0))
    write("emf", "world-transform", emf_file(world))
    text = (emf_font(1, -16, "Tahoma") + emf_ints(37, 1) + emf_ints(24, red) +
            emf_ints(25, blue) + emf_ints(22, 6) +
            emf_text_w(48, 5, "Hi 中文", 2, [8, 8, 8, 16, 16]) +
            emf_font(2, 30, "", 450) + emf_ints(37, 2) + emf_ints(18, 1) + emf_ints(22, 1) +
            emf_text_w(5, 20, "abc", 0x2000, [6, 0, 6, 0, 6, 0]) + emf_ints(37, 0x8000000D) +
            emf_text_w(5, 40, "x"))
    write("emf", "text", emf_file(text))
    bitmaps = (emf_stretch_dibits(10, 10, 20, 20, (0, 0, 2, 2), dib_2x2()) +
               emf_stretch_dibits(40, 10, -20, 20, (1, 0, 1, 2), dib_2x2(False)) +
               emf_bitblt(60, 5, 2, 2, dib_2x2(), False) +
               emf_bitblt(70, 20, 20, 20, dib_2x2(), True) +
               emf_record(94, struct.pack("<6I", 3, 0, 32, 40, 72, 16) + dib_2x2()) +
               emf_ints(37, 3) + emf_ints(43, 0, 30, 96, 48))
    write("emf", "bitmaps", emf_file(bitmaps))
    pens = (emf_record(95, struct.pack("<5I6I", 1, 0, 0, 0, 0, 0x00010201, 6, 0, red, 0, 0)) +
            emf_ints(37, 1) + emf_record(4, struct.pack("<4iI6i", 0, 0, 0, 0, 3, 5, 5, 50, 40,
                                                          90, 5)) +
            emf_record(95, struct.pack("<5I6I", 2, 0, 0, 0, 0, 0x00000002, 1, 0, blue, 0, 0)) +
            emf_ints(37, 2) + emf_record(7, struct.pack("<4iIIII8i", 0, 0, 0, 0, 2, 4, 2, 2,
                                                          0, 0, 40, 40, 10, 40, 40, 10)) +
            emf_ints(49, 3) + emf_ints(37, 3) + emf_ints(9999, 1, 2, 3) +
            emf_ints(43, 10, 10, 20, 20))
    write("emf", "pens-and-unknown", emf_file(pens))
    write("emf", "length-zero", emf_file(emf_ints(43, 0, 0, 10, 10) + struct.pack("<II", 43, 0)))
    write("emf", "past-the-end", emf_file(emf_ints(43, 0, 0, 10, 10))[:-20] +
          struct.pack("<II", 43, 4000))
    write("emf", "bounds-only", emf_file(emf_ints(43, 0, 0, 10, 10), (0, 0, -1, -1),
                                         (0, 0, 49, 29)))
    write("emf", "truncated-header", emf_file(b"")[:60])
    write("emf", "huge", emf_file(b"", (0, 0, 10000000, 10000000)))


if __name__ == "__main__":
    scrambled()
    ini()
    bmp()
    ico()
    jpeg()
    gif()
    wmf()
    emf()
