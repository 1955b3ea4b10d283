#!/usr/bin/env bash
# Start to a shown window: Quillarbor started normally, and the toolkit's floor, each timed from
# the start to its window being mapped and to its first painted pixel, measured from outside by
# bench/shown_time on an X server of its own (black root, no window manager). Medians of the runs.
# Usage: startup.sh <build folder> <results folder>   (run by tools/bench.sh)
set -euo pipefail

build=${1:?usage: startup.sh <build folder> <results folder>}
results=${2:?usage: startup.sh <build folder> <results folder>}
runs=${BENCH_RUNS:-20}
samples=$(cd "$(dirname "${BASH_SOURCE[0]}")/../samples" && pwd)

script_name=startup
# shellcheck source=tools/lib/desktop.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tools/lib/desktop.sh"
# shellcheck source=tools/lib/private_settings.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tools/lib/private_settings.sh"
work=$session
start_virtual_desktop --bare

use_private_settings "$work"
mkdir -p "$work/skins"
cp "$samples/dusk.bmp" "$samples/forest.bmp" "$samples/ocean.bmp" "$work/skins/"
write_settings "$work/skins" 60

# time_runs NAME TITLE COMMAND...: the runs' "mapped painted" lines, one warm-up run first.
time_runs() {
    local name=$1 title=$2
    shift 2
    "$build/bench/shown_time" "$title" "$@" >/dev/null
    local i
    for ((i = 0; i < runs; i++)); do
        "$build/bench/shown_time" "$title" "$@"
    done >"$work/$name.txt"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

time_runs quillarbor Quillarbor "$build/src/quillarbor"
time_runs floor Floor "$build/bench/floor_window"
time_runs floor-controls Floor "$build/bench/floor_window" --controls
{
    echo "program,mapped_ms_median,painted_ms_median,runs"
    for name in quillarbor floor floor-controls; do
        echo "$name,$(cut -d' ' -f1 "$work/$name.txt" | median),$(cut -d' ' -f2 "$work/$name.txt" | median),$runs"
    done
} >"$results/startup.csv"
cat "$results/startup.csv"
