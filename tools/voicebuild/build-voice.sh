#!/usr/bin/env bash
# Builds the default voice into the program folder.
#   build-voice.sh BUILD_DIR DIST_DIR
# BUILD_DIR holds tools/voicebuild/quellon-voicebuild; DIST_DIR is the program folder the engine
# reads (voices, dictionaries, sound cues and help texts side by side). Writes DIST_DIR/zuvan.idx,
# zuvan.vce and zuvan.def, and the build report, test sentence and spectrogram into
# DIST_DIR/voicebuild/. Skips the build when the voice is there and neither the builder nor its
# data changed since (a stamp of their hashes).
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: build-voice.sh BUILD_DIR DIST_DIR" >&2
  exit 2
fi
BUILD_DIR=$1
DIST_DIR=$2
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILDER="$BUILD_DIR/tools/voicebuild/quellon-voicebuild"
NAME=zuvan

if [ ! -x "$BUILDER" ]; then
  echo "build-voice: the voice builder is not built: $BUILDER" >&2
  exit 1
fi
mkdir -p "$DIST_DIR/voicebuild"
cp "$ROOT/data/$NAME.def" "$DIST_DIR/$NAME.def"

source_version=$(dpkg-query -W -f='${Version}' festvox-czech-ph 2>/dev/null || echo unknown)
stamp=$( (cat "$BUILDER" "$HERE/corpus.txt" "$HERE/build-voice.sh"; echo "$source_version") |
  sha256sum | cut -d' ' -f1)
stamp_file="$DIST_DIR/voicebuild/stamp"
if [ -f "$DIST_DIR/$NAME.idx" ] && [ -f "$DIST_DIR/$NAME.vce" ] && [ -f "$stamp_file" ] &&
  [ "$(cat "$stamp_file")" = "$stamp" ]; then
  echo "build-voice: $NAME is up to date in $DIST_DIR"
  exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/quellon-voicebuild.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -f "$stamp_file"
echo "build-voice: building $NAME into $DIST_DIR"
"$BUILDER" --out "$DIST_DIR" --name "$NAME" --work "$work" --corpus "$HERE/corpus.txt" \
  --report "$DIST_DIR/voicebuild"
echo "$stamp" > "$stamp_file"
