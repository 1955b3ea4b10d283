#!/usr/bin/env bash
# Installs what is missing, builds Quillarbor and starts it; arguments go to the program.
# The first time, with no settings saved yet, it starts in samples/, so that the window opens on
# the bundled skins; after that the folder saved at exit wins. QUILLARBOR_BUILD_DIR chooses another
# build folder.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_BUILD_DIR:-$root/build}

"$root/tools/setup-debian.sh"
cmake -S "$root" -B "$build"
cmake --build "$build" -j"$(nproc)" --target quillarbor

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run: Quillarbor is built as $build/src/quillarbor, but there is no display to show" >&2
    echo "its window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
program=$(cd "$build/src" && pwd)/quillarbor
if [[ ! -e "${XDG_CONFIG_HOME:-$HOME/.config}/quillarbor/user.reg" ]]; then
    cd "$root/samples"
fi
exec "$program" "$@"
