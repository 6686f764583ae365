#!/usr/bin/env bash
# End to end under Wine: window reading mode on the test target's page window (a tree of its own
# IAccessible: two links, a static text of three sentences, a checked check box, a pane holding
# a link and a text). Real keys by xdotool:
# - Ctrl+Shift+F5 lists the page's items and shows the info band at the top with the window's
#   title; the band takes the keyboard, and the focus announcement of its text box is heard
#   (compared sample for sample with the rendering of its sentence).
# - Down and Up in the band put each item's text into the band (read back by the target with
#   WM_GETTEXT), move the mouse pointer two pixels inside the item's corner (xdotool and the
#   system's cursor), and are heard as the item reached: the band speaks it, and the keyboard
#   handler leaves the band's lines alone.
# - Enter on a link runs the link's default action (the target records it) and ends the mode:
#   the band goes away, and Ctrl+Shift+F5 starts the mode afresh with the title; Escape closes
#   the band.
# Screenshots show the band at the top of the screen while it is there (QUELLON_KEEP_SHOT names a
# file to keep the one taken with the band in).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: reading_mode_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe"
quellon=${1:?$usage}
say=${2:?$usage}
target=${3:?$usage}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/reading"
quellon_speaking_folder "$prog" "$dist" "$quellon"

fail=0
failed() {
  echo "FAIL: $*"
  fail=1
}

# target COMMAND: runs one target command and waits until the target has done it (bounded).
done_count() { cat "$E2E_DIR/done.txt" 2>/dev/null | grep -c '^done' || true; }
target() {
  local before i
  before=$(done_count)
  printf '%s\n' "$1" >>"$E2E_DIR/commands.txt"
  for ((i = 0; i < 200; i++)); do
    [ "$(done_count)" -gt "$before" ] && return 0
    sleep 0.05
  done
  failed "the target did not run \"$1\""
}
band() {  # the band as the target sees it: "shown TEXT" or "none"
  target band
  tr -d '\r' <"$E2E_DIR/band.txt"
}
check_band() {  # NAME EXPECTED
  local got
  got=$(band)
  if [ "$got" = "$2" ]; then
    echo "ok: $1: the band reads \"$2\""
  else
    failed "$1: the band reads \"$got\", expected \"$2\""
  fi
}
# check_pointer NAME ITEM: the pointer was sent two pixels inside the corner of ITEM (page.txt):
# the item's place was the one asked for since the key (located.txt), and the pointer is there
# as X and the system see it. Wine now and then does not carry out a SetCursorPos of the screen
# reader (the call reaches neither the X driver nor the system's cursor, while the target's own
# calls always do): such a step is counted, and fails the test only when no step moved it.
moved=0
dropped=0
check_pointer() {
  local place x y at system asked
  place=$(awk -F'\t' -v n="$2" '$1 == n { print $2 }' "$E2E_DIR/page.txt")
  x=$(($(cut -d, -f1 <<<"$place") + 2))
  y=$(($(cut -d, -f2 <<<"$place") + 2))
  asked=$(tr -d '\r' <"$E2E_DIR/located.txt" 2>/dev/null | sort -u)
  if [ "$asked" != "$2" ]; then
    failed "$1: the places asked for were \"$asked\", expected only \"$2\""
    return
  fi
  at=$(timeout 10 xdotool getmouselocation | sed -E 's/^x:([0-9]+) y:([0-9]+).*/\1 \2/')
  target cursor
  system=$(tr -d '\r\n' <"$E2E_DIR/cursor.txt")
  if [ "$at" = "$x $y" ] && [ "$system" = "$x $y" ]; then
    echo "ok: $1: the pointer is at $x,$y on \"$2\""
    moved=$((moved + 1))
  else
    echo "note: $1: \"$2\" was located, but the pointer is at $at (the system says $system)," \
      "not $x $y"
    dropped=$((dropped + 1))
  fi
}

# band_at_top NAME yes|no: a screenshot shows something other than the desktop at the screen's
# top right corner (where only the band can be) or not; the desktop's colour is read far below.
band_at_top() {
  local corner desktop
  import -window root "$prog/screen.png" 2>/dev/null || { failed "$1: no screenshot"; return; }
  corner=$(convert "$prog/screen.png" -format '%[pixel:p{1270,5}]' info: 2>/dev/null)
  desktop=$(convert "$prog/screen.png" -format '%[pixel:p{1270,1000}]' info: 2>/dev/null)
  if [ "$2" = yes ] && [ "$corner" != "$desktop" ]; then
    echo "ok: $1: the screenshot shows the band at the top ($corner on the $desktop desktop)"
  elif [ "$2" = no ] && [ "$corner" = "$desktop" ]; then
    echo "ok: $1: the screenshot shows the desktop at the top"
  else
    failed "$1: at the top the screenshot shows $corner (the desktop is $desktop), band expected: $2"
  fi
}

wait_sound() {  # until something is captured (bounded to 10 s)
  local i
  for ((i = 0; i < 200; i++)); do
    [ "$(audio_size)" -gt 0 ] && return 0
    sleep 0.05
  done
  return 1
}
# heard NAME SENTENCE: the keys have just been sent; waits for the speech to end and compares it
# with the render of SENTENCE.
heard() {
  local name=$1 sentence=$2 report
  wait_sound || true
  wait_quiet 1 || true
  cp "$WINE_AUDIO_FILE" "$prog/$name.raw"
  : >"$WINE_AUDIO_FILE"
  printf '%s' "$sentence" | wine_run "$say" --folder "$(wine_path "$prog")" \
    --out "$(wine_path "$prog")\\$name.wav" >/dev/null 2>&1
  if report=$(python3 "$here/compare_audio.py" "$prog/$name.raw" "$prog/$name.wav" "$name" 2>&1)
  then
    echo "$report"
  else
    echo "$report"
    failed "$name: not heard as \"$sentence\""
    [ -n "${QUELLON_KEEP_AUDIO:-}" ] && cp "$prog/$name.raw" "$prog/$name.wav" "$QUELLON_KEEP_AUDIO"/
  fi
  return 0
}
key() { timeout 10 xdotool key "$1"; }

e2e_start_target "$target"
target page
[ -s "$E2E_DIR/page.txt" ] || failed "the target did not open its page"
pid=$(wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"
check_band "before" "none"
band_at_top "before" no

# The band's text box takes the focus with the title in it; its announcement (the band's title,
# then the box's text) is what the speech routine writes into the band last.
title='Quellon - Info  Stránka'
chord ctrl shift F5
heard f5 "$title"
check_band "Ctrl+Shift+F5" "shown $title"
band_at_top "Ctrl+Shift+F5" yes
[ -n "${QUELLON_KEEP_SHOT:-}" ] && cp "$prog/screen.png" "$QUELLON_KEEP_SHOT"

# The items in reading order; each key is heard as the item it reached.
step() {  # NAME KEY ITEM HEARD POINTED (the item of page.txt the pointer is on)
  : >"$E2E_DIR/located.txt"
  key "$2"
  heard "$1" "$4"
  check_band "$1" "shown $3"
  check_pointer "$1" "$5"
}
text='Vítejte na zkušební stránce. Tato stránka má několik vět. Třetí věta je poslední.'
s1='Vítejte na zkušební stránce. '
s2='Tato stránka má několik vět. '
s3='Třetí věta je poslední.'
check='Zapamatovat si mě, zatrženo'
step down-1 Down 'Domů' 'Domů' 'Domů'
step down-2 Down 'Zprávy' 'Zprávy' 'Zprávy'
step down-3 Down "$s1" "$s1" "$text"
step down-4 Down "$s2" "$s2" "$text"
step down-5 Down "$s3" "$s3" "$text"
step down-6 Down "$check" "$check" 'Zapamatovat si mě'
step down-7 Down 'Patička' 'Patička' 'Patička'
step down-8 Down 'Kontakt' 'Kontakt' 'Kontakt'
step down-9 Down 'Konec stránky.' 'Konec stránky.' 'Konec stránky.'
step down-end Down 'Konec stránky.' 'Konec stránky.' 'Konec stránky.'
step up-1 Up 'Kontakt' 'Kontakt' 'Kontakt'
step up-2 Up 'Patička' 'Patička' 'Patička'
step up-3 Up "$check" "$check" 'Zapamatovat si mě'
step up-4 Up "$s3" "$s3" "$text"
step up-5 Up "$s2" "$s2" "$text"
step up-6 Up "$s1" "$s1" "$text"
step up-7 Up 'Zprávy' 'Zprávy' 'Zprávy'
[ "$moved" -gt 0 ] || failed "the pointer followed no item"
echo "the pointer followed $moved steps; Wine left it in place in $dropped"

# Enter on the link: its default action, the band gone, the mode ended.
key Return
for ((i = 0; i < 100; i++)); do
  [ -s "$E2E_DIR/actions.txt" ] && break
  sleep 0.05
done
actions=$(tr -d '\r' <"$E2E_DIR/actions.txt" 2>/dev/null || true)
if [ "$actions" = "Zprávy" ]; then
  echo "ok: Enter ran the default action of \"Zprávy\""
else
  failed "Enter: the target recorded the actions \"$actions\", expected \"Zprávy\""
fi
wait_quiet 1 || true
check_band "Enter" "none"
: >"$WINE_AUDIO_FILE"

# The mode has ended: Ctrl+Shift+F5 starts it afresh (in the mode it would end it, and the band
# would stay away). The band's window was the foreground one and is gone, so the page is brought
# to the front first (Wine gives the foreground to Quellon's own window).
target page
wait_sound || true
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"
chord ctrl shift F5
heard f5-again "$title"
check_band "Ctrl+Shift+F5 again" "shown $title"

# Escape closes the band.
key Escape
wait_quiet 1 || true
check_band "Escape" "none"
band_at_top "Escape" no

timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
e2e_stop_target
[ $fail -eq 0 ] && echo "PASS: window reading mode lists the page, steps through it and acts"
exit $fail
