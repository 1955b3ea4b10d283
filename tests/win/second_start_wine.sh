#!/usr/bin/env bash
# Quillarbor.exe started while it already runs, under Wine in a throw-away prefix on a virtual
# desktop: a second start brings the running copy's window out of the tray and exits 0, /O still
# runs as a one-shot, and a copy that was killed leaves nothing that stops the next start.
# Usage: second_start_wine.sh <Quillarbor.exe> <x86 | x86_64>   (run by ctest under `tini -s`).
# Exit code 77 means skipped: a tool is missing.
set -euo pipefail

exe=${1:?usage: second_start_wine.sh <Quillarbor.exe> <x86 | x86_64>}
arch=${2:?usage: second_start_wine.sh <Quillarbor.exe> <x86 | x86_64>}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
script_name=second_start_wine

for tool in wine wineserver wineboot winepath Xvfb openbox xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "$script_name: $tool is missing; skipped" >&2
        exit 77
    fi
done

# shellcheck source=tools/lib/desktop.sh
source "$root/tools/lib/desktop.sh"
export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ "$arch" == x86 ]]; then
    export WINEARCH=win32
else
    export WINEARCH=win64
fi
trap 'wineserver -k 2>/dev/null || true; session_cleanup' EXIT

fail() {
    echo "$script_name: FAIL: $*" >&2
    exit 1
}
# shellcheck source=tools/lib/wait.sh
source "$root/tools/lib/wait.sh"

settings='HKCU\Software\Quillarbor'
toolbar='HKCU\Software\Microsoft\Internet Explorer\Toolbar'
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
reg_set() { wine reg add "$1" /v "$2" /d "$3" /f >/dev/null; }
reg_delete() { wine reg delete "$1" /v "$2" /f >/dev/null 2>&1 || true; }

# Wine shows its own tray window when the desktop has none.
start_virtual_desktop --no-tray
echo "$script_name: setting up a Wine prefix"
wineboot -i >"$session/wineboot.log" 2>&1 || fail "wineboot -i: $(tail -n 5 "$session/wineboot.log")"
wineserver -w
wineserver -p
if [[ "$arch" == x86 ]]; then
    wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null
fi

mkdir "$session/skins"
cp "$root"/samples/*.bmp "$session/skins/"
skins=$(winepath -w "$session/skins" | tr -d '\r')
reg_set "$settings\\path" String "$skins"
reg_set "$settings\\delay" String 5
reg_set "$settings\\systray" String True

main_windows() { xdotool search --onlyvisible --name '^Quillarbor$' 2>/dev/null || true; }
shown() { [[ -n "$(main_windows)" ]]; }
first_pid=
start_first() {
    wine "$exe" >>"$session/program.log" 2>&1 &
    first_pid=$!
}
first_running() { kill -0 "$first_pid" 2>/dev/null; }

echo "$script_name: started in the tray, the window is hidden"
start_first
# The window is shown minimised for a moment before the tray takes it.
sleep 3
wait_for 20 eval '! shown' || fail "the window of a start in the tray stayed on screen"
first_running || fail "the first copy ended"

echo "$script_name: a second start exits 0 and brings the first window out of the tray"
status=0
timeout 30 wine "$exe" >>"$session/program.log" 2>&1 || status=$?
((status == 0)) || fail "the second start exited with $status"
wait_for 10 shown || fail "the first copy's window did not come back"
(($(main_windows | wc -l) == 1)) || fail "$(main_windows | wc -l) windows titled Quillarbor"
first_running || fail "the second start ended the first copy"

echo "$script_name: /O runs as a one-shot beside the running copy"
reg_delete "$toolbar" BackBitmapIE5
status=0
timeout 30 wine "$exe" /O >>"$session/program.log" 2>&1 || status=$?
((status == 0)) || fail "/O beside a running copy exited with $status"
value=$(reg_value "$toolbar" BackBitmapIE5)
[[ "$value" == "$skins\\"* ]] || fail "/O beside a running copy applied '$value'"
first_running || fail "/O ended the first copy"

echo "$script_name: a killed copy does not stop the next start"
kill -KILL "$first_pid"
wait "$first_pid" 2>/dev/null || true
wait_for 10 eval '! shown' || fail "the killed copy's window stayed"
reg_set "$settings\\systray" String False
start_first
wait_for 20 shown || fail "after a copy was killed, a new start showed no window"
sleep 1
first_running || fail "after a copy was killed, a new start ended at once"

echo "$script_name: all passed"
