#!/usr/bin/env bash
# Installs what is missing, cross-builds Quillarbor.exe for 32-bit and 64-bit Windows in Release
# with MinGW-w64 (win32 thread model, warnings as errors) and makes the Windows downloads in dist/:
#   Quillarbor-<version>-win32.zip       the 32-bit program, README.txt, LICENSE.txt and samples\
#   Quillarbor-<version>-win64.zip       the same with the 64-bit program
#   Quillarbor-<version>-setup.exe       one installer for both (NSIS, silent with /S): the
#                                        64-bit program on 64-bit Windows, the 32-bit one elsewhere
# The builds are those of tools/test-windows.sh, in build-windows/<arch>, so that after it nothing
# is compiled again; QUILLARBOR_WINDOWS_BUILD_DIR chooses another folder than build-windows/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
base=${QUILLARBOR_WINDOWS_BUILD_DIR:-$root/build-windows}
dist=$root/dist
version=$(sed -n 's/^project(Quillarbor VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

"$root/tools/setup-debian.sh" --windows-package
mkdir -p "$dist"
for arch in win32 win64; do
    case "$arch" in
    win32) toolchain=mingw-w64-i686 ;;
    win64) toolchain=mingw-w64-x86_64 ;;
    esac
    cmake -S "$root" -B "$base/$arch" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" \
        -DQUILLARBOR_WERROR=ON -DCMAKE_BUILD_TYPE=Release
    cmake --build "$base/$arch" -j"$(nproc)" --target Quillarbor
    (cd "$base/$arch" && cpack -C Release)
    cp "$base/$arch/Quillarbor-$version-$arch.zip" "$dist/"
    # What the installer takes: the files as installed, the program stripped.
    rm -rf "$base/$arch/stage"
    cmake --install "$base/$arch" --prefix "$base/$arch/stage" --strip >/dev/null
done
makensis -V2 -DWIN32_DIR="$base/win32/stage" -DWIN64_DIR="$base/win64/stage" \
    -DOUT_FILE="$dist/Quillarbor-$version-setup.exe" "$base/win32/windows/installer.nsi"

echo "package-windows: made"
ls -l "$dist/Quillarbor-$version-win32.zip" "$dist/Quillarbor-$version-win64.zip" \
    "$dist/Quillarbor-$version-setup.exe"
