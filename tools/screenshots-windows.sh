#!/usr/bin/env bash
# Takes the README's pictures of Quillarbor.exe under Wine on a virtual desktop (Xvfb, 1024x768,
# with openbox; Wine shows its own tray window): the main window on the bundled samples after a
# double-click on a skin, the tray icon with its pop-up menu, and the About box. Writes
# docs/screenshots/windows-{main-window,tray-menu,about}.png. Cross-builds the program first into
# build-windows/win64/ as tools/test-windows.sh does (QUILLARBOR_WINDOWS_BUILD_DIR chooses another
# folder than build-windows/); QUILLARBOR_SCREENSHOT_DIR chooses another output folder. Needs what tools/setup-debian.sh --test installs.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_WINDOWS_BUILD_DIR:-$root/build-windows}/win64
out=${QUILLARBOR_SCREENSHOT_DIR:-$root/docs/screenshots}
script_name=screenshots-windows

if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DQUILLARBOR_WERROR=ON -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j"$(nproc)" --target Quillarbor
program=$build/src/win32/Quillarbor.exe

# shellcheck source=tools/lib/desktop.sh
source "$root/tools/lib/desktop.sh"
export WINEPREFIX="$session/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; session_cleanup' EXIT

die() {
    echo "$script_name: $*" >&2
    exit 1
}
# shellcheck source=tools/lib/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/wait.sh"

start_virtual_desktop --no-tray
# A calm backdrop instead of the bare server's black; `display` exits with 1 even then.
convert -size 1280x1024 xc:'#5b7a99' "$session/backdrop.png"
display -window root "$session/backdrop.png" >/dev/null 2>&1 || true

wineboot -i >"$session/wineboot.log" 2>&1 || die "wineboot -i failed"
wineserver -w
wineserver -p
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
wine reg add 'HKCU\Software\Quillarbor\path' /v String /d "$(winepath -w "$root/samples" |
    tr -d '\r')" /f >/dev/null

wine "$program" >"$session/program.log" 2>&1 &
main_window() { xdotool search --onlyvisible --name '^Quillarbor$' | head -n 1 | grep .; }
wait_for 20 main_window >/dev/null || die "the main window did not appear"
main=$(main_window)

mkdir -p "$out"

# The main window after a double-click on the second skin. Wine's window holds the menu bar
# above the client area; the skin list starts at (272, 24) in it.
# shellcheck disable=SC2046 # two numbers
xdotool mousemove $(client_point "$main" $((272 + 30)) $((24 + 20)))
xdotool click --repeat 2 --delay 80 1
sleep 1
xdotool mousemove 5 1000
sleep 0.5
read -r fx fy fw fh < <(framed_geometry "$main")
shoot "$out/windows-main-window.png" "$fx" "$fy" "$fw" "$fh"

# The tray icon with its pop-up, opened by a right click on the icon.
tray=$(xdotool search --name '^Wine System Tray$' | head -n 1)
read -r tx ty tw th < <(framed_geometry "$tray")
read -r ix iy _ _ < <(geometry "$tray")
# Menus are the program's windows that the window manager does not frame.
popup_open() {
    local win
    for win in $(xdotool search --onlyvisible --classname quillarbor.exe 2>/dev/null); do
        xwininfo -id "$win" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}
xdotool mousemove $((ix + 10)) $((iy + 10)) click 3
# Wine's tray may take a click for the second of a double-click: once more.
wait_for 5 popup_open || xdotool click 3
wait_for 5 popup_open || die "a right click on the tray icon opened no menu"
sleep 0.5
shoot "$out/windows-tray-menu.png" "$tx" "$ty" $((tw + 180)) $((th + 90))
# A click elsewhere closes it.
xdotool mousemove 5 1000 click 1
sleep 0.5

# The About box, from Help > About: "Help" is the second item of the menu bar.
read -r wx _ _ _ < <(geometry "$main")
read -r _ client_top < <(client_point "$main" 0 0)
xdotool mousemove $((wx + 45)) $((client_top - 10)) click 1
sleep 0.5
xdotool key Down Down Return
about() { xdotool search --onlyvisible --name '^About Quillarbor$' | head -n 1 | grep .; }
wait_for 10 about >/dev/null || die "the About box did not open"
sleep 0.5
read -r ax ay aw ah < <(framed_geometry "$(about)")
shoot "$out/windows-about.png" "$ax" "$ay" "$aw" "$ah"
xdotool key Escape
sleep 0.5
xdotool windowactivate --sync "$main" key alt+F4
sleep 1
