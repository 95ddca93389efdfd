#!/usr/bin/env bash
# bench/peer.sh VUP PACKAGE_DIR WINEPREFIX OUT.json [SECONDS] [ROUNDS]
#
# The native build against the x86-64 vup.exe under 64-bit Wine, on the same
# Xvfb screen and the same Mesa. Each run starts the show (fullscreen at
# 800 x 600), lets it play SECONDS (default 60: the opening picture, the
# Bezier path, the polyhedron and part of the lattice) and stops it; the
# program's VUP_FRAME_STATS file gives the frames presented between its first
# and its last present before the stop. Native and Wine take turns, ROUNDS
# times each (default 3), so that both meet the machine's load alike; OUT.json
# lists each turn's frames and seconds.
# PACKAGE_DIR holds vup.exe with Data/ and data/; WINEPREFIX is made on first
# use and kept.
set -euo pipefail
vup=$(realpath "$1")
package=$(realpath "$2")
prefix=$3
out=$4
seconds=${5:-60}
rounds=${6:-3}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/lib/servers.sh
source "$repo/scripts/lib/servers.sh"
# shellcheck source=bench/frame_stats.sh
source "$repo/bench/frame_stats.sh"

servers_folder peer
show_pid=""

need_servers --for "the show under Wine" x wine || exit 1
export WINEPREFIX=$prefix
start_xvfb 800x600
start_wine

# play NAME FOLDER COMMAND...: runs the show for $seconds and stops it;
# prints "FRAMES SECONDS" between its first and last counted present.
play() {
    local name=$1 folder=$2
    shift 2
    local stats=$work/$name.txt
    local stats_for_program=$stats
    if [ "$name" = wine ]; then
        stats_for_program="Z:${stats//\//\\}"
    fi
    rm -f "$stats"
    (cd "$folder" && VUP_FRAME_STATS=$stats_for_program exec "$@") >/dev/null 2>&1 &
    show_pid=$!
    sleep "$seconds"
    stop_show
    if [ "$name" = wine ]; then
        "$WINESERVER" -k 2>/dev/null || true
    fi
    local frames first last
    frames=$(stat_value "$stats" presented_frames)
    first=$(stat_value "$stats" first_present_unix_ns)
    last=$(stat_value "$stats" last_present_unix_ns)
    if [ -z "$frames" ] || [ -z "$last" ]; then
        echo "$name: no frame count was written" >&2
        return 1
    fi
    awk -v n="$frames" -v a="$first" -v b="$last" 'BEGIN { printf "%d %.3f\n", n - 1, (b - a) / 1e9 }'
}

native_frames=() native_seconds=() wine_frames=() wine_seconds=()
for round in $(seq 1 "$rounds"); do
    turn=$(play native "$repo" "$vup")
    native_frames+=("${turn% *}") native_seconds+=("${turn#* }")
    turn=$(play wine "$package" "$WINE" vup.exe)
    wine_frames+=("${turn% *}") wine_seconds+=("${turn#* }")
    echo "round $round: native ${native_frames[-1]} frames in ${native_seconds[-1]} s," \
         "Wine ${wine_frames[-1]} frames in ${wine_seconds[-1]} s" >&2
done
list() {
    local IFS=,
    echo "[$*]"
}
printf '{"native": {"frames": %s, "seconds": %s}, "wine": {"frames": %s, "seconds": %s}, "window_s": %s, "rounds": %s}\n' \
    "$(list "${native_frames[@]}")" "$(list "${native_seconds[@]}")" \
    "$(list "${wine_frames[@]}")" "$(list "${wine_seconds[@]}")" "$seconds" "$rounds" >"$out"
cat "$out"
