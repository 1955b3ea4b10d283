# Sourced by the scripts that drive the program's main window on an X display; brings the
# virtual desktop, wait_for and the private settings along.
here=$(dirname "${BASH_SOURCE[0]}")
# shellcheck source=tools/lib/desktop.sh
source "$here/desktop.sh"
# shellcheck source=tools/lib/wait.sh
source "$here/wait.sh"
# shellcheck source=tools/lib/private_settings.sh
source "$here/private_settings.sh"

# start_private_desktop [OPTION]...: the virtual desktop (with start_virtual_desktop's options),
# the program kept away from the desktop the script runs in and on settings of its own in
# $session, and an empty folder $session/work to start it in.
start_private_desktop() {
    leave_desktop_services
    use_private_settings "$session"
    mkdir -p "$session/work"
    start_virtual_desktop "$@"
}

# die MESSAGE: says what failed, with the settings store and the session's logs, and exits 1.
die() {
    echo "$script_name: FAIL: $*" >&2
    if [[ -f "${store:-}" ]]; then
        echo "--- settings store:" >&2
        cat "$store" >&2
    fi
    print_session_logs
    exit 1
}

# main_window PID: prints the window titled "Quillarbor" of process PID.
main_window() {
    xdotool search --all --pid "$1" --name '^Quillarbor$' 2>/dev/null | head -n 1
}

# new_popup PID WINDOWS: prints a window of process PID that is not among WINDOWS (a list from
# xdotool) and that the window manager does not manage (override-redirect): a menu or a tooltip
# that has opened since the list was taken.
new_popup() {
    local win
    for win in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        grep -qx "$win" <<<"$2" && continue
        if xwininfo -id "$win" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
            echo "$win"
            return 0
        fi
    done
    return 1
}

# double_click_first_skin WINDOW: double-clicks the first entry of the main window's skin list,
# which starts at (272, 24) in the client area.
double_click_first_skin() {
    # shellcheck disable=SC2046 # two numbers
    xdotool mousemove $(client_point "$1" $((272 + 30)) $((24 + 10)))
    sleep 0.3
    xdotool click --repeat 2 --delay 100 1
}

# check_window_opens_on FOLDER COMMAND...: starts the program by COMMAND (which must exec it) with
# the settings as they are, and checks that its window opens on FOLDER: a double-click on the
# first skin of the list applies a bitmap from there, and FOLDER is what the program saves when
# the session ends it. Says what failed and returns 1.
check_window_opens_on() {
    local folder=$1 pid window="" applied="" saved status=0 prefix
    shift
    "$@" >"$session/opens-on.log" 2>&1 &
    pid=$!
    session_pids+=("$pid")
    # shellcheck disable=SC2317 # called through wait_for
    has_window() {
        ! kill -0 "$pid" 2>/dev/null || { window=$(main_window "$pid") && [[ -n "$window" ]]; }
    }
    # COMMAND may build the program first.
    wait_for 300 has_window || true
    if [[ -z "$window" ]]; then
        echo "FAIL: no window titled \"Quillarbor\" appeared; the output:" >&2
        cat "$session/opens-on.log" >&2
        return 1
    fi
    sleep 1
    double_click_first_skin "$window"
    # shellcheck disable=SC2317 # called through wait_for
    has_applied() {
        applied=$(stored 'HKEY_CURRENT_USER\Software\Microsoft\Internet Explorer\Toolbar' \
            BackBitmapIE5) && [[ -n "$applied" ]]
    }
    wait_for 5 has_applied || true
    kill -TERM "$pid"
    wait "$pid" || status=$?
    saved=$(stored 'HKEY_CURRENT_USER\Software\Quillarbor\path' String)
    echo "opened on $saved, applied $applied"
    if [[ "$saved" != "$(reg_quote "$folder")" ]]; then
        echo "FAIL: the window opened on $saved, not on $folder" >&2
        return 1
    fi
    if ((status != 0)); then
        echo "FAIL: the program ended with status $status" >&2
        return 1
    fi
    prefix=$(reg_quote "$folder/")
    if [[ "$applied" != "${prefix%\"}"* ]]; then
        echo "FAIL: a double-click on the skin list applied '$applied', not a skin of $folder" >&2
        return 1
    fi
}
