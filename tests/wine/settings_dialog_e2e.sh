#!/usr/bin/env bash
# End to end under Wine with real keyboard input: the settings dialog opened from Quellon's menu
# (Ctrl+Shift+F12 brings the main window to the front, Alt+P opens "Program", Enter chooses
# "Nastavení..."). The dialog shows its Czech captions and every control's accessible name is its
# label; Tab reaches the volume slider, Right moves it by one step and the new value is heard
# (sample for sample the engine's rendering at the new volume); Enter is OK and writes the values
# to qlnd.ini; the dialog opened again shows the stored value, Escape is Cancel and stores nothing.
# A screenshot of the open dialog is kept in QUELLON_KEEP_SHOT when that names a folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: settings_dialog_e2e.sh Quellon.exe quellon-say.exe quellon-probe.exe"
quellon=${1:?$usage}
say=${2:?$usage}
probe=${3:?$usage}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
wine_session_start

prog="$WINE_SESSION_ROOT/run/settings"
quellon_speaking_folder "$prog" "$dist" "$quellon"

fail=0
failed() {
  echo "FAIL: $*"
  fail=1
}
key() { timeout 10 xdotool key "$1"; }
visible_dialog() { xdotool search --onlyvisible --name '^Nastavení$' 2>/dev/null | head -1; }
# wait_dialog yes|no: waits up to five seconds for the dialog to be shown (or gone).
wait_dialog() {
  local i
  for i in $(seq 1 50); do
    if [ "$1" = yes ]; then [ -n "$(visible_dialog)" ] && return 0; fi
    if [ "$1" = no ]; then [ -z "$(visible_dialog)" ] && return 0; fi
    sleep 0.1
  done
  return 1
}
open_dialog() {
  chord ctrl shift F12
  sleep 1
  chord alt p
  sleep 0.5
  key Return
  wait_dialog yes
}
# The value of KEY in section [Voice] of the program's qlnd.ini.
voice_value() {
  tr -d '\r' <"$prog/qlnd.ini" | awk -v k="$1" '
    /^\[/ { voice = ($0 == "[Voice]") }
    voice && index($0, k "=") == 1 { print substr($0, length(k) + 2) }'
}

pid=$(wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true

if ! open_dialog; then
  failed "the menu did not open the settings dialog"
  wine_session_stop
  exit 1
fi
echo "ok: Alt+P, Enter showed the settings dialog"
wait_quiet 2 || true

# What the dialog's own windows and their accessible objects say.
controls=$(wine_run "$probe" dialogs 2>/dev/null | tr -d '\r' || true)
grep -q "^dialog	Nastavení	" <<<"$controls" || failed "no dialog titled Nastavení: $controls"
for caption in "Hlasy:" "Hlasitost:" "Tempo:" "Výška:"; do
  grep -q "^control	Static	$caption	" <<<"$controls" || failed "no label \"$caption\""
done
for caption in OK Storno Test; do
  grep -q "^control	Button	$caption	$caption	" <<<"$controls" ||
    failed "no button \"$caption\" named so"
done
grep -q "^control	ListBox	.*	Hlasy:	" <<<"$controls" || failed "the voice list is not named Hlasy:"
n=0
for caption in "Hlasitost:" "Tempo:" "Výška:"; do
  grep -qi "^control	msctls_trackbar32	[^	]*	$caption	" <<<"$controls" && n=$((n + 1))
done
[ $n -eq 3 ] || failed "$n of the 3 sliders are named by their labels: $controls"
[ $fail -eq 0 ] && echo "ok: the captions are Czech and each control is named by its label"

# The screenshot of the open dialog.
shot="$prog/settings.png"
if import -window root "$shot" 2>/dev/null; then
  # The dialog's place on the screen, as the probe read it: x,y,width,height.
  IFS=, read -r X Y WIDTH HEIGHT < <(echo "$controls" | awk -F'\t' '$1 == "dialog" { print $3; exit }')
  centre=$(convert "$shot" -format "%[pixel:p{$((X + WIDTH / 2)),$((Y + HEIGHT - 5))}]" info: 2>/dev/null)
  desktop=$(convert "$shot" -format '%[pixel:p{5,1000}]' info: 2>/dev/null)
  if [ -z "$X" ]; then
    failed "the probe gave no place for the dialog"
  elif [ -n "$centre" ] && [ "$centre" != "$desktop" ]; then
    echo "ok: the screenshot shows the dialog at $X,$Y (${WIDTH}x$HEIGHT)"
  else
    failed "the screenshot shows the desktop ($desktop) where the dialog is"
  fi
  # The captions as the screen shows them, read by OCR from the enlarged dialog: the title (light
  # on the title bar's colour, so inverted) as one line, the controls' captions as sparse text.
  convert "$shot" -crop "120x20+$X+$Y" +repage -resize 400% -colorspace Gray -negate "$prog/title.png"
  convert "$shot" -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage -colorspace Gray -filter Lanczos \
    -resize 400% -sharpen 0x1 "$prog/dialog.png"
  seen="$(tesseract "$prog/title.png" - -l ces --psm 7 2>/dev/null) \
$(tesseract "$prog/dialog.png" - -l ces --psm 11 2>/dev/null)"
  seen=$(echo "$seen" | tr '\n' ' ')
  missing=""
  for word in Nastavení Hlasy Hlasitost Tempo Výška Storno Test; do
    case " $seen " in *"$word"*) ;; *) missing="$missing $word" ;; esac
  done
  [ -z "$missing" ] && echo "ok: the screenshot shows the Czech captions" ||
    failed "the screenshot lacks$missing (read: $seen)"
  if [ -n "${QUELLON_KEEP_SHOT:-}" ]; then cp "$shot" "$QUELLON_KEEP_SHOT/settings_dialog.png"; fi
else
  failed "no screenshot"
fi

# Tab from the voice list to the volume slider; Right moves it from 50 to 55 and the value is
# heard at the new volume (55 / 5 = 11).
key Tab
wait_sound || true
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"
key Right
HEARD_SAY_OPTIONS="--volume 11" heard_as right "$say" "$prog" "55" || failed "Right: not heard as 55"
key Return
wait_dialog no || failed "Enter did not close the dialog"
wait_quiet 1 || true
volume=$(voice_value Volume) tempo=$(voice_value Tempo) pitch=$(voice_value Pitch)
name=$(voice_value Name)
if [ "$name/$volume/$tempo/$pitch" = "zuvan/55/50/50" ]; then
  echo "ok: OK stored Name=zuvan Volume=55 Tempo=50 Pitch=50"
else
  failed "qlnd.ini holds Name=$name Volume=$volume Tempo=$tempo Pitch=$pitch: $(tr -d '\r' <"$prog/qlnd.ini")"
fi

# Opened again: the value label shows 55; Right, then Escape stores nothing.
if open_dialog; then
  wait_quiet 2 || true
  wine_run "$probe" dialogs 2>/dev/null | tr -d '\r' | grep -q "^control	Static	55	" ||
    failed "the dialog opened again does not show 55"
  before=$(md5sum <"$prog/qlnd.ini")
  key Tab
  key Right
  key Escape
  wait_dialog no || failed "Escape did not close the dialog"
  wait_quiet 1 || true
  [ "$(md5sum <"$prog/qlnd.ini")" = "$before" ] && echo "ok: Escape stored nothing" ||
    failed "Escape changed qlnd.ini"
else
  failed "the menu did not open the dialog a second time"
fi

kill "$pid" 2>/dev/null || true
wine_session_stop
[ $fail -eq 0 ] && echo "PASS: the settings dialog" || echo "FAIL: the settings dialog"
exit $fail
