#!/usr/bin/env bash
# End to end under Wine on the fallback keyboard path: Quellon.exe started with the low-level
# hook refused (QUELLON_REFUSE_KEYBOARD_HOOK=1) falls back to the polling hook library, whose key
# messages drive the same echo and caret reading in Wine's Notepad, with nothing swallowed. Each
# key is held 80 ms (the library looks every 20 ms) and heard as the engine's rendering of what
# the screen reader says for it, compared sample for sample. Delete and Backspace are left out: the
# library sees a key only after the program has had it, so it reads what is left after the
# deletion, not what was deleted.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: fallback_typing_e2e.sh Quellon.exe quellon-say.exe}
say=${2:?usage: fallback_typing_e2e.sh Quellon.exe quellon-say.exe}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
wine_session_start

prog="$WINE_SESSION_ROOT/run/fallback"
quellon_speaking_folder "$prog" "$dist" "$quellon"

fail=0
step() {  # step NAME SENTENCE: compares what was heard since the last step
  local name=$1 sentence=$2
  wait_sound || true
  wait_quiet 1 || true
  cp "$WINE_AUDIO_FILE" "$prog/$name.raw"
  printf '%s' "$sentence" | wine_run "$say" --folder "$(wine_path "$prog")" \
    --out "$(wine_path "$prog")\\$name.wav" >/dev/null 2>&1
  python3 "$here/compare_audio.py" "$prog/$name.raw" "$prog/$name.wav" "$name" || fail=1
  : >"$WINE_AUDIO_FILE"
}
hold() {  # hold [MODIFIER...] KEY: each key down for 80 ms
  local key=${*: -1} mods=("${@:1:$#-1}") m
  for m in "${mods[@]}"; do timeout 10 xdotool keydown "$m"; sleep 0.08; done
  timeout 10 xdotool keydown "$key"
  sleep 0.08
  timeout 10 xdotool keyup "$key"
  sleep 0.08
  for m in "${mods[@]}"; do timeout 10 xdotool keyup "$m"; sleep 0.08; done
}

np=$(wine_start notepad.exe)
wait_window "Notepad$" || { echo "FAIL: Notepad did not show its window"; exit 1; }
pid=$(QUELLON_REFUSE_KEYBOARD_HOOK=1 wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"

hold a
step a 'a'
hold b
step b 'bé'
hold shift c
step capital 'cé velké'
hold Left
step left 'cé velké'
hold Left
step left-2 'bé'
hold ctrl Home
: >"$WINE_AUDIO_FILE"
hold Right
step right 'bé'

# Still running? (A silent key above is then not Quellon's ending.)
if ! kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: Quellon.exe is no longer running"
  fail=1
fi
timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
timeout 30 wine taskkill /im notepad.exe >/dev/null 2>&1 || true
wait "$np" 2>/dev/null || true
[ $fail -eq 0 ] && echo "PASS: the fallback path echoed and read every key"
exit $fail
