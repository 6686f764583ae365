#!/usr/bin/env python3
"""Independent model of the speech front end, checked against quellon-tts.

The model re-implements number words, digit expansion, the letter-to-sound rules, the
pronunciation dictionary and unit selection in plain Python, generates a few thousand random
inputs from a fixed seed, runs `quellon-tts` on each and compares the output character for
character.

usage: frontend_model.py PATH/TO/quellon-tts [--cases N] [--seed S]
"""
import os
import random
import subprocess
import sys
import tempfile

# ---------------------------------------------------------------------------------------------
# Case mapping: ASCII and the letters of Windows-1250 (the code page's own upper/lower pairs).

def _cp1250_char(b):
    try:
        return bytes([b]).decode("cp1250")
    except UnicodeDecodeError:
        return chr(b)  # the five unassigned codes stand for the C1 control of the same value


CP1250 = [_cp1250_char(b) for b in range(256)]
_CP1250_SET = set(CP1250)
LOWER = {}
for ch in CP1250:
    lo = ch.lower()
    if len(lo) == 1 and lo != ch and lo in _CP1250_SET and lo.upper() == ch:
        LOWER[ch] = lo


def lower(s):
    return "".join(LOWER.get(c, c) for c in s)


# ---------------------------------------------------------------------------------------------
# Number words.

UNIT = ["nula", "jedna", "dva", "tři", "čtyři", "pět", "šest", "sedum", "osum", "devět", "deset",
        "jedenáct", "dvanáct", "třináct", "čtrnáct", "patnáct", "šestnáct", "sedumnáct",
        "osumnáct", "devatenáct", "dvacet", ""]
TENS = ["", "deset", "dvacet", "třicet", "čtyřicet", "padesát", "šedesát", "sedumdesát",
        "osumdesát", "devadesát", "sto"]


def tail(t, u):
    if u == 0:
        return TENS[t]
    if t == 1:
        return UNIT[10 + u]
    return TENS[t] + UNIT[u]


def hund(h):
    if h == 0:
        return ""
    return {1: "sto ", 2: "dvěstě"}.get(h) or UNIT[h] + ("sta " if h in (3, 4) else "set ")


def thous(k):
    if k == 1:
        return "tisíc "
    if k == 2:
        return "dva" + "tisíce "
    return UNIT[k] + ("tisíce " if k in (3, 4) else "tisíc ")


def number_to_words(d):
    v = float(d)
    if v == float("inf"):
        v = 0.0
    lead = len(d) - len(d.lstrip("0"))
    prefix = "nula" * lead
    if v == 0:
        return prefix
    if v < 20:
        words = UNIT[int(v)]
    elif v < 100:
        t = int(v // 10)
        words = tail(t, int(v) - 10 * t)
    elif v < 1000:
        h = int(v // 100)
        r = int(v) - 100 * h
        t = r // 10
        words = hund(h) + tail(t, r - 10 * t)
    elif v < 10000:
        k = int(v // 1000)
        r = int(v) - 1000 * k
        h = r // 100
        r -= 100 * h
        t = r // 10
        words = thous(k) + hund(h) + tail(t, r - 10 * t)
    else:
        prefix = ""
        words = ""
        while True:
            n = 3 if len(d) > 3 else len(d)
            words = number_to_words(d[-n:]) + " " + words
            if n == len(d):
                break
            d = d[:-n]
    return prefix + words


def expand_digits(word):
    out, run = "", ""
    for c in word:
        if "0" <= c <= "9":
            run += c
        elif run:
            out += " " + number_to_words(run) + " " + c
            run = ""
        else:
            out += c
    if run:
        out += " " + number_to_words(run)
    return out


# ---------------------------------------------------------------------------------------------
# Letter-to-sound.

def assimilate(word):
    n = len(word)
    out = []
    prev = ""
    for i in range(1, n + 1):
        cur = lower(word[i - 1])
        nxt = lower(word[i]) if i < n else ""
        last = i == n
        if cur == "y":
            app = "y" if prev in ("t", "d", "n") else "i"
        elif cur == "w":
            app = "v"
        elif cur == "z" and nxt in ("p", "k", "t"):
            app = "s"
        elif cur == "ž" and (nxt in ("p", "k", "t") or last):
            app = "š"
        elif cur == "d" and (last or nxt in ("p", "k", "c")):
            app = "t"
        elif cur == "ď" and nxt in ("p", "k"):
            app = "ť"
        elif cur == "h" and prev != "c" and (last or nxt in ("k", "č", "c")):
            app = "ch"
        elif cur == "v" and nxt in ("s", "k", "š", "c", "t", "č", "p"):
            app = "f"
        elif cur == "v" and last and n > 1:
            app = "f"
        elif cur == "k" and nxt == "d":
            app = "g"
        elif cur == "ü":
            app = "i"
        elif cur in ("ä", "ö"):
            app = "e"
        elif cur == "+":
            app = "plus"
        else:
            app = cur
        out.append(app)
        prev = cur
    return "".join(out)


# ---------------------------------------------------------------------------------------------
# Pronunciation dictionary. Decisions shared with the program: lines end at LF, one CR before it
# is dropped; files over 1 MiB give no rules; a lone "*" key makes the load fail (no rules); an
# entry with an empty key never matches; a missing file gives one empty entry.

MAX_DICT_BYTES = 1 << 20


class LoadFailed(Exception):
    pass


def parse_dictionary(data, utf8=False):
    if len(data) > MAX_DICT_BYTES:
        return []
    if utf8 and data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    entries = []
    try:
        for raw in data.split(b"\n"):
            if raw.endswith(b"\r"):
                raw = raw[:-1]
            if not raw:
                continue
            line = raw.decode("utf-8", "replace") if utf8 else "".join(CP1250[b] for b in raw)
            parts = line.split(" ")
            if len(parts) != 2:
                continue
            key, rep = parts
            mode = 0
            if key[:1] == "*":
                mode |= 1
            if key[-1:] == "*":
                mode |= 2
            if mode & 1:
                key = key[1:]
            if mode & 2:
                if not key:
                    raise LoadFailed()
                key = key[:-1]
            entries.append((key, rep, mode))
    except LoadFailed:
        return []
    return entries


def match_rule(entries, word):
    for key, rep, mode in entries:
        if key == "":
            continue
        if mode == 1 and word.endswith(key):
            return word[: len(word) - len(key)] + rep
        if mode == 2 and word.startswith(key):
            return rep + word[len(key):]
        if mode == 3 and key in word:
            return word.replace(key, rep)
        if mode == 0 and word == key:
            return rep
    return ""


def lookup_word(entries, word):
    r = match_rule(entries, word)
    return r if r else word


def apply_dictionary(entries, text):
    text = lower(text)
    seps = " .,;-\t\r\n"
    out, word = "", ""
    for c in text:
        if c not in seps:
            word += c
        elif word:
            out += lookup_word(entries, word) + c
            word = ""
        else:
            out += lookup_word(entries, c)
    if word:
        out += lookup_word(entries, word)
    return out


# ---------------------------------------------------------------------------------------------
# Unit selection.

VOWELS = "aeuioáéíóúůýyěôä"
SONORANTS = "lmnňvwjhľĺ"
RTABLE = [
    [0.01, 0.01, 0.01, 0.01, 0.01, 0.01, 0.02, 0.02, 0.04, 0.07, 0.07, 0.07],
    [None, 0.01, 0.02, 0.02, 0.02, 0.02, 0.04, 0.04, 0.04, 0.07, 0.07, 0.07],
    [None, None, 0.03, 0.04, 0.04, 0.04, 0.06, 0.05, 0.06, 0.08, 0.08, 0.08],
    [None, None, None, 0.05, 0.04, 0.04, 0.06, 0.06, 0.06, 0.08, 0.08, 0.08],
    [None, None, None, None, 0.05, 0.05, 0.06, 0.07, 0.07, 0.08, 0.08, 0.08],
    [None, None, None, None, None, 0.06, 0.05, 0.06, 0.07, 0.08, 0.08, 0.08],
    [None, None, None, None, None, None, 0.05, 0.05, 0.07, 0.09, 0.09, 0.09],
    [None, None, None, None, None, None, None, 0.05, 0.05, 0.09, 0.09, 0.09],
    [None, None, None, None, None, None, None, None, 0.04, 0.04, 0.10, 0.10],
    [None, None, None, None, None, None, None, None, None, 0.04, 0.05, 0.10],
    [None, None, None, None, None, None, None, None, None, None, 0.05, 0.05],
    [None, None, None, None, None, None, None, None, None, None, None, 0.05],
]


def R(length, position):
    if length <= 12 and position <= 12:
        cell = RTABLE[position - 1][length - 1]
        assert cell is not None, "unused reduction cell"
        return cell
    r = position * 0.01
    return 0.01 if r > 0.1 else r


def decimal_text(x):
    s = repr(float(x))
    assert "e" not in s and "inf" not in s and "nan" not in s, s
    if s.endswith(".0"):
        s = s[:-2]
    if s.startswith("0."):
        s = s[1:]
    elif s.startswith("-0."):
        s = "-" + s[2:]
    return s


def two_decimals(x):
    return float("%.2f" % x)


def shorten_long_vowel(s):
    """Returns (new s, was long)."""
    if not s:
        return s, False
    c = s[-1]
    table = {"á": "a", "é": "e", "í": "i", "ó": "o", "ú": "u", "ů": "u"}
    if c in table:
        return s[:-1] + table[c], True
    if c == "ý":
        return s[:-1] + ("y" if s[:-1] in ("t", "d", "n") else "i"), True
    return s, False


class Overflow(Exception):
    pass


def phomene_to_wave(word, pause_class, inventory, pitch_deg):
    p = lower(assimilate(word))
    n = len(p)
    exists = lambda name: name in inventory
    st = {"i": 1, "k": 0, "pitch": 0, "prev": 0, "kflag": False, "long": False, "out": "",
          "prevname": ""}

    def ch(pos):
        return p[pos - 1] if 1 <= pos <= n else ""

    def next_char(i):
        return lower(ch(i + 1))

    def rest_has_no_voiced(i):
        return all(c not in VOWELS and c not in SONORANTS for c in lower(p[i:]))

    def inc_i(by=1):
        st["i"] += by
        if st["i"] > 32767:
            raise Overflow()

    def declination():
        return round(st["k"] / n * pitch_deg)

    def apc(state):
        if pause_class == 1:
            st["pitch"] += 2
            return 11
        if pause_class == 2:
            st["pitch"] -= 5
            return 10
        if pause_class == 3:
            st["pitch"] -= 2
        return state

    def vowel_rules(u, factor, state, last):
        i = st["i"]
        if last:
            factor = factor * 1.2
        elif st["long"]:
            factor = factor - R(n, i) / 5
        else:
            factor = factor - R(n, i)
        if factor > 0:
            factor = two_decimals(factor)
        if factor < 0.1:
            factor = 0.1
        st["pitch"] = declination()
        if len(u) == 1:
            pc = st["prev"]
            if pc == 0:
                if n == 1 or i == 1:
                    state = 13
                    st["pitch"] += 2
                else:
                    state = 1
            elif pc == 1:
                state = 3
                if u == "e" and st["prevname"].endswith("i"):
                    u = "je"
                if u not in ("e", "a") and factor - 0.15 > 0.2:
                    factor -= 0.15
            elif 3 <= pc <= 9:
                state = 1
            else:
                state = 0
        elif u[0] in SONORANTS:
            state = {0: 2, 4: 2, 5: 3}.get(st["prev"], 0)
        st["prev"] = 1
        nc = next_char(i)
        if nc != "" and nc in VOWELS:
            if len(u) == 1:
                state = 2
        elif nc != "" and nc in "lľĺmn":
            state = 0 if state == 3 else state
            state = 2 if state == 1 else state
        elif nc != "" and nc in "bpftvščck":
            state = 3 if state == 0 else state
            state = 1 if state == 2 else state
        if last:
            state = 3 if state == 0 else state
            state = 1 if state == 2 else state
            state = apc(state)
        if rest_has_no_voiced(i):
            state = apc(state)
        return u, factor, state

    def emit(u):
        """Emits one unit; returns the pending second unit or None."""
        while True:
            result = emit_once(u)
            if result[0] == "again":
                u = result[1]
                continue
            return result[1]

    def emit_once(u):
        i = st["i"]
        state = 0
        nc = next_char(i)
        last = nc == ""
        if exists("!" + u):
            factor = 0.5 if st["long"] else 0.3
        else:
            factor = 1.0
        pending = None
        c = u[-1]
        if c in "aeiouyäô":
            u, factor, state = vowel_rules(u, factor, state, last)
        elif c == "ě":
            state = 1
            factor = two_decimals(0.3 - R(n, i))
            st["pitch"] = declination()
            before = u[0] if len(u) == 2 else st["prevname"]
            if before not in ("d", "n", "t", "m"):
                st["prev"] = 1
                return ("again", "je")  # emitted again from the first step as "je"
            else:
                state = 0
                if rest_has_no_voiced(i) or last:
                    state = apc(state)
                st["prev"] = 1
        elif c in "vjlhľĺ":
            factor = 1.0
            state = 2 if i == 1 else 0
            st["prev"] = 5
            st["pitch"] = declination()
            if last:
                state = apc(state)
                factor *= 1.2
        elif c in "bd":
            factor, state = 1.0, 0
            if c == "d" and nc in ("í", "i", "ě"):
                u = "ď"
            st["prev"] = 3
        elif c in "pt":
            factor = 1.0
            state = 12 if i < n else 0
            if c == "t" and nc in ("í", "i", "ě"):
                u = "ť"
            st["prev"] = 9
        elif c in "fcsč":
            factor, state = 1.0, 0
            if c == "c" and nc == "h":
                u = "ch"
            st["prev"] = 4
        elif c == "k":
            factor, state = 1.0, 1
            st["prev"] = 4
            if nc == "d":
                st["kflag"] = True
        elif c in "mnň":
            factor, state = 1.0, 0
            if c == "n" and nc in ("í", "i", "ě"):
                u = "ň"
            if c == "m" and nc == "ě":
                pending = "ně"
                inc_i()
                factor = 0.5
            if c == "m" and last:
                state = 11
            st["prev"] = 6
            st["pitch"] = declination()
            if last:
                state = apc(state)
                factor *= 1.2
        elif c in "rřŕ":
            factor, state = 1.0, 0
            st["prev"] = 7
        elif c in "xq":
            factor, state = 1.0, 1
            pending = "s" if c == "x" else "v"
            u = "k"
            st["prev"] = 8
        elif c in "zž":
            factor, state = 1.0, 1
            st["prev"] = 5
        elif c == " ":
            u, factor, state = "-", 2.0, 1
        else:
            state = 1
            st["prev"] = 3
        if st["i"] > 1 and st["kflag"]:
            st["out"] += (" " if st["out"] else "") + "-,10,0"
            st["kflag"] = False
        item = "%s,%s,%d,%d" % (u, decimal_text(factor), state, st["pitch"])
        st["out"] += (" " if st["out"] else "") + item
        st["prevname"] = u
        return ("done", pending)

    try:
        while st["i"] <= n:
            i = st["i"]
            two, st["long"] = shorten_long_vowel(p[i - 1:i + 1])
            if len(two) == 2 and exists(two):
                if two == "ch":
                    three, st["long"] = shorten_long_vowel(p[i - 1:i + 2])
                    if exists(three):
                        name = three
                        inc_i()
                    else:
                        name = "ch"
                else:
                    name = two
                inc_i()
            else:
                name, st["long"] = shorten_long_vowel(two[0])
            pending = emit(name)
            if pending is not None:
                emit(pending)
            st["k"] += 1
            inc_i()
    except Overflow:
        return ""
    return st["out"]


# ---------------------------------------------------------------------------------------------
# Self-check of the model against the worked examples.

def self_check():
    ex = {"0": "nula", "000": "nulanulanula", "007": "nulanulasedum", "7": "sedum",
          "20": "dvacet", "21": "dvacetjedna", "40": "čtyřicet", "100": "sto ",
          "115": "sto patnáct", "200": "dvěstě", "234": "dvěstětřicetčtyři",
          "999": "devětset devadesátdevět", "1000": "tisíc ", "2000": "dvatisíce ",
          "2500": "dvatisíce pětset ", "9999": "devěttisíc devětset devadesátdevět",
          "12345": "dvanáct třista čtyřicetpět ", "10005": "deset nulanulapět ",
          "0012345": "nula nuladvanáct třista čtyřicetpět "}
    for d, w in ex.items():
        assert number_to_words(d) == w, (d, number_to_words(d))
    assert expand_digits("3x") == " tři x"
    for a, b in [("kde", "gde"), ("led", "let"), ("bůh", "bůch"), ("mnich", "mnich"),
                 ("lev", "lef"), ("v", "v"), ("vší", "fší"), ("my", "mi"), ("Wagner", "vagner"),
                 ("nůž", "nůš"), ("raz", "raz"), ("těžký", "těšký"), ("kdomu", "gdomu")]:
        assert assimilate(a) == b, (a, assimilate(a))
    d = parse_dictionary(b"*ing ink\npre* pro\n*ab* x\nahoj nazdar\n")
    assert apply_dictionary(d, "thing prefix abcab ahojky ahoj") == "think profix xcx ahojky nazdar"
    inv = {"a", "!a"}
    assert phomene_to_wave("a", 0, inv, 30) == "a,.36,13,2"
    assert phomene_to_wave("a", 1, inv, 30) == "a,.36,11,6"


# ---------------------------------------------------------------------------------------------
# Random inputs.

CZ_LOWER = "aábcčdďeéěfghiíjklmnňoópqrřsštťuúůvwxyýzž"
FOREIGN = "äöüôľĺŕwqx"
CONSONANTS = "bcčdďfghjklmnňpqrřsštťvwxzžľĺŕ"
VOWEL_LETTERS = "aáeéěiíoóuúůyýäô"


def rand_word(rng, maxlen=14, digits=True, spaces=True):
    alphabet = CZ_LOWER * 3 + CZ_LOWER.upper() + FOREIGN + FOREIGN.upper() + "+"
    if digits:
        alphabet += "0123456789" * 2
    if spaces:
        alphabet += "  "
    n = rng.randint(1, maxlen)
    return "".join(rng.choice(alphabet) for _ in range(n))


def rand_digits(rng):
    kind = rng.random()
    if kind < 0.5:
        n = rng.randint(1, 5)
    elif kind < 0.8:
        n = rng.randint(6, 30)
    elif kind < 0.95:
        n = rng.randint(300, 320)
    else:
        n = rng.randint(1, 8)
        return "0" * n
    s = "".join(rng.choice("0123456789") for _ in range(n))
    if rng.random() < 0.2:
        s = "0" * rng.randint(1, 4) + s
    return s


def rand_inventory(rng):
    inv = set()
    letters = "abcčdďeěfghijklmnňopqrřsštťuvwxyzžäôľĺŕ"
    for c in letters:
        if rng.random() < 0.8:
            inv.add(c)
    for c in CONSONANTS + "ch":
        for v in "aeiouyěäô":
            if rng.random() < 0.35:
                inv.add(c + v)
    inv.add("ch")
    for v in "aeiouy":
        if rng.random() < 0.5:
            inv.add("ch" + v)
    for _ in range(rng.randint(0, 6)):  # odd names too
        inv.add(rng.choice(letters) + rng.choice(letters))
    for name in list(inv):
        if rng.random() < 0.5:
            inv.add("!" + name)
    return inv


def rand_dictionary(rng, words):
    lines = []
    for _ in range(rng.randint(0, 12)):
        pick = rng.random()
        key = rng.choice(words) if words and rng.random() < 0.6 else rand_word(rng, 4, False, False)
        key = lower(key)
        if rng.random() < 0.3 and len(key) > 2:
            key = key[: rng.randint(1, len(key) - 1)] if rng.random() < 0.5 else key[1:]
        if rng.random() < 0.1:
            key = key.upper()
        if pick < 0.25:
            key = "*" + key
        elif pick < 0.5:
            key = key + "*"
        elif pick < 0.65:
            key = "*" + key + "*"
        rep = rand_word(rng, 6, False, False) if rng.random() > 0.1 else ""
        sep = " " if rng.random() > 0.05 else "  "
        line = key + sep + rep
        if rng.random() < 0.05:
            line = rng.choice(["", "*", "** x", "* x", " x", "a b c", "-- minus", ", carka"])
            if line == "* x" and rng.random() < 0.7:
                line = "** y"
        lines.append(line)
    eol = "\r\n" if rng.random() < 0.3 else "\n"
    return (eol.join(lines) + (eol if rng.random() < 0.5 else "")).encode("cp1250", "replace")


def rand_text(rng, words):
    parts = []
    for _ in range(rng.randint(1, 8)):
        parts.append(rng.choice(words) if words and rng.random() < 0.5 else rand_word(rng, 8))
        parts.append(rng.choice([" ", " ", ", ", ". ", "-", ";", "\t", "  ", "\r\n", ",", ""]))
    return "".join(parts)


class Runner:
    def __init__(self, exe):
        self.exe = exe
        self.failures = 0
        self.cases = 0

    def check(self, args, expected, what):
        self.cases += 1
        res = subprocess.run([self.exe] + args, capture_output=True)
        got = res.stdout.decode("utf-8", "replace")
        want = expected + "\n"
        if res.returncode != 0 or got != want:
            self.failures += 1
            if self.failures <= 20:
                print("MISMATCH %s: args=%r\n  want=%r\n  got =%r (exit %d, %r)"
                      % (what, args, want, got, res.returncode, res.stderr[:200]))


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__)
        return 2
    exe = args[0]
    cases = 700
    seed = 20240611
    if "--cases" in args:
        cases = int(args[args.index("--cases") + 1])
    if "--seed" in args:
        seed = int(args[args.index("--seed") + 1])
    self_check()
    rng = random.Random(seed)
    run = Runner(exe)
    with tempfile.TemporaryDirectory() as tmp:
        for n in range(cases):
            d = rand_digits(rng)
            run.check(["numbers", d], number_to_words(d), "numbers")
        for n in range(cases):
            w = rand_word(rng)
            run.check(["expand", w], expand_digits(w), "expand")
            w = rand_word(rng)
            run.check(["phonemes", w], assimilate(w), "phonemes")
        for n in range(cases):
            words = [rand_word(rng, 6, False, False) for _ in range(4)]
            data = rand_dictionary(rng, [lower(w) for w in words])
            path = os.path.join(tmp, "d%d.def" % (n % 7))
            with open(path, "wb") as f:
                f.write(data)
            text = rand_text(rng, words)
            run.check(["dict", path, text], apply_dictionary(parse_dictionary(data), text), "dict")
        for n in range(cases):
            inv = rand_inventory(rng)
            path = os.path.join(tmp, "inv%d.txt" % (n % 7))
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write("\n".join(sorted(inv)) + "\n")
            for _ in range(3):
                w = rand_word(rng, 16, digits=False)
                if rng.random() < 0.3:
                    w = expand_digits(rand_word(rng, 6))
                if w.startswith("--") or not w:
                    w = "a" + w
                pc = rng.choice([0, 0, 1, 2, 3, 7])
                pd = rng.choice([30, 30, 0, -25, 17, 100000])
                run.check(["units", "--inventory", path, "--pause-class", str(pc),
                           "--pitch-deg", str(pd), w],
                          phomene_to_wave(w, pc, inv, pd), "units")
    print("%d cases, %d mismatches" % (run.cases, run.failures))
    return 1 if run.failures else 0


if __name__ == "__main__":
    sys.exit(main())
