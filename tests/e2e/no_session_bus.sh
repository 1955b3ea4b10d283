#!/usr/bin/env bash
# The program on an X11 desktop without a session bus, where tray icons dock in an XEmbed tray
# (trayer) and one copy per session is kept through a socket in the runtime folder: the tray
# leaves while the window is hidden and comes back, a second start brings the window forward and
# exits 0, and a copy that was killed leaves nothing that stops the next start.
# Usage: no_session_bus.sh <path of the built quillarbor>
set -uo pipefail

program=${1:?usage: no_session_bus.sh <path of the built quillarbor>}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# shellcheck source=tools/lib/require.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/require.sh"
require_tools no_session_bus Xvfb openbox trayer xdotool xwininfo xprop

script_name=no_session_bus
# shellcheck source=tools/lib/desktop.sh
source "$repo/tools/lib/desktop.sh"
# shellcheck source=tools/lib/wait.sh
source "$repo/tools/lib/wait.sh"
tmp=$(cd -P "$session" && pwd)
start_virtual_desktop --no-tray
# shellcheck source=tools/lib/private_settings.sh
source "$repo/tools/lib/private_settings.sh"
use_private_settings "$tmp"
unset SESSION_MANAGER QT_QPA_PLATFORM WAYLAND_DISPLAY
# A bus address where there is none: no bus is started on the program's behalf either.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$tmp/no-bus"

die() {
    echo "FAIL: $*" >&2
    echo "no_session_bus: the program's output:" >&2
    cat "$tmp"/program*.log >&2
    exit 1
}

trayer_pid=
start_tray() {
    trayer --edge top --align right --widthtype request --height 24 >>"$tmp/trayer.log" 2>&1 &
    trayer_pid=$!
    session_pids+=("$trayer_pid")
    timeout 10 xdotool search --sync --classname trayer >/dev/null 2>&1 ||
        die "the tray did not start"
}

skins="$tmp/skins"
mkdir -p "$skins"
cp "$repo/samples/ocean.bmp" "$skins/"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\n"String"="%s"\n\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\systray]\n"String"="True"\n' \
    "$skins" >"$store"

program_pid=
start_program() {
    (cd "$skins" && exec "$program" >>"$tmp/program.log" 2>&1) &
    program_pid=$!
    session_pids+=("$program_pid")
}
running() { kill -0 "$program_pid" 2>/dev/null; }
main_window() { xdotool search --all --pid "$program_pid" --name '^Quillarbor$' 2>/dev/null | head -n 1; }
# Nothing when the window is not found this time: xwininfo given no window would wait for a click.
map_state() {
    local window
    window=$(main_window)
    [[ -n "$window" ]] && xwininfo -id "$window" 2>/dev/null | awk '/Map State:/ { print $3 }'
}
shown() { [[ "$(map_state)" == IsViewable ]]; }
# Hidden, not merely iconified: nothing but the tray icon leads back.
hidden() {
    [[ "$(map_state)" == IsUnMapped ]] && ! xprop -id "$(main_window)" WM_STATE | grep -q Iconic
}
# A window of the program sits inside the tray.
docked() {
    local tray id
    for tray in $(xdotool search --class trayer 2>/dev/null); do
        for id in $(xwininfo -tree -id "$tray" 2>/dev/null | grep -o '^ *0x[0-9a-f]*'); do
            xdotool search --pid "$program_pid" 2>/dev/null | grep -qx "$((id))" && return 0
        done
    done
    return 1
}

start_tray
start_program
wait_for 20 docked || die "no tray icon of the program docked within 20 seconds"
wait_for 10 hidden || die "started in the tray, the window is $(map_state)"
echo "ok: started in the tray, the icon docks and the window is hidden"

kill "$trayer_pid"
wait "$trayer_pid" 2>/dev/null
wait_for 10 shown || die "the tray left while the window was hidden; the window is $(map_state)"
echo "ok: the tray leaves while the window is hidden: the window is shown"

start_tray
wait_for 10 docked || die "the tray came back; the icon did not dock again within 10 seconds"
sleep 1
shown || die "the tray came back; the window is $(map_state), not left shown"
echo "ok: the tray comes back: the icon docks again, the window stays shown"

xdotool windowminimize "$(main_window)"
wait_for 5 hidden || die "minimised with the tray back, the window is $(map_state)"
# Killed if it outlives its time: a program waiting on a socket does not stop for SIGTERM.
(cd "$skins" && timeout -k 5 30 "$program" >"$tmp/program-second.log" 2>&1)
status=$?
((status == 0)) || die "a second start exited with $status"
wait_for 5 shown || die "after a second start the first window is $(map_state)"
running || die "a second start ended the first copy"
echo "ok: a second start exits 0 and brings the first copy's window forward"

kill -KILL "$program_pid"
wait "$program_pid" 2>/dev/null
[[ -S "$XDG_RUNTIME_DIR/quillarbor.socket" ]] || die "the killed copy left no socket behind"
start_program
wait_for 20 docked || die "after a copy was killed, a new start docked no icon"
running || die "after a copy was killed, a new start ended"
echo "ok: a copy that was killed does not stop the next start"
echo "no_session_bus: all checks passed"
