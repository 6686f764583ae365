#!/usr/bin/env bash
# End to end under Wine with real keys (xdotool): Quellon.exe beside the test target's web page,
# whose own document answers WM_HTML_GETOBJECT (there is no HTML control under Wine). Each caret
# key is heard as the engine's rendering of what the web reader says for it (compared sample for
# sample): Ctrl+Right the word, Right the character, Down the text area's line within its width,
# Up the page's line, Backspace the character remembered from the last move. Then beside the
# target's DirectUI view (its text only in its accessible object's value): the caret placed by
# the test, Right the character, Ctrl+Right the word and Up the line found from the caret's
# place and the width table. The speaking folder
# has no cue files, so only speech is compared; the cues' order is checked on the simulated
# desktop.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: web_reading_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
say=${2:?usage: web_reading_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
target=${3:?usage: web_reading_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/web"
quellon_speaking_folder "$prog" "$dist" "$quellon"

fail=0
step() {
  local name=$1
  shift
  heard_as "$name" "$say" "$prog" "$@" || fail=1
}
keys() { timeout 30 xdotool key --delay 120 "$@"; }
target_command() { printf '%s\n' "$1" >>"$E2E_DIR/commands.txt"; }

e2e_start_target "$target"
pid=$(wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true
target_command "webpage"
wine_wait_file "$E2E_DIR/webpage.txt" 30 || { echo "FAIL: the target did not open its page"; exit 1; }
wait_sound || true  # the page's focus announcement
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"

# The page: "Dobrý den, vítejte" above a text area 12 cells wide holding "Druhý řádek stránky".
chord ctrl Right
step web-ctrl-right 'den, '
keys Right
step web-right 'e'
keys Down
step web-down 'Druhý řádek '
keys Up
step web-up 'Dobrý den, vítejte'
keys BackSpace
step web-backspace 'dé'

# The DirectUI view: "Soubor", "Úpravy zobrazit", "Konec". The caret is put 39 pixels into the
# second line (after "Úpravy " by the width table) before the key is pressed.
dui_caret() {
  rm -f "$E2E_DIR/duicaret.txt"
  target_command "duicaret $1 $2"
  wine_wait_file "$E2E_DIR/duicaret.txt" 30 || echo "FAIL: the target did not place the caret"
}
target_command "directui"
wine_wait_file "$E2E_DIR/directui.txt" 30 || { echo "FAIL: the target did not open its view"; exit 1; }
wait_sound || true  # the view's focus announcement
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"
dui_caret 39 1
keys Right
step dui-right 'zet'
chord ctrl Right
step dui-ctrl-right 'zobrazit'
keys Up
step dui-up 'Úpravy zobrazit'
dui_caret 0 2
keys Down
step dui-down 'Konec'

timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
e2e_stop_target
[ $fail -eq 0 ] && echo "PASS: every caret key in the page and the view was heard as what the readers say"
exit $fail
