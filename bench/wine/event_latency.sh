#!/usr/bin/env bash
# Event-to-speech latency of Quellon.exe under Wine: the time from the test target's
# NotifyWinEvent (a focus move to one of its objects) to Quellon's Say of the announcement.
#
#   bench/wine/event_latency.sh [COUNT]   (after ./quellon.sh build; COUNT moves, default 60)
#
# The target stamps each move with QueryPerformanceCounter just before it raises the event;
# Quellon.exe, started with QUELLON_TEST_SAY_LOG, stamps each Say with the same counter. The
# program folder has no sound cues, so nothing plays between the event and Say. Moves are 250 ms
# apart, each one announced on its own. Prints every move and the median and 90th percentile
# (bench/wine/event_latency.py).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
count=${1:-60}
win=$root/build/windows
quellon=$win/app/win32/Quellon.exe
target=$win/tests/wine/target/quellon-target.exe
dist=${QUELLON_DIST:-$root/dist}
for f in "$quellon" "$target" "$dist/zuvan.vce"; do
  [ -f "$f" ] || { echo "event_latency: $f is missing (run ./quellon.sh build first)" >&2; exit 1; }
done
export QUELLON_WINE_GUI_ROOT=$root/build/wine-latency
source "$root/tests/wine/session.sh"
source "$root/tests/wine/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/event-latency"
quellon_speaking_folder "$prog" "$dist" "$quellon"
e2e_start_target "$target"
QUELLON_TEST_SAY_LOG="$(wine_path "$prog")\\say.log" wine_start "$prog/Quellon.exe" >/dev/null
wait_sound || { echo "event_latency: Quellon.exe said nothing at its start" >&2; exit 1; }
wait_quiet 1 || true

printf 'moves %d 250\n' "$count" >>"$E2E_DIR/commands.txt"
for ((i = 0; i < count * 10 + 200; i++)); do
  [ -f "$E2E_DIR/moves.txt" ] && [ "$(wc -l <"$E2E_DIR/moves.txt")" -gt "$count" ] && break
  sleep 0.05
done
sleep 1
python3 "$here/event_latency.py" "$E2E_DIR/moves.txt" "$prog/say.log"
e2e_stop_target
