#!/usr/bin/env python3
"""Compares audio captured from a Windows program under Wine with the program's own rendering.

usage: compare_audio.py [--last [--cut CUT.wav]] CAPTURED.raw EXPECTED.wav [MORE.wav ...] LABEL

CAPTURED is raw s16le as the ALSA file route wrote it, EXPECTED a RIFF WAVE file (several are
expected one after the other, as a sound cue and then the speech that follows it). Every rendered
sample must appear in the capture, bit for bit and in order, with nothing else around or between
them but silence. Silence between them is allowed because the file route plays faster than real
time: when the program's next block arrives after the device has run dry (which on a real device
would not happen), Wine fills the gap with zero samples. Such runs are counted and reported; any
non-zero sample that is not the next rendered one fails the comparison.

With --last, other sound may come first (speech that the expected sound cut off): the rendered
samples must be the last sound of the capture. With --cut as well, the sound before them must be
the beginning of CUT (at least 256 of its samples, bit for bit, which no other sound matches by
chance; silence allowed between them): the speech that the expected sound cut off, and which.
"""
import struct
import sys


def wav_samples(path):
    wav = open(path, "rb").read()
    if wav[:4] != b"RIFF" or wav[8:12] != b"WAVE":
        sys.exit("FAIL: %s is not a WAV file" % path)
    pos = 12
    while wav[pos:pos + 4] != b"data":
        if pos + 8 > len(wav):
            sys.exit("FAIL: %s has no data chunk" % path)
        pos += 8 + struct.unpack("<I", wav[pos + 4:pos + 8])[0]
    size = struct.unpack("<I", wav[pos + 4:pos + 8])[0]
    return struct.unpack("<%dh" % (size // 2), wav[pos + 8:pos + 8 + size])


def match(got, out, j):
    """Matches out against got from j; returns (end, padding, runs) or a failure text."""
    i = 0
    padding = runs = 0
    while i < len(out):
        if j >= len(got):
            return "the capture ends after %d of %d rendered samples" % (i, len(out))
        if got[j] == out[i]:
            i += 1
            j += 1
        elif got[j] == 0:
            start = j
            while j < len(got) and got[j] == 0 and got[j] != out[i]:
                j += 1
            padding += j - start
            runs += 1
        else:
            return "captured sample %d is %d where rendered sample %d is %d" % (j, got[j], i, out[i])
    if any(got[j:]):
        return "sound after the rendered samples"
    return j, padding, runs


def cut_off(before, cut):
    """None when the sound BEFORE is the beginning of CUT, else a failure text."""
    end = len(before)
    while end > 0 and before[end - 1] == 0:
        end -= 1
    i = j = 0
    while j < end:
        if i < len(cut) and before[j] == cut[i]:
            i += 1
            j += 1
        elif before[j] == 0:
            j += 1
        else:
            return "the sound before it is not the beginning of the cut speech (sample %d)" % j
    if i < 256:
        return "only %d samples of the cut speech came before it" % i
    return None


def main():
    args = sys.argv[1:]
    last = bool(args) and args[0] == "--last"
    if last:
        args = args[1:]
    cut = None
    if last and len(args) > 1 and args[0] == "--cut":
        cut = wav_samples(args[1])
        args = args[2:]
    if len(args) < 3:
        sys.exit(__doc__)
    captured, expected, label = args[0], args[1:-1], args[-1]
    raw = open(captured, "rb").read()
    got = struct.unpack("<%dh" % (len(raw) // 2), raw[: len(raw) // 2 * 2])
    out = ()
    for path in expected:
        out += wav_samples(path)
    if not any(out) or not any(got):
        sys.exit("FAIL: %s: silence (captured %d samples, rendered %d)" % (label, len(got), len(out)))
    starts = [0]
    if last:
        first = next(x for x in out if x)
        lead = out.index(first)
        starts = [j - lead for j in range(len(got) - 1, lead - 1, -1) if got[j] == first]
    result = "no place in the capture where the rendered sound begins"
    matched = 0
    for start in starts:
        result = match(got, out, start)
        if not isinstance(result, str):
            matched = start
            break
    if isinstance(result, str):
        sys.exit("FAIL: %s: %s" % (label, result))
    end, padding, runs = result
    if cut is not None:
        failure = cut_off(got[:matched], cut)
        if failure:
            sys.exit("FAIL: %s: %s" % (label, failure))
    print("PASS: %s: all %d rendered samples played bit for bit (%d silent samples in %d runs "
          "around them)%s" % (label, len(out), padding + len(got) - end, runs,
                              ", after %d samples of other sound" % matched if last else ""))


if __name__ == "__main__":
    main()
