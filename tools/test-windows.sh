#!/usr/bin/env bash
# Installs what is missing, cross-builds Quillarbor.exe with MinGW-w64 (warnings as errors) for
# 32-bit and 64-bit Windows and tests each under Wine, in a throw-away prefix of the same
# architecture (the 32-bit one a pure 32-bit prefix); the program's end-to-end script makes a
# prefix of its own. Per architecture, two builds:
#   build-windows/<arch>        the program as it ships (win32 thread model, Release): its imports
#                               against Windows XP's exports, and the program end to end
#   build-windows/<arch>-tests  the core's tests, the resources and the XP fallbacks, with the
#                               posix thread model GoogleTest needs
# Usage: test-windows.sh [win32 | win64]...   (both when none is named)
# QUILLARBOR_WINDOWS_BUILD_DIR chooses another folder than build-windows/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
base=${QUILLARBOR_WINDOWS_BUILD_DIR:-$root/build-windows}
archs=("$@")
((${#archs[@]} > 0)) || archs=(win32 win64)

"$root/tools/setup-debian.sh" --test

work=$(mktemp -d)
cleanup() {
    if [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

for arch in "${archs[@]}"; do
    case "$arch" in
    win32) toolchain=mingw-w64-i686 ;;
    win64) toolchain=mingw-w64-x86_64 ;;
    *)
        echo "usage: test-windows.sh [win32 | win64]..." >&2
        exit 2
        ;;
    esac
    echo "test-windows: $arch"
    options=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" -DQUILLARBOR_WERROR=ON)
    cmake -S "$root" -B "$base/$arch" "${options[@]}" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$base/$arch" -j"$(nproc)"
    cmake -S "$root" -B "$base/$arch-tests" "${options[@]}" -DQUILLARBOR_MINGW_THREADS=posix \
        -DQUILLARBOR_BUILD_WIN32=OFF
    cmake --build "$base/$arch-tests" -j"$(nproc)"

    # A fresh prefix each time: the tests write to its registry, never to a prefix of the user's.
    if [[ -n "${WINEPREFIX:-}" ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    export WINEPREFIX="$work/prefix-$arch" WINEARCH=$arch WINEDEBUG=-all
    # Setting up a prefix takes a while; do it before any test's timeout starts to run.
    if ! wineboot -i >"$work/wineboot.log" 2>&1; then
        echo "test-windows: setting up the Wine prefix failed:" >&2
        cat "$work/wineboot.log" >&2
        exit 1
    fi
    wineserver -w

    ctest --test-dir "$base/$arch-tests" --output-on-failure
    ctest --test-dir "$base/$arch" --output-on-failure
done
