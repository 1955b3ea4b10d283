#!/usr/bin/env bash
# The StatusNotifierItem path that most Linux desktops use for tray icons, checked by a stand-in
# for the desktop's tray host on a private session bus (sni_host.py): once on X11, with the
# window's own states looked at, once on X11 with the host leaving and coming back and the
# program started a second time, and once under a headless Wayland compositor (weston) with the
# host starting after the program, with a screenshot kept in $QUILLARBOR_SCREENSHOT_DIR when that
# is set.
# Usage: sni_tray.sh <path of the built quillarbor>
set -uo pipefail

program=${1:?usage: sni_tray.sh <path of the built quillarbor>}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)

# shellcheck source=tools/lib/require.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/require.sh"
require_tools sni_tray dbus-run-session Xvfb openbox xdotool xwininfo xprop weston
if ! /usr/bin/python3 -c 'import gi' 2>/dev/null; then
    echo "sni_tray: python3-gi is not installed, skipping"
    exit 77
fi

script_name=sni_tray
# shellcheck source=tools/lib/desktop.sh
source "$repo/tools/lib/desktop.sh"
tmp=$(cd -P "$session" && pwd)
# A display of its own with a window manager and no XEmbed tray: with one, a tray would still be
# "available" to the program after the host leaves.
start_virtual_desktop --no-tray --size 1024x768
x_display=$DISPLAY
# shellcheck source=tools/lib/private_settings.sh
source "$repo/tools/lib/private_settings.sh"
use_private_settings "$tmp"
unset SESSION_MANAGER QT_QPA_PLATFORM

skins="$tmp/skins"
mkdir -p "$skins"
# One skin only, with a name long enough to push the tooltip past 63 characters.
cp "$repo/samples/ocean.bmp" "$skins/a-skin-with-a-very-long-name-for-the-tooltip-rule.bmp"
# With "yes", "Start in system tray" is saved on.
fresh_store() {
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\n"String"="%s"\n\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\delay]\n"String"="0.1"\n' \
        "$skins" >"$store"
    if [[ "${1:-}" == yes ]]; then
        printf '\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\systray]\n"String"="True"\n' >>"$store"
    fi
}

failed=0
echo "== X11 ($x_display)"
fresh_store
DISPLAY=$x_display WAYLAND_DISPLAY="" dbus-run-session -- \
    /usr/bin/python3 "$here/sni_host.py" "$program" "$skins" "$store" --window-checks || failed=1

echo "== X11: the host leaves and comes back, and the program is started again"
fresh_store yes
DISPLAY=$x_display WAYLAND_DISPLAY="" dbus-run-session -- \
    /usr/bin/python3 "$here/sni_host.py" "$program" "$skins" "$store" --come-and-go || failed=1

echo "== Wayland (weston, headless), the host after the program"
fresh_store
weston --backend=headless-backend.so --use-pixman --debug --socket=quillarbor-test \
    --width=1024 --height=768 --idle-time=0 >"$tmp/weston.log" 2>&1 &
session_pids+=("$!")
for _ in $(seq 50); do
    [[ -S "$XDG_RUNTIME_DIR/quillarbor-test" ]] && break
    sleep 0.1
done
if [[ ! -S "$XDG_RUNTIME_DIR/quillarbor-test" ]]; then
    echo "FAIL: weston did not start:" >&2
    cat "$tmp/weston.log" >&2
    exit 1
fi
shot=""
if [[ -n "${QUILLARBOR_SCREENSHOT_DIR:-}" ]]; then
    mkdir -p "$QUILLARBOR_SCREENSHOT_DIR"
    shot="cd '$QUILLARBOR_SCREENSHOT_DIR' && weston-screenshooter"
fi
env -u DISPLAY WAYLAND_DISPLAY=quillarbor-test SNI_SCREENSHOT="$shot" dbus-run-session -- \
    /usr/bin/python3 "$here/sni_host.py" "$program" "$skins" "$store" --host-later || failed=1

if ((failed)); then
    echo "sni_tray: checks failed; the program's output:" >&2
    cat "$XDG_CONFIG_HOME/quillarbor/sni-program.log" >&2
    exit 1
fi
echo "sni_tray: all checks passed"
