#!/usr/bin/env python3
"""Writes the benchmark's text: UTF-8 paragraphs of common Chinese characters with
punctuation, exactly 100,000 bytes as the program counts them (2 per character, 2 per
line break), the same on every run (fixed seed)."""
import random
import sys

COMMON = ("的一是不了人我在有他这中大来上个国到说们为子和你地出道也时年得就那要下以生会"
          "自着去之过家学对可她里后小么心多天而能好都然没日于起还发成事只作当想看文无开手"
          "十用主行方又如前所本见经头面公同三已老从动两长知民样现分将外但身些与高意进把法"
          "此实回二理美点月明其种声全工己话儿者向情部正名定女问力机给等几很业最间新什打便")
PUNCT = "，，，。、；！？"
LIMIT = 100000


def main():
    rng = random.Random(20121205)
    out, size = [], 0
    while True:
        para = []
        for _ in range(rng.randint(3, 8)):
            para.extend(rng.choice(COMMON) for _ in range(rng.randint(6, 24)))
            para.append(rng.choice(PUNCT))
        para[-1] = "。"
        cost = 2 * len(para) + 2
        if size + cost > LIMIT:
            break
        out.append("".join(para))
        size += cost
    rest = (LIMIT - size) // 2  # fill up to exactly LIMIT bytes, no final break
    out.append("".join(rng.choice(COMMON) for _ in range(rest)))
    sys.stdout.write("\n".join(out))


if __name__ == "__main__":
    main()
