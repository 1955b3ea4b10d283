#!/usr/bin/env bash
# Builds Quillarbor with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs the whole test suite once with them; any report fails the run. Qt itself is not
# instrumented; leaks that system libraries keep until exit are listed in tools/lsan.supp.
# Uses the caller's DISPLAY, or starts a virtual one. QUILLARBOR_ASAN_DIR chooses another
# build folder, QUILLARBOR_SANITIZE other sanitizers.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_ASAN_DIR:-$root/build-asan}
sanitizers=${QUILLARBOR_SANITIZE:-address,undefined}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DQUILLARBOR_SANITIZE="$sanitizers"
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0

script_name=test-sanitizers
# shellcheck source=tools/lib/desktop.sh
source "$root/tools/lib/desktop.sh"
if [[ -z "${DISPLAY:-}" ]]; then
    start_virtual_desktop
fi
ensure_runtime_dir

ctest --test-dir "$build" --output-on-failure
