#!/usr/bin/env bash
# End to end under Wine: Quellon.exe started with the info band switched on in its settings shows
# the band docked at the top of the desktop in the settings' background colour, as wide as the
# screen and twice the font size in pixels high (TextSize 20 and 30), and saves it as shown.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
quellon=${1:?usage: info_band_wine_e2e.sh Quellon.exe}
dist=${QUELLON_DIST:-$repo/dist}
for f in zuvan.idx zuvan.vce zuvan.def snd/close.wav; do
  if [ ! -f "$dist/$f" ]; then
    echo "FAIL: the program folder $dist has no $f; build it first (./quellon.sh test does," \
      "or set QUELLON_DIST)"
    exit 1
  fi
done
source "$repo/tests/wine/session.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/band"
rm -rf "$prog" && mkdir -p "$prog"
cp "$dist"/*.idx "$dist"/*.vce "$dist"/*.def "$prog"/
cp -r "$dist/snd" "$prog/snd"
cp "$quellon" "$prog/Quellon.exe"
shot="$prog/shot.png"

# The number of red rows from the top of the screen in column x (stops at the first other).
red_rows() {
  import -window root "$shot" 2>/dev/null || { echo 0; return; }
  convert "$shot" -crop "1x200+$1+0" txt:- 2>/dev/null |
    awk 'NR > 1 && !done { if ($3 == "#FF0000") n++; else done = 1 } END { print n + 0 }'
}

fail=0
for size in 20 30; do
  want=$((size * 2))
  # Background 255 is pure red in Windows' 0x00BBGGRR.
  printf '[Info]\r\nTextSize=%s\r\nTextForegroundColor=16777215\r\nTextBackgroundColor=255\r\nActive=1\r\n' \
    "$size" >"$prog/qlnd.ini"
  pid=$(wine_start "$prog/Quellon.exe")
  rows=0
  for ((i = 0; i < 300; i++)); do
    rows=$(red_rows 640)
    [ "$rows" -ge "$want" ] && break
    sleep 0.1
  done
  if [ "$rows" != "$want" ]; then
    echo "FAIL: TextSize $size: the band is $rows pixels high at the top, expected $want"
    fail=1
  fi
  for x in 0 1279; do
    edge=$(red_rows "$x")
    if [ "$edge" != "$want" ]; then
      echo "FAIL: TextSize $size: at x=$x the band is $edge pixels high, expected $want"
      fail=1
    fi
  done
  timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
  for ((i = 0; i < 400; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if ! tr -d '\r' <"$prog/qlnd.ini" | grep -qx 'Active=1'; then
    echo "FAIL: TextSize $size: the shown band was not saved as active"
    fail=1
  fi
done

[ "$fail" = 0 ] && echo "PASS: the info band docks at the top, as wide as the screen, 2 x TextSize high"
exit "$fail"
