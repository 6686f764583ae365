#!/usr/bin/env python3
"""Key-to-sound latency under Wine, measured on the captured audio.

usage: latency.py AUDIO.raw LABEL COUNT KEY [KEY...]

Presses the keys in turn (xdotool, one per action, cycling through the list) COUNT times. For each
press it notes the time just before xdotool is started and the moment the first non-zero sample
after it appears in AUDIO.raw (raw s16le, appended to by the audio route as the program plays),
then waits until no non-zero sample has come for 400 ms. Prints one line per action and, at the
end, "LABEL: n=N median=M ms p90=P ms min=A ms max=B ms missed=K" (an action that brought no
sound within 3 s counts as missed).
"""
import os
import statistics
import subprocess
import sys
import time


def has_sound(data):
    """True when a sample in data (s16le bytes) is not zero (any byte that is not zero)."""
    return data.strip(b"\x00") != b""


class Capture:
    def __init__(self, path):
        self.path = path
        self.offset = os.path.getsize(path)
        self.offset -= self.offset % 2

    def new_bytes(self):
        size = os.path.getsize(self.path)
        if size < self.offset:  # emptied by someone: start again at its end
            self.offset = size - size % 2
            return b""
        if size - self.offset < 2:
            return b""
        with open(self.path, "rb") as f:
            f.seek(self.offset)
            data = f.read((size - self.offset) // 2 * 2)
        self.offset += len(data)
        return data

    def wait_quiet(self, quiet=0.4, limit=20.0):
        start = last = time.monotonic()
        while time.monotonic() - last < quiet and time.monotonic() - start < limit:
            if has_sound(self.new_bytes()):
                last = time.monotonic()
            time.sleep(0.01)


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    path, label, count, keys = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4:]
    cap = Capture(path)
    cap.wait_quiet()
    times, missed = [], 0
    for n in range(count):
        key = keys[n % len(keys)]
        cap.new_bytes()
        t0 = time.monotonic()
        subprocess.run(["xdotool", "key", key], check=False, timeout=10)
        heard = None
        while time.monotonic() - t0 < 3.0:
            if has_sound(cap.new_bytes()):
                heard = (time.monotonic() - t0) * 1000.0
                break
            time.sleep(0.001)
        if heard is None:
            missed += 1
            print("%s %d %s: no sound" % (label, n + 1, key))
        else:
            times.append(heard)
            print("%s %d %s: %.1f ms" % (label, n + 1, key, heard))
        cap.wait_quiet()
    if times:
        ordered = sorted(times)
        p90 = ordered[min(len(ordered) - 1, int(round(0.9 * (len(ordered) - 1))))]
        print("%s: n=%d median=%.1f ms p90=%.1f ms min=%.1f ms max=%.1f ms missed=%d"
              % (label, len(times), statistics.median(times), p90, ordered[0], ordered[-1], missed))
    else:
        print("%s: n=0 missed=%d" % (label, missed))


if __name__ == "__main__":
    main()
