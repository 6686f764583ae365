# A headless Wine desktop session for end-to-end tests of the Windows build. Source this file,
# call wine_session_start, run programs with wine_run / wine_start, and the EXIT trap set by
# wine_session_start ends only what this session started (its Xvfb, its wineserver, its files).
#
#   source tests/wine/session.sh
#   wine_session_start            # Xvfb on a free display, a prefix with a virtual desktop,
#                                 # audio through ALSA into $WINE_AUDIO_FILE (raw s16le)
#   wine_run prog.exe args...     # run to the end (bounded by a timeout)
#   pid=$(wine_start prog.exe args...)   # start in the background
#   wine_wait_file PATH [SECONDS] # wait for a file a program writes (no sleeps in tests)
#
# Facts this relies on are measured under Wine 8 (Debian 12): see the project notes.

WINE_SESSION_ROOT=""
WINE_SESSION_XVFB_PID=""
WINE_SESSION_PIDS=()

_wine_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
_wine_repo=$(cd "$_wine_here/../.." && pwd)

wine_session_stop() {
  local pid
  for pid in "${WINE_SESSION_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  if [ -n "$WINE_SESSION_ROOT" ] && [ -d "$WINE_SESSION_ROOT" ]; then
    WINEPREFIX="$WINE_SESSION_ROOT/prefix" timeout 20 wineserver -k 2>/dev/null || true
  fi
  if [ -n "$WINE_SESSION_XVFB_PID" ]; then
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
  fi
  if [ -n "$WINE_SESSION_ROOT" ]; then
    rm -rf "$WINE_SESSION_ROOT/run" "$WINE_SESSION_ROOT/xdg"
  fi
  WINE_SESSION_XVFB_PID=""
  WINE_SESSION_PIDS=()
}

# Waits until PATH exists (polling the file system, bounded). Returns 1 on time-out.
wine_wait_file() {
  local path=$1 seconds=${2:-30} i
  for ((i = 0; i < seconds * 20; i++)); do
    [ -e "$path" ] && return 0
    sleep 0.05
  done
  return 1
}

_wine_free_display() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

wine_session_start() {
  WINE_SESSION_ROOT=${QUELLON_WINE_GUI_ROOT:-$_wine_repo/build/wine-gui}
  mkdir -p "$WINE_SESSION_ROOT/home" "$WINE_SESSION_ROOT/xdg" "$WINE_SESSION_ROOT/run"
  chmod 700 "$WINE_SESSION_ROOT/xdg"
  trap wine_session_stop EXIT

  # A display that looked free may be taken by another session starting at the same moment, or
  # by a server still going away: the answer must come from our own Xvfb, else the next number.
  local display="" attempt i up
  for ((attempt = 0; attempt < 5; attempt++)); do
    display=$(_wine_free_display) || { echo "wine session: no free X display" >&2; return 1; }
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    up=0
    for ((i = 0; i < 200; i++)); do
      kill -0 "$WINE_SESSION_XVFB_PID" 2>/dev/null || break
      if DISPLAY=":$display" xdpyinfo >/dev/null 2>&1; then
        sleep 0.2
        kill -0 "$WINE_SESSION_XVFB_PID" 2>/dev/null && up=1
        break
      fi
      sleep 0.05
    done
    [ $up -eq 1 ] && break
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    WINE_SESSION_XVFB_PID=""
    sleep 0.5
  done
  [ -n "$WINE_SESSION_XVFB_PID" ] || { echo "wine session: Xvfb did not start" >&2; return 1; }

  export DISPLAY=":$display"
  export HOME="$WINE_SESSION_ROOT/home" WINEPREFIX="$WINE_SESSION_ROOT/prefix" WINEARCH=win64
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export DBUS_SESSION_BUS_ADDRESS=disabled: XDG_RUNTIME_DIR="$WINE_SESSION_ROOT/xdg"
  export PULSE_SERVER=unix:/nonexistent

  # Audio: the ALSA file plugin writes what the program plays, bit-exact, into one raw file. The
  # plugin truncates its file whenever a device is opened, and speech opens the device for every
  # stretch of sound, so it writes through a pipe that appends.
  export WINE_AUDIO_FILE="$WINE_SESSION_ROOT/run/audio.raw"
  cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type plug; slave.pcm "capfile"; }
pcm.capfile { type file; slave.pcm "null"; file "|cat >>$WINE_AUDIO_FILE"; format "raw"; }
ASOUND

  if [ ! -f "$WINEPREFIX/.quellon-ready" ]; then
    timeout 180 wineboot -i >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true
    # A virtual desktop: without a window manager every top-level hide or destroy stalls.
    timeout 30 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    timeout 30 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f \
      >/dev/null 2>&1
    timeout 60 wineserver -w || true
    touch "$WINEPREFIX/.quellon-ready"
  fi
  # Keep one server up for the whole session so each program starts quickly.
  wineserver -p >/dev/null 2>&1 || true
  : >"$WINE_AUDIO_FILE"
}

# The Windows form (Z:\...) of a Linux path, for arguments to Windows programs.
wine_path() { printf 'Z:%s' "$(readlink -f "$1" | sed 's#/#\\#g')"; }

wine_run() { timeout "${QUELLON_WINE_TIMEOUT:-120}" wine "$@"; }

wine_start() {
  timeout "${QUELLON_WINE_TIMEOUT:-120}" wine "$@" >/dev/null 2>&1 &
  local pid=$!
  WINE_SESSION_PIDS+=("$pid")
  echo "$pid"
}

# True when a visible window whose title matches the pattern NAME (xdotool's --name) is on the
# display.
window_shown() { [ -n "$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)" ]; }

# Waits until window_shown NAME, bounded to 30 s; then half a second for its program to put its
# focus in it. A program started in a loaded machine can take more than the seconds a test would
# otherwise sleep.
wait_window() {
  local name=$1 i
  for ((i = 0; i < 300; i++)); do
    if window_shown "$name"; then
      sleep 0.5
      return 0
    fi
    sleep 0.1
  done
  echo "wait_window: no window named $name after 30 s" >&2
  return 1
}

# The captured sound of the session: its size in bytes, and waiting until it has not grown for
# QUIET seconds (bounded to 30 s).
audio_size() { stat -c %s "$WINE_AUDIO_FILE" 2>/dev/null || echo 0; }
# Waits until the capture has grown past SIZE bytes (default 0: any sound), bounded to 10 s.
wait_sound() {
  local over=${1:-0} i
  for ((i = 0; i < 200; i++)); do
    [ "$(audio_size)" -gt "$over" ] && return 0
    sleep 0.05
  done
  return 1
}
wait_quiet() {
  local quiet=$1 last=-1 same=0 i size
  for ((i = 0; i < 600; i++)); do
    size=$(audio_size)
    if [ "$size" = "$last" ]; then same=$((same + 1)); else same=0; last=$size; fi
    [ $same -ge $((quiet * 20)) ] && return 0
    sleep 0.05
  done
  return 1
}

# Ends the test (exit 1) unless the program folder DIST holds the voice "zuvan" and its
# dictionary, which every test of Quellon.exe's speech needs.
quellon_require_dist() {
  local f
  for f in zuvan.idx zuvan.vce zuvan.def; do
    [ -f "$1/$f" ] || { echo "FAIL: the program folder $1 has no $f"; exit 1; }
  done
}

# A fresh program folder DIR for Quellon.exe that speaks with the voice "zuvan" of the folder
# DIST, greeting off. The voice named in the settings brings its dictionary, which quellon-say
# applies too, so its renders are what the program says.
quellon_speaking_folder() {
  local dir=$1 dist=$2 exe=$3
  rm -rf "$dir" && mkdir -p "$dir"
  cp "$dist"/*.idx "$dist"/*.vce "$dist"/*.def "$dir"/
  cp "$exe" "$dir/Quellon.exe"
  printf '[General]\r\nTime=0\r\n[Voice]\r\nName=zuvan\r\n' >"$dir/qlnd.ini"
}

# heard_as NAME SAY.exe DIR SENTENCE...: the keys have just been sent; waits for the speech to
# end and compares the capture, sample for sample, with quellon-say's render (in the program
# folder DIR) of SENTENCE or of one of the alternatives after it. Prints the comparison, empties
# the capture, and returns 1 when none matched. HEARD_SAY_OPTIONS (words) go to quellon-say, for
# a voice whose volume, tempo or pitch was changed.
heard_as() {
  local name=$1 say=$2 dir=$3 sentence report=""
  shift 3
  wait_sound || true
  wait_quiet 1 || true
  cp "$WINE_AUDIO_FILE" "$dir/$name.raw"
  : >"$WINE_AUDIO_FILE"
  for sentence in "$@"; do
    # shellcheck disable=SC2086
    if report=$(compare_with_render "$say" "$dir" "$dir/$name.raw" "$name" "$sentence" \
      ${HEARD_SAY_OPTIONS:-} 2>&1); then
      echo "$report"
      return 0
    fi
  done
  echo "$report"
  [ -n "${QUELLON_KEEP_AUDIO:-}" ] && cp "$dir/$name.raw" "$dir/expected-$name.wav" "$QUELLON_KEEP_AUDIO"/
  return 1
}

# chord MODIFIERS... KEY: the modifiers pressed as keys of their own around KEY, as a person
# types them (xdotool's "key shift+b" sets the modifier state without a key event for it, which
# the screen reader's hook never sees).
chord() {
  local key=${*: -1} mods=("${@:1:$#-1}") m
  for m in "${mods[@]}"; do timeout 10 xdotool keydown "$m"; done
  timeout 10 xdotool key "$key"
  for m in "${mods[@]}"; do timeout 10 xdotool keyup "$m"; done
}

# Renders TEXT with quellon-say (SAY) in the program folder DIR, with any further quellon-say
# options after TEXT, and compares the captured sound CAPTURED (raw) with it sample for sample.
# With HEARD_CUE set (a WAV file), the capture must hold that cue first, then the speech. With
# HEARD_LAST=1 other sound may come first (speech the expected one cut off); with HEARD_CUT set
# as well (a WAV file), that other sound must be the beginning of HEARD_CUT.
# Prints the comparison; returns non-zero when they differ.
compare_with_render() {
  local say=$1 dir=$2 captured=$3 label=$4 text=$5
  shift 5
  local wav
  wav="$dir/expected-$(basename "$captured" .raw).wav"
  if ! printf '%s' "$text" | wine_run "$say" --folder "$(wine_path "$dir")" "$@" \
    --out "$(wine_path "$wav")" >/dev/null 2>&1; then
    echo "FAIL: $label: quellon-say could not render the sentence"
    return 1
  fi
  python3 "$_wine_here/compare_audio.py" ${HEARD_LAST:+--last} ${HEARD_CUT:+--cut "$HEARD_CUT"} \
    "$captured" ${HEARD_CUE:+"$HEARD_CUE"} "$wav" "$label"
}

# Registers the automation class of the Quellon.exe EXE (its ProgID, class and type library).
# Wine 8 ignores per-user class keys when it activates a class, so this registers for all users.
quellon_register_server() {
  wine_run "$1" /regserver /allusers
}
