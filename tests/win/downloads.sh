#!/usr/bin/env bash
# The Windows downloads tried as a user would, under Wine in a throw-away prefix of the given
# architecture: the installer runs silently and installs the program of that architecture, its
# Start menu shortcut starts in the samples folder, the installed program applies a skin with /O,
# the uninstaller takes the program, its shortcut and its logon entry and leaves the user's
# settings; the zip of that architecture works from a folder whose path holds spaces; both carry
# a README.txt for Windows with CR LF line ends.
# Usage: downloads.sh <folder of the Windows downloads> <win32 | win64>
# win32 makes a pure 32-bit prefix, win64 a 64-bit one that runs 32-bit programs too (WoW64).
# Needs Wine and an X display (DISPLAY).
set -uo pipefail

dist=$(cd "${1:?usage: downloads.sh <folder of the Windows downloads> <win32 | win64>}" && pwd)
arch=${2:?usage: downloads.sh <folder of the Windows downloads> <win32 | win64>}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
version=$(sed -n 's/^project(Quillarbor VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
zip="$dist/Quillarbor-$version-$arch.zip"
setup="$dist/Quillarbor-$version-setup.exe"
[[ -f "$zip" && -f "$setup" ]] || { echo "downloads: $zip or $setup is missing" >&2; exit 1; }
case "$arch" in
win32) pe='PE32 executable' view=() ;;
# Wine's own reg is a 32-bit program here: the 64-bit installer's entries are in the 64-bit view.
win64) pe='PE32+ executable' view=(/reg:64) ;;
*) echo "downloads: no architecture $arch" >&2; exit 2 ;;
esac

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
keep_logs() { for log in "$work"/*.log; do [[ -s "$log" ]] && { echo "--- $(basename "$log"):"; tail -n 15 "$log"; } >&2; done; }

failures=0
fail() {
    echo "FAIL ($arch): $*" >&2
    failures=$((failures + 1))
}
# shellcheck source=tools/lib/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/wait.sh"
# The data of a value as `wine reg query` prints it, carriage returns dropped; "" when missing.
query() {
    wine reg query "$1" /v "$2" "${@:3}" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print; exit }'
}
crlf_text() { # every line of the file ends in CR LF
    [[ -s "$1" ]] && ! grep -qv $'\r$' "$1"
}

wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
wineserver -w
wineserver -p
drive_c="$WINEPREFIX/drive_c"
settings='HKCU\Software\Quillarbor'
toolbar='HKCU\Software\Microsoft\Internet Explorer\Toolbar'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillarbor'

echo "case 1 ($arch): the installer, silently"
wine "$setup" /S >"$work/setup.log" 2>&1 || fail "the installer exited with $?"
folder="$drive_c/Program Files/Quillarbor"
[[ -f "$folder/Quillarbor.exe" ]] || fail "no Quillarbor.exe in $folder after installing"
file "$folder/Quillarbor.exe" | grep -q "$pe" ||
    fail "the installed program is not the $arch one: $(file -b "$folder/Quillarbor.exe")"
[[ -f "$folder/LICENSE.txt" && -f "$folder/samples/ocean.bmp" ]] ||
    fail "the licence or the samples are not beside the program"
{ crlf_text "$folder/README.txt" && ! grep -q 'tools/run.sh' "$folder/README.txt"; } ||
    fail "README.txt is not the Windows one with CR LF line ends"
shortcut=$(find "$drive_c" -iname 'Quillarbor.lnk' -path '*Start Menu*' | head -n 1)
[[ -n "$shortcut" ]] || fail "no Start menu shortcut"
# A shell link holds its working folder as UTF-16 text after a length, which may read as a
# character.
strings -el "$shortcut" 2>/dev/null | grep -qE '^.?C:\\Program Files\\Quillarbor\\samples$' ||
    fail "the shortcut does not start in the samples folder: $(strings -el "$shortcut" | tr '\n' ' ')"
[[ "$(query "$uninstall_key" DisplayVersion "${view[@]}")" == "$version" ]] ||
    fail "the list of installed programs does not show version $version"

echo "case 2 ($arch): the installed program applies a skin with /O"
wine reg add "$settings\\path" /v String /d 'C:\Program Files\Quillarbor\samples' /f >/dev/null
wine 'C:\Program Files\Quillarbor\Quillarbor.exe' /O >"$work/oneshot.log" 2>&1
applied=$(query "$toolbar" BackBitmapIE5)
[[ "$applied" == 'C:\Program Files\Quillarbor\samples\'*.* ]] ||
    fail "/O wrote BackBitmapIE5 = '$applied'"

echo "case 3 ($arch): the uninstaller, silently"
# The logon entry as the program writes it: quoted, since the path holds a space.
wine reg add "$run_key" /v Quillarbor /d '"C:\Program Files\Quillarbor\Quillarbor.exe"' /f >/dev/null
wine reg add "$settings\\delay" /v String /d 2.5 /f >/dev/null
wine 'C:\Program Files\Quillarbor\Uninstall.exe' /S >"$work/uninstall.log" 2>&1
# The uninstaller hands over to a copy of itself and returns at once.
gone() { [[ ! -e "$folder" ]]; }
wait_for 60 gone || fail "left behind: $(cd "$folder" && find . -type f | tr '\n' ' ')"
[[ -z "$(find "$drive_c" -iname 'Quillarbor.lnk')" ]] || fail "the shortcut is still there"
[[ -z "$(query "$run_key" Quillarbor)" ]] || fail "the logon entry is still there"
[[ -z "$(query "$uninstall_key" DisplayVersion "${view[@]}")" ]] ||
    fail "the list of installed programs still shows Quillarbor"
[[ "$(query "$settings\\delay" String)" == 2.5 ]] || fail "the user's settings went with the program"
[[ -n "$(query "$toolbar" BackBitmapIE5)" ]] || fail "the browser value went with the program"

echo "case 4 ($arch): the zip, from a folder whose path holds spaces"
unpacked="$drive_c/My Downloads/Skin tools"
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$zip") || fail "the zip does not unpack"
top="C:\\My Downloads\\Skin tools\\Quillarbor-$version-$arch"
crlf_text "$unpacked/Quillarbor-$version-$arch/README.txt" || fail "the zip's README.txt has no CR LF line ends"
wine reg add "$settings\\path" /v String /d "$top\\samples" /f >/dev/null
wine reg delete "$toolbar" /v BackBitmapIE5 /f >/dev/null 2>&1
wine "$top\\Quillarbor.exe" /o >"$work/zip.log" 2>&1
applied=$(query "$toolbar" BackBitmapIE5)
[[ "$applied" == "$top\\samples\\"*.* ]] || fail "/o from the unpacked zip wrote BackBitmapIE5 = '$applied'"

if ((failures > 0)); then
    keep_logs
    echo "downloads ($arch): $failures check(s) failed"
    exit 1
fi
echo "downloads ($arch): all checks passed"
