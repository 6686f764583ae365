#!/usr/bin/env python3
"""Event-to-Say latency from two logs stamped with the same performance counter.

usage: event_latency.py MOVES.txt SAY.log

MOVES.txt (the test target): "frequency F", then "N TICKS" per focus move to the object named
"Položka N". SAY.log (Quellon.exe): "frequency F", then "TICKS TEXT" per Say. Each move is matched
with the first Say after it whose text names its number. Prints one line per move and
"event-to-say: n=N median=M ms p90=P ms min=A ms max=B ms missed=K".
"""
import re
import statistics
import sys


def read_log(path):
    frequency, rows = None, []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("frequency "):
                frequency = int(line.split()[1])
            elif line:
                first, _, rest = line.partition(" ")
                rows.append((first, rest))
    if not frequency:
        sys.exit("FAIL: %s has no frequency line" % path)
    return frequency, rows


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    move_freq, moves = read_log(sys.argv[1])
    say_freq, says = read_log(sys.argv[2])
    if move_freq != say_freq:
        sys.exit("FAIL: the two programs' counters differ (%d, %d)" % (move_freq, say_freq))
    says = [(int(t), text) for t, text in says]
    times, missed = [], 0
    for number, ticks in moves:
        at = int(ticks)
        pattern = re.compile(r"\b%s\b" % re.escape(number))
        said = next((t for t, text in says if t >= at and pattern.search(text)), None)
        if said is None:
            missed += 1
            print("move %s: not said" % number)
            continue
        ms = (said - at) * 1000.0 / move_freq
        times.append(ms)
        print("move %s: %.2f ms" % (number, ms))
    if not times:
        print("event-to-say: n=0 missed=%d" % missed)
        return 1
    ordered = sorted(times)
    p90 = ordered[min(len(ordered) - 1, int(round(0.9 * (len(ordered) - 1))))]
    print("event-to-say: n=%d median=%.2f ms p90=%.2f ms min=%.2f ms max=%.2f ms missed=%d"
          % (len(times), statistics.median(times), p90, ordered[0], ordered[-1], missed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
