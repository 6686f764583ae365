#!/usr/bin/env bash
# A fuzz campaign: every fuzz target in turn for SECONDS of wall time (default 600), at the lowest
# CPU priority so it only takes what other work leaves, starting from the committed corpus.
#
#   tools/fuzz/campaign.sh [SECONDS] [TARGET...]     (after ./quellon.sh build)
#
# Each run's new inputs go to build/fuzz-campaign/TARGET; at the end tools/fuzz/minimise.sh keeps
# in fuzz/corpus/TARGET only the inputs that reach new code. A crash leaves its input in
# build/fuzz-campaign/crashes. Appends one line per run to build/fuzz-campaign/totals.txt: target,
# executions, wall seconds, CPU seconds (user+sys), findings (crash files written), and the
# corpus's size before and after. FUZZ_CAMPAIGN_OUT names another folder for the runs, so two
# campaigns can share the machine. With FUZZ_CAMPAIGN_CPU=N each target runs again, SECONDS of wall
# time at a time, until its runs have had N CPU seconds (at the lowest priority a run beside other
# work gets far less CPU than wall time); each run is a line of the totals. A file named "stop" in
# the campaign's folder ends it after the runs going on (minimised and counted as usual).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-600}
shift || true
bin=$root/build/fuzz/fuzz
out=${FUZZ_CAMPAIGN_OUT:-$root/build/fuzz-campaign}
export FUZZ_CAMPAIGN_OUT=$out
mkdir -p "$out/crashes"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/*_fuzz.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
for t in "${targets[@]}"; do
  [ -x "$bin/$t" ] || { echo "campaign: $bin/$t is missing (./quellon.sh build)" >&2; continue; }
  work=$out/$t
  mkdir -p "$work"
  had=$(ls "$root/fuzz/corpus/$t" | wc -l)
  spent=0
  while :; do
    if [ -e "$out/stop" ]; then
      echo "campaign: $t not run: $out/stop asks the campaign to end (remove it to run again)" >&2
      break
    fi
    # The last run of a CPU budget is no longer than what is left of it.
    run=$seconds
    if [ "${FUZZ_CAMPAIGN_CPU:-0}" -gt 0 ] && [ $((FUZZ_CAMPAIGN_CPU - spent)) -lt "$run" ]; then
      run=$((FUZZ_CAMPAIGN_CPU - spent < 10 ? 10 : FUZZ_CAMPAIGN_CPU - spent))
    fi
    before=$(ls "$out/crashes" | wc -l)
    log=$out/$t.log
    /usr/bin/time -f '%U %S' -o "$out/$t.time" nice -n 19 "$bin/$t" -max_total_time="$run" \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$out/crashes/$t-" "$work" \
      "$root/fuzz/corpus/$t" >"$log" 2>&1
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    cpu=$(awk '{printf "%.0f", $1 + $2}' "$out/$t.time" 2>/dev/null)
    # A unit libFuzzer calls slow may only have been starved of the CPU (the campaign runs at the
    # lowest priority): one that runs in under a second on its own is not kept.
    for slow in "$out/crashes/$t-slow-unit-"*; do
      [ -f "$slow" ] || continue
      start=$(date +%s%N)
      "$bin/$t" "$slow" >/dev/null 2>&1
      if [ $(($(date +%s%N) - start)) -lt 1000000000 ]; then rm -f "$slow"; fi
    done
    after=$(ls "$out/crashes" | wc -l)
    spent=$((spent + ${cpu:-0}))
    # A run that got no CPU at all (a target that cannot start) ends the target's runs.
    last=0
    if [ "$spent" -ge "${FUZZ_CAMPAIGN_CPU:-0}" ] || [ "${cpu:-0}" -eq 0 ] || [ -e "$out/stop" ]; then
      last=1
    fi
    [ "$last" = 1 ] && "$root/tools/fuzz/minimise.sh" "$t" >/dev/null
    now=$(ls "$root/fuzz/corpus/$t" | wc -l)
    printf '%s execs=%s wall=%s cpu=%s findings=%s corpus=%s->%s\n' "$t" "${execs:-0}" "$run" \
      "${cpu:-0}" "$((after - before))" "$had" "$now" | tee -a "$out/totals.txt"
    [ "$last" = 1 ] && break
  done
done
