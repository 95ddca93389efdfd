#!/usr/bin/env bash
# bench/startup.sh VUP FLOOR OUT.json [RUNS]
#
# Start-up of the real program under Xvfb: from the moment it is started
# (a clock reading taken just before exec) to its first presented frame,
# which the program itself stamps through VUP_FRAME_STATS. Measured RUNS
# times each, in turn: the show with the tune and a SoundFont, the show with
# neither (no data/ folder, VUP_SOUNDFONT naming no file), and FLOOR
# (vup_bench_startup_floor: the same first frame from a bare SDL2 + GL
# program). Each run is stopped right after its first frame.
set -euo pipefail
vup=$(realpath "$1")
floor=$(realpath "$2")
out=$3
runs=${4:-7}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/lib/servers.sh
source "$repo/scripts/lib/servers.sh"
# shellcheck source=bench/frame_stats.sh
source "$repo/bench/frame_stats.sh"

servers_folder startup
show_pid=""

mkdir -p "$work/with" "$work/without"
ln -s "$repo/Data" "$work/with/Data"
ln -s "$repo/data" "$work/with/data"
ln -s "$repo/Data" "$work/without/Data"
start_xvfb 800x600

# measure PROGRAM FOLDER [SOUNDFONT]: prints the milliseconds to the first
# frame.
measure() {
    local program=$1 folder=$2 soundfont=${3:-}
    rm -f "$work/stats" "$work/started"
    (
        cd "$folder"
        if [ -n "$soundfont" ]; then export VUP_SOUNDFONT=$soundfont; fi
        export VUP_FRAME_STATS=$work/stats
        date +%s%N >"$work/started"
        exec "$program"
    ) >/dev/null 2>&1 &
    show_pid=$!
    local first=""
    for _ in $(seq 1 2000); do
        first=$(stat_value "$work/stats" first_present_unix_ns)
        [ -n "$first" ] && break
        sleep 0.01
    done
    stop_show
    if [ -z "$first" ]; then
        echo "no frame within 20 s" >&2
        return 1
    fi
    awk -v a="$(cat "$work/started")" -v b="$first" 'BEGIN { printf "%.2f\n", (b - a) / 1e6 }'
}

with=()
without=()
bare=()
# First starts warm the file cache.
measure "$vup" "$work/with" >/dev/null
measure "$floor" "$work/with" >/dev/null
for _ in $(seq 1 "$runs"); do
    with+=("$(measure "$vup" "$work/with")")
    without+=("$(measure "$vup" "$work/without" /nonexistent/none.sf2)")
    bare+=("$(measure "$floor" "$work/without")")
done
join() {
    local IFS=,
    echo "$*"
}
printf '{"with_tune_ms": [%s], "without_tune_ms": [%s], "floor_ms": [%s]}\n' \
    "$(join "${with[@]}")" "$(join "${without[@]}")" "$(join "${bare[@]}")" >"$out"
cat "$out"
