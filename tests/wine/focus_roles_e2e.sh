#!/usr/bin/env bash
# End to end under Wine: the focus tick's role rules against the test target's own accessible
# objects, the events raised by the target itself. Each move is heard as the role's cue (the cue
# file named after the role's text as the system gives it; Wine's text for some roles, such as
# "check button", differs from Windows' and has no cue file, and then no cue is expected) followed
# by the engine's rendering of the exact sentence, sample for sample: a checked check box, a menu item with a submenu and a disabled
# one, a tree item, an unselected list-view item, a message box whose buttons are push buttons (the
# sentence built from its child windows as the target lists them), a move to another top-level
# window of the target and back (its title heard: Wine raises no foreground event, Quellon makes
# one), and a control focused while its window was still hidden (heard once the window shows).
# The progress bar at 37 % must be heard as the progress sound played at 110 * 37 + 11025 = 15095
# samples per second, and a value change while the bar's window is in the background not at all:
# the audio route files each stretch of sound under its sample rate.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: focus_roles_e2e.sh Quellon.exe quellon-say.exe quellon-target.exe"
quellon=${1:?$usage}
say=${2:?$usage}
target=${3:?$usage}
dist=${QUELLON_DIST:-$here/../../dist}
source "$here/session.sh"
quellon_require_dist "$dist"
[ -f "$dist/snd/progress.wav" ] || { echo "FAIL: $dist has no snd/progress.wav"; exit 1; }
source "$here/e2e.sh"
wine_session_start

# Every stretch of sound into a file named after its sample rate.
run="$WINE_SESSION_ROOT/run"
cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type plug; slave.pcm "capfile"; }
pcm.capfile { type file; slave.pcm "null"; file "|cat >>$run/audio-%r.raw"; format "raw"; }
ASOUND
export WINE_AUDIO_FILE="$run/audio-22050.raw"
rm -f "$run"/audio-*.raw
: >"$WINE_AUDIO_FILE"

prog="$run/roles"
quellon_speaking_folder "$prog" "$dist" "$quellon"
cp -r "$dist/snd" "$prog/"

e2e_start_target "$target"
pid=$(wine_start "$prog/Quellon.exe")
wait_sound || { echo "FAIL: Quellon.exe said nothing at its start"; exit 1; }
wait_quiet 2 || true
: >"$WINE_AUDIO_FILE"

fail=0
command() { printf '%s\n' "$@" >>"$E2E_DIR/commands.txt"; }
# cue_of ROLE: the cue file the role's text names, as the target's system gives the text (empty
# when there is no such file).
cue_of() {
  rm -f "$E2E_DIR/roletext.txt"
  command "roletext $1"
  wine_wait_file "$E2E_DIR/roletext.txt" 10 || return 0
  local text
  text=$(tr -d '\r\n' <"$E2E_DIR/roletext.txt" | tr '[:upper:]' '[:lower:]' | sed 's/^ *//; s/ *$//')
  [ -f "$prog/snd/$text.wav" ] && printf '%s' "$prog/snd/$text.wav"
  return 0
}
# move NAME ROLE SENTENCE COMMANDS...: runs the commands and compares what was heard with the
# role's cue and the sentence.
move() {
  local name=$1 role=$2 sentence=$3 cue
  shift 3
  cue=$(cue_of "$role")
  echo "$name: role $role, cue: ${cue:-none}"
  command "$@"
  HEARD_CUE="$cue" heard_as "$name" "$say" "$prog" "$sentence" || fail=1
}

move checked 44 ' Zapnout zvuk  zatrženo' 'object check 44 16 0' 'focus check'
move submenu 12 ' Soubor  rozbalovací' 'object menuitem 12 0 1 Soubor' 'notify menuitem'
move disabled 12 ' Konec  nedostupné' 'object menuitem 12 1 0 Konec' 'notify menuitem'
move tree 36 'Dokumenty sbaleno' 'object tree 36 1024 0 Dokumenty' 'notify tree'
move listview 34 ' dopis.txt  nevybráno' 'object listview 34 0 0 dopis.txt' 'notify listview'

# The progress bar in the active window: the progress sound at 15095 samples per second, no speech.
command 'progress 37'
for ((i = 0; i < 200; i++)); do
  [ -s "$run/audio-15095.raw" ] && break
  sleep 0.05
done
wait_quiet 1 || true
if [ -s "$run/audio-15095.raw" ] &&
  python3 "$here/compare_audio.py" "$run/audio-15095.raw" "$prog/snd/progress.wav" \
    "progress at 37 %"; then
  :
else
  echo "FAIL: progress at 37 %: no sound at 15095 samples per second ($(ls "$run"))"
  fail=1
fi
if [ -s "$WINE_AUDIO_FILE" ]; then
  echo "FAIL: progress at 37 %: speech or a cue came with the tone"
  fail=1
fi

# Every role's text as the system gives it (for the cue files' names).
if [ -n "${QUELLON_ROLE_TEXTS:-}" ]; then
  for ((r = 1; r <= 64; r++)); do
    rm -f "$E2E_DIR/roletext.txt"
    command "roletext $r"
    wine_wait_file "$E2E_DIR/roletext.txt" 10 && printf '%d\t%s\n' $r "$(tr -d '\r\n' <"$E2E_DIR/roletext.txt")" >>"$QUELLON_ROLE_TEXTS"
  done
fi

# Another top-level window of the target, then back.
move window 44 'Druhé okno Uložit ' 'window Druhé okno'
rm -f "$run/audio-16525.raw"
command 'progress 50'
sleep 1
if [ -e "$run/audio-16525.raw" ]; then
  echo "FAIL: a value change in a background window was heard"
  fail=1
else
  echo "PASS: a value change in a background window made no sound"
fi
move back 44 'Quellon Test Target Zapnout zvuk  zatrženo' 'back'

# A message box whose buttons are push buttons: the title, the texts of its child windows (each
# after CR LF, an icon's text empty; nothing when another kind of visible control is there), the
# button's name and its empty value.
cue=$(cue_of 43)
command 'pushmsgbox Soubor nenalezen'
wait_sound || true
rm -f "$E2E_DIR/msgbox.txt"
command 'msgboxreport'
wine_wait_file "$E2E_DIR/msgbox.txt" 10 || true
dialog=$(python3 - "$E2E_DIR/msgbox.txt" <<'PY'
import sys
found_button = False
collected = ""
count = 0
for line in open(sys.argv[1], encoding="utf-8").read().splitlines():
    cls, visible, icon, text = (line.split("\t") + ["", "", ""])[:4]
    cls, visible = cls.upper(), visible == "1"
    other = visible and not any(k in cls for k in ("PICTUREBOX", "MSOUNISTAT", "TEXTBOX", "STATIC", "BUTTON"))
    found_button = found_button or "BUTTON" in cls
    if count <= 50 and not other:
        count += 1
        if visible and "PICTUREBOX" not in cls:
            collected += "\r\n" + ("" if icon == "1" else text)
    else:
        collected = ""
        break
sys.stdout.write(collected if found_button else "")
PY
)
HEARD_CUE="$cue" heard_as msgbox "$say" "$prog" "Zpráva $dialog OK " || fail=1
timeout 10 xdotool key Return
wait_sound || true
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"

# A hostile object (negative role, every state bit, a million characters of name and value): the
# program goes on, Ctrl silences it, and the next move is announced.
command 'hostile menuitem'
wait_sound || { echo "FAIL: the hostile object was not announced"; fail=1; }
sleep 1
timeout 10 xdotool key ctrl
wait_quiet 1 || true
: >"$WINE_AUDIO_FILE"
if kill -0 "$pid" 2>/dev/null; then echo "PASS: Quellon.exe runs on after a hostile object"; else
  echo "FAIL: Quellon.exe ended after a hostile object"
  fail=1
fi
move after-hostile 36 'Dokumenty sbaleno' 'notify tree'

# Focused while its window was hidden: heard once the window shows, once.
move hidden 44 'Skryté okno Potvrdit ' 'hidden Skryté okno'

timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
wait "$pid" 2>/dev/null || true
e2e_stop_target
[ $fail -eq 0 ] && echo "PASS: every role was heard as its cue and its sentence"
exit $fail
