#!/usr/bin/env bash
# The Windows downloads tried as a user would, under Wine in a throw-away prefix: the installer
# runs silently, the installed program applies a skin with /O, the uninstaller takes the program,
# its shortcut and its logon entry and leaves the user's settings; the zip works from a folder
# whose path holds spaces.
# Usage: downloads.sh <folder holding Quillarbor-<version>-win64.zip and ...-setup.exe>
# Needs Wine and an X display (DISPLAY).
set -uo pipefail

dist=$(cd "${1:?usage: downloads.sh <folder of the Windows downloads>}" && pwd)
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
version=$(sed -n 's/^project(Quillarbor VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
zip="$dist/Quillarbor-$version-win64.zip"
setup="$dist/Quillarbor-$version-win64-setup.exe"
[[ -f "$zip" && -f "$setup" ]] || { echo "downloads: $zip or $setup is missing" >&2; exit 1; }

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
keep_logs() { for log in "$work"/*.log; do [[ -s "$log" ]] && { echo "--- $(basename "$log"):"; tail -n 15 "$log"; } >&2; done; }

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# shellcheck source=tools/lib/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/wait.sh"
# The data of a value as `wine reg query` prints it, carriage returns dropped; "" when missing.
query() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_SZ +/, ""); print; exit }'
}

wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
wineserver -w
wineserver -p
drive_c="$WINEPREFIX/drive_c"
settings='HKCU\Software\Quillarbor'
toolbar='HKCU\Software\Microsoft\Internet Explorer\Toolbar'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

echo "case 1: the installer, silently"
wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer exited with $?"
folder="$drive_c/Program Files/Quillarbor"
[[ -f "$folder/Quillarbor.exe" ]] || fail "no Quillarbor.exe in $folder after installing"
[[ -f "$folder/LICENSE.txt" && -f "$folder/samples/ocean.bmp" ]] ||
    fail "the licence or the samples are not beside the program"
shortcut=$(find "$drive_c" -iname 'Quillarbor.lnk' -path '*Start Menu*' | head -n 1)
[[ -n "$shortcut" ]] || fail "no Start menu shortcut"
[[ "$(query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillarbor' DisplayVersion)" == "$version" ]] ||
    fail "the list of installed programs does not show version $version"

echo "case 2: the installed program applies a skin with /O"
wine reg add "$settings\\path" /v String /d 'C:\Program Files\Quillarbor\samples' /f >/dev/null
wine 'C:\Program Files\Quillarbor\Quillarbor.exe' /O >"$work/oneshot.log" 2>&1
applied=$(query "$toolbar" BackBitmapIE5)
[[ "$applied" == 'C:\Program Files\Quillarbor\samples\'*.* ]] ||
    fail "/O wrote BackBitmapIE5 = '$applied'"

echo "case 3: the uninstaller, silently"
# The logon entry as the program writes it: quoted, since the path holds a space.
wine reg add "$run_key" /v Quillarbor /d '"C:\Program Files\Quillarbor\Quillarbor.exe"' /f >/dev/null
wine reg add "$settings\\delay" /v String /d 2.5 /f >/dev/null
wine 'C:\Program Files\Quillarbor\Uninstall.exe' /S >"$work/uninstall.log" 2>&1
# The uninstaller hands over to a copy of itself and returns at once.
gone() { [[ ! -e "$folder" ]]; }
wait_for 60 gone || fail "left behind: $(cd "$folder" && find . -type f | tr '\n' ' ')"
[[ -z "$(find "$drive_c" -iname 'Quillarbor.lnk')" ]] || fail "the shortcut is still there"
[[ -z "$(query "$run_key" Quillarbor)" ]] || fail "the logon entry is still there"
[[ "$(query "$settings\\delay" String)" == 2.5 ]] || fail "the user's settings went with the program"
[[ -n "$(query "$toolbar" BackBitmapIE5)" ]] || fail "the browser value went with the program"

echo "case 4: the zip, from a folder whose path holds spaces"
unpacked="$drive_c/My Downloads/Skin tools"
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$zip") || fail "the zip does not unpack"
wine reg add "$settings\\path" /v String /d "C:\\My Downloads\\Skin tools\\Quillarbor-$version-win64\\samples" /f >/dev/null
wine reg delete "$toolbar" /v BackBitmapIE5 /f >/dev/null 2>&1
wine "C:\\My Downloads\\Skin tools\\Quillarbor-$version-win64\\Quillarbor.exe" /o >"$work/zip.log" 2>&1
applied=$(query "$toolbar" BackBitmapIE5)
[[ "$applied" == "C:\\My Downloads\\Skin tools\\Quillarbor-$version-win64\\samples\\"*.* ]] ||
    fail "/o from the unpacked zip wrote BackBitmapIE5 = '$applied'"

if ((failures > 0)); then
    keep_logs
    echo "downloads: $failures check(s) failed"
    exit 1
fi
echo "downloads: all checks passed"
