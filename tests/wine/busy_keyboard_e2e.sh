#!/usr/bin/env bash
# The keyboard hook on its own thread: keys typed with xdotool reach the target while the probe's
# main thread takes no messages for two seconds, and are delivered in order once it does; a key
# that waits for its delivery passes after the bounded wait while the main thread is busy, and at
# once when it is free. The hook's own tracker sees Caps Lock go on and off.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: busy_keyboard_e2e.sh quellon-target.exe quellon-probe.exe}
probe=${2:?usage: busy_keyboard_e2e.sh quellon-target.exe quellon-probe.exe}
source "$here/session.sh"
source "$here/e2e.sh"
wine_session_start
e2e_start_target "$target"
type_keys() {
  # Caps Lock on and off again, the probe's text (kBusyTyped); then x once the probe says its
  # main thread is free.
  timeout 30 xdotool key Caps_Lock Caps_Lock
  timeout 30 xdotool type --delay 15 'keys go on when busyz'
  if wine_wait_file "$E2E_DIR/probe-free" 60; then
    timeout 30 xdotool key x
  else
    echo "FAIL: the probe did not get free"
  fi
}
rc=0
e2e_probe "$probe" busykeys type_keys || rc=1
e2e_stop_target
exit $rc
