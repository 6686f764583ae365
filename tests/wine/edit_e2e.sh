#!/usr/bin/env bash
# The window-system port against the target: window properties, the edit messages (text,
# selection, lines), the caret rectangle, the clipboard and services; then every message to the
# target while it hangs returns within its bound, and a call that hangs inside the target too.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: edit_e2e.sh quellon-target.exe quellon-probe.exe}
probe=${2:?usage: edit_e2e.sh quellon-target.exe quellon-probe.exe}
source "$here/session.sh"
source "$here/e2e.sh"
wine_session_start
e2e_start_target "$target"
rc=0
e2e_probe "$probe" edit || rc=1
e2e_probe "$probe" hang || rc=1
e2e_probe "$probe" hangcall || rc=1
e2e_stop_target
exit $rc
