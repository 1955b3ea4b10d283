#!/usr/bin/env bash
# Installs what is missing, builds Quillarbor with warnings as errors and runs every test:
# first the Windows build of the core under Wine (tools/test-windows.sh), then the native tests,
# the Debian package, the fuzzers and the suite once more under sanitizers.
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

start_virtual_display() {
    # -displayfd lets the server pick a free display number and report it once it is ready;
    # -noreset keeps it from resetting, and refusing clients, whenever the last one leaves.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$session/display" >"$session/xvfb.log" 2>&1 &
    started+=("$!")
    local waited=0
    until [[ -s "$session/display" ]]; do
        if ((waited >= 100)) || ! kill -0 "${started[0]}" 2>/dev/null; then
            echo "test: Xvfb did not start:" >&2
            cat "$session/xvfb.log" >&2
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    DISPLAY=":$(tr -d '[:space:]' <"$session/display")"
    export DISPLAY
    echo "test: virtual display $DISPLAY"

    openbox >"$session/openbox.log" 2>&1 &
    started+=("$!")
    trayer --edge top --align right --widthtype request --height 24 \
        >"$session/trayer.log" 2>&1 &
    started+=("$!")
    # The tray tests need the tray to be there before they start.
    if ! timeout 10 xdotool search --sync --classname trayer >/dev/null 2>&1; then
        echo "test: the system tray did not start; tray tests may fail" >&2
    fi
}

if [[ -z "${DISPLAY:-}" ]]; then
    start_virtual_display
fi
# Qt warns on every start without one, as on a bare machine or a CI runner.
if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
    mkdir -m 700 "$session/runtime"
    export XDG_RUNTIME_DIR="$session/runtime"
fi

ctest --test-dir "$build" --output-on-failure

# The Debian package: built, validated, installed with apt, run and removed again.
"$root/tools/test-package.sh"
# The store's parser, the number conversions and the bitmap size check under libFuzzer for a
# bounded time (FUZZ_SECONDS, 30 by default each), then the whole suite once more with ASan and
# UBSan.
"$root/tools/fuzz.sh"
"$root/tools/test-sanitizers.sh"
