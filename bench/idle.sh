#!/usr/bin/env bash
# Idle cost: Quillarbor started normally with a delay of 60 minutes, then watched for a minute:
# the processor time it used (from /proc, to the nanosecond) and its resident memory. Measured
# with the window shown and with it hidden in the tray, and the same for the toolkit's floor (a Qt
# window whose one text box counts down once a second). The X server's time over the same minute
# is reported beside each, since drawing costs are partly paid there.
# Usage: idle.sh <build folder> <results folder>
#   (needs DISPLAY with a window manager and a system tray; run by tools/bench.sh, which sets
#   BENCH_XVFB_PID to the X server's process)
set -euo pipefail

build=${1:?usage: idle.sh <build folder> <results folder>}
results=${2:?usage: idle.sh <build folder> <results folder>}
seconds=${BENCH_IDLE_SECONDS:-60}
settle=${BENCH_IDLE_SETTLE:-5}
xvfb_pid=${BENCH_XVFB_PID:-}
samples=$(cd "$(dirname "${BASH_SOURCE[0]}")/../samples" && pwd)

work=$(mktemp -d)
started=
cleanup() {
    if [[ -n "$started" ]]; then
        kill "$started" 2>/dev/null || true
        wait "$started" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home"
mkdir -p "$HOME" "$work/skins"
cp "$samples/dusk.bmp" "$samples/forest.bmp" "$samples/ocean.bmp" "$work/skins/"

make_settings() {
    local config=$1 tray=$2
    mkdir -p "$config/quillarbor"
    cat >"$config/quillarbor/user.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]
"String"="$work/skins"

[HKEY_CURRENT_USER\\Software\\Quillarbor\\delay]
"String"="60"

[HKEY_CURRENT_USER\\Software\\Quillarbor\\systray]
"String"="$tray"
EOF
}
make_settings "$work/shown" False
make_settings "$work/tray" True

# Processor time of every thread of process $1, in nanoseconds.
cpu_ns() {
    local total=0 on_cpu rest task
    for task in /proc/"$1"/task/*/schedstat; do
        read -r on_cpu rest <"$task" || continue
        total=$((total + on_cpu))
    done
    echo "$total"
}
# User and system time of process $1 as the kernel accounts it, in clock ticks.
cpu_ticks() {
    local -a stat
    read -r -a stat <"/proc/$1/stat"
    echo $((stat[13] + stat[14]))
}
status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

# measure NAME COMMAND...: one line of idle.csv.
measure() {
    local name=$1
    shift
    "$@" >"$work/$name.log" 2>&1 &
    started=$!
    sleep "$settle"
    if ! kill -0 "$started" 2>/dev/null; then
        echo "idle: $name ended early:" >&2
        cat "$work/$name.log" >&2
        exit 1
    fi
    local visible=no
    if xdotool search --onlyvisible --name '^(Quillarbor|Floor)$' >/dev/null 2>&1; then
        visible=yes
    fi
    local ns0 ticks0 x0=0 ns1 ticks1 x1=0
    ns0=$(cpu_ns "$started")
    ticks0=$(cpu_ticks "$started")
    [[ -n "$xvfb_pid" ]] && x0=$(cpu_ns "$xvfb_pid")
    sleep "$seconds"
    ns1=$(cpu_ns "$started")
    ticks1=$(cpu_ticks "$started")
    [[ -n "$xvfb_pid" ]] && x1=$(cpu_ns "$xvfb_pid")
    local hz rss anon file
    hz=$(getconf CLK_TCK)
    rss=$(status_kib "$started" VmRSS)
    anon=$(status_kib "$started" RssAnon)
    file=$(status_kib "$started" RssFile)
    kill "$started"
    wait "$started" 2>/dev/null || true
    started=
    awk -v name="$name" -v visible="$visible" -v ns=$((ns1 - ns0)) -v s="$seconds" \
        -v ticks=$((ticks1 - ticks0)) -v hz="$hz" -v xns=$((x1 - x0)) \
        -v rss="$rss" -v anon="$anon" -v file="$file" 'BEGIN {
        printf "%s,%s,%.1f,%.4f,%.0f,%.1f,%s,%s,%s\n", name, visible, ns / 1e6,
            100 * ns / (s * 1e9), 1000 * ticks / hz, xns / 1e6, rss, anon, file
    }' >>"$results/idle.csv"
    tail -n 1 "$results/idle.csv"
}

echo "state,window_visible,cpu_ms,percent_of_one_core,cpu_ms_from_ticks,xserver_cpu_ms,rss_kib,rss_anon_kib,rss_file_kib" \
    >"$results/idle.csv"
echo "idle: ${seconds} s each, after ${settle} s to settle"
XDG_CONFIG_HOME="$work/shown" measure quillarbor-shown "$build/src/quillarbor"
XDG_CONFIG_HOME="$work/tray" measure quillarbor-tray "$build/src/quillarbor"
measure floor-shown "$build/bench/floor_window"
measure floor-controls-shown "$build/bench/floor_window" --controls
measure floor-hidden "$build/bench/floor_window" --hidden
