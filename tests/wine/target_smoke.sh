#!/usr/bin/env bash
# The test target starts on the virtual desktop, reports its controls, runs commands and quits.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: target_smoke.sh quellon-target.exe}
source "$here/session.sh"
wine_session_start

dir="$WINE_SESSION_ROOT/run/target"
rm -rf "$dir" && mkdir -p "$dir"
wine_start "$target" "$(wine_path "$dir")" >/dev/null
wine_wait_file "$dir/ready" 30 || { echo "FAIL: the target did not start"; exit 1; }
for name in main edit rich button check radio1 list combo listview tree progress custom; do
  grep -q "^$name=[0-9a-f]\+$" "$dir/ready" || { echo "FAIL: no $name in ready"; exit 1; }
done
printf 'focus custom\ncustom 2\nprogress 45\nquit\n' >"$dir/commands.txt"
wine_wait_file "$dir/done.txt" 30 || { echo "FAIL: no command ran"; exit 1; }
for ((i = 0; i < 600; i++)); do
  grep -q '^done 4$' "$dir/done.txt" && break
  sleep 0.05
done
grep -q '^done 4$' "$dir/done.txt" || { echo "FAIL: not all commands ran"; cat "$dir/done.txt"; exit 1; }
echo "PASS: target started, ran 4 commands and quit"
