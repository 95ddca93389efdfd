#!/usr/bin/env bash
# Fuzzes the readers of the files a user can swap for a bounded time and
# fails on any finding: the picture reader on bytes in memory and on a mapped
# file, the SoundFont cutter on a file, and the tune reader that tells the
# cutter which presets to keep.
#
#   bash fuzz/run.sh [SECONDS]      (default 60: each target's time)
#
# Installs clang and libFuzzer if they are missing, builds the targets into
# build-fuzz/ (the preset fuzz: instrumented with AddressSanitizer and
# UndefinedBehaviorSanitizer), writes the seed corpora (the tune's with the
# show's own tune), then runs the targets two at a time, one core each, for
# SECONDS each. Any crash, sanitizer report, leak, timeout or out-of-memory
# stops that target, leaves the input in build-fuzz/findings/ and makes the
# script exit 1. So does a target that ran fewer than 100 inputs per second of
# the bounded time, or whose count is missing from its log: such a run has not
# fuzzed (a target that stopped early, a build without libFuzzer's loop). The
# slowest, the mapped-file picture target, ran about 750 inputs per second
# beside another on a loaded two-core machine.
#
# Environment: VUP_FUZZ_JOBS (1 runs the targets one after the other).
set -euo pipefail

seconds="${1:-60}"
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
mkdir -p "$seeds/bitmap" "$seeds/soundfont" "$seeds/tune" "$findings"
"$build/vup_bitmap_seeds" "$seeds/bitmap"
"$build/vup_sound_seeds" "$seeds/soundfont" "$seeds/tune"
cp "$root/data/tulmor.mid" "$seeds/tune/"

# Leaks are checked per input; a unit taking over 10 s counts as a hang.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Each target: its program's name, its seeds and its dictionary.
targets=(bitmap_memory bitmap_file soundfont tune)
declare -A target_seeds=([bitmap_memory]=bitmap [bitmap_file]=bitmap [soundfont]=soundfont
    [tune]=tune)
declare -A target_dict=([bitmap_memory]=bmp [bitmap_file]=bmp [soundfont]=sound [tune]=sound)

run_target() {
    local name="$1"
    mkdir -p "$build/corpus-$name"
    "$build/vup_${name}_fuzzer" -dict="$root/fuzz/${target_dict[$name]}.dict" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/${name}-" \
        "$build/corpus-$name" "$seeds/${target_seeds[$name]}" >"$build/fuzz-$name.log" 2>&1
}

status=0
pids=()
for name in "${targets[@]}"; do
    run_target "$name" &
    pids+=($!)
    if [ "${#pids[@]}" -ge "$jobs" ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done

floor=$((100 * seconds))
for name in "${targets[@]}"; do
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
    echo "fuzz: FAILED (logs: $build/fuzz-*.log); findings:" >&2
    for artifact in "${found[@]}"; do
        echo "  $artifact" >&2
    done
    grep -h -A30 -E '^==[0-9]+==ERROR|runtime error|check failed' "$build"/fuzz-*.log >&2 || true
    exit 1
fi
echo "fuzz: no findings"
