#!/usr/bin/env bash
# Runs every benchmark of bench/ and prints a summary: the micro-benchmarks of the core and of the
# Qt layer, the one-shot run against feh's, the idle cost over a minute, the time from start
# to a shown window, and Quillarbor.exe under Wine (bench/windows.sh, from a cross build in
# build-bench-windows/). Installs what is missing (as root or through sudo), builds a Release build
# into build-bench/ and leaves every figure in build-bench/bench-results/. Takes about a quarter
# of an hour on two cores, the build included.
#   tools/bench.sh --oneshot   only the one-shot runs, on Linux and under Wine, with their
#                              instruction counts: a few minutes
# BENCH_RUNS (default 20) sets the runs of each timed program, BENCH_IDLE_SECONDS (default 60)
# the length of each idle measurement.
set -euo pipefail

oneshot_only=false
case "${1:-}" in
"") ;;
--oneshot) oneshot_only=true ;;
*) echo "usage: bench.sh [--oneshot]" >&2 && exit 2 ;;
esac

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_BENCH_DIR:-$root/build-bench}
results="$build/bench-results"

"$root/tools/setup-debian.sh" --bench

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLARBOR_BUILD_BENCHMARKS=ON \
    -DQUILLARBOR_WERROR=ON \
    -DQUILLARBOR_BUILD_TESTS=OFF >/dev/null
if $oneshot_only; then
    cmake --build "$build" -j"$(nproc)" --target quillarbor floor_window
else
    cmake --build "$build" -j"$(nproc)" --target quillarbor core_bench gui_bench floor_window \
        shown_time
fi
rm -rf "$results"
mkdir -p "$results"

script_name=bench
# shellcheck source=tools/lib/desktop.sh
source "$root/tools/lib/desktop.sh"
ensure_runtime_dir

echo
echo "== Micro-benchmarks (medians of 5 repetitions)"
micro() {
    local name=$1
    "$build/bench/$name" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_out="$results/$name.json" --benchmark_out_format=json \
        --benchmark_format=console 2>&1 | tee "$results/$name.txt"
}
if ! $oneshot_only; then
    micro core_bench
    QT_QPA_PLATFORM=offscreen micro gui_bench
fi

# The X session for the one-shot and idle runs: a virtual screen, a window manager and a tray.
start_virtual_desktop

echo
echo "== One-shot runs against feh"
"$root/bench/oneshot.sh" "$build" "$results"

if ! $oneshot_only; then
    echo
    echo "== Idle"
    BENCH_XVFB_PID=$xvfb_pid "$root/bench/idle.sh" "$build" "$results"

    echo
    echo "== Start to a shown window"
    "$root/bench/startup.sh" "$build" "$results"
fi

# The Windows program under Wine, from a Release cross build of its own.
windows_build=${QUILLARBOR_BENCH_WINDOWS_DIR:-$root/build-bench-windows}
"$root/tools/setup-debian.sh" --test
cmake -S "$root" -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUILLARBOR_BUILD_GUI=OFF -DQUILLARBOR_BUILD_TESTS=OFF \
    -DQUILLARBOR_BUILD_BENCHMARKS=ON -DQUILLARBOR_WERROR=ON >/dev/null
cmake --build "$windows_build" -j"$(nproc)" --target Quillarbor win32_floor
echo
echo "== Quillarbor.exe under Wine"
windows_options=()
if $oneshot_only; then
    windows_options=(--oneshot)
fi
tini -s -- "$root/bench/windows.sh" "${windows_options[@]}" "$windows_build" "$results"

# The summary, from the files left in $results.
median_of() { # benchmark name as Google Benchmark prints it, in the console file $2
    awk -v name="$1_median" '$1 == name { print $2, $3; exit }' "$results/$2.txt"
}
csv_field() { # file, key in the first column, column number
    awk -F, -v key="$2" -v col="$3" '$1 == key { print $col; exit }' "$results/$1"
}
ms() { awk -v s="$1" 'BEGIN { printf "%.1f ms", s * 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

millions() { awk -v n="$1" 'BEGIN { printf "%.1f million", n / 1e6 }'; }

micro_summary() {
    echo "Pick (list re-read from disk, one entry drawn), median wall time:"
    for n in 1000 10000 100000; do
        echo "  $n bitmaps: core first read $(median_of "BM_Pick/bitmaps:$n/process_time/real_time" core_bench)," \
            "core re-read $(median_of "BM_PickReread/bitmaps:$n/process_time/real_time" core_bench)," \
            "main window $(median_of "BM_MainWindowPick/bitmaps:$n/real_time" gui_bench)"
    done
    echo "Store: read $(median_of "BM_StoreRead/others:0" core_bench)" \
        "($(median_of "BM_StoreRead/others:300" core_bench) with 300 other values)," \
        "changing write $(median_of "BM_StoreWrite/others:0" core_bench)"
    echo
}

oneshot_summary() {
    local n q f c qi ci
    echo "One-shot, median of hyperfine runs (peak resident memory, median of 5):"
    c=$(csv_field oneshot.csv floor-controls 4)
    ci=$(csv_field oneshot-instructions.csv floor-controls 2)
    for n in 3 10000; do
        q=$(csv_field oneshot.csv "quillarbor-$n" 4)
        f=$(csv_field oneshot.csv "feh-$n" 4)
        qi=$(csv_field oneshot-instructions.csv "quillarbor-$n" 2)
        echo "  $n bitmaps: quillarbor $(ms "$q") ($(csv_field oneshot-memory.csv "quillarbor-$n" 2) KiB)," \
            "feh $(ms "$f") ($(csv_field oneshot-memory.csv "feh-$n" 2) KiB), ratio $(ratio "$q" "$f")"
        echo "    against the floor with Quillarbor's controls: $(ratio "$q" "$c") in time," \
            "$(ratio "$qi" "$ci") in instructions ($(millions "$qi") against $(millions "$ci"))"
    done
    echo "  toolkit floor (Qt window shown and closed): $(ms "$(csv_field oneshot.csv floor 4)")" \
        "($(csv_field oneshot-memory.csv floor 2) KiB," \
        "$(millions "$(csv_field oneshot-instructions.csv floor 2)") instructions);" \
        "with Quillarbor's controls: $(ms "$c")" \
        "($(csv_field oneshot-memory.csv floor-controls 2) KiB)"
    echo
}

idle_and_startup_summary() {
    echo "Idle over $(( ${BENCH_IDLE_SECONDS:-60} )) s (percent of one core, resident KiB):"
    for state in quillarbor-shown quillarbor-tray floor-shown floor-controls-shown floor-hidden; do
        echo "  $state: $(csv_field idle.csv "$state" 4) %, $(csv_field idle.csv "$state" 7) KiB" \
            "(X server $(csv_field idle.csv "$state" 6) ms)"
    done
    echo
    echo "Start to shown window, median: quillarbor $(csv_field startup.csv quillarbor 3) ms" \
        "(mapped $(csv_field startup.csv quillarbor 2) ms), floor $(csv_field startup.csv floor 3) ms," \
        "floor with Quillarbor's controls $(csv_field startup.csv floor-controls 3) ms"
    echo
}

windows_summary() {
    local n q floor_s
    echo "Windows, under Wine with its server running: Quillarbor.exe stripped" \
        "$(csv_field windows-size.csv "Quillarbor.exe stripped" 2) bytes"
    floor_s=$(csv_field windows-oneshot.csv floor 4)
    for n in 3 10000; do
        q=$(csv_field windows-oneshot.csv "quillarbor-$n" 4)
        echo "  /O on $n bitmaps, median: $(ms "$q"), floor with the same controls and a tray" \
            "icon $(ms "$floor_s"), ratio $(ratio "$q" "$floor_s")"
    done
    grep 'in turns' "$results/windows-oneshot-ratios.txt" | sed 's/^/  /'
    if $oneshot_only; then
        return
    fi
    for state in quillarbor-shown quillarbor-tray; do
        echo "  idle, $state: $(csv_field windows-idle.csv "$state" 3) % of one core," \
            "Wine server $(csv_field windows-idle.csv "$state" 4) ms," \
            "$(csv_field windows-idle.csv "$state" 6) KiB"
    done
}

{
    echo "Quillarbor benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), commit" \
        "$(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)"
    echo "Machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
        "$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), $(uname -sr)," \
        "load average $(cut -d' ' -f1-3 /proc/loadavg)"
    echo
    if ! $oneshot_only; then
        micro_summary
    fi
    oneshot_summary
    if ! $oneshot_only; then
        idle_and_startup_summary
    fi
    windows_summary
} | tee "$results/summary.txt"
