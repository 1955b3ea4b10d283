#!/usr/bin/env bash
# One-shot runs against feh's: `quillarbor /O` and `feh --bg-fill --randomize --no-fehbg FOLDER`
# on the same folders of 3 and of 10,000 bitmaps, timed by hyperfine in one run so the ratios hold,
# with the toolkit's floor alongside (a Qt window shown, painted and closed: bare, and with
# Quillarbor's set of controls); then the peak resident memory of each from /usr/bin/time, and the
# instructions Quillarbor's one-shots and the floors run, counted by callgrind: stable where wall
# times are not on a shared machine.
# Usage: oneshot.sh <build folder> <results folder>   (needs DISPLAY; run by tools/bench.sh)
set -euo pipefail

build=${1:?usage: oneshot.sh <build folder> <results folder>}
results=${2:?usage: oneshot.sh <build folder> <results folder>}
runs=${BENCH_RUNS:-20}
program="$build/src/quillarbor"
floor="$build/bench/floor_window"
samples=$(cd "$(dirname "${BASH_SOURCE[0]}")/../samples" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME"

# Folders of real bitmaps: the 10,000 are hard links of the bundled samples under varied names.
make_folder() {
    local folder=$1 count=$2 i=0
    local -a pictures
    mapfile -t pictures < <(find "$samples" -maxdepth 1 -type f -iname '*.bmp' | sort)
    mkdir -p "$folder"
    while ((i < count)); do
        ln "${pictures[i % ${#pictures[@]}]}" "$(printf '%s/skin-%05d.bmp' "$folder" "$i")"
        i=$((i + 1))
    done
}

# A settings store that names the folder, as a user who chose it once would have.
make_settings() {
    local config=$1 folder=$2
    mkdir -p "$config/quillarbor"
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillarbor\\path]\n"String"="%s"\n' \
        "$folder" >"$config/quillarbor/user.reg"
}

for count in 3 10000; do
    make_folder "$work/skins-$count" "$count"
    make_settings "$work/config-$count" "$work/skins-$count"
done
sync

quillarbor_cmd() { echo "env XDG_CONFIG_HOME='$work/config-$1' '$program' /O"; }
feh_cmd() { echo "env XDG_CONFIG_HOME='$work/config-$1' feh --bg-fill --randomize --no-fehbg '$work/skins-$1'"; }
floor_cmd="env XDG_CONFIG_HOME='$work/config-3' '$floor' --oneshot"
controls_cmd="env XDG_CONFIG_HOME='$work/config-3' '$floor' --oneshot --controls"

# Every program was started once already (warm-up), so all read from a warm disk cache.
hyperfine -N --warmup 3 --runs "$runs" --style basic \
    --export-csv "$results/oneshot.csv" --export-json "$results/oneshot.json" \
    -n "quillarbor-3" "$(quillarbor_cmd 3)" \
    -n "feh-3" "$(feh_cmd 3)" \
    -n "quillarbor-10000" "$(quillarbor_cmd 10000)" \
    -n "feh-10000" "$(feh_cmd 10000)" \
    -n "floor" "$floor_cmd" \
    -n "floor-controls" "$controls_cmd"

# Peak resident memory: the median of five runs each, in KiB.
peak_kib() {
    local -a values=()
    local i
    for i in 1 2 3 4 5; do
        values+=("$(eval "/usr/bin/time -f %M $1" 2>&1 >/dev/null | tail -n 1)")
    done
    printf '%s\n' "${values[@]}" | sort -n | sed -n 3p
}
{
    echo "command,peak_rss_kib"
    echo "quillarbor-3,$(peak_kib "$(quillarbor_cmd 3)")"
    echo "feh-3,$(peak_kib "$(feh_cmd 3)")"
    echo "quillarbor-10000,$(peak_kib "$(quillarbor_cmd 10000)")"
    echo "feh-10000,$(peak_kib "$(feh_cmd 10000)")"
    echo "floor,$(peak_kib "$floor_cmd")"
    echo "floor-controls,$(peak_kib "$controls_cmd")"
} >"$results/oneshot-memory.csv"
cat "$results/oneshot-memory.csv"

# Instructions, the program's own process only: a child process that Qt starts at every start
# here, in the floors as well, is not followed.
instructions() { # settings folder (as the timed runs had), program and arguments
    local out="$work/callgrind.out" config=$1
    shift
    XDG_CONFIG_HOME=$config valgrind --tool=callgrind --callgrind-out-file="$out" "$@" \
        >/dev/null 2>&1
    awk '$1 == "summary:" || $1 == "totals:" { print $2; exit }' "$out"
    rm -f "$out"
}
{
    echo "command,instructions"
    echo "quillarbor-3,$(instructions "$work/config-3" "$program" /O)"
    echo "quillarbor-10000,$(instructions "$work/config-10000" "$program" /O)"
    echo "floor,$(instructions "$work/config-3" "$floor" --oneshot)"
    echo "floor-controls,$(instructions "$work/config-3" "$floor" --oneshot --controls)"
} >"$results/oneshot-instructions.csv"
cat "$results/oneshot-instructions.csv"
