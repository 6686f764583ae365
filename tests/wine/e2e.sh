# Shared steps of the end-to-end tests that drive quellon-target with quellon-probe. Source it
# after session.sh and wine_session_start.
#
#   e2e_start_target TARGET.exe   # starts the target in $E2E_DIR, waits for its ready file
#   e2e_probe PROBE.exe MODE      # runs one probe mode to its end; prints its report
#   e2e_stop_target               # asks the target to quit and waits for it (bounded)

E2E_DIR=""
E2E_TARGET_PID=""

e2e_start_target() {
  E2E_DIR="$WINE_SESSION_ROOT/run/target"
  rm -rf "$E2E_DIR" && mkdir -p "$E2E_DIR"
  E2E_TARGET_PID=$(wine_start "$1" "$(wine_path "$E2E_DIR")")
  wine_wait_file "$E2E_DIR/ready" 30 || { echo "FAIL: the target did not start"; return 1; }
}

# Runs the probe in the background (so the caller can type keys meanwhile when it passes a
# function name as the third argument: it is called once the probe has written probe-hooked).
e2e_probe() {
  local probe=$1 mode=$2 during=${3:-} rc=0
  timeout 120 wine "$probe" "$mode" "$(wine_path "$E2E_DIR")" >"$E2E_DIR/probe-$mode.txt" 2>&1 &
  local pid=$!
  WINE_SESSION_PIDS+=("$pid")
  if [ -n "$during" ]; then
    if wine_wait_file "$E2E_DIR/probe-hooked" 30; then
      "$during"
    else
      echo "FAIL: the probe did not install its hook"
    fi
  fi
  wait "$pid" || rc=$?
  tr -d '\r' <"$E2E_DIR/probe-$mode.txt"
  return $rc
}

e2e_stop_target() {
  [ -n "$E2E_TARGET_PID" ] || return 0
  printf 'quit\n' >>"$E2E_DIR/commands.txt"
  wait "$E2E_TARGET_PID" 2>/dev/null || true
  E2E_TARGET_PID=""
}
