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

started=()
session=$(mktemp -d)
cleanup() {
    local pid
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${started[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$session"
}
trap cleanup EXIT

if [[ -z "${DISPLAY:-}" ]]; then
    # As in tools/test.sh: the server picks a free display and reports it once it is ready.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$session/display" >"$session/xvfb.log" 2>&1 &
    started+=("$!")
    for ((waited = 0; waited < 100; waited++)); do
        [[ -s "$session/display" ]] && break
        sleep 0.1
    done
    if [[ ! -s "$session/display" ]]; then
        echo "test-sanitizers: Xvfb did not start:" >&2
        cat "$session/xvfb.log" >&2
        exit 1
    fi
    DISPLAY=":$(tr -d '[:space:]' <"$session/display")"
    export DISPLAY
    openbox >"$session/openbox.log" 2>&1 &
    started+=("$!")
    trayer --edge top --align right --widthtype request --height 24 \
        >"$session/trayer.log" 2>&1 &
    started+=("$!")
    timeout 10 xdotool search --sync --classname trayer >/dev/null 2>&1 || true
fi
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    mkdir -m 700 "$session/runtime"
    export XDG_RUNTIME_DIR="$session/runtime"
fi

ctest --test-dir "$build" --output-on-failure
