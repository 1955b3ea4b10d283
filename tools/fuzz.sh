#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang into build-fuzz/ and runs each for a bounded time
# on a copy of its seed corpus. Fails on any crash, leak or undefined behaviour; what a failing
# run found is kept under build-fuzz/findings/. FUZZ_SECONDS sets the time per target (30).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILLARBOR_FUZZ_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}

for tool in clang++ cmake; do
    if ! command -v "$tool" >/dev/null; then
        echo "fuzz: $tool is missing (Debian: apt-get install clang libclang-rt-14-dev cmake)" >&2
        exit 1
    fi
done

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

status=0
for target in regfile conversions bitmap_check; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    rm -rf "$corpus"
    mkdir -p "$corpus" "$findings"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    echo "fuzz: $target for ${seconds}s"
    if ! "$build/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" \
        >"$build/$target.log" 2>&1; then
        echo "fuzz: $target FAILED; the input is in $findings/, the log in $build/$target.log:" >&2
        tail -n 40 "$build/$target.log" >&2
        status=1
    else
        grep -E '^stat::number_of_executed_units' "$build/$target.log" || true
    fi
done
exit "$status"
