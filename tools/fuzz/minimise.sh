#!/usr/bin/env bash
# Keeps the committed fuzz corpora small: for each target, the named inputs (seeds and regression
# inputs, which always stay) plus, from the numbered inputs of fuzz/corpus/TARGET and of the
# campaign's build/fuzz-campaign/TARGET (or $FUZZ_CAMPAIGN_OUT/TARGET), only those that reach
# code (edges, hit counts not counted) that nothing before them reaches, smallest first
# (libFuzzer's -merge=1 with -use_counters=0).
#
#   tools/fuzz/minimise.sh [TARGET...]     (after ./quellon.sh build)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$root/build/fuzz/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
for t in "${targets[@]}"; do
  [ -x "$bin/$t" ] || { echo "minimise: $bin/$t is missing (./quellon.sh build)" >&2; continue; }
  corpus=$root/fuzz/corpus/$t
  mkdir -p "$corpus"
  keep=$(mktemp -d)
  numbered=$(mktemp -d)
  for f in "$corpus"/*; do
    [ -f "$f" ] || continue
    if [[ $(basename "$f") =~ ^[0-9a-f]{40}$ ]]; then cp "$f" "$numbered/"; else cp "$f" "$keep/"; fi
  done
  before=$(ls "$corpus" | wc -l)
  sources=("$numbered")
  campaign=${FUZZ_CAMPAIGN_OUT:-$root/build/fuzz-campaign}
  [ -d "$campaign/$t" ] && sources+=("$campaign/$t")
  if nice -n 19 "$bin/$t" -merge=1 -use_counters=0 -max_len=4096 "$keep" "${sources[@]}" \
    >"$keep.log" 2>&1; then
    find "$corpus" -maxdepth 1 -type f -delete
    cp "$keep"/* "$corpus/"
    echo "$t: $before -> $(ls "$corpus" | wc -l) inputs"
  else
    echo "minimise: $t: the merge failed (see $keep.log); corpus left as it was" >&2
  fi
  rm -rf "$keep" "$numbered"
done
