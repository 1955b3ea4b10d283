#!/usr/bin/env bash
# The command line: --help and --version answer on standard output and exit without a window
# or a display and without touching the settings; any other argument lets the program start.
# Usage: command_line.sh <path of the built quillarbor>
set -euo pipefail

program=${1:?usage: command_line.sh <path of the built quillarbor>}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

tmp=$(mktemp -d)
started=""
cleanup() {
    if [[ -n "$started" ]]; then
        kill "$started" 2>/dev/null || true
        wait "$started" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
tmp=$(cd -P "$tmp" && pwd)

# Never the user's own settings.
# shellcheck source=tools/lib/private_settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/private_settings.sh"
use_private_settings "$tmp"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The version the build was configured with, from the one place it is set.
version=$(sed -n 's/^project(Quillarbor VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[[ -n "$version" ]] || fail "no version found in $repo/CMakeLists.txt"

# Runs the program with no display at all; its output goes to $tmp/out and $tmp/err.
run_bare() {
    local status=0
    timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" \
        >"$tmp/out" 2>"$tmp/err" || status=$?
    echo "$status"
}

echo "case 1: --version"
status=$(run_bare --version)
[[ "$status" == 0 ]] || fail "--version exited with $status: $(cat "$tmp/err")"
[[ "$(cat "$tmp/out")" == "Quillarbor $version" ]] ||
    fail "--version printed '$(cat "$tmp/out")', expected 'Quillarbor $version'"
[[ ! -s "$tmp/err" ]] || fail "--version wrote to standard error: $(cat "$tmp/err")"

echo "case 2: --help and -h, also beside /O"
for args in "--help" "-h" "/O --help" "--help /o"; do
    # shellcheck disable=SC2086 # the words of $args are the arguments
    status=$(run_bare $args)
    [[ "$status" == 0 ]] || fail "'$args' exited with $status: $(cat "$tmp/err")"
    for word in "Usage: quillarbor" "/O" "--help" "--version" "user.reg"; do
        grep -qF -- "$word" "$tmp/out" || fail "'$args' printed no '$word' in its help"
    done
    [[ ! -s "$tmp/err" ]] || fail "'$args' wrote to standard error: $(cat "$tmp/err")"
done

echo "case 3: the first of --version and --help decides"
run_bare --version --help >/dev/null
[[ "$(cat "$tmp/out")" == "Quillarbor $version" ]] || fail "--version --help did not print the version"

[[ ! -e "$store" ]] || fail "answering --help or --version wrote the settings"

echo "case 4: a full standard output is an error"
if [[ -w /dev/full ]]; then
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version >/dev/full 2>/dev/null || status=$?
    [[ "$status" != 0 ]] || fail "--version into a full disk reported success"
fi

echo "case 5: unknown options do not stop the program from starting"
QT_QPA_PLATFORM=offscreen "$program" --no-such-option -q >"$tmp/out" 2>"$tmp/err" &
started=$!
# Started, the program saves nothing until it exits; it must still be running.
sleep 3
if kill -0 "$started" 2>/dev/null; then
    kill -TERM "$started"
    wait "$started" 2>/dev/null || true
else
    status=0
    wait "$started" || status=$?
    fail "with unknown options the program ended at once (status $status): $(cat "$tmp/err")"
fi
started=""
[[ ! -s "$tmp/out" ]] || fail "unknown options printed: $(cat "$tmp/out")"

echo "case 6: unknown options beside /O: one-shot mode runs and exits"
mkdir -p "$tmp/skins" "$XDG_CONFIG_HOME/quillarbor"
cp "$repo/samples/ocean.bmp" "$tmp/skins/"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\n"String"="%s"\n' \
    "$tmp/skins" >"$store"
status=0
QT_QPA_PLATFORM=offscreen timeout 30 "$program" --no-such-option /o >"$tmp/out" 2>"$tmp/err" ||
    status=$?
[[ "$status" == 0 ]] || fail "--no-such-option /o exited with $status: $(cat "$tmp/err")"
grep -qF "\"BackBitmapIE5\"=\"$tmp/skins/ocean.bmp\"" "$store" ||
    fail "--no-such-option /o applied no skin: $(cat "$store")"

echo "case 7: a normal start with no display, or a display that cannot be opened"
rm -f "$store"
for display in "" ":987"; do
    status=0
    # No abort and no core dump: one line saying what is missing and that /O works.
    timeout 30 env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$program" \
        >"$tmp/out" 2>"$tmp/err" || status=$?
    [[ "$status" == 1 ]] || fail "with DISPLAY='$display' a normal start exited with $status"
    grep -q '^quillarbor: .*display.*/O' "$tmp/err" ||
        fail "with DISPLAY='$display' nothing said what is missing: $(cat "$tmp/err")"
    ! grep -qi "reinstall" "$tmp/err" || fail "with DISPLAY='$display' the advice is to reinstall"
done
[[ ! -e "$store" ]] || fail "a start without a display wrote the settings"

if ((failures > 0)); then
    echo "command_line: $failures check(s) failed" >&2
    exit 1
fi
echo "command_line: all checks passed"
