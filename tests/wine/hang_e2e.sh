#!/usr/bin/env bash
# End to end under Wine: the focused program hangs (it stops answering messages), and Quellon
# keeps answering: Wine's Notepad started meanwhile is announced with its title, a letter typed
# into it is echoed and the time command is heard (each compared sample for sample with the
# engine's rendering), the letter and the time without waiting on the hung program (the time from
# each key to the first sample of its answer is printed: the goal is 200 ms; the check fails only
# at 450 ms, short of the 500 ms a message to the hung program could take, as the figure also
# holds the key tools' own start-up, which a loaded machine stretches). Twice: the target stops
# answering between calls, then it hangs inside the call Quellon makes when its custom control is
# focused (the call is cancelled after its one-second bound, and Quellon answers the same way from
# then on).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: hang_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe"
quellon=${1:?$usage}
say=${2:?$usage}
target=${3:?$usage}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
source "$here/e2e.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/hang"
quellon_speaking_folder "$prog" "$dist" "$quellon"

fail=0
failed() {
  echo "FAIL: $*"
  fail=1
}
target_command() { printf '%s\n' "$1" >>"$E2E_DIR/commands.txt"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# answered NAME COMMAND...: runs COMMAND (a key) and prints how long the first sample of the
# answer took; fails when it took as long as a message to the hung program may, or never came (5 s).
waited_behind_ms=450
answered() {
  local name=$1 before start sent waited
  shift
  before=$(audio_size)
  start=$(now_ms)
  "$@"
  sent=$(now_ms)
  while [ "$(audio_size)" = "$before" ]; do
    if [ $(($(now_ms) - start)) -gt 5000 ]; then
      failed "$name: no answer within 5 s"
      return 0
    fi
    sleep 0.005
  done
  waited=$(($(now_ms) - start))
  echo "$name: first sample after $waited ms (goal 200 ms; the key tool ran for $((sent - start)) ms of it)"
  [ "$waited" -lt "$waited_behind_ms" ] ||
    failed "$name: answered after $waited ms, as late as a wait on the hung program"
}
days=(neděle pondělí úterý středa čtvrtek pátek sobota)
months=(leden únor březen duben květen červen červenec srpen září říjen listopad prosinec)
spoken_time() { # the sentence for `date -d "$1"`
  local h m w d mo y
  read -r h m w d mo y < <(date -d "$1" '+%-H %-M %w %-d %-m %Y')
  printf '%s hodin, %s minut, %s, %s.%s %s' "$h" "$m" "${days[$w]}" "$d" "${months[$((mo - 1))]}" "$y"
}
time_key() { chord ctrl shift t; }
letter_key() { timeout 10 xdotool key a; }
notepad_start() { np=$(wine_start notepad.exe); }
# The checks of one hang: Notepad started meanwhile is announced, a letter typed into it is
# echoed, the time is said (the keys go to Notepad: under Wine a hung program that has the
# keyboard focus swallows the keys, before any hook sees them).
while_hung() {
  local label=$1 now
  notepad_start
  if wait_sound 10; then
    heard_as "$label-notepad" "$say" "$prog" 'Untitled - Notepad  ' ||
      failed "$label: Notepad's start was not heard as its title"
  else
    failed "$label: Notepad's start was met with silence"
  fi
  answered "$label: a typed into Notepad" letter_key
  heard_as "$label-letter" "$say" "$prog" 'a' || failed "$label: the letter was not echoed"
  now=$(spoken_time now)
  answered "$label: Ctrl+Shift+T" time_key
  heard_as "$label-time" "$say" "$prog" "$now" "$(spoken_time '+1 minute')" ||
    failed "$label: the time was not heard as its sentence"
  timeout 30 wine taskkill /im notepad.exe /f >/dev/null 2>&1 || true
  wait "$np" 2>/dev/null || true
  wait_quiet 1 || true
  : >"$WINE_AUDIO_FILE"
}

e2e_start_target "$target"
target_command "focus edit"
pid=$(wine_start "$prog/Quellon.exe")
wait_sound || true
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"

# Between calls: the focused target stops answering messages.
target_command "hang"
wine_wait_file "$E2E_DIR/hung" 10 || failed "the target did not hang"
while_hung hung
touch "$E2E_DIR/release"
for _ in $(seq 1 100); do [ -e "$E2E_DIR/hung" ] || break; sleep 0.05; done

# Inside a call: the target's custom control is focused with its next accName armed to hang, so
# Quellon's focus tick calls into the target and the call hangs there. The target's main window
# is made the active one again first (Notepad has gone).
target_command "back"
sleep 1
wait_quiet 1 || true
target_command "hangcall"
target_command "focus custom"
wine_wait_file "$E2E_DIR/hung" 10 || failed "the target did not hang inside the call"
# The call's bound (1 s) and the watchdog's rounds; what the focus tick says of the control it
# could not read is not what this checks.
sleep 2
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"
kill -0 "$pid" 2>/dev/null || failed "Quellon.exe died while the target hung inside its call"
while_hung hungcall
touch "$E2E_DIR/release"
for _ in $(seq 1 100); do [ -e "$E2E_DIR/hung" ] || break; sleep 0.05; done

kill -0 "$pid" 2>/dev/null || failed "Quellon.exe is no longer running"
timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
e2e_stop_target
wine_session_stop
[ $fail -eq 0 ] && echo "PASS: Quellon kept answering while the focused program hung" ||
  echo "FAIL: Quellon did not keep answering while the focused program hung"
exit $fail
