#!/usr/bin/env bash
# Fuzzes the picture reader for a bounded time and fails on any finding.
#
#   bash fuzz/run.sh [SECONDS]      (default 120)
#
# Installs clang and libFuzzer if they are missing, builds both targets into
# build-fuzz/ (the preset fuzz: instrumented with AddressSanitizer and
# UndefinedBehaviorSanitizer), writes the seed corpus, then runs the in-memory
# target and the mapped-file target side by side, one core each, for SECONDS.
# Any crash, sanitizer report, leak, timeout or out-of-memory stops that
# target, leaves the input in build-fuzz/findings/ and makes the script exit
# 1. So does a target that ran fewer than 100 inputs per second of the
# bounded time, or whose count is missing from its log: such a run has not
# fuzzed (a target that stopped early, a build without libFuzzer's loop). The
# slower, mapped-file target ran about 750 inputs per second side by side
# with the other on a loaded two-core machine.
#
# Environment: VUP_FUZZ_JOBS (1 runs the targets one after the other).
set -euo pipefail

seconds="${1:-120}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 [SECONDS]" >&2
    exit 2
fi

. "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/setup.sh"
root=$VUP_ROOT
build=$root/build-fuzz
jobs="${VUP_FUZZ_JOBS:-2}"

vup_ensure_packages "${VUP_COMPILER_PACKAGES[@]}" "${VUP_FUZZ_PACKAGES[@]}" >&2
vup_build fuzz >/dev/null
seeds="$build/seeds"
findings="$build/findings"
rm -rf "$seeds" "$findings"
mkdir -p "$seeds" "$findings" "$build/corpus-memory" "$build/corpus-file"
"$build/vup_bitmap_seeds" "$seeds"

# Leaks are checked per input; a unit taking over 10 s counts as a hang.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run_target() {
    local name="$1"
    "$build/vup_bitmap_${name}_fuzzer" -dict="$root/fuzz/bmp.dict" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/${name}-" \
        "$build/corpus-$name" "$seeds" >"$build/fuzz-$name.log" 2>&1
}

status=0
if [ "$jobs" -ge 2 ]; then
    run_target memory & memory_pid=$!
    run_target file & file_pid=$!
    wait "$memory_pid" || status=1
    wait "$file_pid" || status=1
else
    run_target memory || status=1
    run_target file || status=1
fi

floor=$((100 * seconds))
for name in memory file; do
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz-$name.log" | grep -o '[0-9]*$' || true)"
    corpus="$(find "$build/corpus-$name" -type f | wc -l)"
    echo "fuzz: $name target: ${runs:-?} executions in ${seconds} s, corpus $corpus files"
    if [ -z "$runs" ] || [ "$runs" -lt "$floor" ]; then
        echo "fuzz: the $name target ran ${runs:-an unknown number of} inputs, fewer than $floor" >&2
        status=1
    fi
done

shopt -s nullglob
found=("$findings"/*)
if [ "$status" -ne 0 ] || [ "${#found[@]}" -ne 0 ]; then
    echo "fuzz: FAILED (logs: $build/fuzz-memory.log, $build/fuzz-file.log); findings:" >&2
    for artifact in "${found[@]}"; do
        echo "  $artifact" >&2
    done
    grep -h -A30 -E '^==[0-9]+==ERROR|runtime error|check failed' "$build"/fuzz-*.log >&2 || true
    exit 1
fi
echo "fuzz: no findings"
