#!/usr/bin/env bash
# "Start in system tray" on a real X11 desktop with a notification area: the window starts
# hidden with only the icon showing, and a click on the icon brings it back in the normal
# state, where it stays (it must not come back minimised and hide again).
# Usage: start_in_tray.sh <path of the built quillarbor>
# Needs Xvfb, openbox, trayer, xdotool, xwininfo and xprop; skips (77) without them.
set -uo pipefail

program=${1:?usage: start_in_tray.sh <path of the built quillarbor>}

for tool in Xvfb openbox trayer xdotool xwininfo xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "start_in_tray: $tool is not installed, skipping"
        exit 77
    fi
done

tmp=$(mktemp -d)
tmp=$(cd -P "$tmp" && pwd)
pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

die() {
    echo "FAIL: $*" >&2
    for log in "$tmp"/*.log; do
        [[ -s "$log" ]] && { echo "--- $(basename "$log"):" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

# shellcheck source=tools/lib/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/wait.sh"

start_display() {
    local n pid
    for n in 80 81 82 83 84 85 86 87 88 89; do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -nolisten tcp -noreset -screen 0 1024x768x24 >"$tmp/xvfb.log" 2>&1 &
        pid=$!
        export DISPLAY=":$n"
        if wait_for 10 xwininfo -root >/dev/null 2>&1; then
            pids+=("$pid")
            return 0
        fi
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    return 1
}

unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
export QT_QPA_PLATFORM=xcb
export HOME="$tmp/home"
export XDG_CONFIG_HOME="$tmp/config"
export XDG_RUNTIME_DIR="$tmp/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/quillarbor" "$XDG_RUNTIME_DIR" "$tmp/xdg" "$tmp/work"
chmod 700 "$XDG_RUNTIME_DIR"

start_display || die "could not start Xvfb on any display from :80 to :89"
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_for 10 wm_running || die "openbox did not start"

trayer --edge top --align right --widthtype request --height 24 --transparent false \
    --SetDockType true >"$tmp/trayer.log" 2>&1 &
pids+=($!)
tray_running() { xdotool search --class trayer >/dev/null 2>&1; }
wait_for 10 tray_running || die "trayer did not start"

# A long delay: nothing but the start-up matters here.
cat >"$XDG_CONFIG_HOME/quillarbor/user.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Quillarbor\delay]
"String"="60"

[HKEY_CURRENT_USER\Software\Quillarbor\systray]
"String"="True"
EOF

(cd "$tmp/work" && XDG_CONFIG_DIRS="$tmp/xdg" exec "$program" >"$tmp/quillarbor.log" 2>&1) &
program_pid=$!
pids+=("$program_pid")

main_window() { xdotool search --all --pid "$program_pid" --name '^Quillarbor$' 2>/dev/null | head -n 1; }
has_main_window() { [[ -n "$(main_window)" ]]; }
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ { print $3 }'; }
map_state() { xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }'; }
is_hidden() { [[ "$(map_state "$1")" == IsUnMapped && -z "$(wm_state "$1")" ]]; }
is_normal() { [[ "$(map_state "$1")" == IsViewable && "$(wm_state "$1")" == Normal ]]; }

wait_for 20 has_main_window || die "no window titled \"Quillarbor\" appeared within 20 seconds"
main=$(main_window)

# The program's window docked inside the notification area.
tray_icon_window() {
    local tray id win
    for tray in $(xdotool search --class trayer 2>/dev/null); do
        for id in $(xwininfo -tree -id "$tray" 2>/dev/null | grep -o '^ *0x[0-9a-f]*'); do
            for win in $(xdotool search --pid "$program_pid" 2>/dev/null); do
                if ((win == id)); then
                    echo "$win"
                    return 0
                fi
            done
        done
    done
    return 1
}
icon_docked() { tray_icon_window >/dev/null; }
wait_for 10 icon_docked || die "no tray icon of the program docked within 10 seconds"
wait_for 5 is_hidden "$main" ||
    die "the window did not start hidden ($(map_state "$main"), $(wm_state "$main"))"
echo "ok: the window starts hidden, the icon shows"

xdotool mousemove --window "$(tray_icon_window)" 5 5 click 1
wait_for 5 is_normal "$main" ||
    die "a click on the icon did not restore the window ($(map_state "$main"), $(wm_state "$main"))"
sleep 1
is_normal "$main" ||
    die "the restored window went back to $(map_state "$main"), $(wm_state "$main")"
echo "ok: a click on the icon restores the window, which stays in the normal state"
echo "start_in_tray: all checks passed"
