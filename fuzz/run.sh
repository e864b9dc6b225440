#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz, clang with libFuzzer) and runs each for SECONDS, two at a
# time, starting from the saved corpus. A crash, a hang or a broken invariant fails the run and
# leaves the input under build-fuzz/findings/.
# usage: fuzz/run.sh [SECONDS, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
root=$(pwd)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j

findings=$root/build-fuzz/findings
mkdir -p "$findings"
work=$(mktemp -d "${TMPDIR:-/tmp}/tunetools-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT

run_target() {
    local target=$1
    mkdir -p "$work/$target"
    if "$root/build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "$work/$target" "$root/fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
        echo "fuzz_$target: $(grep -o 'number_of_executed_units: [0-9]*' "$work/$target.log" | grep -o '[0-9]*$') runs, no findings"
    else
        echo "fuzz_$target: FAILED"
        grep -E 'invariant broken|ERROR|SUMMARY|Test unit written' "$work/$target.log" || tail -n 30 "$work/$target.log"
        return 1
    fi
}

status=0
for pair in "tunelist tunehdr" "song_entry list_rules"; do
    pids=()
    for target in $pair; do
        run_target "$target" & pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status
