#!/usr/bin/env bash
# Quillarbor.exe end to end under Wine, in a throw-away prefix on a virtual desktop (Xvfb and
# openbox, no tray of its own so that Wine shows its tray window), driven with xdotool and
# checked in the prefix's registry: the one-shot run, a skin applied by the countdown, the tray
# round trip, the window's size, the keyboard, the About box, the settings saved by Terminate,
# Alt+F4 and the end of the session, a second start and a /O beside a running copy, and the
# window at 144 DPI. The 32-bit program runs in a 32-bit prefix that reports Windows XP.
# Usage: quillarbor_wine.sh <Quillarbor.exe> <x86 | x86_64>   (run by ctest under `tini -s`,
# which reaps the processes Wine leaves behind). Exit code 77 means skipped: a tool is missing.
set -euo pipefail

exe=${1:?usage: quillarbor_wine.sh <Quillarbor.exe> <x86 | x86_64>}
arch=${2:?usage: quillarbor_wine.sh <Quillarbor.exe> <x86 | x86_64>}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
script_name=quillarbor_wine

for tool in wine wineserver wineboot winepath Xvfb openbox xdotool xwininfo; do
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

# Polls the command until it succeeds, for at most $1 seconds.
# shellcheck source=tools/lib/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/wait.sh"

settings='HKCU\Software\Quillarbor'
toolbar='HKCU\Software\Microsoft\Internet Explorer\Toolbar'

# The data of a text value, "" when it is missing. Asked of the server: the prefix writes its
# registry file lazily.
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
reg_set() { wine reg add "$1" /v "$2" /d "$3" /f >/dev/null; }
reg_delete() { wine reg delete "$1" /v "$2" /f >/dev/null 2>&1 || true; }

start_virtual_desktop --no-tray
echo "$script_name: setting up a Wine prefix"
wineboot -i >"$session/wineboot.log" 2>&1 || fail "wineboot -i: $(tail -n 5 "$session/wineboot.log")"
wineserver -w
# Kept running between the steps: each start of it costs seconds.
wineserver -p
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
if [[ "$arch" == x86 ]]; then
    # Windows XP, as the people who still browse with the browsers that show the skins run it.
    wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null
    wine cmd /c ver 2>/dev/null | grep -q '5\.1\.2600' || fail "the prefix does not report Windows XP"
fi

mkdir "$session/skins"
cp "$root"/samples/*.bmp "$root"/samples/*.BMP "$session/skins/"
skins=$(winepath -w "$session/skins" | tr -d '\r')
reg_set "$settings\\path" String "$skins"

program_pid=
start_program() {
    wine "$exe" "$@" >>"$session/program.log" 2>&1 &
    program_pid=$!
    wait_for 20 main_window >/dev/null || fail "no window titled Quillarbor appeared"
}
main_window() {
    xdotool search --onlyvisible --name '^Quillarbor$' 2>/dev/null | head -n 1 | grep .
}
program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
expect_saved() { # after the step named $1, the program ended and wrote its settings
    wait_for 15 program_ended || fail "$1: the program is still running"
    [[ "$(reg_value "$settings\\systray" String)" == False ]] || fail "$1: the settings were not saved"
    [[ "$(reg_value "$settings\\path" String)" == "$skins" ]] || fail "$1: the folder was not saved"
}
# Through the window manager, which asks the window to close; closing the X window would not. A
# key press Wine lost while the window was still taking the keyboard is made again: Alt+F4 to a
# window that is closing anyway changes nothing.
alt_f4() {
    local tries=0 window
    while window=$(main_window) && ((tries++ < 3)); do
        xdotool windowactivate --sync "$window" key alt+F4
        wait_for 5 program_ended && return
    done
}
applied_skin() { # the toolbar value names a bitmap of the skin folder
    local value
    value=$(reg_value "$toolbar" BackBitmapIE5)
    [[ "$value" == "$skins\\"* && -f "$session/skins/${value##*\\}" ]]
}

echo "$script_name: /O applies a skin from the saved folder and exits"
reg_delete "$toolbar" BackBitmapIE5
timeout 30 wine "$exe" /O >>"$session/program.log" 2>&1 || fail "/O did not exit cleanly"
applied_skin || fail "/O wrote '$(reg_value "$toolbar" BackBitmapIE5)'"

echo "$script_name: /O that picks a file which is no picture exits 1 and applies nothing"
mkdir "$session/not-pictures"
echo "not a bitmap" >"$session/not-pictures/plain.bmp"
reg_set "$settings\\path" String "$(winepath -w "$session/not-pictures" | tr -d '\r')"
reg_delete "$toolbar" BackBitmapIE5
status=0
timeout 30 wine "$exe" /O >>"$session/program.log" 2>&1 || status=$?
((status == 1)) || fail "/O with nothing it could apply exited with $status"
[[ -z "$(reg_value "$toolbar" BackBitmapIE5)" ]] || fail "/O applied a file that is no picture"
reg_set "$settings\\path" String "$skins"

echo "$script_name: with a delay of 0.1 the countdown applies a skin"
reg_delete "$toolbar" BackBitmapIE5
reg_delete "$settings\\systray" String
reg_set "$settings\\delay" String 0.1
start_program
wait_for 10 applied_skin || fail "no skin within ten seconds of the window"

echo "$script_name: minimised, the window hides; a click on the tray icon brings it back"
window=$(main_window)
xdotool windowminimize "$window"
wait_for 10 eval '! main_window >/dev/null' ||
    fail "the minimised window stayed on screen"
tray=$(xdotool search --name '^Wine System Tray$' | head -n 1)
[[ -n "$tray" ]] || fail "Wine's tray window is missing"
# xwininfo's absolute position: xdotool's own geometry is off under openbox.
read -r tray_x tray_y < <(xwininfo -id "$tray" |
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }')
icon_x=$((tray_x + 10)) icon_y=$((tray_y + 10))
xdotool mousemove "$icon_x" "$icon_y" click 1
wait_for 10 main_window >/dev/null || fail "a click on the tray icon did not bring the window back"

echo "$script_name: Terminate in the tray's pop-up saves the settings"
# Menus are the program's windows that the window manager does not frame.
popup_menu() {
    local win
    for win in $(xdotool search --onlyvisible --classname quillarbor.exe 2>/dev/null); do
        if xwininfo -id "$win" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
            echo "$win"
            return 0
        fi
    done
    return 1
}
xdotool mousemove "$icon_x" "$icon_y" click 3
if ! wait_for 5 popup_menu >/dev/null; then
    # A click that Wine's tray took for the second of a double-click; once more.
    xdotool mousemove "$icon_x" "$icon_y" click 3
    wait_for 10 popup_menu >/dev/null || fail "a right click on the tray icon opened no menu"
fi
menu=$(popup_menu)
read -r menu_x menu_y menu_h < <(xwininfo -id "$menu" | awk '/Absolute upper-left X/ { x = $NF }
    /Absolute upper-left Y/ { y = $NF } /Height:/ { h = $NF } END { print x, y, h }')
# Terminate is the last of its four items.
xdotool mousemove $((menu_x + 30)) $((menu_y + menu_h * 7 / 8)) click 1
expect_saved Terminate

echo "$script_name: the client area is 501 x 390 at 96 DPI, or that grown by the one factor the desktop's type needs, below the menu bar"
reg_delete "$settings\\systray" String
reg_set "$settings\\delay" String 1 # no timed change during the steps below
start_program
window=$(main_window)
read -r window_x _ width height < <(xwininfo -id "$window" | awk '
    /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
client_height=$((390 * width / 501))
((width >= 501 && height > client_height && height < client_height + 40)) ||
    fail "the window measures ${width} x ${height}"

echo "$script_name: Tab, Down and Enter apply the first skin of the list"
reg_delete "$toolbar" BackBitmapIE5
xdotool windowactivate --sync "$window"
xdotool key Tab Down Return
first_applied() { [[ "$(reg_value "$toolbar" BackBitmapIE5)" == "$skins\\dusk.bmp" ]]; }
wait_for 10 first_applied || fail "the keys applied '$(reg_value "$toolbar" BackBitmapIE5)'"

echo "$script_name: Help > About opens the About box; Esc closes it"
read -r _ client_top < <(client_point "$window" 0 0)
xdotool mousemove $((window_x + 45)) $((client_top - 10)) click 1
sleep 0.5
xdotool key Down Down Return
about_box() { xdotool search --onlyvisible --name '^About Quillarbor$' 2>/dev/null | grep -q .; }
wait_for 10 about_box || fail "no About box"
xdotool key Escape
wait_for 10 eval '! about_box' || fail "Esc left the About box open"

echo "$script_name: Alt+F4 saves the settings"
alt_f4
expect_saved Alt+F4

echo "$script_name: the end of the session saves the settings"
reg_delete "$settings\\systray" String
start_program
wineboot -e >>"$session/wineboot.log" 2>&1
expect_saved "session end"

echo "$script_name: a second start brings the running copy out of the tray and exits 0"
reg_set "$settings\\systray" String True
wine "$exe" >>"$session/program.log" 2>&1 &
program_pid=$!
made_window() { xdotool search --name '^Quillarbor$' 2>/dev/null | grep -q .; }
wait_for 20 made_window || fail "no window titled Quillarbor was made"
wait_for 10 eval '! main_window >/dev/null' || fail "started in the tray, the window stayed on screen"
status=0
timeout 30 wine "$exe" >>"$session/program.log" 2>&1 || status=$?
((status == 0)) || fail "the second start exited with $status"
wait_for 10 main_window >/dev/null || fail "the second start did not bring the window back"
(($(xdotool search --onlyvisible --name '^Quillarbor$' | wc -l) == 1)) ||
    fail "more than one window titled Quillarbor after a second start"
program_ended && fail "the second start ended the running copy"

echo "$script_name: /O runs as a one-shot beside the running copy"
reg_delete "$toolbar" BackBitmapIE5
timeout 30 wine "$exe" /O >>"$session/program.log" 2>&1 || fail "/O beside a running copy failed"
applied_skin || fail "/O beside a running copy wrote '$(reg_value "$toolbar" BackBitmapIE5)'"
program_ended && fail "/O ended the running copy"

echo "$script_name: a killed copy leaves nothing that stops the next start"
kill -KILL "$program_pid"
wait "$program_pid" 2>/dev/null || true
wait_for 10 eval '! main_window >/dev/null' || fail "the killed copy's window stayed"
reg_delete "$settings\\systray" String
start_program
alt_f4
expect_saved "Alt+F4 after a killed copy"

echo "$script_name: at 144 DPI the window and its client area grow by half"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
reg_delete "$settings\\systray" String
start_program
window=$(main_window)
read -r width height < <(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 }
    END { print w, h }')
# 501 x 390 at 96 DPI, grown as the type needs; the menu bar is part of the window Wine maps.
client_height=$((585 * width / 752))
((width >= 752 && height > client_height && height < client_height + 55)) ||
    fail "at 144 DPI the window measures ${width} x ${height}"
alt_f4
expect_saved "Alt+F4 at 144 DPI"

echo "$script_name: names beyond the code page: the skin applied and the folder saved are exact"
# Under a UTF-8 locale Wine passes such names between Unix and Windows unchanged.
export LC_ALL=C.UTF-8
mkdir "$session/Папка"
cp "$root/samples/dusk.bmp" "$session/Папка/snow ☃ ж.bmp"
folder="$(winepath -w "$session" | tr -d '\r')\\Папка"
reg_set "$settings\\path" String "$folder"
reg_delete "$toolbar" BackBitmapIE5
# The data of a text value from an export, which Wine writes in UTF-16: no console in between.
exported() {
    wine reg export "$1" "$session/export.reg" /y >/dev/null 2>&1 || return 1
    iconv -f UTF-16 -t UTF-8 "$session/export.reg" | tr -d '\r' |
        sed -n "s/^\"$2\"=\"\(.*\)\"\$/\1/p" | sed 's/\\\\/\\/g'
}
wide_applied() { [[ "$(exported "$toolbar" BackBitmapIE5)" == "$folder\\snow ☃ ж.bmp" ]]; }
close_program() {
    alt_f4
    wait_for 15 program_ended || fail "Alt+F4 left the program running"
}
# Keys sent before the window has the keyboard are lost, and a second Tab would land elsewhere:
# a start whose keys went nowhere is closed and made again.
for attempt in 1 2 3; do
    start_program
    xdotool windowactivate --sync "$(main_window)"
    sleep 0.5
    xdotool key Tab Down Return
    wait_for 10 wide_applied && break
    ((attempt < 3)) || fail "the skin applied is '$(exported "$toolbar" BackBitmapIE5)'"
    echo "$script_name: the keys went nowhere; once more"
    close_program
done
close_program
[[ "$(exported "$settings\\path" String)" == "$folder" ]] ||
    fail "the folder saved is '$(exported "$settings\\path" String)'"

echo "$script_name: all passed"
