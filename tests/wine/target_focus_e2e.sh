#!/usr/bin/env bash
# End to end under Wine: Quellon.exe beside the test target, which raises its events through the
# system. Each focus move is heard as the engine's rendering of the exact sentence the focus tick
# builds (compared sample for sample): a check box, a radio button and an item of the target's
# own accessible list inside the same window, and a message box of the target. Wine's MSAA gives standard buttons the client role (10), not the
# push-button role, so the message box is announced with its title and the button's name but
# without its dialog text (which the tick adds for push buttons only), and no role cue plays
# (the cues carry the Czech role names, Wine's role texts are English).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: target_focus_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
say=${2:?usage: target_focus_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
target=${3:?usage: target_focus_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/focus"
quellon_speaking_folder "$prog" "$dist" "$quellon"

e2e_start_target "$target"
pid=$(wine_start "$prog/Quellon.exe")
for ((i = 0; i < 400; i++)); do
  [ "$(audio_size)" -gt 0 ] && break
  sleep 0.01
done
wait_quiet 2 || true

fail=0
# check NAME COMMAND SENTENCE: runs the target command, waits for the speech to end and compares.
check() {
  local name=$1 command=$2 sentence=$3
  : >"$WINE_AUDIO_FILE"
  printf '%s\n' "$command" >>"$E2E_DIR/commands.txt"
  local i
  for ((i = 0; i < 200; i++)); do
    [ "$(audio_size)" -gt 0 ] && break
    sleep 0.05
  done
  wait_quiet 1 || true
  cp "$WINE_AUDIO_FILE" "$prog/$name.raw"
  printf '%s' "$sentence" | wine_run "$say" --folder "$(wine_path "$prog")" \
    --out "$(wine_path "$prog")\\$name.wav" >/dev/null 2>&1
  if ! python3 "$here/compare_audio.py" "$prog/$name.raw" "$prog/$name.wav" "$name"; then
    fail=1
    [ -n "${QUELLON_KEEP_AUDIO:-}" ] && cp "$prog/$name.raw" "$QUELLON_KEEP_AUDIO"/ || true
  fi
}
check checkbox "focus check" ' Zapnout zvuk '
check radio "focus radio2" ' Velké '
check listitem "custom 1" ' Hruška '
check msgbox "msgbox Soubor nenalezen" 'Zpráva  OK '

timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
e2e_stop_target
[ $fail -eq 0 ] && echo "PASS: every focus move was heard as its sentence"
exit $fail
