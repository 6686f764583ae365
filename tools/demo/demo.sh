#!/usr/bin/env bash
# The screen reader at work on Linux: Quellon.exe under Wine beside Wine's own Notepad on a
# virtual display. A short Czech sentence is typed into Notepad, the caret is moved over it word by
# word and letter by letter, and the time is asked for; everything Quellon says is heard on the
# default audio device as it speaks, and always kept as a WAV file.
#
#   tools/demo/demo.sh Quellon.exe PROGRAM-FOLDER OUT.wav
#
# PROGRAM-FOLDER holds the voice, its dictionary and the sound cues (the build's dist/). With no
# audio device (a server without sound, a container), nothing is played and only the WAV file
# is written; the last line says where it is. The session ends with everything it started.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: demo.sh Quellon.exe PROGRAM-FOLDER OUT.wav"
quellon=${1:?$usage}
dist=${2:?$usage}
out=${3:?$usage}
for f in zuvan.idx zuvan.vce zuvan.def; do
  [ -f "$dist/$f" ] || { echo "demo: the program folder $dist has no $f" >&2; exit 1; }
done
mkdir -p "$(dirname "$out")"
out=$(readlink -f "$out")

# The default audio device is tried before the session hides the desktop's sound server from
# Wine: a tenth of a second of silence played through sox.
player=""
if command -v play >/dev/null && timeout 5 play -q -n trim 0 0.1 >/dev/null 2>&1; then
  player=$(command -v play)
fi
sound_env="PULSE_SERVER=${PULSE_SERVER:-} XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-} HOME=$HOME"
[ -z "${PULSE_SERVER:-}" ] && sound_env="-u PULSE_SERVER XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-} HOME=$HOME"

export QUELLON_WINE_GUI_ROOT=${QUELLON_WINE_GUI_ROOT:-$(dirname "$out")/wine-demo}
source "$here/../../tests/wine/session.sh"
wine_session_start

# With a device, each stretch of sound Wine plays goes through a pipe that keeps a copy and plays
# it on the desktop's device at its own pace (22050 Hz, mono, 16 bits, as Wine opened it), so
# Quellon is heard as it speaks; the pipe is closed only when the stretch has been played.
if [ -n "$player" ]; then
  cat >"$WINE_SESSION_ROOT/run/play-and-keep.sh" <<PLAY
#!/bin/sh
tee -a "$WINE_AUDIO_FILE" | env $sound_env "$player" -q -t raw -r 22050 -e signed -b 16 -c 1 - 2>/dev/null
PLAY
  chmod +x "$WINE_SESSION_ROOT/run/play-and-keep.sh"
  cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type plug; slave.pcm "capfile"; }
pcm.capfile { type file; slave.pcm "null"; file "|$WINE_SESSION_ROOT/run/play-and-keep.sh"; format "raw"; }
ASOUND
fi

# The program folder: the whole of dist (voice, dictionary, cues, help), greeting off.
prog="$WINE_SESSION_ROOT/run/demo"
rm -rf "$prog" && mkdir -p "$prog"
cp -r "$dist"/. "$prog"/
cp "$quellon" "$prog/Quellon.exe"
printf '[General]\r\nLang=cz\r\nTime=0\r\n[Voice]\r\nName=zuvan\r\n' >"$prog/qlnd.ini"

step() { echo "demo: $*"; }
key() { timeout 10 xdotool key --delay 150 "$@"; }
heard_bytes=0
# Waits for the speech the last keys started to end, and says how much of it there was.
settle() {
  wait_sound 3 || true
  wait_quiet 1 || true
  local now
  now=$(audio_size)
  echo "demo:   heard $(awk -v b=$((now - heard_bytes)) 'BEGIN { printf "%.1f", b / 44100 }') s"
  heard_bytes=$now
}

step "starting Quellon"
wine_start "$prog/Quellon.exe" >/dev/null
sleep 2
settle
step "starting Notepad"
wine_start notepad.exe >/dev/null
for _ in $(seq 1 100); do
  xdotool search --onlyvisible --name Notepad >/dev/null 2>&1 && break
  sleep 0.1
done
settle

sentence="Dobrý den, tady Quellon."
step "typing \"$sentence\""
timeout 60 xdotool type --delay 250 "$sentence"
settle
step "Home, then Ctrl+Right twice: word by word"
key Home
settle
chord ctrl Right
settle
chord ctrl Right
settle
step "Right three times: letter by letter"
for _ in 1 2 3; do
  key Right
  settle
done
step "Ctrl+Shift+T: the time"
chord ctrl shift t
settle

step "closing"
timeout 30 wine taskkill /im notepad.exe /f >/dev/null 2>&1 || true
timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
sleep 1
sox -q -t raw -r 22050 -e signed -b 16 -c 1 "$WINE_AUDIO_FILE" "$out"
seconds=$(soxi -D "$out" 2>/dev/null || echo 0)
if [ -n "$player" ]; then
  echo "demo: played on the default audio device; ${seconds%%.*} s of speech also kept in $out"
else
  echo "demo: no audio device here; ${seconds%%.*} s of speech written to $out"
fi
