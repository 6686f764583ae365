#!/usr/bin/env bash
# End to end under Wine with a client that is not ours: Wine's own Notepad, started while
# Quellon.exe runs, must be announced with its title. Notepad focuses its edit box before it shows
# its window and Wine raises no foreground event, so this is heard only when the event library
# holds the early focus event and names the new active window itself. The captured sound is
# compared with quellon-say's render of the sentence the focus tick builds. Repeated RUNS times.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: notepad_e2e.sh Quellon.exe quellon-say.exe}
say=${2:?usage: notepad_e2e.sh Quellon.exe quellon-say.exe}
runs=${QUELLON_NOTEPAD_RUNS:-10}
dist=${QUELLON_DIST:-$here/../../dist}
for f in zuvan.idx zuvan.vce zuvan.def; do
  if [ ! -f "$dist/$f" ]; then
    echo "FAIL: the program folder $dist has no $f; build it first (./quellon.sh test does)"
    exit 1
  fi
done
source "$here/session.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/notepad"
quellon_speaking_folder "$prog" "$dist" "$quellon"


# Each Say is logged, so that a start met with silence tells whether Quellon said nothing or its
# speech did not reach the sound device.
saylog="$prog/say.log"
pid=$(QUELLON_TEST_SAY_LOG="$(wine_path "$prog")\\say.log" wine_start "$prog/Quellon.exe")
wait_sound 0 || true  # the startup announcement (whatever is active), if any
wait_quiet 2 || true

# The sentence of the focus tick for Notepad's edit box: the window title, then the box's
# (empty) name and value.
sentence='Untitled - Notepad  '
printf '%s' "$sentence" | wine_run "$say" --folder "$(wine_path "$prog")" \
  --out "$(wine_path "$prog")\\expected.wav" >/dev/null 2>&1

fail=0
heard=0
for ((n = 1; n <= runs; n++)); do
  : >"$WINE_AUDIO_FILE"
  said_before=$(wc -l <"$saylog" 2>/dev/null || echo 0)
  np=$(wine_start notepad.exe)
  if ! wait_sound 0; then
    echo "FAIL: run $n: Notepad's start was met with silence"
    kill -0 "$pid" 2>/dev/null && echo "  Quellon.exe still runs" || echo "  Quellon.exe has ended"
    if window_shown Notepad; then
      echo "  Notepad's window is shown"
    else
      echo "  Notepad's window is not shown"
    fi
    echo "  Quellon said meanwhile (counter and text of each Say):"
    tail -n +$((said_before + 1)) "$saylog" 2>/dev/null | sed 's/^/    /'
    fail=1
  else
    wait_quiet 1 || true
    cp "$WINE_AUDIO_FILE" "$prog/notepad-$n.raw"
    if python3 "$here/compare_audio.py" "$prog/notepad-$n.raw" "$prog/expected.wav" \
      "Notepad start $n" >"$prog/compare-$n.txt" 2>&1; then
      heard=$((heard + 1))
    else
      cat "$prog/compare-$n.txt"
      [ -n "${QUELLON_KEEP_AUDIO:-}" ] && cp "$prog/notepad-$n.raw" "$prog/expected.wav" \
        "$QUELLON_KEEP_AUDIO"/
      fail=1
    fi
  fi
  timeout 30 wine taskkill /im notepad.exe >/dev/null 2>&1 || true
  wait "$np" 2>/dev/null || true
  wait_quiet 1 || true
done
echo "Notepad's title heard on $heard of $runs starts"
timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
[ $fail -eq 0 ] && echo "PASS: Notepad announced with its title every time"
exit $fail
