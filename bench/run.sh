#!/usr/bin/env bash
# bench/run.sh: every figure of docs/performance.md, measured side by side in
# one run on this machine, then the document's tables and its plot rewritten.
#
# Installs the Debian packages it needs, builds the preset bench into
# build-bench/ (and the Windows package into build-win64/ for the Wine
# comparison), then measures, one thing at a time:
#   frames      each scene's frame against a replay of its captured calls
#   show code   the show's own code per frame (time, and instructions under
#               callgrind)
#   reader      the bitmap reader against stb_image and SDL_LoadBMP
#   start-up    the real program under Xvfb to its first frame, against a
#               bare SDL2 + GL program drawing the same first frame
#   peer        the show natively and as vup.exe under 64-bit Wine, in turns
#   recorder    vup-record of the whole show at 30 frames/s, three times,
#               with the frame times the plot shows
#   SoundFont   the tune's instruments cut down against the whole font
#               (bench/soundfont_memory.sh, which writes its own section)
# Every timing is repeated and published as its median, lowest and highest. VUP_BENCH_SKIP_WINE=1 leaves the
# Wine comparison out. Run it on a quiet machine: the figures are wall-clock
# ratios, and other work running at the same time makes them noisy.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build-bench
results=$build/results
# shellcheck source=scripts/lib/setup.sh
source "$repo/scripts/lib/setup.sh"

step() {
    echo "[bench ${SECONDS} s] $*"
}

packages=("${VUP_PLAY_PACKAGES[@]}" "${VUP_BENCH_PACKAGES[@]}" "${VUP_X_PACKAGES[@]}"
          "${VUP_MEASURE_PACKAGES[@]}")
if [ "${VUP_BENCH_SKIP_WINE:-0}" != 1 ]; then
    packages+=("${VUP_WINDOWS_PACKAGES[@]}" "${VUP_WINE_PACKAGES[@]}")
fi
vup_ensure_packages "${packages[@]}"

step "building into $build"
vup_build bench
if [ "${VUP_BENCH_SKIP_WINE:-0}" != 1 ]; then
    step "building the 64-bit Windows package"
    "$repo/scripts/build-windows.sh" win64 >"$build/windows-build.log" 2>&1 ||
        { tail -20 "$build/windows-build.log"; exit 1; }
fi

rm -rf "$results"
mkdir -p "$results"
cd "$repo"  # the show reads Data/ and data/ from here
bin=$build/bench
# Every repetition goes into the results (the console shows the aggregates):
# the tables give each timing's spread.
gbench=(--benchmark_repetitions=7 --benchmark_enable_random_interleaving=true
        --benchmark_display_aggregates_only=true --benchmark_out_format=json)

cpu=$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)
load_before=$(cut -d' ' -f1 /proc/loadavg)

step "frames: capture, check the replay draws the show's pixels, measure"
"$bin/vup_bench_capture" "$results/calls.bin"
"$bin/vup_bench_frames" --calls="$results/calls.bin" --verify
"$bin/vup_bench_frames" --calls="$results/calls.bin" "${gbench[@]}" \
    --benchmark_filter='Frame/(Empty|ShowAgainstReplay)' \
    --benchmark_min_time=0.3 --benchmark_out="$results/frames.json"

step "the show's own code per frame"
"$bin/vup_bench_show_cpu" "${gbench[@]}" --benchmark_min_time=0.2 \
    --benchmark_out="$results/show_cpu.json"
frames=200
valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$results/callgrind.out" \
    "$bin/vup_bench_show_instructions" "$frames" >/dev/null 2>"$results/callgrind.log"
for dump in "$results"/callgrind.out.*; do
    awk -v frames="$frames" '/^desc: Trigger: Client Request:/ { name = $5 }
        /^totals:/ { print name, $2 / frames }' "$dump"
done >"$results/instructions.txt"
cat "$results/instructions.txt"

step "the bitmap reader"
"$bin/vup_bench_reader" "${gbench[@]}" --benchmark_min_time=0.2 \
    --benchmark_out="$results/reader.json"

step "start-up under Xvfb"
bash "$repo/bench/startup.sh" "$build/vup" "$bin/vup_bench_startup_floor" \
    "$results/startup.json" 7

if [ "${VUP_BENCH_SKIP_WINE:-0}" != 1 ]; then
    step "the show natively and under Wine, taking turns (about 4 minutes)"
    bash "$repo/bench/peer.sh" "$build/vup" "$(ls -d "$repo"/build-win64/package/vup-*-win64)" \
        "$build/wineprefix" "$results/peer.json"
fi

# The show's schedule, for the report's scene intervals and the show's length.
"$build/tools/vup-record/vup-record" --schedule >"$results/schedule.json"

step "vup-record of the whole show at 30 frames/s, three times"
recorder_seconds=()
for _ in 1 2 3; do
    started=$(date +%s%N)
    "$build/tools/vup-record/vup-record" --out "$results/show.mp4" --fps 30 \
        --frame-times "$results/frame_times.csv" 2>/dev/null
    finished=$(date +%s%N)
    recorder_seconds+=("$(awk -v a="$started" -v b="$finished" 'BEGIN { printf "%.2f", (b - a) / 1e9 }')")
done
(IFS=,; echo "{\"seconds\": [${recorder_seconds[*]}]}") >"$results/recorder.json"
cat "$results/recorder.json"

cat >"$results/machine.json" <<JSON
{"date": "$(date -u '+%Y-%m-%d %H:%M UTC')", "cpu": "$cpu", "cores": $(nproc),
 "load_before": "$load_before", "load_after": "$(cut -d' ' -f1 /proc/loadavg)",
 "system": "$(. /etc/os-release && echo "$PRETTY_NAME"), Linux $(uname -r)",
 "build": "RelWithDebInfo (-O2), GCC $(gcc -dumpfullversion)"}
JSON

step "the tune's instruments in memory, cut down and whole"
bash "$repo/bench/soundfont_memory.sh" 7

step "writing docs/performance.md and its plot"
python3 "$repo/bench/report.py" "$results" "$repo/docs/performance.md" \
    "$repo/docs/performance-frame-times.png"
step "done"
