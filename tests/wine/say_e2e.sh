#!/usr/bin/env bash
# End to end under Wine: the Windows quellon-say speaks a sentence through winmm (captured through
# the ALSA file route of the session), then renders the same sentence with --out; the samples
# captured from the device must equal the rendered ones bit for bit, with nothing but silence
# around and between them (see compare_audio.py). The voice is a small synthetic one made here, so
# the test does not depend on the real voice being built.
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
python3 "$here/compare_audio.py" "$WINE_AUDIO_FILE" "$dir/out.wav" "quellon-say through winmm"
