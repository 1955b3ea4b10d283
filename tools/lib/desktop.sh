# Sourced by the test and benchmark scripts. Gives them a throw-away folder, $session, whose
# background processes are stopped and which is removed on exit, and a virtual desktop: Xvfb with
# a window manager (openbox) and a system tray (trayer), for what needs a real X server.
# The sourcing script names itself in $script_name for its messages.

# By its physical path, as the programs started in it see it.
session=$(cd -P "$(mktemp -d)" && pwd)
session_pids=()
session_cleanup() {
    local i
    # Newest first: the program before the tray and the window manager, the display last.
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        kill "${session_pids[i]}" 2>/dev/null || true
        wait "${session_pids[i]}" 2>/dev/null || true
    done
    rm -rf "$session"
}
trap session_cleanup EXIT
# Interrupted, the script still stops what it started.
trap 'exit 1' INT TERM

# start_virtual_desktop [--no-tray] [--bare] [--size WxH] [--tray-colour 0xRRGGBB]
# Starts the virtual desktop and exports DISPLAY; xvfb_pid names the X server's process and
# tray_windows trayer's windows (empty when the tray did not start).
# --no-tray: no system tray; Wine then shows its own tray window, where icons take clicks, which
# they do not when embedded in trayer. --bare: neither window manager nor tray, a black screen.
# --tray-colour paints the tray in one colour instead of the default grey.
# shellcheck disable=SC2120 # the options are for the callers that want them
start_virtual_desktop() {
    local tray=true wm=true size=1280x1024 tray_look=(--transparent false)
    while (($# > 0)); do
        case "$1" in
        --no-tray) tray=false ;;
        --bare) tray=false wm=false ;;
        --size) size=$2 && shift ;;
        --tray-colour) tray_look=(--transparent true --alpha 0 --tint "$2") && shift ;;
        *) echo "start_virtual_desktop: unknown option $1" >&2 && exit 2 ;;
        esac
        shift
    done
    # -displayfd lets the server pick a free display number and report it once it is ready;
    # -noreset keeps it from resetting, and refusing clients, whenever the last one leaves.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -br -nolisten tcp -noreset \
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
    tray_windows=""
    if ! $wm; then
        return
    fi

    openbox --sm-disable >"$session/openbox.log" 2>&1 &
    session_pids+=("$!")
    # Windows mapped before the window manager runs would go unmanaged.
    waited=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
        if ((waited >= 100)); then
            echo "$script_name: openbox did not start:" >&2
            cat "$session/openbox.log" >&2
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    if ! $tray; then
        return
    fi
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        "${tray_look[@]}" >"$session/trayer.log" 2>&1 &
    session_pids+=("$!")
    # What uses the tray needs it to be there before it starts.
    if timeout 10 xdotool search --sync --classname trayer >/dev/null 2>&1; then
        tray_windows=$(xdotool search --class trayer)
    else
        echo "$script_name: the system tray did not start; what needs it may fail" >&2
    fi
}

# tray_icon_window PID: prints the window of process PID that is docked in the tray.
tray_icon_window() {
    local tray id win ours
    ours=$(xdotool search --pid "$1" 2>/dev/null) || return 1
    for tray in $tray_windows; do
        for id in $(xwininfo -tree -id "$tray" 2>/dev/null | grep -o '^ *0x[0-9a-f]*'); do
            for win in $ours; do
                if ((win == id)); then
                    echo "$win"
                    return 0
                fi
            done
        done
    done
    return 1
}

# geometry WINDOW: prints "X Y WIDTH HEIGHT" of the window on the screen.
geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

# client_point WINDOW X Y: prints "X Y" on the screen of the point (X, Y) of the main window's
# client area as designed at 96 DPI, 501 x 390 pixels below the menu bar. When the desktop's type
# needs more room the whole area grows by one factor, which its width tells.
client_point() {
    local wx wy ww wh
    read -r wx wy ww wh < <(geometry "$1")
    echo "$((wx + $2 * ww / 501)) $((wy + wh - 390 * ww / 501 + $3 * ww / 501))"
}

# framed_geometry WINDOW: the same with the frame the window manager draws around it.
framed_geometry() {
    local x y w h left right top bottom
    read -r x y w h < <(geometry "$1")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS |
        sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1 \2 \3 \4/p')
    echo "$((x - ${left:-0})) $((y - ${top:-0})) $((w + ${left:-0} + ${right:-0}))" \
        "$((h + ${top:-0} + ${bottom:-0}))"
}

# shoot FILE X Y WIDTH HEIGHT: saves that region of the screen as a PNG without time stamps.
shoot() {
    import -window root "$session/screen.png"
    convert "$session/screen.png" -crop "${4}x${5}+${2}+${3}" +repage -strip \
        -define png:exclude-chunks=date,time "$1"
    echo "$script_name: wrote $1 (${4}x${5})"
}

# Keeps what the script starts away from the desktop it runs in, if any: its services and its
# Wayland display.
leave_desktop_services() {
    unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
    export QT_QPA_PLATFORM=xcb
}

# Prints the end of each log the session's processes wrote, for a failure's report.
print_session_logs() {
    local log
    for log in "$session"/*.log; do
        if [[ -s "$log" ]]; then
            echo "--- $(basename "$log"):" >&2
            tail -n 20 "$log" >&2
        fi
    done
}

# Qt warns on every start without one, as on a bare machine or a CI runner.
ensure_runtime_dir() {
    if [[ -z "${XDG_RUNTIME_DIR:-}" ]]; then
        mkdir -m 700 "$session/runtime"
        export XDG_RUNTIME_DIR="$session/runtime"
    fi
}
