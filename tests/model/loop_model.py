#!/usr/bin/env python3
"""Independent model of the speaking loop, checked against quellon-tts words and quellon-say --out.

1. Word taking: the engine's first step (every delimiter ends it) and the loop's later steps
   (short words joined to the next, punctuation before a word only sets the pause class), with the
   16-bit position (a text ends at its 32767th character). Compared with `quellon-tts words`.
2. The sound: the loop renders each word (digit runs to number words, unit selection with the
   word's pause class, the pause unit "-,N,0" for punctuation and word separation) and plays the
   words back to back. The model builds the same sound from separate quellon-tts calls (expand,
   units, synth) per word and compares it sample for sample with the WAV that
   `quellon-say --out` writes through the real loop on a synthetic test voice.

Usage: loop_model.py QUELLON_TTS QUELLON_SAY
"""
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
MAX_POS = 32767


def take_first_word(text):
    """Returns (word, pause class, next position) for the engine's first step (1-based pos)."""
    word, pclass = "", 0
    n = min(len(text), MAX_POS)
    pos = 1
    i = 1
    while i <= n:
        c = text[i - 1]
        if c == "?":
            return word, 2, i + 1
        if c in ".:":
            return word, 1, i + 1
        if c == ",":
            return word, 3, i + 1
        if c in " \r\n\"!-\t+":
            return word, 0, i + 1
        word += c
        if i == n:
            return word, 0, None  # the text is used up
        pos += 1
        i += 1
    return word, pclass, None


def fetch_words(text, pos, pclass):
    """The words the timer steps take from position pos on: list of (word, pause class)."""
    out = []
    n = min(len(text), MAX_POS)
    word = ""
    i = pos
    while i <= n:
        c = text[i - 1]
        finish = False
        if c == "?":
            pclass, finish = 2, word != ""
        elif c in ".:":
            pclass, finish = 1, word != ""
        elif c in ",-":
            pclass, finish = 3, word != ""
        elif c in "\"!+)(":
            pclass, finish = 0, word != ""
        elif c in " \r\n":
            pclass = 0
            finish = len(word) > 2 or (len(word) >= 1 and word[-1] in "0123456789")
        else:
            word += c
        if finish:
            out.append((word, pclass))
            word = ""
            if i >= MAX_POS:
                return out
        elif i == n:
            if word:
                out.append((word, 0))
            return out
        i += 1
    return out


def model_words(text):
    word, pclass, nxt = take_first_word(text)
    words = [(word, pclass)] if word else []
    if nxt is not None:
        words += fetch_words(text, nxt, pclass)
    return words


def run(cmd):
    res = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if res.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (cmd[:2], res.returncode, res.stderr.decode()))
    return res.stdout


def tool_words(tts, text):
    lines = run([tts, "words", text]).decode("utf-8").split("\n")
    assert lines[-1] == ""
    return [(l.split("\t")[0], int(l.split("\t")[1])) for l in lines[:-1]]


def pause_units(units, pclass, tempo, separation):
    pause = separation if separation > 0 and units != "" else 0
    if pclass in (1, 2):
        pause += 70 - 2 * tempo
    elif pclass == 3:
        pause += 40 - 2 * tempo
    return units + (" -,%d,0" % pause if pause > 0 else "")


def read_raw(path):
    with open(path, "rb") as f:
        data = f.read()
    return list(struct.unpack("<%dh" % (len(data) // 2), data))


def read_wav(path):
    with open(path, "rb") as f:
        data = f.read()
    assert data[:4] == b"RIFF" and data[8:12] == b"WAVE", path
    pos = 12
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if cid == b"data":
            body = data[pos + 8:pos + 8 + size]
            return list(struct.unpack("<%dh" % (len(body) // 2), body))
        pos += 8 + size + (size & 1)
    raise AssertionError("no data chunk in " + path)


def model_sound(tts, voice, text, tempo, pitch, volume, separation, tmp):
    samples = []
    for word, pclass in model_words(text):
        expanded = run([tts, "expand", word]).decode("utf-8")[:-1]
        units = run([tts, "units", "--voice", voice, "--pause-class", str(pclass),
                     expanded]).decode("utf-8")[:-1]
        units = pause_units(units, pclass, tempo, separation)
        if units == "":
            continue
        raw = os.path.join(tmp, "word.raw")
        run([tts, "synth", "--voice", voice, "--tempo", str(tempo), "--pitch", str(pitch),
             "--volume", str(volume), units, "-o", raw])
        samples += read_raw(raw)
    return samples


WORD_TEXTS = [
    "Ahoj světe", "Ahoj", " ahoj", "(ahoj)", "Kde? Tady.", "ahoj?", "v domě", "12 domů",
    "a-b c", "x\ty z", "Kde je, to-tam: ano.", "?? konec", "  , . ", "\"uvozovky\" + plus! konec",
    "a\r\nbc de", "v 3 ku", "na 12. místě", "ab", "1", ",", "jedna  dvě   tři",
    "slovo " * 5500, "x" * 32766 + ". dalsi", "y" * 40000,
]

SOUND_CASES = [
    # text, tempo, pitch, volume, separation
    ("Ahoj světe, jak se máš? Dobře: 12 domů.", 0, 0, 10, 0),
    ("Ahoj světe, jak se máš? Dobře: 12 domů.", 10, 4, 14, 0),
    ("Ahoj světe, jak se máš? Dobře: 12 domů.", -10, -8, 7, 3),
    ("v domě je 3x více - lidí, než (včera) bylo!", 4, 0, 20, 2),
    ("Třetí řádek.\nČtvrtý řádek, s čárkou", 25, 0, 10, 0),
    ("ticho", 0, 0, 0, 0),
]


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    tts, say = sys.argv[1], sys.argv[2]
    failures = 0
    for text in WORD_TEXTS:
        expected, got = model_words(text), tool_words(tts, text)
        if expected != got:
            failures += 1
            print("words differ for %r:\n  model %r\n  tool  %r" % (text[:60], expected[:8], got[:8]))
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "voice")
        run([sys.executable, os.path.join(HERE, "make_test_voice.py"), folder, "zuvan"])
        voice = os.path.join(folder, "zuvan")
        nodict = os.path.join(tmp, "none.def")  # the voice has no dictionary: text lower-cased
        open(nodict, "wb").close()
        for text, tempo, pitch, volume, separation in SOUND_CASES:
            routed = run([tts, "dict", nodict, text]).decode("utf-8")[:-1]
            expected = model_sound(tts, voice, routed, tempo, pitch, volume, separation, tmp)
            out = os.path.join(tmp, "say.wav")
            run([say, "--folder", folder, "--tempo", str(tempo), "--pitch", str(pitch),
                 "--volume", str(volume), "--separation", str(separation), "--out", out, text])
            got = read_wav(out)
            if got != expected:
                failures += 1
                first = next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b),
                             min(len(got), len(expected)))
                print("sound differs for %r (tempo %d): %d samples, model %d, first difference at %d"
                      % (text, tempo, len(got), len(expected), first))
            elif volume != 0 and not any(got):
                failures += 1
                print("sound of %r is silent" % text)
    print("loop model: %d word texts, %d sound cases, %d failures"
          % (len(WORD_TEXTS), len(SOUND_CASES), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
