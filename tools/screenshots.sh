#!/usr/bin/env bash
# Takes the README's pictures of the program on a virtual desktop (Xvfb, 1024x768, with openbox
# and trayer): the main window showing the bundled samples and a skin applied by a double-click,
# the tray icon with its tooltip, and the About box. Writes docs/screenshots/{main-window,
# tray-tooltip,about}.png. Builds the program first when needed; QUILLARBOR_BUILD_DIR chooses
# another build folder, QUILLARBOR_SCREENSHOT_DIR another output folder.
# Needs Xvfb, openbox, trayer, xdotool, xwininfo, xprop and ImageMagick (tools/setup-debian.sh).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_BUILD_DIR:-$root/build}
out=${QUILLARBOR_SCREENSHOT_DIR:-$root/docs/screenshots}

for tool in Xvfb openbox trayer xdotool xwininfo xprop import convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "screenshots: $tool is missing; tools/setup-debian.sh installs it" >&2
        exit 1
    fi
done

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build"
fi
cmake --build "$build" -j"$(nproc)" --target quillarbor
program=$build/src/quillarbor

tmp=$(mktemp -d)
tmp=$(cd -P "$tmp" && pwd)
pids=()
cleanup() {
    local i
    # Newest first: the program, the tray, the window manager, then the display.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

die() {
    echo "screenshots: $*" >&2
    local log
    for log in "$tmp"/*.log; do
        if [[ -s "$log" ]]; then
            echo "--- $(basename "$log"):" >&2
            tail -n 20 "$log" >&2
        fi
    done
    exit 1
}

# Polls the command until it succeeds, for at most $1 seconds.
# shellcheck source=tools/lib/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/wait.sh"

# --- a desktop of our own, with nobody else's services or settings

unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
export QT_QPA_PLATFORM=xcb
# Never the user's own settings.
# shellcheck source=tools/lib/private_settings.sh
source "$root/tools/lib/private_settings.sh"
use_private_settings "$tmp"
mkdir -p "$tmp/work"

# -displayfd: the server picks a free display and names it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
has_display() { [[ -s "$tmp/display" ]]; }
wait_for 10 has_display || die "Xvfb did not start"
DISPLAY=":$(tr -d '[:space:]' <"$tmp/display")"
export DISPLAY

# A calm backdrop instead of the bare server's black.
convert -size 1024x768 xc:'#5b7a99' "$tmp/backdrop.png"
# It sets the root window's background and exits, with status 1 even then.
display -window root "$tmp/backdrop.png" >"$tmp/display.log" 2>&1 || true

openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_for 10 wm_running || die "openbox did not start"

trayer --edge top --align right --widthtype request --height 24 --transparent true \
    --tint 0xd8d8d8 --alpha 0 --SetDockType true >"$tmp/trayer.log" 2>&1 &
pids+=($!)
tray_running() { xdotool search --class trayer >/dev/null 2>&1; }
wait_for 10 tray_running || die "trayer did not start"
trayer_windows=$(xdotool search --class trayer)

# --- the program on the bundled samples, with a delay of one minute

samples=${root//\\/\\\\}/samples
samples=${samples//\"/\\\"}
cat >"$store" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]
"String"="$samples"

[HKEY_CURRENT_USER\\Software\\Quillarbor\\delay]
"String"="1"
EOF

(cd "$tmp/work" && exec "$program" >"$tmp/quillarbor.log" 2>&1) &
program_pid=$!
pids+=("$program_pid")

main_window() {
    xdotool search --all --pid "$program_pid" --name '^Quillarbor$' 2>/dev/null | head -n 1
}
has_main_window() { [[ -n "$(main_window)" ]]; }
wait_for 20 has_main_window || die "the main window did not appear"
main=$(main_window)
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
wait_for 10 is_viewable "$main" || die "the main window is not shown"

# The program's window inside the notification area.
tray_icon_window() {
    local tray id win ours
    ours=$(xdotool search --pid "$program_pid" 2>/dev/null) || return 1
    for tray in $trayer_windows; do
        for id in $(xwininfo -tree -id "$tray" 2>/dev/null | grep -o '^ *0x[0-9a-f]*'); do
            for win in $ours; do
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
wait_for 10 icon_docked || die "the tray icon did not dock"
icon=$(tray_icon_window)

# Prints "X Y WIDTH HEIGHT" of a window on the screen.
geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

# Prints "X Y WIDTH HEIGHT" of a window with the frame the window manager puts around it.
framed_geometry() {
    local x y w h left right top bottom
    read -r x y w h < <(geometry "$1")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS |
        sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1 \2 \3 \4/p')
    echo "$((x - ${left:-0})) $((y - ${top:-0})) $((w + ${left:-0} + ${right:-0}))" \
        "$((h + ${top:-0} + ${bottom:-0}))"
}

# Saves the region "X Y WIDTH HEIGHT" of the screen as a PNG without time stamps.
shoot() {
    local file=$1 x=$2 y=$3 w=$4 h=$5
    import -window root "$tmp/screen.png"
    convert "$tmp/screen.png" -crop "${w}x${h}+${x}+${y}" +repage -strip \
        -define png:exclude-chunks=date,time "$file"
    echo "screenshots: wrote $file (${w}x${h})"
}

# Windows of the program that appeared after the list given, unmanaged by the window manager:
# tooltips and menus.
new_popup() {
    local win
    for win in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
        grep -qx "$win" <<<"$1" && continue
        if xwininfo -id "$win" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
            echo "$win"
            return 0
        fi
    done
    return 1
}

mkdir -p "$out"

# --- the main window, after a double-click on the first skin of the list

# The client area lies below the menu bar and is 501 x 390 pixels; the skin list starts at
# (272, 24) in it.
read -r wx wy _ wh < <(geometry "$main")
client_top=$((wy + wh - 390))
xdotool mousemove $((wx + 272 + 30)) $((client_top + 24 + 10))
sleep 0.3
xdotool click --repeat 2 --delay 100 1
applied() { grep -qi '^"BackBitmapIE5"=' "$store"; }
wait_for 5 applied || die "the double-click on the skin list applied no skin"
# Away from the window, so that nothing shows a hover mark; the countdown moves on meanwhile.
xdotool mousemove 5 760
sleep 1.5
# shellcheck disable=SC2046 # the geometry is four words
shoot "$out/main-window.png" $(framed_geometry "$main")

# --- the tray icon with its tooltip

before=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null)
xdotool mousemove --window "$icon" 8 8
has_tooltip() { new_popup "$before" >/dev/null; }
wait_for 10 has_tooltip || die "hovering the tray icon showed no tooltip"
tooltip=$(new_popup "$before")
sleep 0.5
read -r ix iy iw ih < <(geometry "$icon")
read -r tx ty tw th < <(geometry "$tooltip")
# The icon, the tooltip and the tray around them.
left=$((ix < tx ? ix : tx))
top=$((iy < ty ? iy : ty))
right=$((ix + iw > tx + tw ? ix + iw : tx + tw))
bottom=$((iy + ih > ty + th ? iy + ih : ty + th))
pad=12
left=$((left - pad < 0 ? 0 : left - pad))
top=$((top - pad < 0 ? 0 : top - pad))
right=$((right + pad > 1024 ? 1024 : right + pad))
bottom=$((bottom + pad > 768 ? 768 : bottom + pad))
shoot "$out/tray-tooltip.png" "$left" "$top" $((right - left)) $((bottom - top))
xdotool mousemove 5 760

# --- the About box, opened from the Help menu

about_window() {
    xdotool search --all --pid "$program_pid" --name '^About Quillarbor$' 2>/dev/null | head -n 1
}
has_about() { [[ -n "$(about_window)" ]] && is_viewable "$(about_window)"; }
# "File" opens at the menu bar's left end and the arrow key moves on to "Help"; "About" is the
# last item of that menu.
xdotool windowactivate --sync "$main" 2>/dev/null || true
xdotool mousemove $((wx + 20)) $((client_top - (wh - 390) / 2)) click 1
sleep 0.5
before=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null)
xdotool key Right
has_menu() { new_popup "$before" >/dev/null; }
wait_for 5 has_menu || die "the Help menu did not open"
read -r mx my mw mh < <(geometry "$(new_popup "$before")")
sleep 0.3
xdotool mousemove $((mx + mw / 2)) $((my + mh - 10))
sleep 0.3
xdotool click 1
wait_for 10 has_about || die "Help > About opened no window titled \"About Quillarbor\""
about=$(about_window)
sleep 0.5
# shellcheck disable=SC2046 # the geometry is four words
shoot "$out/about.png" $(framed_geometry "$about")
