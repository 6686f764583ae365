#!/usr/bin/env bash
# The per-object cost of the item list's walk across processes under Wine.
#
#   bench/wine/walk.sh [COUNT [WALKS]]   (after ./quellon.sh build; default 500 objects, 9 walks)
#
# On one headless Wine session the probe (quellon-probe.exe walk) has the test target open a
# page of COUNT accessible objects (links, static texts and check boxes, simple elements of one
# client object) and lists it WALKS times as window reading mode does (clsAAenum::DoUpdate over
# the object walker: every object's state, role, name, value and place asked for across the
# processes). Prints each walk and the median: objects listed, milliseconds, microseconds per
# object; then the cost of one such call (every item's role asked again) and how many of them a
# walk costs per object.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
count=${1:-500}
walks=${2:-9}
win=$root/build/windows
probe=$win/tests/wine/probe/quellon-probe.exe
target=$win/tests/wine/target/quellon-target.exe
for f in "$probe" "$target"; do
  [ -f "$f" ] || { echo "walk: $f is missing (run ./quellon.sh build first)" >&2; exit 1; }
done
export QUELLON_WINE_GUI_ROOT=$root/build/wine-walk
source "$root/tests/wine/session.sh"
source "$root/tests/wine/e2e.sh"
wine_session_start

e2e_start_target "$target"
timeout 300 wine "$probe" walk "$(wine_path "$E2E_DIR")" "$count" "$walks" 2>&1 | tr -d '\r'
e2e_stop_target
