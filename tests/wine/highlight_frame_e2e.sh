#!/usr/bin/env bash
# End to end under Wine: Quellon.exe with the highlight frame switched on ([Frame] Active=1,
# Width=30: 150 twips, 10 pixels at 96 dots per inch; the default colour, pure red) beside the
# test target.
# - Focus moves in the target (its "focus NAME" command): a screenshot shows the frame's colour
#   as a border exactly 10 pixels wide round the control's client area as the target reports it
#   ("rect NAME"), nothing of that colour just outside it, and inside the control's own pixels,
#   the same as on a screenshot taken before Quellon ran (the frame's middle is transparent).
# - The target keeps the foreground and the keyboard focus while the frame moves ("focusinfo").
# - An object whose place has an edge past 32 bits, or no size ("farplace"), hides the frame.
# - Window reading mode (Ctrl+Shift+F5 on the target's page): after Down the frame sits round the
#   first item, after another Down round the second (their places from the target's page.txt).
# QUELLON_KEEP_SHOT names a folder to keep the screenshots in.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: highlight_frame_e2e.sh Quellon.exe quellon-target.exe"
quellon=${1:?$usage}
target=${2:?$usage}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/frame"
quellon_speaking_folder "$prog" "$dist" "$quellon"
printf '[Frame]\r\nActive=1\r\nWidth=30\r\n' >>"$prog/qlnd.ini"
border=10
red=FF0000

fail=0
failed() {
  echo "FAIL: $*"
  fail=1
}

done_count() { cat "$E2E_DIR/done.txt" 2>/dev/null | grep -c '^done' || true; }
target() {  # runs one target command and waits until the target has done it (bounded)
  local before i
  before=$(done_count)
  printf '%s\n' "$1" >>"$E2E_DIR/commands.txt"
  for ((i = 0; i < 200; i++)); do
    [ "$(done_count)" -gt "$before" ] && return 0
    sleep 0.05
  done
  # A target that stops answering ends the test (every later step would wait for it in vain).
  failed "the target did not run \"$1\""
  exit 1
}
shot() { import -window root "$1" 2>/dev/null; }
keep() { [ -n "${QUELLON_KEEP_SHOT:-}" ] && cp "$1" "$QUELLON_KEEP_SHOT/" || true; }

# framed NAME LEFT TOP RIGHT BOTTOM [BEFORE]: screenshots until the frame is round the rectangle
# (at most 5 s), then reports the last comparison.
framed() {
  local name=$1 report i
  shift
  for ((i = 0; i < 50; i++)); do
    shot "$prog/$name.png" || true
    if report=$(python3 "$here/frame_check.py" "$prog/$name.png" "$1" "$2" "$3" "$4" "$border" \
      "$red" ${5:+"$5"} 2>&1); then
      echo "ok: $name: $report" | tr '\n' ' '
      echo
      keep "$prog/$name.png"
      return 0
    fi
    sleep 0.1
  done
  keep "$prog/$name.png"
  failed "$name: $report"
}

# unframed NAME: screenshots until no pixel of the frame's colour is left on the screen (at most
# 5 s).
unframed() {
  local n i
  for ((i = 0; i < 50; i++)); do
    shot "$prog/$1.png" || true
    n=$(convert "$prog/$1.png" -fill black +opaque "#$red" -fill white -opaque "#$red" \
      -colorspace gray -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo '?')
    if [ "$n" = 0 ]; then
      echo "ok: $1: no frame on the screen"
      return 0
    fi
    sleep 0.1
  done
  keep "$prog/$1.png"
  failed "$1: $n pixels of the frame's colour are still on the screen"
}

# still_focused NAME CONTROL: the target has the foreground and the focus is on CONTROL.
still_focused() {
  local got
  target focusinfo
  got=$(tr -d '\r\n' <"$E2E_DIR/focusinfo.txt")
  if [ "$got" = "foreground=main focus=$2" ]; then
    echo "ok: $1: the target kept the foreground and the focus ($got)"
  else
    failed "$1: the target reports \"$got\", expected foreground=main focus=$2"
  fi
}

rect_of() {  # the client area of a target control: "left top right bottom"
  target "rect $1"
  tr -d '\r\n' <"$E2E_DIR/rect.txt"
}

e2e_start_target "$target"
target "focus check"
read -r cl ct cr cb <<<"$(rect_of check)"
read -r bl bt br bb <<<"$(rect_of button)"
sleep 0.5
shot "$prog/before.png" || failed "no screenshot"

pid=$(wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true

# The focus moves, and the frame with it; the inside shows the control as it was.
target "focus button"
framed button "$bl" "$bt" "$br" "$bb"
still_focused button button
target "focus check"
framed check "$cl" "$ct" "$cr" "$cb" "$prog/before.png"
still_focused check check
read -r rl rt rr rb <<<"$(rect_of radio1)"
target "focus radio1"
framed radio1 "$rl" "$rt" "$rr" "$rb"
still_focused radio1 radio1

# Objects whose place is no place: an edge past 32 bits, no size. The frame goes, and comes back
# with the next focus.
target "farplace button 2147483000 10 100000 20"
unframed beyond-32-bits
target "focus check"
framed check-again "$cl" "$ct" "$cr" "$cb"
target "farplace edit 300 300 0 0"
unframed no-size

# Window reading mode on the page: Down puts the frame round the first item.
target page
wait_quiet 1 || true
chord ctrl shift F5
wait_quiet 1 || true
item() {  # the screen place of a page item from page.txt: "left top right bottom"
  awk -F'\t' -v n="$1" '$1 == n { print $2 }' "$E2E_DIR/page.txt" | tr , ' '
}
timeout 10 xdotool key Down
read -r il it ir ib <<<"$(item 'Domů')"
framed list-down-1 "$il" "$it" "$ir" "$ib"
timeout 10 xdotool key Down
read -r il it ir ib <<<"$(item 'Zprávy')"
framed list-down-2 "$il" "$it" "$ir" "$ib"

timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
e2e_stop_target
[ $fail -eq 0 ] && echo "PASS: the highlight frame follows the focus and the list's item, transparent inside"
exit $fail
