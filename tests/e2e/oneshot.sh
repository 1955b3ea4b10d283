#!/usr/bin/env bash
# One-shot mode end to end: with "/O" on the command line the program applies one random skin
# from the saved folder, saves its settings back and exits on its own.
# Usage: oneshot.sh <path of the built quillarbor>
set -euo pipefail

program=${1:?usage: oneshot.sh <path of the built quillarbor>}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
tmp=$(cd -P "$tmp" && pwd) # the program sees physical paths

# Never the user's own settings.
# shellcheck source=tools/lib/private_settings.sh
source "$repo/tools/lib/private_settings.sh"
use_private_settings "$tmp"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

toolbar_key='HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Toolbar'
settings_key='HKEY_CURRENT_USER\Software\Quillarbor'

# Runs the program from folder $1 with the remaining arguments; false on a bad exit.
run_program() {
    local dir=$1 status=0
    shift
    (cd "$dir" && timeout 30 "$@") || status=$?
    if ((status == 124)); then
        fail "the program did not exit within 30 seconds"
        return 1
    elif ((status != 0)); then
        fail "the program exited with status $status"
        return 1
    fi
}

# The settings read at start-up are written back at exit.
check_saved_settings() {
    local folder=$1 got
    got=$(stored "$settings_key\\path" String)
    [[ "$got" == "$(reg_quote "$folder")" ]] ||
        fail "saved folder is ${got:-missing}, expected $(reg_quote "$folder")"
    got=$(stored "$settings_key\\delay" String)
    [[ "$got" == '"2.5"' ]] || fail "saved delay is ${got:-missing}, expected \"2.5\""
    got=$(stored "$settings_key\\systray" String)
    [[ "$got" == '"False"' ]] || fail "saved systray flag is ${got:-missing}, expected \"False\""
}

# A folder name with a space and a quote, to see that paths survive the store's quoting.
skins="$tmp/my \"skins\""
mkdir -p "$skins"
candidates=()
for name in sunset.bmp ocean.bmp MEADOW.BMP; do
    cp "$repo/samples/$name" "$skins/"
    candidates+=("$skins/$name")
done
mkdir -p "$tmp/work"

check_applied() {
    local got candidate
    got=$(stored "$toolbar_key" BackBitmapIE5)
    for candidate in "${candidates[@]}"; do
        if [[ "$got" == "$(reg_quote "$candidate")" ]]; then
            return 0
        fi
    done
    fail "BackBitmapIE5 is ${got:-missing}, expected one of the three skins in $skins"
}

echo "case 1: /o in lower case on the offscreen platform"
write_settings "$skins" 2.5
if QT_QPA_PLATFORM=offscreen run_program "$tmp/work" "$program" /o; then
    check_applied
    check_saved_settings "$skins"
fi

echo "case 2: no display at all, /O among other arguments"
write_settings "$skins" 2.5
if run_program "$tmp/work" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$program" -x /O -y; then
    check_applied
    check_saved_settings "$skins"
fi

echo "case 3: the saved folder no longer exists"
empty="$tmp/start here"
mkdir -p "$empty"
write_settings "$tmp/gone" 2.5
if QT_QPA_PLATFORM=offscreen run_program "$empty" "$program" /O; then
    # The lists stay on the current folder, which holds no skins: nothing is applied, and
    # the current folder is what gets saved.
    got=$(stored "$toolbar_key" BackBitmapIE5)
    [[ -z "$got" ]] || fail "BackBitmapIE5 was set to $got from a folder without skins"
    check_saved_settings "$empty"
fi

echo "case 4: a damaged settings file is kept aside and the program still runs"
damaged=$'\x01\x02 this is not a settings file\n'
printf '%s' "$damaged" >"$store"
if QT_QPA_PLATFORM=offscreen run_program "$tmp/work" "$program" /O 2>"$tmp/stderr"; then
    [[ "$(cat "$store.bad")" == "$(printf '%s' "$damaged")" ]] ||
        fail "the damaged file was not kept aside as $store.bad"
    [[ $(grep -c "kept it as" "$tmp/stderr") == 1 ]] ||
        fail "expected one warning about the damaged file, got: $(cat "$tmp/stderr")"
    got=$(stored "$settings_key\\path" String)
    [[ "$got" == "$(reg_quote "$tmp/work")" ]] ||
        fail "after a damaged file the start folder should be saved, got ${got:-nothing}"
fi

if ((failures > 0)); then
    echo "--- settings store after the last run:" >&2
    cat "$store" >&2 || true
    echo "oneshot: $failures check(s) failed" >&2
    exit 1
fi
echo "oneshot: all checks passed"
