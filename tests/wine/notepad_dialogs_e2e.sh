#!/usr/bin/env bash
# End to end under Wine with Wine's own Notepad and its dialogs, driven with real keys while
# Quellon.exe runs. Wine raises one focus event for a dialog and another for its first control a
# few milliseconds later, with no foreground event; the user must hear one announcement with the
# dialog's title and the control, not the title cut off by the control. Each answer is compared,
# sample for sample, with quellon-say's render of the sentence the focus tick builds:
#   Ctrl+F          the Find dialog: its title, then its edit box, named by its label
#   Tab, Tab        the dialog's next controls (Wine's standard objects: client role, no title)
#   Escape          back in Notepad: its title and the edit box
#   typing "ab"     the letters echoed
#   Alt+H, A        the About box from the menu: its title and its button (Wine names no
#                   foreground window while the box becomes active; the echo of "a", cut off by
#                   the box, comes first), then Escape back in Notepad: its title and the text
#   Alt+F4          Notepad asks whether to save: the box's title and its focused button
#   Tab             the next button
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: notepad_dialogs_e2e.sh Quellon.exe quellon-say.exe}
say=${2:?usage: notepad_dialogs_e2e.sh Quellon.exe quellon-say.exe}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
wine_session_start

prog="$WINE_SESSION_ROOT/run/notepad-dialogs"
quellon_speaking_folder "$prog" "$dist" "$quellon"
np=$(wine_start notepad.exe)
wait_window "Notepad$" || { echo "FAIL: Notepad did not show its window"; exit 1; }
pid=$(wine_start "$prog/Quellon.exe")
wait_sound || { echo "FAIL: Quellon.exe said nothing at its start"; exit 1; }
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"

fail=0
step() {
  local name=$1
  shift
  heard_as "$name" "$say" "$prog" "$@" || fail=1
}
chord ctrl f
step find 'Find Find what: '
timeout 10 xdotool key Tab
step find-tab ' Match case '
timeout 10 xdotool key Tab
step find-tab2 ' Down '
timeout 10 xdotool key Escape
step back 'Untitled - Notepad  '
timeout 10 xdotool key a
step echo-a 'a'
timeout 10 xdotool key b
step echo-b 'bé'
chord alt h
step echo-alt-h 'há'
timeout 10 xdotool key a
# The menu letter is echoed when its key is released. Notepad opens the box on the press, and
# under Wine the release reaches the hook only once Notepad reads its input again, in the box's
# own loop: usually before the box is announced (the echo, then the whole announcement), on a
# loaded machine after it (the beginning of the announcement, cut off by the echo).
wait_sound || true
wait_quiet 1 || true
cp "$WINE_AUDIO_FILE" "$prog/about.raw"
: >"$WINE_AUDIO_FILE"
if whole=$(HEARD_LAST=1 compare_with_render "$say" "$prog" "$prog/about.raw" about \
  'About Notepad OK ' 2>&1); then
  echo "$whole"
elif cp "$prog/about.raw" "$prog/about-cut.raw" &&
  report=$(HEARD_LAST=1 HEARD_CUT="$prog/expected-about.wav" compare_with_render "$say" "$prog" \
    "$prog/about-cut.raw" about-cut-by-echo 'a' 2>&1); then
  echo "$report"
else
  printf '%s\n%s\n' "$whole" "$report"
  fail=1
fi
timeout 10 xdotool key Escape
step about-back 'Untitled - Notepad  ab'
chord alt F4
step save-prompt 'Notepad Yes '
timeout 10 xdotool key Tab
step save-prompt-tab ' No '

timeout 30 wine taskkill /im notepad.exe /f >/dev/null 2>&1 || true
wait "$np" 2>/dev/null || true
timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
[ $fail -eq 0 ] && echo "PASS: Notepad's dialogs were heard as their sentences"
exit $fail
