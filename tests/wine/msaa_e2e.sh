#!/usr/bin/env bash
# The accessibility port against the target: focus events, the objects' name, role, state and
# value, children, navigation, hit tests, actions, and WinEvent callbacks that never nest.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: msaa_e2e.sh quellon-target.exe quellon-probe.exe}
probe=${2:?usage: msaa_e2e.sh quellon-target.exe quellon-probe.exe}
source "$here/session.sh"
source "$here/e2e.sh"
wine_session_start
e2e_start_target "$target"
rc=0
e2e_probe "$probe" msaa || rc=1
e2e_stop_target
exit $rc
