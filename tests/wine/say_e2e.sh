#!/usr/bin/env bash
# End to end under Wine: the Windows quellon-say speaks a sentence through winmm (captured through
# the ALSA file route of the session), then renders the same sentence with --out; the samples
# captured from the device must equal the rendered ones bit for bit (the device may add silence
# before and after, nothing else). The voice is a small synthetic one made here, so the test does
# not depend on the real voice being built.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
say=${1:?usage: say_e2e.sh quellon-say.exe}
source "$here/session.sh"
wine_session_start
# The speaking loop opens the device anew for every stretch of sound, and the file plugin empties
# its file at every open: append through a pipe instead, so the capture holds every stretch.
cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type plug; slave.pcm "capfile"; }
pcm.capfile { type file; slave.pcm "null"; file "|cat >>$WINE_AUDIO_FILE"; format "raw"; }
ASOUND

dir="$WINE_SESSION_ROOT/run/say"
rm -rf "$dir" && mkdir -p "$dir/voice"
python3 "$here/../model/make_test_voice.py" "$dir/voice" zuvan
text='Ahoj světe, jak se máš? Dobře: 12 domů, v domě je 3x více lidí. Konec!'

: >"$WINE_AUDIO_FILE"
printf '%s' "$text" | wine_run "$say" --folder "$(wine_path "$dir/voice")" >"$dir/play.log" 2>&1 || {
  echo "FAIL: quellon-say.exe did not speak"; cat "$dir/play.log"; exit 1; }
printf '%s' "$text" | wine_run "$say" --folder "$(wine_path "$dir/voice")" \
  --out "$(wine_path "$dir")\\out.wav" >"$dir/out.log" 2>&1 || {
  echo "FAIL: quellon-say.exe --out failed"; cat "$dir/out.log"; exit 1; }
# The device's file is complete once the Wine session has let it go.
timeout 30 wineserver -w || true

if [ -n "${QUELLON_SAY_E2E_KEEP:-}" ]; then  # keep the files for a look after the run
  mkdir -p "$QUELLON_SAY_E2E_KEEP" && cp "$WINE_AUDIO_FILE" "$dir"/*.wav "$dir"/*.log "$QUELLON_SAY_E2E_KEEP"
fi
python3 - "$WINE_AUDIO_FILE" "$dir/out.wav" <<'PY'
import struct, sys
cap = open(sys.argv[1], "rb").read()
wav = open(sys.argv[2], "rb").read()
assert wav[:4] == b"RIFF" and wav[12:16] == b"fmt ", "not a WAV file"
pos = 12
while wav[pos:pos + 4] != b"data":
    pos += 8 + struct.unpack("<I", wav[pos + 4:pos + 8])[0]
size = struct.unpack("<I", wav[pos + 4:pos + 8])[0]
out = struct.unpack("<%dh" % (size // 2), wav[pos + 8:pos + 8 + size])
got = struct.unpack("<%dh" % (len(cap) // 2), cap[: len(cap) // 2 * 2])
nz_out = next((i for i, v in enumerate(out) if v), None)
nz_got = next((i for i, v in enumerate(got) if v), None)
if nz_out is None or nz_got is None:
    sys.exit("FAIL: silence (captured %d samples, rendered %d)" % (len(got), len(out)))
k = nz_got - nz_out
ok = k >= 0 and got[k:k + len(out)] == out and not any(got[:k]) and not any(got[k + len(out):])
if not ok:
    first = next((i for i in range(min(len(out), len(got) - max(k, 0)))
                  if got[k + i] != out[i]), None) if k >= 0 else None
    sys.exit("FAIL: captured %d samples differ from the %d rendered (offset %d, first difference "
             "at %s)" % (len(got), len(out), k, first))
print("PASS: %d samples played through winmm equal the rendered ones (%d leading, %d trailing "
      "silent samples)" % (len(out), k, len(got) - k - len(out)))
PY
