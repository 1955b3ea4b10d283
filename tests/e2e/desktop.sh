#!/usr/bin/env bash
# The program on a real X11 desktop with a notification area: the window comes up, its tray
# icon docks, minimising hides the window, a click on the icon brings it back, the
# countdown applies a skin, and "Terminate" in the icon's pop-up menu ends the program with
# its settings saved and its icon gone.
# Usage: desktop.sh <path of the built quillarbor>
# Needs Xvfb, openbox, trayer, xdotool, xwininfo and xprop; skips (77) without them.
set -uo pipefail

program=${1:?usage: desktop.sh <path of the built quillarbor>}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# shellcheck source=tools/lib/require.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/require.sh"
require_tools desktop Xvfb openbox trayer xdotool xwininfo xprop

script_name=desktop
# shellcheck source=tools/lib/main_window.sh
source "$repo/tools/lib/main_window.sh"
tmp=$session

# --- the desktop: a display of our own, a window manager and a notification area, and never
# anyone else's desktop services or settings

start_private_desktop --size 1024x768
[[ -n "$tray_windows" ]] || die "trayer did not start"

# --- the settings: a folder of three skins and the shortest delay

skins="$tmp/skins \"rotating\""
mkdir -p "$skins"
candidates=()
for name in sunset.bmp ocean.bmp MEADOW.BMP; do
    cp "$repo/samples/$name" "$skins/" || die "cannot copy the sample $name"
    candidates+=("$(reg_quote "$skins/$name")")
done

write_settings "$skins" 0.1

# --- the program

started=$SECONDS
(cd "$tmp/work" && exec "$program" >"$tmp/quillarbor.log" 2>&1) &
program_pid=$!
session_pids+=("$program_pid")

running() { kill -0 "$program_pid" 2>/dev/null; }


map_state() { xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }'; }
is_mapped() { [[ "$(map_state "$1")" == IsViewable ]]; }
is_unmapped() { [[ "$(map_state "$1")" == IsUnMapped ]]; }

has_main_window() { [[ -n "$(main_window "$program_pid")" ]]; }
wait_for 20 has_main_window ||
    die "no window titled \"Quillarbor\" appeared within 20 seconds"
main=$(main_window "$program_pid")
wait_for 10 is_mapped "$main" || die "the main window is not mapped (state $(map_state "$main"))"
echo "ok: the main window is shown"

icon_docked() { tray_icon_window "$program_pid" >/dev/null; }
wait_for 10 icon_docked ||
    die "no tray icon of the program docked in trayer within 10 seconds"
icon=$(tray_icon_window "$program_pid")
wait_for 5 is_mapped "$icon" || die "the tray icon window is not mapped"
echo "ok: the tray icon is in the notification area"

xdotool windowminimize "$main"
wait_for 5 is_unmapped "$main" || die "minimising left the main window $(map_state "$main")"
# Merely iconified would leave a taskbar entry; the window is hidden, the icon leads back.
if xprop -id "$main" WM_STATE 2>/dev/null | grep -q 'Iconic'; then
    die "the minimised window is iconified, not hidden"
fi
echo "ok: minimising hides the main window"

xdotool mousemove --window "$icon" 5 5 click 1
wait_for 5 is_mapped "$main" ||
    die "a left click on the tray icon did not bring the window back (state $(map_state "$main"))"
echo "ok: a click on the tray icon shows the window again"

applied() {
    local got candidate
    got=$(stored 'HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Toolbar' BackBitmapIE5)
    for candidate in "${candidates[@]}"; do
        [[ "$got" == "$candidate" ]] && return 0
    done
    return 1
}
remaining=$((started + 10 - SECONDS))
((remaining > 0)) || remaining=0
wait_for "$remaining" applied ||
    die "no skin of $skins was applied as BackBitmapIE5 within 10 seconds of start"
echo "ok: the countdown applied a skin"

running || die "the program is no longer running"
echo "ok: the program is still running"

# --- the pop-up menu: a right click on the icon opens it, "Terminate" ends the program

docked() {
    local tray
    for tray in $tray_windows; do
        xwininfo -tree -id "$tray" 2>/dev/null | grep -qi "^ *$(printf '0x%x' "$1") " && return 0
    done
    return 1
}

# The pop-up menu: a window of the program that the window manager does not manage
# (override-redirect) and that was not shown before the click, as a tooltip may have been.
before_click=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null)
has_popup() { new_popup "$program_pid" "$before_click" >/dev/null; }

xdotool mousemove --window "$icon" 5 5 click 3
wait_for 5 has_popup || die "a right click on the tray icon opened no pop-up menu"
popup=$(new_popup "$program_pid" "$before_click")
echo "ok: a right click on the tray icon opens the pop-up menu ($(xwininfo -id "$popup" |
    awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'))"

# Its fourth item, past "Start in system tray", "Run at startup" and "Settings".
xdotool key --clearmodifiers Down Down Down Down Return
ended() { ! running; }
wait_for 5 ended || die "\"Terminate\" did not end the program within 5 seconds"
wait "$program_pid"
status=$?
((status == 0)) || die "the program ended with status $status"
echo "ok: \"Terminate\" ends the program with status 0"

setting() { stored "HKEY_CURRENT_USER\\Software\\Quillarbor\\$1" String; }
[[ "$(setting path)" == "$(reg_quote "$skins")" ]] ||
    die "the saved folder is $(setting path), not $(reg_quote "$skins")"
[[ "$(setting delay)" == '"0.1"' ]] || die "the saved delay is $(setting delay), not \"0.1\""
[[ "$(setting systray)" == '"False"' ]] ||
    die "the saved start-in-tray flag is $(setting systray), not \"False\""
echo "ok: the settings are saved"

undocked() { ! docked "$icon"; }
wait_for 5 undocked || die "the tray icon is still in the notification area"
echo "ok: the tray icon is gone"

echo "desktop: all checks passed"
