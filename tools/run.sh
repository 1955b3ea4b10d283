#!/usr/bin/env bash
# Installs what is missing, builds Quillarbor and starts it; arguments go to the program.
# QUILLARBOR_BUILD_DIR chooses another build folder.
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
exec "$build/src/quillarbor" "$@"
