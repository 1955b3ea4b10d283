#!/usr/bin/env bash
# Installs what is missing, cross-builds Quillarbor.exe for 64-bit Windows in Release with
# MinGW-w64 (warnings as errors) and makes the two Windows downloads from it in dist/:
#   Quillarbor-<version>-win64.zip        the program, README.txt, LICENSE.txt and samples\
#   Quillarbor-<version>-win64-setup.exe  an installer made with NSIS (silent with /S)
# QUILLARBOR_PACKAGE_BUILD_DIR chooses another build folder than build-windows-release/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_PACKAGE_BUILD_DIR:-$root/build-windows-release}
dist=$root/dist

"$root/tools/setup-debian.sh" --windows-package
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUILLARBOR_BUILD_GUI=OFF -DQUILLARBOR_BUILD_TESTS=OFF \
    -DQUILLARBOR_WERROR=ON
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -C Release)

mkdir -p "$dist"
version=$(sed -n 's/^project(Quillarbor VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
cp "$build/Quillarbor-$version-win64.zip" "$dist/"
cp "$build/Quillarbor-$version-win64.exe" "$dist/Quillarbor-$version-win64-setup.exe"
echo "package-windows: made"
ls -l "$dist/Quillarbor-$version-win64.zip" "$dist/Quillarbor-$version-win64-setup.exe"
