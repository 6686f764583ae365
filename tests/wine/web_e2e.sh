#!/usr/bin/env bash
# The HTML-document port and the web reader against the target's web page: its document is
# fetched with WM_HTML_GETOBJECT and called by member name across processes, and the reader
# speaks the character, the word and the text area's line at the page's caret.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=${1:?usage: web_e2e.sh quellon-target.exe quellon-probe.exe}
probe=${2:?usage: web_e2e.sh quellon-target.exe quellon-probe.exe}
source "$here/session.sh"
source "$here/e2e.sh"
wine_session_start
e2e_start_target "$target"
rc=0
e2e_probe "$probe" web || rc=1
e2e_stop_target
exit $rc
