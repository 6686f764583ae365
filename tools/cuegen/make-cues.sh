#!/usr/bin/env bash
# Writes the sound cues into DIST_DIR/snd with the cue generator built in BUILD_DIR.
#   tools/cuegen/make-cues.sh BUILD_DIR DIST_DIR
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR DIST_DIR" >&2
  exit 2
fi
build=$1
dist=$2
gen=""
for candidate in "$build/tools/cuegen/quellon-cuegen" "$build/tools/cuegen/quellon-cuegen.exe"; do
  if [ -x "$candidate" ]; then gen=$candidate; break; fi
done
if [ -z "$gen" ]; then
  cmake --build "$build" --target quellon-cuegen >/dev/null
  gen="$build/tools/cuegen/quellon-cuegen"
fi
mkdir -p "$dist/snd"
"$gen" "$dist/snd"
