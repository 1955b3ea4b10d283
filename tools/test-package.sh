#!/usr/bin/env bash
# Builds the Debian package (tools/package.sh), checks it with lintian, checks the desktop entry
# and the AppStream metadata inside it, installs it with apt, runs the installed program
# (--version, one-shot mode against a temporary settings folder, and a first start from the
# desktop entry, which must open on the installed samples) and removes the package again.
# Needs root or sudo, and lintian, desktop-file-utils, appstream, dpkg-dev and the virtual
# desktop's tools (tools/setup-debian.sh --test); uses the caller's DISPLAY or starts its own.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if ((EUID == 0)); then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "test-package: installing the package needs root or sudo" >&2
    exit 1
fi
for tool in lintian desktop-file-validate appstreamcli apt-get; do
    if ! command -v "$tool" >/dev/null; then
        echo "test-package: $tool is missing (Debian packages lintian, desktop-file-utils," \
            "appstream)" >&2
        exit 1
    fi
done

# The test removes the package at the end: never one that someone installed for real.
# CI machines are throw-away, and a run there may find what an interrupted run left.
if dpkg-query -W -f='${db:Status-Status}' quillarbor 2>/dev/null | grep -qx installed &&
    [[ "${CI:-}" != true ]]; then
    echo "test-package: quillarbor is installed on this machine already; this test would" >&2
    echo "replace and then remove it. Remove it first: apt-get remove quillarbor" >&2
    exit 1
fi

deb=$("$root/tools/package.sh")
echo "test-package: built $deb"

script_name=test-package
# shellcheck source=tools/lib/main_window.sh
source "$root/tools/lib/main_window.sh"
tmp=$(cd -P "$session" && pwd) # the program sees physical paths
installed=false
cleanup() {
    if $installed; then
        echo "test-package: removing the package"
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q quillarbor \
            >"$tmp/remove.log" 2>&1 || cat "$tmp/remove.log" >&2
    fi
    session_cleanup
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "test-package: version $version, depends on $depends"
[[ "$depends" == *libqt6widgets6* ]] || fail "the package does not depend on libqt6widgets6"
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-wayland* ]] ||
    fail "the package does not recommend qt6-wayland for Wayland sessions"

# Debian's own checker, hardening included: its errors and warnings fail the test, and so do
# the hardening tags, which it counts as information only.
echo "test-package: lintian"
if ! report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1); then
    fail "lintian: $report"
elif grep -q ' hardening-' <<<"$report"; then
    fail "lintian: $report"
else
    echo "${report:-lintian: no tags}"
fi

# The files as the package holds them.
dpkg-deb -x "$deb" "$tmp/content"
entry="$tmp/content/usr/share/applications/quillarbor.desktop"
metainfo="$tmp/content/usr/share/metainfo/org.quillarbor.Quillarbor.metainfo.xml"
# desktop-file-validate reports some faults only as warnings, with exit status 0.
if ! report=$(desktop-file-validate "$entry" 2>&1) || [[ -n "$report" ]]; then
    fail "desktop-file-validate: $report"
fi
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate failed"

echo "test-package: installing $deb"
# apt takes a local file only by a path with a slash in it.
case "$deb" in
/*) ;;
*) deb="./$deb" ;;
esac
installed=true
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb"

program=/usr/bin/quillarbor
for file in "$program" /usr/share/applications/quillarbor.desktop \
    /usr/share/icons/hicolor/48x48/apps/quillarbor.png /usr/share/man/man1/quillarbor.1.gz \
    /usr/share/metainfo/org.quillarbor.Quillarbor.metainfo.xml; do
    [[ -f "$file" ]] || fail "$file was not installed"
done

# Never the user's own settings.
use_private_settings "$tmp"

echo "test-package: $program --version"
status=0
out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$program" --version) || status=$?
[[ "$status" == 0 ]] || fail "--version exited with status $status"
[[ "$out" == "Quillarbor $version" ]] || fail "--version printed '$out', expected 'Quillarbor $version'"

echo "test-package: $program /O"
skins="$tmp/skins"
mkdir -p "$skins"
names=(sunset.bmp ocean.bmp MEADOW.BMP)
for name in "${names[@]}"; do
    cp "$root/samples/$name" "$skins/"
done
write_settings "$skins" 1
mkdir -p "$tmp/work"
status=0
(cd "$tmp/work" && QT_QPA_PLATFORM=offscreen timeout 30 "$program" /O) || status=$?
[[ "$status" == 0 ]] || fail "/O exited with status $status"
applied=$(grep -i '^"BackBitmapIE5"=' "$store" || true)
ok=false
for name in "${names[@]}"; do
    [[ "$applied" == "\"BackBitmapIE5\"=\"$skins/$name\"" ]] && ok=true
done
$ok && echo "test-package: the store reads $applied"
$ok || fail "/O applied no sample skin; the store reads: $(cat "$store")"

# A first start from the launcher, as a desktop starts it: in the entry's folder, with the entry's
# command, and no settings saved yet.
echo "test-package: a first start from the desktop entry"
entry=/usr/share/applications/quillarbor.desktop
start_dir=$(sed -n 's/^Path=//p' "$entry")
command=$(sed -n 's/^Exec=//p' "$entry")
if [[ -z "${DISPLAY:-}" ]]; then
    start_virtual_desktop --no-tray
fi
# shellcheck disable=SC2086 # the entry's command line, split into words as a launcher splits it
launch() { cd "$start_dir" && exec env QT_QPA_PLATFORM=xcb $command; }
rm -f "$store"
check_window_opens_on /usr/share/quillarbor/samples launch ||
    fail "a first start from $entry did not open on the installed samples"

echo "test-package: removing the package"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q quillarbor
installed=false
[[ ! -e "$program" ]] || fail "$program is still there after removing the package"

if ((failures > 0)); then
    echo "test-package: $failures check(s) failed" >&2
    exit 1
fi
echo "test-package: all checks passed"
