# Sourced by the test and benchmark scripts. Gives them a throw-away folder, $session, whose
# background processes are stopped and which is removed on exit, and a virtual desktop: Xvfb with
# a window manager (openbox) and a system tray (trayer), for what needs a real X server.
# The sourcing script names itself in $script_name for its messages.

session=$(mktemp -d)
session_pids=()
session_cleanup() {
    local pid
    for pid in "${session_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${session_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$session"
}
trap session_cleanup EXIT

# Starts the virtual desktop and exports DISPLAY; xvfb_pid names the X server's process.
# With --no-tray it starts no system tray: Wine then shows its own tray window, where icons take
# clicks, which they do not when embedded in trayer.
start_virtual_desktop() {
    local tray=true
    if [[ "${1:-}" == --no-tray ]]; then
        tray=false
    fi
    # -displayfd lets the server pick a free display number and report it once it is ready;
    # -noreset keeps it from resetting, and refusing clients, whenever the last one leaves.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$session/display" >"$session/xvfb.log" 2>&1 &
    xvfb_pid=$!
    session_pids+=("$xvfb_pid")
    local waited=0
    until [[ -s "$session/display" ]]; do
        if ((waited >= 100)) || ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "$script_name: Xvfb did not start:" >&2
            cat "$session/xvfb.log" >&2
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    DISPLAY=":$(tr -d '[:space:]' <"$session/display")"
    export DISPLAY
    echo "$script_name: virtual display $DISPLAY"

    openbox >"$session/openbox.log" 2>&1 &
    session_pids+=("$!")
    if ! $tray; then
        return
    fi
    trayer --edge top --align right --widthtype request --height 24 \
        >"$session/trayer.log" 2>&1 &
    session_pids+=("$!")
    # What uses the tray needs it to be there before it starts.
    if ! timeout 10 xdotool search --sync --classname trayer >/dev/null 2>&1; then
        echo "$script_name: the system tray did not start; what needs it may fail" >&2
    fi
}

# Qt warns on every start without one, as on a bare machine or a CI runner.
ensure_runtime_dir() {
    if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
        mkdir -m 700 "$session/runtime"
        export XDG_RUNTIME_DIR="$session/runtime"
    fi
}
