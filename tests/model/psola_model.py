#!/usr/bin/env python3
"""Independent model of the PSOLA synthesiser, checked sample for sample against quellon-tts synth.

The model is written from the description of the algorithm, statement by statement, with the
continue-on-error rule made explicit: each statement that fails (a value beyond its 16- or 32-bit
variable, an index outside an array, a division by zero) raises Skip and is skipped; variables
keep their old values.

Decisions shared with the engine where the plain description and a sound result part ways:
  - the stable mark is taken on the first pass only; when it is among the last three marks
    (so that i > s + 1 can never hold) the test on w applies for good once the walk has reached
    mark min(s, m - 2);
  - marks outside the samples a unit keeps are not recorded; a join needs the previous unit's
    last mark inside the output, two previous marks and three new marks; stored mark positions
    are the exact output positions;
  - the first sample of a unit in state 1 or 2 gets gain 0;
  - a unit without samples adds nothing.

Usage: psola_model.py QUELLON_TTS [--cases N] [--seed S]
"""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile


class Skip(Exception):
    pass


# How often the interesting paths were taken, printed at the end so a run shows what it covered.
STATS = {"joins": 0, "stops": 0, "full 1001 periods": 0, "copies": 0, "plosive cuts": 0,
         "samples not written": 0}


def i16(v):
    if isinstance(v, float) and v != v:
        raise Skip
    if v < -32768 or v > 32767:
        raise Skip
    return int(v)


def i32(v):
    if isinstance(v, float) and v != v:
        raise Skip
    if v < -2**31 or v > 2**31 - 1:
        raise Skip
    return int(v)


def rnd(v):
    """Nearest integer, halves to even (Python's round does exactly that on floats)."""
    if v != v or v in (math.inf, -math.inf):
        raise Skip
    return round(v)


def div(a, b):
    if b == 0:
        raise Skip
    return a / b


def at(arr, k):
    if k < 0 or k >= len(arr):
        raise Skip
    return arr[k]


def put(arr, k, v):
    if k < 0 or k >= len(arr):
        raise Skip
    arr[k] = v


def leading_number(s):
    """Numeric prefix: blanks, sign, digits, point, digits; nothing readable gives 0."""
    s = s.lstrip(" \t")
    j = 0
    if j < len(s) and s[j] in "+-":
        j += 1
    d0 = j
    while j < len(s) and s[j].isdigit() and s[j] in "0123456789":
        j += 1
    digits = j - d0
    if j < len(s) and s[j] == ".":
        k = j + 1
        while k < len(s) and s[k] in "0123456789":
            k += 1
        if digits > 0 or k > j + 1:
            j = k
            digits += 1
    if digits == 0:
        return 0.0
    return float(s[:j])


VOWELS = "aeuioáéíóúůýyěôä"


class Voice:
    def __init__(self, entries, store, params):
        self.first = {}
        for name, off, length in entries:
            if name not in self.first:
                self.first[name] = (off, length)
        self.store = store
        self.pitch_deg, self.dn, self.up = params

    def extract(self, name):
        if name not in self.first:
            return [0] * 51 if name == "-" else [0]
        off, length = self.first[name]
        if length > len(self.store):
            return [0]
        if off >= 0 and off + length <= len(self.store):
            return list(self.store[off:off + length]) + [0]
        return [0] * (length + 1)


class Model:
    def __init__(self, voice, pitch, tempo, volume):
        self.voice = voice
        self.Pitch, self.Tempo, self.Volume = pitch, tempo, volume
        self.env = [0.3, 0.4, 0.6, 0.9] + [1.0] * 21 + [0.8, 0.8, 0.7, 0.6, 0.5, 0.4, 0.0]
        self.prev = [0, 0]
        self.output = [0]

    # Synthesize -------------------------------------------------------------------------
    def synthesize(self, unit_list):
        self.output = [0]
        if unit_list == "":
            return list(self.output)
        name, factor, state, pitch = "", 0.0, 0, 0
        for item in unit_list.split(" "):
            f = item.split(",")
            name = f[0]
            if len(f) > 1:
                factor = leading_number(f[1])
                if factor == 0:
                    factor = -1.0
            if len(f) > 2:
                try:
                    state = i32(rnd(leading_number(f[2])))
                except Skip:
                    pass
            if len(f) > 3:
                try:
                    pitch = i32(rnd(leading_number(f[3])))
                except Skip:
                    pass
            self.factor_written = False
            self.unit(name, factor, state, pitch)
            if self.factor_written:
                factor = 1.0
        return list(self.output)

    # FinalFade --------------------------------------------------------------------------
    @staticmethod
    def final_fade(x):
        n = len(x) - 1
        q = rnd(n / 4)
        y = list(x)
        for i in range(0, n + 1):
            if i <= n - q:
                e = 1
            else:
                e = (n - i) / q
            width = rnd(30 * (1 - e))
            if i >= n or i - width < 1:
                y[i] = x[i]
            else:
                mean = sum(x[i - width:i + 1]) / (width + 1)
                try:
                    y[i] = i16(rnd(e * mean))
                except Skip:
                    pass
        return y

    # SynthesizeUnit ---------------------------------------------------------------------
    def unit(self, name, factor, state, upitch):
        x = self.voice.extract(name)
        pm = self.voice.extract("!" + name)
        n = len(x) - 1
        m = len(pm) - 1
        if n == 0:
            return
        out = [0]
        marks = []          # positions in out where marks were written
        copy = False
        if m < 1:
            copy = True
        elif state == 12:
            STATS["plosive cuts"] += 1
            N = 0
            try:
                N = i16(pm[1] - pm[0])
            except Skip:
                pass
            if pm[1] >= 0:
                out = [0] * (pm[1] + 1)
            if pm[0] - 1 >= 0:
                if pm[0] - 1 <= n and pm[0] - 1 < len(out):
                    out[0:pm[0]] = x[0:pm[0]]
            for i in range(0, N + 1):
                try:
                    idx = i16(pm[0] + i)
                    g = 1 - (0.54 + 0.46 * math.cos(div(math.pi * (N - i), N)))
                    put(out, idx, i16(rnd(at(x, idx) * g)))
                except Skip:
                    pass
        else:
            s = 0
            for q in range(0, m):
                if pm[q] < 0:
                    if pm[q] != -32768:
                        pm[q] = -pm[q]
                    s = q
                    break
            F = factor
            tail = 0
            if F == 1:
                tail = n - pm[0]
            elif F == -1:
                factor = 1
                self.factor_written = True  # the unit record's factor is now 1
                copy = True
            elif len(name) == 1 and name.lower() not in VOWELS:
                tail = n - pm[0]
            else:
                tail = n - pm[s]
            if not copy:
                speed = F - 0.02 * self.Tempo
                periods = 0
                try:
                    periods = i32(rnd(speed * (m - 1)))
                except Skip:
                    pass
                try:
                    tail = i32(rnd(speed * tail))
                except Skip:
                    pass
                out = [0] * (2 * n + 1)
                w, i, fwd, shift, stable, taken, reached = 0, 0, True, 0, 0, False, False
                delta = start = end = L = 0
                for j in range(0, 1001):
                    try:
                        if state in (11, 13):
                            shift = i16(rnd(div(j, periods) * self.voice.dn))
                        elif state == 10:
                            shift = i16(-i16(rnd(div(j, periods) * self.voice.up)))
                    except Skip:
                        pass
                    if i > 0:
                        try:
                            delta = i16(self.Pitch + upitch + shift)
                        except Skip:
                            pass
                        start = pm[i - 1]
                        try:
                            w = i32(i32(w - i16(pm[i] - pm[i - 1])) + delta)
                        except Skip:
                            pass
                    else:
                        start = pm[0]
                        if pm[0] - 1 >= 0 and pm[0] - 1 <= n and pm[0] - 1 < len(out):
                            out[0:pm[0]] = x[0:pm[0]]
                        w = pm[0]
                    try:
                        end = i16(pm[i + 1] - 1)
                    except Skip:
                        pass
                    try:
                        L = i16(end - start)
                    except Skip:
                        pass
                    for k in range(start, end + 1):
                        if k == pm[i]:
                            marks.append(w)
                            if i == s and not taken:
                                stable, taken = w, True
                        try:
                            if i > 0:
                                win = 1 - (0.5 * math.cos(div(2 * math.pi * (k - start), L)) + 0.5)
                            else:
                                win = 1 - (0.5 * math.cos(div(math.pi * (L - (k - start)), L)) + 0.5)
                            put(out, w, i16(rnd(at(x, k) * win + at(out, w))))
                        except Skip:
                            STATS["samples not written"] += 0 <= w < len(out) and 0 <= k <= n
                            pass
                        w += 1
                    if s + 1 >= m - 2:
                        if i >= min(s, m - 2):
                            reached = True
                        stop = reached and w > stable + tail
                    else:
                        stop = i > s + 1 and w > stable + tail
                    if m < 3:
                        stop = True  # the walk cannot leave mark 0: one pass only
                    if stop:
                        if w >= 0:
                            out = (out + [0] * max(0, w + 1 - len(out)))[:w + 1]
                        STATS["stops"] += 1
                        break
                    if fwd:
                        i += 1
                        if i >= m - 1:
                            i -= 1
                            fwd = False
                    else:
                        i -= 1
                        if i < 1:
                            i += 1
                            fwd = True
                else:
                    STATS["full 1001 periods"] += 1
                marks = [p for p in marks if 0 <= p <= len(out) - 1]
        if copy:
            STATS["copies"] += 1
            whole = math.trunc(abs(factor))
            frac = factor - math.trunc(factor)
            body = x[:n]
            out = body * whole + [0]
            if frac > 0:
                # One more copy, then a keep-contents cut to upper bound `cut`: the element at the
                # new upper bound keeps the sample that was there.
                out = body * (whole + 1) + [0]
                cut = rnd(whole * n + n * frac)
                out = (out + [0] * max(0, cut + 1 - len(out)))[:cut + 1]
                for c in range(0, 11):
                    k = cut - 11 + c
                    if k >= 0:
                        try:
                            out[k] = i16(rnd(out[k] * (10 - c) / 10))
                        except Skip:
                            pass
        # join
        if state not in (1, 2):
            P = self.prev
            last = len(P) - 1
            oub = len(self.output) - 1
            if (oub != 0 and last >= 2 and len(marks) >= 3 and oub - P[last] < 350
                    and 1 <= pm[0] < 300 and 0 <= P[last] <= oub):
                STATS["joins"] += 1
                b = P[last]
                a = P[last - 2] if P[last - 2] != 0 else b - 300
                ln = b - a
                self.output = self.output[:b + 1]
                c = marks[2]
                for t in range(0, ln + 1):
                    try:
                        r1 = rnd((1 - div(t, ln)) * at(self.output, a + t))
                        r2 = rnd(div(at(out, c - ln + t) * t, ln))
                        put(self.output, a + t, i16(r1 + r2))
                    except Skip:
                        pass
                out = out[c:]
                marks = [p - c for p in marks[3:]]
        if state in (11, 13):
            out = self.final_fade(out)
        if state == 13:
            state = 2
        base = len(self.output) - 1
        U = len(out) - 1
        self.output = self.output + [0] * U
        self.prev = [0] + [base + p for p in marks]
        for W in range(0, U + 1):
            v = out[W]
            if state == 1:
                v = 0 if W == 0 else rnd(v * self.env[rnd(30 * W / U)])
            elif state == 2:
                if W == 0:
                    v = 0
                else:
                    p = rnd(100 * W / U)
                    if p < 20:
                        v = rnd(v * p / 20)
            elif state == 3 and U != 0:
                p = rnd(100 * W / U)
                if p > 60:
                    v = rnd(v * (100 - p) / 40)
            try:
                self.output[base + W] = i16(rnd(self.Volume / 14 * v))
            except Skip:
                pass


# Random voices and unit lists ----------------------------------------------------------------

NAMES = ["a", "e", "o", "ka", "do", "ma", "ně", "m", "l", "s", "t", "p", "ch", "ží", "-"]


def make_unit(rng, voiced):
    period = rng.randint(40, 120)
    count = rng.randint(4, 14)
    lead = rng.randint(5, 250)
    length = lead + period * count + rng.randint(0, 60)
    amp = rng.choice([3000, 12000, 30000])
    samples = []
    for k in range(length):
        v = amp * math.sin(2 * math.pi * k / period) * (0.6 + 0.4 * math.sin(k / 37.0))
        v += rng.randint(-200, 200)
        samples.append(max(-32768, min(32767, int(v))))
    marks = []
    if voiced:
        p = lead
        while p < length - 1 and len(marks) < 40:
            marks.append(p)
            p += period + rng.randint(-6, 6)
        if rng.random() < 0.7 and marks:
            k = rng.randrange(len(marks))
            marks[k] = -marks[k]
    return samples, marks


def build_voice(rng, folder, name):
    entries = []
    store = []
    params = [30, 10, 20]
    idx = bytearray()

    def add(nm, values):
        raw = nm.encode("cp1250")
        idx.extend(struct.pack("<H", len(raw)) + raw + struct.pack("<ii", len(store), len(values)))
        entries.append((nm, len(store), len(values)))
        store.extend(values)

    for nm in NAMES:
        if nm == "-" and rng.random() < 0.5:
            continue  # the voice lacks the pause unit: 51 zeros
        if nm == "-":
            add(nm, [0] * rng.randint(20, 80))
            continue
        voiced = nm not in ("s", "ch") and rng.random() < 0.9
        samples, marks = make_unit(rng, voiced)
        add(nm, samples)
        if marks:
            add("!" + nm, marks)
    for pname, slot in (("pitch_deg", 0), ("PITCHDN", 1), ("PITCHUP", 2)):
        if rng.random() < 0.5:
            val = rng.randint(-5, 40)
            raw = pname.encode("cp1250")
            idx.extend(struct.pack("<H", len(raw)) + raw + struct.pack("<ii", val, 0))
            params[slot] = val
    with open(os.path.join(folder, name + ".idx"), "wb") as f:
        f.write(bytes(idx))
    with open(os.path.join(folder, name + ".vce"), "wb") as f:
        f.write(struct.pack("<%dh" % len(store), *store))
    return Voice(entries, store, params)


FACTORS = ["1", "0", "-1", ".3", ".5", ".1", "1.2", "2", "2.5", "1.25", ".8099999999999999", "3"]
STATES = [0, 1, 2, 3, 10, 11, 12, 13]


def make_list(rng):
    items = []
    for _ in range(rng.randint(1, 7)):
        r = rng.random()
        if r < 0.15:
            items.append("-,%s,0" % rng.choice(["1", "3", "10", "2.5", "0"]))
        elif r < 0.2:
            items.append(rng.choice(NAMES))  # name only: the rest carries over
        elif r < 0.23:
            items.append("zz,1,0,0")  # a unit the voice lacks
        else:
            items.append("%s,%s,%d,%d" % (rng.choice(NAMES), rng.choice(FACTORS),
                                          rng.choice(STATES), rng.randint(-8, 8)))
    return " ".join(items)


def run_case(tts, folder, voice, rng, case):
    pitch = rng.choice([0, 0, -8, 4, 40])
    tempo = rng.choice([0, 0, 5, -10, 10])
    volume = rng.choice([10, 14, 20, 0, 7])
    units = make_list(rng)
    expected = Model(voice, pitch, tempo, volume).synthesize(units)[:-1]
    out = os.path.join(folder, "out%d.raw" % case)
    cmd = [tts, "synth", "--voice", os.path.join(folder, "v"), "--pitch", str(pitch), "--tempo",
           str(tempo), "--volume", str(volume), units, "-o", out]
    res = subprocess.run(cmd, capture_output=True)
    if res.returncode != 0:
        return "exit %d: %s (%s)" % (res.returncode, res.stderr.decode(errors="replace"), cmd)
    with open(out, "rb") as f:
        data = f.read()
    os.remove(out)
    got = list(struct.unpack("<%dh" % (len(data) // 2), data))
    if got == expected:
        return None
    first = next((k for k in range(min(len(got), len(expected))) if got[k] != expected[k]),
                 min(len(got), len(expected)))
    return ("mismatch for %r (pitch %d tempo %d volume %d): lengths %d/%d, first difference at %d"
            " (engine %s, model %s)" % (units, pitch, tempo, volume, len(got), len(expected), first,
                                        got[first:first + 3], expected[first:first + 3]))


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__)
        return 2
    tts = args[0]
    cases = int(args[args.index("--cases") + 1]) if "--cases" in args else 600
    seed = int(args[args.index("--seed") + 1]) if "--seed" in args else 20240611
    rng = random.Random(seed)
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        voice = None
        for case in range(cases):
            if case % 25 == 0:
                voice = build_voice(rng, folder, "v")
            err = run_case(tts, folder, voice, rng, case)
            if err:
                failures += 1
                print("case %d: %s" % (case, err))
                if failures >= 10:
                    break
    print("%d cases, %d failures; model paths: %s" % (cases, failures, STATS))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
