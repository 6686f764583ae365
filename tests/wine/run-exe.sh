#!/usr/bin/env bash
# Runs a Windows console program (a test program, quellon-tts.exe, ...) under Wine, in the
# project's own scratch prefix below build/wine. Needs no display and no sound device.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=${QUELLON_WINE_ROOT:-$(cd "$here/../.." && pwd)/build/wine}
mkdir -p "$root/home" "$root/xdg"
chmod 700 "$root/xdg"
export HOME="$root/home" WINEPREFIX="$root/prefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DBUS_SESSION_BUS_ADDRESS=disabled: XDG_RUNTIME_DIR="$root/xdg"
export PULSE_SERVER=unix:/nonexistent
unset DISPLAY
# Create the prefix once; concurrent callers wait for the first one.
(
  flock 9
  if [ ! -f "$WINEPREFIX/.quellon-ready" ]; then
    timeout 180 wineboot -i >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true
    touch "$WINEPREFIX/.quellon-ready"
  fi
) 9>"$root/.prefix.lock"
exec timeout "${QUELLON_WINE_TIMEOUT:-600}" wine "$@"
