#!/usr/bin/env python3
"""Writes a small synthetic packed voice (NAME.idx, NAME.vce) for tests that need a voice but must
not depend on the real one being built.

Units: every single letter the unit rules can ask for, "ch", and every consonant-vowel pair, each a
few hundred samples of a decaying tone whose frequency and length depend on the name (so different
words sound different); voiced units (vowels, sonorants and the pairs) get pitch marks every 110
samples, stored as "!" + name. A "-" pause unit of 60 zero samples is included.

Usage: make_test_voice.py FOLDER [NAME]   (NAME defaults to "zuvan")
"""
import math
import os
import struct
import sys

VOWELS = "aeiouyáéíóúůýěôä"
CONSONANTS = ["b", "c", "č", "d", "ď", "f", "g", "h", "ch", "j", "k", "l", "ľ", "ĺ", "m", "n",
              "ň", "p", "q", "r", "ř", "s", "š", "t", "ť", "v", "w", "x", "z", "ž"]
SONORANTS = set("lmnňvwjhľĺ")


def unit_samples(name, index):
    n = 300 + (index * 37) % 500
    freq = 120 + (index * 53) % 900
    out = []
    for k in range(n):
        env = math.exp(-2.0 * k / n)
        out.append(int(round(9000 * env * math.sin(2 * math.pi * freq * k / 22050))))
    return out


def main():
    folder = sys.argv[1]
    name = sys.argv[2] if len(sys.argv) > 2 else "zuvan"
    os.makedirs(folder, exist_ok=True)
    names = list(VOWELS) + CONSONANTS + [c + v for c in CONSONANTS for v in VOWELS]
    index = bytearray()
    samples = []

    def add(entry, values):
        raw = entry.encode("cp1250")
        index.extend(struct.pack("<H", len(raw)) + raw + struct.pack("<ii", len(samples), len(values)))
        samples.extend(values)

    for i, unit in enumerate(names):
        x = unit_samples(unit, i)
        add(unit, x)
        voiced = unit[-1] in VOWELS or unit in SONORANTS
        if voiced:
            add("!" + unit, list(range(110, len(x) - 20, 110)))
    add("-", [0] * 60)
    raw = "pitch_deg".encode()
    index.extend(struct.pack("<H", len(raw)) + raw + struct.pack("<ii", 30, 0))
    with open(os.path.join(folder, name + ".idx"), "wb") as f:
        f.write(index)
    with open(os.path.join(folder, name + ".vce"), "wb") as f:
        f.write(struct.pack("<%dh" % len(samples), *samples))


if __name__ == "__main__":
    main()
