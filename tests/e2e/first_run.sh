#!/usr/bin/env bash
# tools/run.sh as a new user runs it: with no settings saved the window opens on the bundled
# samples, and a double-click applies one; once a folder is saved, that folder wins.
# Usage: first_run.sh <path of the built quillarbor>; tools/run.sh builds into its build folder.
set -uo pipefail

program=${1:?usage: first_run.sh <path of the built quillarbor>}
repo=$(cd -P "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$(dirname "$program")/.." && pwd)

# shellcheck source=tools/lib/require.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/lib/require.sh"
require_tools first_run Xvfb openbox xdotool xwininfo xprop

script_name=first_run
# shellcheck source=tools/lib/main_window.sh
source "$repo/tools/lib/main_window.sh"
tmp=$session
start_private_desktop --no-tray --size 1024x768

failures=0
# Run in the background, the function is a process of its own that becomes the program.
run() { cd "$tmp" && exec env QUILLARBOR_BUILD_DIR="$build" "$repo/tools/run.sh"; }

rm -f "$store"
check_window_opens_on "$repo/samples" run || failures=$((failures + 1))

mkdir -p "$tmp/saved"
cp "$repo/samples/ocean.bmp" "$tmp/saved/"
write_settings "$tmp/saved" 1
check_window_opens_on "$tmp/saved" run || failures=$((failures + 1))

((failures == 0)) || exit 1
echo "first_run: all checks passed"
