#!/usr/bin/env bash
# Quellon's one entry point for developers and CI.
#   ./quellon.sh say "TEXT"   set up, build, and speak TEXT with the built-in voice
#   ./quellon.sh test         set up, build every build, and run every test
#   ./quellon.sh build        set up and build the native and Windows builds
#   ./quellon.sh quick        set up, build the native build only, and run its tests
#   ./quellon.sh format       format every tracked C++ file in place (clang-format -i)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=${QUELLON_JOBS:-$(nproc)}

log() { printf '\033[1mquellon:\033[0m %s\n' "$*" >&2; }
die() { printf 'quellon: error: %s\n' "$*" >&2; exit 1; }

# Debian packages the builds and tests need. Installed only when missing, so a second run
# touches nothing.
PACKAGES=(
  build-essential cmake g++ clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  mingw-w64 mingw-w64-tools g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xdotool x11-utils imagemagick tesseract-ocr tesseract-ocr-ces
  festival festival-czech festvox-czech-ph sox
  libpulse-dev pkg-config python3
)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
    "${missing[@]}" >/dev/null
}

# configure_and_build PRESET [TARGETS...]
configure_and_build() {
  local preset=$1; shift
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" -j "$JOBS" --target "$@"
  else
    cmake --build --preset "$preset" -j "$JOBS"
  fi
}

# The program folder (dist/): the voice, its dictionary, the sound cues, the help texts, qlnd.ini
# and Quellon.exe side by side, as the engine and the program expect them. Each step skips work
# that is up to date.
make_program_folder() {
  local build=build/linux dist="$ROOT/dist"
  mkdir -p "$dist"
  if [ -f tools/voicebuild/build-voice.sh ]; then
    cmake --build "$build" -j "$JOBS" --target quellon-voicebuild >/dev/null
    bash tools/voicebuild/build-voice.sh "$ROOT/$build" "$dist"
  fi
  if [ -f tools/cuegen/make-cues.sh ]; then
    bash tools/cuegen/make-cues.sh "$ROOT/$build" "$dist"
  fi
  # Help texts, and the scripts that register and remove the automation class (Quellon.exe
  # /regserver, /unregserver): UTF-8 with LF in the repository, Windows-1250 with CR LF in the
  # program folder.
  local f
  for f in help.txt help_en.txt register.cmd unregister.cmd; do
    if [ -f "data/$f" ] && { [ ! -f "$dist/$f" ] || [ "data/$f" -nt "$dist/$f" ]; }; then
      sed 's/$/\r/' "data/$f" | iconv -f UTF-8 -t CP1250 >"$dist/$f.tmp"
      mv "$dist/$f.tmp" "$dist/$f"
    fi
  done
  # The settings file beside the program: made once; the program writes its own values on exit.
  [ -f "$dist/qlnd.ini" ] || printf '[General]\r\nLang=cz\r\nTime=0\r\n' >"$dist/qlnd.ini"
  # The Windows program itself, when the Windows build has made it.
  local exe=build/windows/app/win32/Quellon.exe
  if [ -f "$exe" ] && { [ ! -f "$dist/Quellon.exe" ] || [ "$exe" -nt "$dist/Quellon.exe" ]; }; then
    cp "$exe" "$dist/Quellon.exe"
  fi
}

cmd_build() {
  ensure_packages
  configure_and_build linux
  configure_and_build windows
  make_program_folder
}

# Quellon.exe under Wine beside Wine's Notepad, heard on the default audio device (or kept as a
# WAV file when there is none): see tools/demo/demo.sh.
cmd_demo() {
  ensure_packages
  configure_and_build linux
  configure_and_build windows
  make_program_folder
  bash tools/demo/demo.sh build/windows/app/win32/Quellon.exe "$ROOT/dist" \
    "$ROOT/build/demo/quellon-demo.wav"
}

cmd_say() {
  ensure_packages
  configure_and_build linux
  make_program_folder
  local say=build/linux/app/say/quellon-say
  if [ ! -x "$say" ]; then
    die "the speaking program (quellon-say) is not built yet in this version; the build itself succeeded"
  fi
  exec "$say" --folder "$ROOT/dist" "$@"
}

# Adds up the GoogleTest reports of one build: prints "NAME: N passed, M failed".
TOTAL_PASSED=0
TOTAL_FAILED=0
count_tests() {
  local preset=$1 dir="build/$1/test-reports"
  [ -d "$dir" ] || return 0
  local counts
  counts=$(cat "$dir"/*.xml 2>/dev/null | awk '
    /<testsuites / {
      match($0, / tests="[0-9]+"/); t += substr($0, RSTART + 8, RLENGTH - 9)
      match($0, / failures="[0-9]+"/); f += substr($0, RSTART + 11, RLENGTH - 12)
      match($0, / errors="[0-9]+"/); e += substr($0, RSTART + 9, RLENGTH - 10)
    }
    END { printf "%d %d\n", t - f - e, f + e }')
  read -r passed failed <<<"$counts"
  echo "$preset: $passed passed, $failed failed"
  TOTAL_PASSED=$((TOTAL_PASSED + passed))
  TOTAL_FAILED=$((TOTAL_FAILED + failed))
  LAST_FAILED=$failed
}

run_ctest() {
  local preset=$1
  log "running the $preset tests"
  rm -rf "build/$preset/test-reports"
  local rc=0
  ctest --preset "$preset" -j "$JOBS" || rc=1
  LAST_FAILED=0
  count_tests "$preset"
  if [ $rc -ne 0 ] && [ "$LAST_FAILED" -eq 0 ]; then
    # A test program crashed or a non-GoogleTest check failed: it left no failure in a report.
    TOTAL_FAILED=$((TOTAL_FAILED + 1))
  fi
  return $rc
}

# Every include must go down the layers listed in tools/layers/layers.txt.
check_layers() {
  [ -f tools/layers/check_layers.py ] || return 0
  log "checking the include layers"
  if ! python3 tools/layers/check_layers.py; then
    log "include layers: the includes above are not allowed by tools/layers/layers.txt"
    return 1
  fi
}

# The native build and its unit and scenario tests only (the include check runs among them).
cmd_quick() {
  ensure_packages
  log "building the native build"
  configure_and_build linux
  if run_ctest linux; then
    log "all tests passed"
  else
    log "some tests failed (ctest names them above)"
    return 1
  fi
}

cmd_format() {
  command -v clang-format >/dev/null || ensure_packages
  # Files deleted in the work tree but still in the index are left out.
  git ls-files -z '*.cpp' '*.h' | while IFS= read -r -d '' f; do
    if [ -f "$f" ]; then printf '%s\0' "$f"; fi
  done | xargs -0 -r clang-format -i
}

cmd_test() {
  ensure_packages
  log "building the native build"
  configure_and_build linux
  log "building the Windows build"
  configure_and_build windows
  log "building the sanitizer build"
  configure_and_build asan
  if [ -d fuzz ] && ls fuzz/*.cpp >/dev/null 2>&1; then
    log "building the fuzz targets"
    configure_and_build fuzz fuzz_all
  fi
  make_program_folder
  local failed=0
  log "checking the formatting"
  if ! git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror; then
    log "clang-format: the files above are not formatted (run ./quellon.sh format)"
    failed=1
  fi
  check_layers || failed=1
  run_ctest linux || failed=1
  run_ctest asan || failed=1
  run_ctest windows || failed=1
  if [ -d build/fuzz ] && [ -f build/fuzz/CTestTestfile.cmake ]; then
    log "running the fuzz smoke runs"
    (cd build/fuzz && ctest -j "$JOBS" --output-on-failure) || failed=1
  fi
  if [ $failed -ne 0 ]; then
    log "some tests failed"
  else
    log "all tests passed"
  fi
  echo "total: $TOTAL_PASSED passed, $TOTAL_FAILED failed"
  [ $failed -eq 0 ]
}

case "${1:-}" in
  say) shift; cmd_say "$@" ;;
  demo) shift; cmd_demo "$@" ;;
  test) shift; cmd_test "$@" ;;
  build) shift; cmd_build "$@" ;;
  quick) shift; cmd_quick "$@" ;;
  format) shift; cmd_format "$@" ;;
  *)
    echo "usage: ./quellon.sh say \"TEXT\" | test | build | quick | format | demo" >&2
    exit 2
    ;;
esac
