#!/usr/bin/env bash
# Ending the program the way a desktop ends it, and a one-shot that cannot apply its skin:
# - SIGTERM, SIGHUP and SIGINT save the settings as Exit does, also with a modal box open, whose
#   question then goes unanswered and is not carried out;
# - "/O" with a settings folder the user cannot write exits non-zero, says so in one line naming
#   the file, and leaves the store as it was.
# Usage: session_end.sh <path of the built quillarbor>
set -uo pipefail

program=${1:?usage: session_end.sh <path of the built quillarbor>}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# shellcheck source=tools/lib/require.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/require.sh"
require_tools session_end Xvfb openbox xdotool

script_name=session_end
# shellcheck source=tools/lib/desktop.sh
source "$repo/tools/lib/desktop.sh"
if [[ -z "${DISPLAY:-}" ]]; then
    start_virtual_desktop
fi
export QT_QPA_PLATFORM=xcb
unset SESSION_MANAGER
tmp=$(cd -P "$session" && pwd)
chmod 755 "$tmp"
# shellcheck source=tools/lib/private_settings.sh
source "$repo/tools/lib/private_settings.sh"
use_private_settings "$tmp"
chmod 755 "$tmp/config"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# shellcheck source=tools/lib/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/wait.sh"
# The data of value "String" under the setting $1, or of "BackBitmapIE5" with $1 = toolbar.
setting() {
    if [[ $1 == toolbar ]]; then
        stored 'HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Toolbar' BackBitmapIE5
    else
        stored "HKEY_CURRENT_USER\\Software\\Quillarbor\\$1" String
    fi
}

skins="$tmp/skins"
mkdir -p "$skins"
cp "$repo"/samples/*.bmp "$skins/"
chmod -R a+rX "$skins"

# Starts the program in the skin folder with no settings; sets $pid and $window.
start() {
    rm -f "$store"
    (cd "$skins" && exec "$program" >"$tmp/run.log" 2>&1) &
    pid=$!
    session_pids+=("$pid")
    window=""
    find_window() { window=$(xdotool search --all --pid "$pid" --name '^Quillarbor$' 2>/dev/null | head -n 1); [[ -n $window ]]; }
    wait_for 20 find_window || fail "no window titled \"Quillarbor\" appeared"
    sleep 0.5
}
# Sends signal $1 and checks the program ended on its own with status 0.
end_with() {
    kill "-$1" "$pid"
    local waited=0
    while kill -0 "$pid" 2>/dev/null && ((waited < 50)); do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        fail "SIG$1 did not end the program"
        kill -KILL "$pid"
    fi
    wait "$pid"
    local status=$?
    ((status == 0)) || fail "SIG$1: exit status $status"
}

for signal in TERM HUP INT; do
    start
    end_with "$signal"
    [[ "$(setting path)" == "\"$skins\"" ]] || fail "SIG$signal: folder saved as $(setting path)"
    [[ "$(setting delay)" == '"1"' ]] || fail "SIG$signal: delay saved as $(setting delay)"
    [[ "$(setting systray)" == '"False"' ]] || fail "SIG$signal: tray flag saved as $(setting systray)"
    echo "ok: SIG$signal saves the folder, the delay and the tray flag"
done

# A delay typed into the box: the focus starts on the unseen button; the delay box is the
# fourth control after it.
start
xdotool windowactivate --sync "$window" 2>/dev/null
sleep 0.3
xdotool key --delay 50 Tab Tab Tab Tab ctrl+a 3
sleep 0.5
end_with TERM
[[ "$(setting delay)" == '"3"' ]] || fail "a typed delay of 3 was saved as $(setting delay)"
echo "ok: SIGTERM saves the delay typed into the box"

# The reset's first question open (Help, first item): the signal ends the program, the settings
# are saved and the unanswered reset does not blank the browser value.
start
box() { xdotool search --all --pid "$pid" --name '^Reset Registry before uninstall$' >/dev/null 2>&1; }
for attempt in 1 2 3; do
    # Keys reach the menus only once the window has the focus, which the window manager grants
    # in its own time.
    xdotool windowactivate --sync "$window" 2>/dev/null
    sleep 0.3
    xdotool key --delay 150 Escape F10 Right Return
    wait_for 3 box && break
done
box || fail "the reset's question did not open"
end_with TERM
[[ "$(setting toolbar)" == "" ]] || fail "the unanswered reset wrote $(setting toolbar)"
[[ "$(setting delay)" == '"1"' ]] || fail "with a box open, the delay was saved as $(setting delay)"
echo "ok: a signal with a modal box open saves the settings and carries out no reset"

# One-shot with a settings folder that cannot be written: as an unprivileged user where the tests
# run as root, since root writes anywhere.
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\r\n"String"="%s"\r\n' \
    "$skins" >"$store"
chmod 644 "$store"
chmod 555 "$XDG_CONFIG_HOME/quillarbor"
cp "$store" "$tmp/store.before"
as_user=()
if ((EUID == 0)); then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
(cd "$skins" && env -u DISPLAY -u QT_QPA_PLATFORM "${as_user[@]}" "$program" /O >"$tmp/oneshot.out" 2>"$tmp/oneshot.err")
status=$?
chmod 755 "$XDG_CONFIG_HOME/quillarbor"
((status != 0)) || fail "a one-shot that could not write the browser value exited 0"
grep -q "BackBitmapIE5.*$XDG_CONFIG_HOME/quillarbor" "$tmp/oneshot.err" ||
    fail "no line names the value and the settings file: $(cat "$tmp/oneshot.err")"
cmp -s "$store" "$tmp/store.before" || fail "the one-shot changed the store"
echo "ok: a one-shot that cannot write exits with status $status and says why"

if ((failures > 0)); then
    echo "--- last run's output:" >&2
    cat "$tmp/run.log" >&2
    echo "session_end: $failures check(s) failed"
    exit 1
fi
echo "session_end: all checks passed"
