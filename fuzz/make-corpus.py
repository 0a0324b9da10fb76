#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: tiny inputs made here, one folder per target.

Run from anywhere: python3 fuzz/make-corpus.py. The files are committed; running it again
rewrites them with the same content.
"""
import os

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


if __name__ == "__main__":
    scrambled()
    ini()
