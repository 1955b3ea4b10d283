#!/usr/bin/env bash
# Installs what is missing, builds Quillarbor with warnings as errors and runs every test:
# first the Windows build under Wine (tools/test-windows.sh) and the Windows downloads
# (tools/package-windows.sh, tests/win/downloads.sh), then the native tests, the Debian package,
# the fuzzers and the suite once more under sanitizers.
# Without a display it starts a virtual one (Xvfb, a window manager and a system tray) for the
# tests that need a real X server. QUILLARBOR_BUILD_DIR chooses another build folder.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_BUILD_DIR:-$root/build}

"$root/tools/setup-debian.sh" --test
cmake -S "$root" -B "$build" -DQUILLARBOR_WERROR=ON
cmake --build "$build" -j"$(nproc)"

# Before the native tests, so that the run ends with their summary.
"$root/tools/test-windows.sh"

script_name=test
# shellcheck source=tools/lib/desktop.sh
source "$root/tools/lib/desktop.sh"
if [[ -z "${DISPLAY:-}" ]]; then
    start_virtual_desktop
fi
ensure_runtime_dir

# The Windows downloads, made as a release is made from the builds tools/test-windows.sh made,
# and tried under Wine in a prefix of each architecture.
"$root/tools/package-windows.sh"
for arch in win32 win64; do
    "$root/tests/win/downloads.sh" "$root/dist" "$arch"
done

ctest --test-dir "$build" --output-on-failure

# The Debian package: built, validated, installed with apt, run and removed again.
"$root/tools/test-package.sh"
# The store's parser, the number conversions and the bitmap size check under libFuzzer for a
# bounded time (FUZZ_SECONDS, 30 by default each), then the whole suite once more with ASan and
# UBSan.
"$root/tools/fuzz.sh"
"$root/tools/test-sanitizers.sh"
