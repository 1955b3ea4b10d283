#!/usr/bin/env bash
# Quillarbor.exe under Wine: its stripped size; `Quillarbor.exe /O` against the floor of a Win32
# program of its shape (bench/win32_floor.cpp: the same controls, menu bar and manifest, shown and
# painted, a tray icon added and removed, nothing read) on folders of 3 and of 10,000 bitmaps, in
# one hyperfine run with the Wine server kept running; and a minute idle with a delay of 60
# minutes, shown and hidden in the tray: the processor time of the program, of the Wine server and
# of the X server, and the program's resident memory (its working set).
# Usage: windows.sh [--oneshot] <Windows build folder> <results folder>   (run by tools/bench.sh;
# starts a virtual desktop of its own, without a tray, so that Wine shows its tray window)
# --oneshot: the size and the one-shot runs only, no idle minutes.
set -euo pipefail

oneshot_only=false
if [[ ${1:-} == --oneshot ]]; then
    oneshot_only=true
    shift
fi
build=${1:?usage: windows.sh [--oneshot] <Windows build folder> <results folder>}
results=${2:?usage: windows.sh [--oneshot] <Windows build folder> <results folder>}
runs=${BENCH_RUNS:-20}
seconds=${BENCH_IDLE_SECONDS:-60}
settle=${BENCH_IDLE_SETTLE:-5}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program="$build/src/win32/Quillarbor.exe"
floor="$build/bench/win32_floor.exe"
script_name=windows-bench

# shellcheck source=tools/lib/desktop.sh
source "$root/tools/lib/desktop.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_servers() {
    local prefix
    for prefix in "$session"/prefix-*; do
        if [[ -d "$prefix" ]]; then
            WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        fi
    done
    session_cleanup
}
trap stop_servers EXIT
start_virtual_desktop --no-tray

# Size: what a download would hold.
x86_64-w64-mingw32-strip -o "$session/Quillarbor.exe" "$program"
size=$(stat -c %s "$session/Quillarbor.exe")
echo "file,bytes" >"$results/windows-size.csv"
echo "Quillarbor.exe stripped,$size" >>"$results/windows-size.csv"
echo "Quillarbor.exe stripped: $size bytes ($(awk -v b="$size" 'BEGIN { printf "%.2f", b / 1048576 }') MiB)"

# One prefix per folder, each naming its folder as a user who chose it once would have; the 10,000
# bitmaps are hard links of the bundled samples under varied names.
mapfile -t pictures < <(find "$root/samples" -maxdepth 1 -type f -iname '*.bmp' | sort)
for count in 3 10000; do
    prefix="$session/prefix-$count"
    folder="$session/skins-$count"
    mkdir -p "$folder"
    for ((i = 0; i < count; i++)); do
        ln "${pictures[i % ${#pictures[@]}]}" "$(printf '%s/skin-%05d.bmp' "$folder" "$i")"
    done
    WINEPREFIX=$prefix wineboot -i >"$session/wineboot-$count.log" 2>&1
    WINEPREFIX=$prefix wineserver -w
    # Kept running through the measurements, as on a desktop where Wine is in use.
    WINEPREFIX=$prefix wineserver -p
    WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d 96 /f >/dev/null
    WINEPREFIX=$prefix wine reg add 'HKCU\Software\Quillarbor\path' /v String \
        /d "$(WINEPREFIX=$prefix winepath -w "$folder" | tr -d '\r')" /f >/dev/null
done
sync

# Processor time of every thread of process $1, in nanoseconds.
cpu_ns() {
    local total=0 on_cpu rest task
    for task in /proc/"$1"/task/*/schedstat; do
        { read -r on_cpu rest <"$task"; } 2>/dev/null || continue # a thread that ended
        total=$((total + on_cpu))
    done
    echo "$total"
}

# The processes of prefix $1 that run throughout (its server, Wine's desktop and services).
prefix_pids() {
    local pid
    for pid in $(pgrep -f 'wineserver|\.exe' || true); do
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$1"; then
            echo "$pid"
        fi
    done
}

# The programs are 64-bit: they are started through Wine's 64-bit loader. Debian's `wine` starts
# the 32-bit loader first when 32-bit Wine is installed, which starts the 64-bit one in a process
# of its own and waits for it: a second start in every figure, and a process whose processor time
# and memory are not those of the program.
loader=wine
if [[ -x /usr/lib/wine/wine64 ]]; then
    loader=/usr/lib/wine/wine64
fi

oneshot() { echo "env WINEPREFIX='$session/prefix-$1' $loader '$session/Quillarbor.exe' /O"; }
timed_oneshots() {
    hyperfine -N --warmup 3 --runs "$runs" --style basic \
        --export-csv "$results/windows-oneshot.csv" --export-json "$results/windows-oneshot.json" \
        -n "quillarbor-3" "$(oneshot 3)" \
        -n "quillarbor-10000" "$(oneshot 10000)" \
        -n "floor" "env WINEPREFIX='$session/prefix-3' $loader '$floor'"
}
# Now and then (once in some hundreds of runs, not reproduced alone) a start under Wine ends with
# status 1 before the program runs; the measurement is then taken again, once.
if ! timed_oneshots; then
    echo "windows-bench: a start failed; measuring again" >&2
    timed_oneshots
fi
# The ratios of the medians, and of the processor time hyperfine counts (the program's process;
# the Wine server's share is not in it).
awk -F, 'NR > 1 { median[$1] = $4; cpu[$1] = $5 + $6 }
    END {
        split("3 10000", counts, " ")
        for (i = 1; i <= 2; i++) {
            name = "quillarbor-" counts[i]
            printf "/O on %s bitmaps: %.1f ms against the floor'"'s"' %.1f ms, ratio %.2f" \
                " (processor time %.2f)\n", counts[i], median[name] * 1000,
                median["floor"] * 1000, median[name] / median["floor"], cpu[name] / cpu["floor"]
        }
    }' "$results/windows-oneshot.csv" | tee "$results/windows-oneshot-ratios.txt"

# hyperfine runs each command's runs one after the other, and on a shared machine the load comes
# and goes in stretches of seconds: one command may fall in a busy stretch, the next in a quiet
# one. So the commands are also run in turns, each once a round, and each run's wall time is kept
# with its processor time: the program's process, and what the prefix's Wine server, Wine's
# desktop and services, the X server and the window manager spend meanwhile. Medians.
run_in_turn() { # prefix, command...: "wall ms,processor ms"
    local prefix=$1 pid others=0 own now start end
    shift
    local -a watched
    local -A before
    mapfile -t watched < <(prefix_pids "$prefix")
    watched+=("${session_pids[@]}")
    for pid in "${watched[@]}"; do before[$pid]=$(cpu_ns "$pid"); done
    start=$(date +%s%N)
    own=$( { TIMEFORMAT='%3U %3S'; time "$@" >/dev/null 2>&1 || true; } 2>&1 | tail -n 1)
    end=$(date +%s%N)
    for pid in "${watched[@]}"; do
        now=$(cpu_ns "$pid")
        # A process of Wine's that ended meanwhile takes what it spent with it.
        if ((now >= before[$pid])); then
            others=$((others + now - before[$pid]))
        fi
    done
    awk -v own="$own" -v others="$others" -v wall=$((end - start)) 'BEGIN { split(own, t, " ")
        printf "%.1f,%.1f\n", wall / 1e6, (t[1] + t[2]) * 1000 + others / 1e6 }'
}
echo "name,run,wall_ms,cpu_ms" >"$results/windows-oneshot-turns.csv"
for ((run = 1; run <= runs; run++)); do
    for count in 3 10000; do
        echo "quillarbor-$count,$run,$(run_in_turn "$session/prefix-$count" env \
            WINEPREFIX="$session/prefix-$count" "$loader" "$session/Quillarbor.exe" /O)"
    done
    echo "floor,$run,$(run_in_turn "$session/prefix-3" env WINEPREFIX="$session/prefix-3" \
        "$loader" "$floor")"
done >>"$results/windows-oneshot-turns.csv"
median_in_turns() { # name, column
    awk -F, -v name="$1" -v col="$2" '$1 == name { print $col }' \
        "$results/windows-oneshot-turns.csv" | sort -n |
        awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
floor_wall=$(median_in_turns floor 3)
floor_cpu=$(median_in_turns floor 4)
for count in 3 10000; do
    wall=$(median_in_turns "quillarbor-$count" 3)
    cpu=$(median_in_turns "quillarbor-$count" 4)
    echo "/O on $count bitmaps in turns (medians of $runs): $wall ms against the floor's" \
        "$floor_wall ms, ratio $(awk -v a="$wall" -v b="$floor_wall" 'BEGIN { printf "%.2f", a / b }');" \
        "processor time of all it sets to work $cpu ms against $floor_cpu ms, ratio" \
        "$(awk -v a="$cpu" -v b="$floor_cpu" 'BEGIN { printf "%.2f", a / b }')"
done | tee -a "$results/windows-oneshot-ratios.txt"

if $oneshot_only; then
    exit 0
fi

status_kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

export WINEPREFIX="$session/prefix-3"
wine reg add 'HKCU\Software\Quillarbor\delay' /v String /d 60 /f >/dev/null
# This prefix's server, among those of other prefixes: the one started with its WINEPREFIX.
server_pid=
for pid in $(pgrep -x 'wineserver(64)?' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        server_pid=$pid
    fi
done

# idle NAME TRAY: one line of windows-idle.csv.
idle() {
    local name=$1
    wine reg add 'HKCU\Software\Quillarbor\systray' /v String /d "$2" /f >/dev/null
    "$loader" "$session/Quillarbor.exe" >"$session/$name.log" 2>&1 &
    local pid=$!
    sleep "$settle"
    local p0 s0=0 x0 p1 s1=0 x1
    p0=$(cpu_ns "$pid") x0=$(cpu_ns "$xvfb_pid")
    [[ -n "$server_pid" ]] && s0=$(cpu_ns "$server_pid")
    sleep "$seconds"
    p1=$(cpu_ns "$pid") x1=$(cpu_ns "$xvfb_pid")
    [[ -n "$server_pid" ]] && s1=$(cpu_ns "$server_pid")
    local rss
    rss=$(status_kib "$pid" VmRSS)
    # Alt+F4 would need the window shown; the program's own end is not what is measured.
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v name="$name" -v p=$((p1 - p0)) -v s=$((s1 - s0)) -v x=$((x1 - x0)) -v t="$seconds" \
        -v rss="$rss" 'BEGIN { printf "%s,%.1f,%.4f,%.1f,%.1f,%s\n", name, p / 1e6,
            100 * p / (t * 1e9), s / 1e6, x / 1e6, rss }' >>"$results/windows-idle.csv"
    tail -n 1 "$results/windows-idle.csv"
}
echo "state,cpu_ms,percent_of_one_core,wineserver_cpu_ms,xserver_cpu_ms,rss_kib" \
    >"$results/windows-idle.csv"
echo "idle under Wine: ${seconds} s each, after ${settle} s to settle"
# The prefix alone (its server, Wine's desktop and tray processes) over the same time: the part of
# the server's time that is not the program's.
s0=$(cpu_ns "$server_pid") x0=$(cpu_ns "$xvfb_pid")
sleep "$seconds"
s1=$(cpu_ns "$server_pid") x1=$(cpu_ns "$xvfb_pid")
awk -v s=$((s1 - s0)) -v x=$((x1 - x0)) 'BEGIN { printf "no-program,0,0,%.1f,%.1f,0\n",
    s / 1e6, x / 1e6 }' >>"$results/windows-idle.csv"
tail -n 1 "$results/windows-idle.csv"
idle quillarbor-shown False
idle quillarbor-tray True
