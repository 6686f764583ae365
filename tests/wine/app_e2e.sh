#!/usr/bin/env bash
# End to end under Wine: Quellon.exe in a program folder (a copy of dist/ with the program beside
# it). With the test target in front, the program starts, speaks the target's title (the captured
# sound equals quellon-say's render of the same sentence), keeps the greeting until the first
# focus announcement, saves its settings on a clean exit in the documented form (twice, with a
# hand change in between), and after shutdown has begun plays only the "close" cue.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: app_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
say=${2:?usage: app_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
target=${3:?usage: app_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe}
dist=${QUELLON_DIST:-$here/../../dist}
for f in zuvan.idx zuvan.vce zuvan.def snd/close.wav; do
  if [ ! -f "$dist/$f" ]; then
    echo "FAIL: the program folder $dist has no $f; build it first (./quellon.sh test does," \
      "or set QUELLON_DIST)"
    exit 1
  fi
done
source "$here/session.sh"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/app"
rm -rf "$prog" && mkdir -p "$prog"
cp "$dist"/*.idx "$dist"/*.vce "$dist"/*.def "$prog"/
cp "$dist"/help*.txt "$prog"/ 2>/dev/null || true
cp -r "$dist/snd" "$prog/snd"
cp "$quellon" "$prog/Quellon.exe"
printf '[General]\r\nTime=1\r\n' >"$prog/qlnd.ini"

stop_quellon() {
  timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
  local i
  for ((i = 0; i < 400; i++)); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.05
  done
  echo "FAIL: Quellon.exe did not end after WM_CLOSE"
  return 1
}

e2e_start_target "$target"
fail=0

# ---- 1. Start: the active window's title is spoken ----
: >"$WINE_AUDIO_FILE"
t0=$(date +%s%N)
pid=$(wine_start "$prog/Quellon.exe")
for ((i = 0; i < 400; i++)); do
  [ "$(audio_size)" -gt 0 ] && break
  sleep 0.01
done
t1=$(date +%s%N)
[ "$(audio_size)" -gt 0 ] || { echo "FAIL: Quellon.exe said nothing at startup"; exit 1; }
echo "startup to first sound: $(((t1 - t0) / 1000000)) ms (Wine process start included)"
wait_quiet 2 || { echo "FAIL: the speech did not end"; exit 1; }
cp "$WINE_AUDIO_FILE" "$prog/startup.raw"
printf 'Quellon Test Target   ' | wine_run "$say" --folder "$(wine_path "$prog")" \
  --out "$(wine_path "$prog")\\expected.wav" >/dev/null 2>&1
compare() {  # captured.raw expected.wav label
  python3 "$here/compare_audio.py" "$@"
}
compare "$prog/startup.raw" "$prog/expected.wav" "startup announcement" || fail=1

# ---- 2. The greeting waits for the first focus announcement ----
before=$(audio_size)
wait_quiet 1 || true
if [ "$(audio_size)" != "$before" ]; then
  echo "FAIL: something was spoken before the first focus event"; fail=1
fi
printf 'focus check\n' >>"$E2E_DIR/commands.txt"
wine_wait_file "$E2E_DIR/done.txt" 10 || true
for ((i = 0; i < 200; i++)); do
  [ "$(audio_size)" -gt "$before" ] && break
  sleep 0.05
done
wait_quiet 2 || true
after=$(audio_size)
printf 'dobrý den, je ' | wine_run "$say" --folder "$(wine_path "$prog")" \
  --out "$(wine_path "$prog")\\hello.wav" >/dev/null 2>&1
hello=$(($(stat -c %s "$prog/hello.wav") - 44))
if [ $((after - before)) -gt "$hello" ]; then
  echo "PASS: the first focus announcement ($(((after - before) / 2)) samples) carries the greeting"
else
  echo "FAIL: the first focus announcement is shorter than the greeting alone"; fail=1
fi

# ---- 3. Shutdown: only the close cue; the settings in the documented form ----
: >"$WINE_AUDIO_FILE"
stop_quellon "$pid" || fail=1
timeout 30 wineserver -w 2>/dev/null || true
cp "$WINE_AUDIO_FILE" "$prog/shutdown.raw"
python3 - "$prog/shutdown.raw" "$prog/snd/close.wav" <<'PY' || fail=1
import struct, sys
cap = open(sys.argv[1], "rb").read()
wav = open(sys.argv[2], "rb").read()
pos = 12
while wav[pos:pos + 4] != b"data":
    pos += 8 + struct.unpack("<I", wav[pos + 4:pos + 8])[0]
size = struct.unpack("<I", wav[pos + 4:pos + 8])[0]
got = [v for v in struct.unpack("<%dh" % (len(cap) // 2), cap[: len(cap) // 2 * 2])]
nz = [i for i, v in enumerate(got) if v]
if not nz:
    sys.exit("FAIL: the close cue was not heard")
span = nz[-1] - nz[0] + 1
if span > size // 2 + 2205:
    sys.exit("FAIL: %d samples of sound after shutdown began; the close cue has %d" % (span, size // 2))
print("PASS: after shutdown began only the close cue sounded (%d samples)" % span)
PY
expected=$(printf '[General]\r\nTime=1\r\n[Info]\r\nTextSize=20\r\nTextForegroundColor=16777215\r\nTextBackgroundColor=0\r\nActive=0\r\n[Voice]\r\nName=Male\r\nVolume=50\r\nPitch=50\r\nTempo=50\r\n' | od -An -c)
got=$(od -An -c "$prog/qlnd.ini")
if [ "$got" = "$expected" ]; then
  echo "PASS: the settings were written in the documented form"
else
  echo "FAIL: qlnd.ini after exit:"; cat -A "$prog/qlnd.ini"; fail=1
fi
# A change by hand, a second start and a clean exit: every byte stays.
sed -i 's/^Volume=50\r$/Volume=70\r/' "$prog/qlnd.ini"
cp "$prog/qlnd.ini" "$prog/qlnd.changed"
pid=$(wine_start "$prog/Quellon.exe")
for ((i = 0; i < 400; i++)); do
  [ "$(audio_size)" -gt 0 ] && break
  sleep 0.01
done
wait_quiet 1 || true
stop_quellon "$pid" || fail=1
if cmp -s "$prog/qlnd.ini" "$prog/qlnd.changed"; then
  echo "PASS: the changed settings survived a start and a clean exit byte for byte"
else
  echo "FAIL: qlnd.ini changed:"; diff <(cat -A "$prog/qlnd.changed") <(cat -A "$prog/qlnd.ini") || true
  fail=1
fi
e2e_stop_target
exit $fail
