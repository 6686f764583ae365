#!/usr/bin/env bash
# End to end under Wine: the automation class "Quellon.App" of the running Quellon.exe, driven by
# scripts that Wine's own script host runs. Quellon.exe registers the class (/regserver
# /allusers), starts, and then
#   1. a VBScript sets the tempo and pitch out of range and back (clamped to -10..10), says one
#      sentence with SayIt (which returns before the sentence is spoken: IsSpeaking turns true
#      after the call, then false at the end) and prints its success marker; the captured sound
#      equals quellon-say's render of the same sentence with that tempo and pitch, sample for
#      sample (no dictionary: SayIt bypasses it);
#   2. a JScript starts a long sentence, stops it with Reset, selects the voice, switches the
#      hooks and the window, prints its marker and calls Destroy: the program ends by its normal
#      shutdown and qlnd.ini holds the saved settings;
#   3. /unregserver /allusers removes the class again (as /unregserver removes the per-user keys
#      /regserver wrote, checked first).
# Script errors are silent in Wine's script host (exit code 0), so each script's marker is checked.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quellon=${1:?usage: automation_e2e.sh Quellon.exe quellon-say.exe}
say=${2:?usage: automation_e2e.sh Quellon.exe quellon-say.exe}
dist=${QUELLON_DIST:-$here/../../dist}
for f in zuvan.idx zuvan.vce zuvan.def; do
  if [ ! -f "$dist/$f" ]; then
    echo "FAIL: the program folder $dist has no $f; build it first (./quellon.sh test does," \
      "or set QUELLON_DIST)"
    exit 1
  fi
done
source "$here/session.sh"
wine_session_start

prog="$WINE_SESSION_ROOT/run/automation"
quellon_speaking_folder "$prog" "$dist" "$quellon"
: >"$prog/empty.def"
fail=0

# ---- Registration ----
# Per user, with the program folder's register.cmd (what a user without administrator rights
# runs on Windows): the keys go to HKCU, and /unregserver takes them away again.
for f in register.cmd unregister.cmd; do
  sed 's/$/\r/' "$here/../../data/$f" >"$prog/$f"
done
user_key='HKCU\Software\Classes\Quellon.App\CLSID'
if ! wine_run cmd /c "$(wine_path "$prog/register.cmd")" >/dev/null 2>&1; then
  echo "FAIL: register.cmd (Quellon.exe /regserver) failed"
  fail=1
fi
if ! timeout 30 wine reg query "$user_key" 2>/dev/null | grep -qi 'c530c890'; then
  echo "FAIL: /regserver wrote no per-user ProgID"
  fail=1
fi
if ! wine_run cmd /c "$(wine_path "$prog/unregister.cmd")" >/dev/null 2>&1; then
  echo "FAIL: unregister.cmd (Quellon.exe /unregserver) failed"
  fail=1
fi
if timeout 30 wine reg query "$user_key" >/dev/null 2>&1; then
  echo "FAIL: the per-user ProgID is still there after /unregserver"
  fail=1
fi
# For all users: Wine 8 activates classes from HKLM only.
if ! quellon_register_server "$prog/Quellon.exe"; then
  echo "FAIL: Quellon.exe /regserver /allusers failed"
  exit 1
fi
server=$(timeout 30 wine reg query \
  'HKLM\Software\Classes\CLSID\{c530c890-9109-4e28-8af1-5f108f9034ea}\LocalServer32' \
  2>/dev/null | tr -d '\r' || true)
if ! grep -qi 'Quellon.exe' <<<"$server"; then
  echo "FAIL: the class has no LocalServer32 command after /regserver: $server"
  fail=1
fi
progid=$(timeout 30 wine reg query 'HKLM\Software\Classes\Quellon.App\CLSID' 2>/dev/null |
  tr -d '\r' || true)
if ! grep -qi 'c530c890-9109-4e28-8af1-5f108f9034ea' <<<"$progid"; then
  echo "FAIL: the ProgID Quellon.App does not name the class: $progid"
  fail=1
fi

pid=$(wine_start "$prog/Quellon.exe")
wait_sound 0 || true  # the startup announcement (whatever is active), if any
wait_quiet 2 || true

# Wine's script host reads a script in the ANSI code page (Windows-1252 here; a UTF-16 script
# runs silently as nothing), so the sentence keeps to letters that code page has.
ansi() { iconv -f UTF-8 -t CP1252 >"$1"; }
sentence='dobrý den, tady mluví quellon'

# ---- 1. VBScript: tempo, pitch, SayIt, IsSpeaking ----
ansi "$prog/drive.vbs" <<VBS
Option Explicit
Dim q, ok, t0, waited, took
ok = True
Set q = CreateObject("Quellon.App")
q.SetTempo 25
If q.GetTempo() <> 10 Then ok = False : WScript.Echo "SetTempo(25) gave " & q.GetTempo()
q.SetTempo -25
If q.GetTempo() <> -10 Then ok = False : WScript.Echo "SetTempo(-25) gave " & q.GetTempo()
q.SetPitch 40
If q.GetPitch() <> 10 Then ok = False : WScript.Echo "SetPitch(40) gave " & q.GetPitch()
q.SetPitch -11
If q.GetPitch() <> -10 Then ok = False : WScript.Echo "SetPitch(-11) gave " & q.GetPitch()
q.SetTempo 3
q.SetPitch -2
If q.GetTempo() <> 3 Or q.GetPitch() <> -2 Then ok = False : WScript.Echo "tempo 3, pitch -2 not kept"
t0 = Timer
q.SayIt "$sentence"
took = Timer - t0
WScript.Echo "SayIt returned after " & Int(took * 1000) & " ms"
If took > 0.5 Then ok = False : WScript.Echo "SayIt did not return at once"
' Wine's script host has no WScript.Sleep: the waits poll, bounded by the clock.
t0 = Timer
Do While Not q.IsSpeaking() And Timer - t0 < 2
Loop
If Not q.IsSpeaking() Then ok = False : WScript.Echo "IsSpeaking never turned true"
t0 = Timer
Do While q.IsSpeaking() And Timer - t0 < 15
Loop
waited = Timer - t0
If q.IsSpeaking() Then ok = False : WScript.Echo "IsSpeaking stayed true"
WScript.Echo "IsSpeaking was true for " & Int(waited * 1000) & " ms"
If ok Then WScript.Echo "QUELLON-VBS-OK"
VBS
: >"$WINE_AUDIO_FILE"
t0=$(date +%s%N)
vbs_out=$(cd "$prog" && wine_run cscript //nologo "$(wine_path "$prog/drive.vbs")" 2>&1 |
  tr -d '\r' || true)
t1=$(date +%s%N)
echo "$vbs_out"
echo "VBScript ran in $(((t1 - t0) / 1000000)) ms"
if ! grep -q '^QUELLON-VBS-OK$' <<<"$vbs_out"; then
  echo "FAIL: the VBScript did not print its success marker"
  fail=1
fi
wait_quiet 1 || true
cp "$WINE_AUDIO_FILE" "$prog/sayit.raw"
compare_with_render "$say" "$prog" "$prog/sayit.raw" "SayIt sentence" "$sentence" \
  --dict "$(wine_path "$prog/empty.def")" --tempo 3 --pitch -2 || fail=1

# ---- 2. JScript: Reset, SelectVoice, SetHook, SetVisible, Destroy ----
ansi "$prog/drive.js" <<'JS'
var q = new ActiveXObject("Quellon.App");
var ok = true;
q.SetTempo(0);
q.SetPitch(0);
q.SayIt("jedna dva tri ctyri pet sest sedm osm devet deset jedenáct dvanáct trináct ctrnáct");
function now() { return new Date().getTime(); }
var t0 = now();
while (!q.IsSpeaking() && now() - t0 < 2000) {}
if (!q.IsSpeaking()) { ok = false; WScript.Echo("the long sentence never started"); }
q.Reset();
if (q.IsSpeaking()) { ok = false; WScript.Echo("Reset did not stop the speech"); }
q.SelectVoice("zuvan");
if (q.GetTempo() != 0 || q.GetPitch() != 0) { ok = false; WScript.Echo("tempo or pitch lost"); }
q.SetHook(0);
q.SetHook(2);
q.SetHook(1);
q.SetVisible(1);
q.SetVisible(0);
if (ok) WScript.Echo("QUELLON-JS-OK");
q.Destroy();
JS
js_out=$(cd "$prog" && wine_run cscript //nologo "$(wine_path "$prog/drive.js")" 2>&1 |
  tr -d '\r' || true)
echo "$js_out"
if ! grep -q '^QUELLON-JS-OK$' <<<"$js_out"; then
  echo "FAIL: the JScript did not print its success marker"
  fail=1
fi
# Only the copy started here can end by Destroy: had CreateObject started a second one from the
# registered path, this one would still run.
ended=0
for ((i = 0; i < 400; i++)); do
  if ! kill -0 "$pid" 2>/dev/null; then
    ended=1
    break
  fi
  sleep 0.05
done
if [ $ended -eq 0 ]; then
  echo "FAIL: Quellon.exe did not end after Destroy"
  fail=1
  timeout 30 wine taskkill /im Quellon.exe >/dev/null 2>&1 || true
fi
wait "$pid" 2>/dev/null || true
# The normal shutdown wrote every setting, in the documented form.
ini=$(tr -d '\r' <"$prog/qlnd.ini")
for line in '[Voice]' 'Name=zuvan' 'Volume=50' 'Pitch=50' 'Tempo=50' '[Info]' 'Active=0'; do
  if ! grep -qxF "$line" <<<"$ini"; then
    echo "FAIL: qlnd.ini has no line \"$line\" after Destroy:"
    echo "$ini"
    fail=1
    break
  fi
done

# ---- 3. Unregistration ----
if ! wine_run "$prog/Quellon.exe" /unregserver /allusers; then
  echo "FAIL: Quellon.exe /unregserver /allusers failed"
  fail=1
fi
if timeout 30 wine reg query 'HKLM\Software\Classes\Quellon.App' >/dev/null 2>&1; then
  echo "FAIL: the ProgID is still registered after /unregserver"
  fail=1
fi

[ $fail -eq 0 ] && echo "PASS: Quellon.App driven from VBScript and JScript, heard and closed"
exit $fail
