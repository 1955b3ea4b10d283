#!/usr/bin/env bash
# "Start in system tray" on a real X11 desktop with a notification area: the window starts
# hidden with only the icon showing, and a click on the icon brings it back in the normal
# state, where it stays (it must not come back minimised and hide again).
# Usage: start_in_tray.sh <path of the built quillarbor>
# Needs Xvfb, openbox, trayer, xdotool, xwininfo and xprop; skips (77) without them.
set -uo pipefail

program=${1:?usage: start_in_tray.sh <path of the built quillarbor>}

# shellcheck source=tools/lib/require.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/require.sh"
require_tools start_in_tray Xvfb openbox trayer xdotool xwininfo xprop

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
script_name=start_in_tray
# shellcheck source=tools/lib/main_window.sh
source "$repo/tools/lib/main_window.sh"
tmp=$session

start_private_desktop --size 1024x768
[[ -n "$tray_windows" ]] || die "trayer did not start"

# A long delay: nothing but the start-up matters here.
cat >"$store" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Quillarbor\delay]
"String"="60"

[HKEY_CURRENT_USER\Software\Quillarbor\systray]
"String"="True"
EOF

(cd "$tmp/work" && exec "$program" >"$tmp/quillarbor.log" 2>&1) &
program_pid=$!
session_pids+=("$program_pid")

has_main_window() { [[ -n "$(main_window "$program_pid")" ]]; }
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ { print $3 }'; }
map_state() { xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }'; }
is_hidden() { [[ "$(map_state "$1")" == IsUnMapped && -z "$(wm_state "$1")" ]]; }
is_normal() { [[ "$(map_state "$1")" == IsViewable && "$(wm_state "$1")" == Normal ]]; }

wait_for 20 has_main_window || die "no window titled \"Quillarbor\" appeared within 20 seconds"
main=$(main_window "$program_pid")

icon_docked() { tray_icon_window "$program_pid" >/dev/null; }
wait_for 10 icon_docked || die "no tray icon of the program docked within 10 seconds"
wait_for 5 is_hidden "$main" ||
    die "the window did not start hidden ($(map_state "$main"), $(wm_state "$main"))"
echo "ok: the window starts hidden, the icon shows"

# On a loaded machine the icon may be docked before its window takes clicks: a lost click is
# made again, which is harmless, since a click never hides the window.
click_icon() {
    xdotool mousemove --window "$(tray_icon_window "$program_pid")" 5 5 click 1
    wait_for 3 is_normal "$main"
}
wait_for 9 click_icon ||
    die "a click on the icon did not restore the window ($(map_state "$main"), $(wm_state "$main"))"
sleep 1
is_normal "$main" ||
    die "the restored window went back to $(map_state "$main"), $(wm_state "$main")"
echo "ok: a click on the icon restores the window, which stays in the normal state"
echo "start_in_tray: all checks passed"
