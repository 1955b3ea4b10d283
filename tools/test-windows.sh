#!/usr/bin/env bash
# Installs what is missing, cross-builds the toolkit-free core, its tests, the Windows resources
# and the native program Quillarbor.exe for 64-bit Windows with MinGW-w64 (warnings as errors) and
# runs the tests under Wine in a throw-away prefix; the program's end-to-end script makes a prefix
# of its own. The Qt program is not built: Debian has no Qt for Windows, and Windows needs none.
# QUILLARBOR_WINDOWS_BUILD_DIR chooses another build folder than build-windows/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_WINDOWS_BUILD_DIR:-$root/build-windows}

"$root/tools/setup-debian.sh" --test
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DQUILLARBOR_BUILD_GUI=OFF -DQUILLARBOR_WERROR=ON
cmake --build "$build" -j"$(nproc)"

# A fresh prefix each time: the tests write to its registry, never to a prefix of the user's.
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Setting up a prefix takes a while; do it before any test's timeout starts to run.
if ! wineboot -i >"$work/wineboot.log" 2>&1; then
    echo "test-windows: setting up the Wine prefix failed:" >&2
    cat "$work/wineboot.log" >&2
    exit 1
fi
wineserver -w

ctest --test-dir "$build" --output-on-failure
