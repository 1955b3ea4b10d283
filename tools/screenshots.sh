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

script_name=screenshots
# shellcheck source=tools/lib/main_window.sh
source "$root/tools/lib/main_window.sh"
tmp=$session

# --- a desktop of our own, with nobody else's services or settings

start_private_desktop --size 1024x768 --tray-colour 0xd8d8d8
[[ -n "$tray_windows" ]] || die "trayer did not start"
# A calm backdrop instead of the bare server's black.
convert -size 1024x768 xc:'#5b7a99' "$tmp/backdrop.png"
# It sets the root window's background and exits, with status 1 even then.
display -window root "$tmp/backdrop.png" >"$tmp/display.log" 2>&1 || true

# --- the program on the bundled samples, with a delay of one minute

write_settings "$root/samples" 1

(cd "$tmp/work" && exec "$program" >"$tmp/quillarbor.log" 2>&1) &
program_pid=$!
session_pids+=("$program_pid")

has_main_window() { [[ -n "$(main_window "$program_pid")" ]]; }
wait_for 20 has_main_window || die "the main window did not appear"
main=$(main_window "$program_pid")
is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
wait_for 10 is_viewable "$main" || die "the main window is not shown"

icon_docked() { tray_icon_window "$program_pid" >/dev/null; }
wait_for 10 icon_docked || die "the tray icon did not dock"
icon=$(tray_icon_window "$program_pid")

mkdir -p "$out"

# --- the main window, after a double-click on the first skin of the list

double_click_first_skin "$main"
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
has_tooltip() { new_popup "$program_pid" "$before" >/dev/null; }
wait_for 10 has_tooltip || die "hovering the tray icon showed no tooltip"
tooltip=$(new_popup "$program_pid" "$before")
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
# The menu bar is what lies above the client area.
read -r _ client_top < <(client_point "$main" 0 0)
read -r wx wy _ _ < <(geometry "$main")
xdotool mousemove $((wx + 20)) $(((wy + client_top) / 2)) click 1
sleep 0.5
before=$(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null)
xdotool key Right
has_menu() { new_popup "$program_pid" "$before" >/dev/null; }
wait_for 5 has_menu || die "the Help menu did not open"
read -r mx my mw mh < <(geometry "$(new_popup "$program_pid" "$before")")
sleep 0.3
xdotool mousemove $((mx + mw / 2)) $((my + mh - 10))
sleep 0.3
xdotool click 1
wait_for 10 has_about || die "Help > About opened no window titled \"About Quillarbor\""
about=$(about_window)
sleep 0.5
# shellcheck disable=SC2046 # the geometry is four words
shoot "$out/about.png" $(framed_geometry "$about")
