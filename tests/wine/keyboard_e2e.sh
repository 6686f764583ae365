#!/usr/bin/env bash
# The keyboard port against the target: the low-level hook sees keys typed with xdotool (real X
# input), swallows one of them (the target's edit never gets it), and sees injected keys.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: keyboard_e2e.sh quellon-target.exe quellon-probe.exe}
probe=${2:?usage: keyboard_e2e.sh quellon-target.exe quellon-probe.exe}
source "$here/session.sh"
source "$here/e2e.sh"
wine_session_start
e2e_start_target "$target"
type_keys() { timeout 30 xdotool key a b q shift+c; }
rc=0
e2e_probe "$probe" keys type_keys || rc=1
e2e_stop_target
exit $rc
