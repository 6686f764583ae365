#!/usr/bin/env bash
# The keyboard never waits for Quellon: Quellon.exe (with its test-only busy message switched on
# by QUELLON_TEST_BUSY=1) keeps its main thread busy for two seconds while text is typed into the
# test target. The probe checks that the whole text arrived in the target's edit while Quellon was
# still busy; this script checks that nothing was echoed yet at that moment (the main thread
# really was busy) and that the echo followed once it was free.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: busy_quellon_e2e.sh Quellon.exe quellon-target.exe quellon-probe.exe}
target=${2:?usage: busy_quellon_e2e.sh Quellon.exe quellon-target.exe quellon-probe.exe}
probe=${3:?usage: busy_quellon_e2e.sh Quellon.exe quellon-target.exe quellon-probe.exe}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/busy"
quellon_speaking_folder "$prog" "$dist" "$quellon"
e2e_start_target "$target"
pid=$(QUELLON_TEST_BUSY=1 wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"

rc=0
heard_while_busy=unknown
type_while_busy() {
  timeout 30 xdotool type --delay 15 "typed while quellon is busy"
  wine_wait_file "$E2E_DIR/probe-text-complete" 10 && heard_while_busy=$(audio_size)
}
e2e_probe "$probe" busyquellon type_while_busy || rc=1
echo "INFO: captured $heard_while_busy bytes of sound by the time the text was complete"
if [ "$heard_while_busy" != 0 ]; then
  echo "FAIL: something was heard before Quellon's main thread was free (or the text never came)"
  rc=1
fi
if wait_sound; then
  echo "PASS: the echo followed once the main thread was free"
else
  echo "FAIL: no echo after the busy time"
  rc=1
fi
timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
e2e_stop_target
exit $rc
