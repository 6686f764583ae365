#!/usr/bin/env bash
# End to end under Wine with real keyboard input (xdotool): Quellon.exe beside the test target
# and beside Wine's own Notepad. Each key is heard as the engine's rendering of exactly what the
# echo, the caret readers and the command keys say for it (compared sample for sample): typed
# letters and a space by their names, Left and Right by the character they move onto, Ctrl+Right
# by the word, Backspace and Delete by what they remove, Shift+Right by the selection, Up and
# Down by the whole line, Caps Lock on and off, Ctrl+Shift+T the time. The speaking
# folder has no cue files, so only speech is compared; the cues' order is checked on the
# simulated desktop.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: typing_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
say=${2:?usage: typing_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
target=${3:?usage: typing_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/typing"
quellon_speaking_folder "$prog" "$dist" "$quellon"


fail=0
# step NAME SENTENCE [ALTERNATIVE...]: the keys have just been sent; waits for the speech to end
# and compares it with the render of SENTENCE (or of one of the alternatives).
step() {
  local name=$1
  shift
  wait_sound || true
  wait_quiet 1 || true
  cp "$WINE_AUDIO_FILE" "$prog/$name.raw"
  local n=0 sentence report
  for sentence in "$@"; do
    n=$((n + 1))
    printf '%s' "$sentence" | wine_run "$say" --folder "$(wine_path "$prog")" \
      --out "$(wine_path "$prog")\\$name-$n.wav" >/dev/null 2>&1
    if report=$(python3 "$here/compare_audio.py" "$prog/$name.raw" "$prog/$name-$n.wav" "$name" 2>&1); then
      echo "$report"
      : >"$WINE_AUDIO_FILE"
      return 0
    fi
  done
  echo "$report"
  [ -n "${QUELLON_KEEP_AUDIO:-}" ] && cp "$prog/$name.raw" "$prog/$name"-*.wav "$QUELLON_KEEP_AUDIO"/
  fail=1
  : >"$WINE_AUDIO_FILE"
}
keys() { timeout 30 xdotool key --delay 120 "$@"; }
target_command() { printf '%s\n' "$1" >>"$E2E_DIR/commands.txt"; }

e2e_start_target "$target"
target_command "settext edit ahoj svete"
target_command "focus edit"
pid=$(wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"

# The target's edit, focused before Quellon started, caret at 0.
keys Right
step right-1 'há'
keys Right
step right-2 'o'
chord ctrl Right
step ctrl-right 'svete'
keys Left
step left 'Mezera'
keys BackSpace
step backspace 'jé'
keys Delete
step delete 'Mezera'
keys x
step typed-x 'iks'
keys space
step typed-space 'Mezera'
chord shift b
step typed-capital 'bé velké'

# Caps Lock on, then off.
keys Caps_Lock
step caps-on 'velká zapnuto'
keys Caps_Lock
step caps-off 'velká vypnuto'

# The time: this minute or the next.
days=(neděle pondělí úterý středa čtvrtek pátek sobota)
months=(leden únor březen duben květen červen červenec srpen září říjen listopad prosinec)
spoken_time() {  # the sentence for `date -d "$1"`
  local h m w d mo y
  read -r h m w d mo y < <(date -d "$1" '+%-H %-M %w %-d %-m %Y')
  printf '%s hodin, %s minut, %s, %s.%s %s' "$h" "$m" "${days[$w]}" "$d" "${months[$((mo - 1))]}" "$y"
}
now=$(spoken_time now)
chord ctrl shift t
step time "$now" "$(spoken_time '+1 minute')"

# Wine's own Notepad: the echo and the caret readers on a control we did not write.
np=$(wine_start notepad.exe)
wait_sound || true
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"
keys a
step notepad-a 'a'
keys b
step notepad-b 'bé'
keys Left
step notepad-left 'bé'
keys Left
step notepad-left-2 'a'
keys Right
step notepad-right 'bé'
keys BackSpace
step notepad-backspace 'a'
# Lines: Up and Down read the whole line; Shift+Right speaks the selection.
keys End Return
: >"$WINE_AUDIO_FILE"
keys c d
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"
keys Up
step notepad-up 'bé'  # Backspace above removed the a
keys Down
step notepad-down 'cd'
keys Home
chord shift Right
step notepad-select 'cé'
timeout 30 wine taskkill /im notepad.exe >/dev/null 2>&1 || true
wait "$np" 2>/dev/null || true

timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
e2e_stop_target
[ $fail -eq 0 ] && echo "PASS: every key was heard as what the screen reader says for it"
exit $fail
