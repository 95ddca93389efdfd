#!/usr/bin/env bash
# bench/peer.sh VUP PACKAGE_DIR WINEPREFIX OUT.json
#
# The native build against the x86-64 vup.exe under 64-bit Wine, on the same
# Xvfb screen and the same Mesa: each plays the whole show (fullscreen at
# 800 x 600) and counts its presented frames through VUP_FRAME_STATS; the
# rate is frames per second between the first and the last present. Native
# first, then Wine, one at a time. PACKAGE_DIR holds vup.exe with Data/ and
# data/; WINEPREFIX is made on first use and kept.
set -euo pipefail
vup=$(realpath "$1")
package=$(realpath "$2")
prefix=$3
out=$4
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# shellcheck source=bench/xvfb.sh
source "$repo/bench/xvfb.sh"

work=$(mktemp -d /tmp/vup-peer.XXXXXX)
show_pid=""
cleanup() {
    if [ -n "$show_pid" ]; then
        kill "$show_pid" 2>/dev/null || true
        wait "$show_pid" 2>/dev/null || true
    fi
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
    stop_bench_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko install prompts
start_bench_xvfb 800 600
if [ ! -f "$prefix/system.reg" ]; then
    timeout 180 "$wine" wineboot -i >/dev/null 2>&1
fi

# play NAME FOLDER COMMAND...: runs the show to its end; prints its stats line
# for the JSON ("frames": N, "seconds": S).
play() {
    local name=$1 folder=$2
    shift 2
    local stats=$work/$name.txt
    local stats_for_program=$stats
    if [ "$name" = wine ]; then
        stats_for_program="Z:${stats//\//\\}"
    fi
    (cd "$folder" && VUP_FRAME_STATS=$stats_for_program exec "$@") >/dev/null 2>&1 &
    show_pid=$!
    # The show ends by itself after 85 s.
    local waited=0
    while kill -0 "$show_pid" 2>/dev/null && [ $waited -lt 1500 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if kill -0 "$show_pid" 2>/dev/null; then
        echo "$name: the show did not end" >&2
        return 1
    fi
    wait "$show_pid" || true
    show_pid=""
    local frames first last
    frames=$(stat_value "$stats" presented_frames)
    first=$(stat_value "$stats" first_present_unix_ns)
    last=$(stat_value "$stats" last_present_unix_ns)
    if [ -z "$frames" ] || [ -z "$last" ]; then
        echo "$name: no frame count was written" >&2
        return 1
    fi
    awk -v n="$frames" -v a="$first" -v b="$last" \
        'BEGIN { printf "{\"frames\": %d, \"seconds\": %.3f}", n, (b - a) / 1e9 }'
}

native=$(play native "$repo" "$vup")
emulated=$(play wine "$package" "$wine" vup.exe)
printf '{"native": %s, "wine": %s}\n' "$native" "$emulated" >"$out"
cat "$out"
