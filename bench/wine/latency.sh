#!/usr/bin/env bash
# Key-to-sound latency of Quellon.exe under Wine, with the floor measured in the same run.
#
#   bench/wine/latency.sh [COUNT]       (after ./quellon.sh build; COUNT actions each, default 50)
#
# On one headless Wine session, with the sound captured by the ALSA file route (the first sample
# of each answer is timed as it reaches the route):
#   floor   quellon-click.exe plays a click from its own low-level hook on each key press
#   echo    a letter typed into Wine's Notepad, to the first sample of its echo
#   caret   Left, Left, Right in Notepad (over the letters typed), to the first sample of the
#           character read
#   focus   Tab and Shift+Tab between two of the test target's controls, to the first sample of
#           the role's cue
# Prints every action and, per kind, the median and the 90th percentile (bench/wine/latency.py).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
count=${1:-50}
win=$root/build/windows
quellon=$win/app/win32/Quellon.exe
click=$win/tests/wine/floor/quellon-click.exe
target=$win/tests/wine/target/quellon-target.exe
dist=${QUELLON_DIST:-$root/dist}
for f in "$quellon" "$click" "$target" "$dist/zuvan.vce"; do
  [ -f "$f" ] || { echo "latency: $f is missing (run ./quellon.sh build first)" >&2; exit 1; }
done
export QUELLON_WINE_GUI_ROOT=$root/build/wine-latency
source "$root/tests/wine/session.sh"
source "$root/tests/wine/e2e.sh"
wine_session_start
measure() { python3 "$here/latency.py" "$WINE_AUDIO_FILE" "$@" | tee -a "$WINE_SESSION_ROOT/run/latency.txt"; }

# The floor: nothing but the click program.
wine_start "$click" >/dev/null
sleep 2
measure floor "$count" shift
timeout 30 wine taskkill /im quellon-click.exe /f >/dev/null 2>&1 || true
sleep 1

# Quellon with its cues, beside Notepad.
prog="$WINE_SESSION_ROOT/run/latency"
quellon_speaking_folder "$prog" "$dist" "$quellon"
cp -r "$dist/snd" "$prog/"
wine_start notepad.exe >/dev/null
wait_window "Notepad$" || exit 1
wine_start "$prog/Quellon.exe" >/dev/null
sleep 3
measure echo "$count" a s d f g h j k l
measure caret "$count" Left Left Right
timeout 30 wine taskkill /im notepad.exe /f >/dev/null 2>&1 || true
sleep 1

# Focus moves between the target's controls.
e2e_start_target "$target"
printf 'focus check\n' >>"$E2E_DIR/commands.txt"
sleep 2
measure focus "$count" Tab shift+Tab

echo
grep -E '^[a-z]+: n=' "$WINE_SESSION_ROOT/run/latency.txt"
e2e_stop_target
