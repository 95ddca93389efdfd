#!/usr/bin/env bash
# bench/av_sync.sh [RUNS]: the native tune as heard against the show's own
# clock, and what the tune costs in memory. For each SoundFont (TimGM6mb, the
# one the play command installs, and FluidR3_GM, which Debian's
# fluid-soundfont-gm makes the system's default) the whole show plays RUNS
# times (3 by default) on a quiet machine and RUNS times with a busy process
# on every core, its click tune captured from a sound server of the bench's
# own (scripts/lib/servers.sh, tests/sound/sound_check.py, which proves
# its own path first; each click is known by its intervals to its
# neighbours). Reported: tune position - show time at 10, 35, 50, 70, 75 and
# 80 s (min / median / max over the runs), the longest gap in the held note,
# the sound server's latency for the stream, and resident memory 5 s in
# against a bare SDL2 + GL window; and for each SoundFont one quiet run with
# F1 pressed 40 s in: the offset after the re-open and how long after the new
# window appeared the tune was right. Rewrites the section between the
# bench:av-sync markers of docs/sound.md; the last line reads
#   av-sync: worst N ms quiet, M ms loaded
# Takes about 100 s a show: 23 minutes with 3 runs.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-3}
# shellcheck source=scripts/lib/setup.sh
source "$repo/scripts/lib/setup.sh"
vup_ensure_packages "${VUP_PLAY_PACKAGES[@]}" "${VUP_BENCH_PACKAGES[@]}" "${VUP_X_PACKAGES[@]}" \
    "${VUP_SOUND_PACKAGES[@]}" fluid-soundfont-gm xdotool x11-utils
vup_build bench -- vup vup-render-tune vup-record vup_bench_startup_floor

bin=$repo/build-bench
# Where the tune is checked comes from the show's schedule (vup-record --schedule).
export VUP_RECORD=$bin/tools/vup-record/vup-record
results=$bin/results/av_sync
rm -rf "$results"
mkdir -p "$results"
# shellcheck source=scripts/lib/servers.sh
source "$repo/scripts/lib/servers.sh"
servers_folder av-sync
mkdir -p "$work/show/data"
busy=()
stop_busy() {
    [ ${#busy[@]} -gt 0 ] && kill "${busy[@]}" 2>/dev/null
    busy=()
}
servers_cleanup_more() {
    stop_busy
}
check=(/usr/bin/python3 "$repo/tests/sound/sound_check.py")

# The show plays from a folder of its own: the real pictures, the click tune.
ln -s "$repo/Data" "$work/show/Data"
"${check[@]}" tune "$work/show/data/tulmor.mid"
start_xvfb 800x600
start_sound_server

# stream_latency_ms: the sound server's latency for the show's stream, its
# own buffer and the sink's, in ms.
stream_latency_ms() {
    pactl list sink-inputs | awk '
        /^Sink Input/ { buffer = sink = 0; show = 0 }
        /Buffer Latency:/ { buffer = $3 }
        /Sink Latency:/ { sink = $3 }
        /application.name = "Vup"/ { show = 1 }
        show && !done { latency = (buffer + sink) / 1000 }
        END { print latency + 0 }'
}

# reopen_with_f1: presses F1 in the show's window and prints when the
# re-opened one appeared (Unix ms).
reopen_with_f1() {
    local id
    id=$(xwininfo -root -children | grep -F '"Vup":' | awk '{ print $1; exit }')
    xdotool windowfocus "$id" 2>/dev/null
    xdotool keydown F1
    sleep 0.15
    xdotool keyup F1
    until xwininfo -root -children | grep -qF '"Plomvixtorandebu":'; do sleep 0.02; done
    echo $(($(date +%s%N) / 1000000))
}

rss_after() {  # rss_after SECONDS PID: resident kB then
    sleep "$1"
    awk '/^VmRSS:/ { print $2 }' "/proc/$2/status"
}

# The floor: a bare SDL2 + GL window, 5 s in.
"$bin/bench/vup_bench_startup_floor" &
floor=$!
echo "bare_window_rss_kb $(rss_after 5 $floor)" >"$results/floor.txt"
kill $floor
wait $floor 2>/dev/null || true

cut -d' ' -f1 /proc/loadavg >"$results/load_before.txt"
declare -A fonts=([TimGM6mb]=/usr/share/sounds/sf2/TimGM6mb.sf2
                  [FluidR3_GM]=/usr/share/sounds/sf2/FluidR3_GM.sf2)
for font in TimGM6mb FluidR3_GM; do
    export VUP_SOUNDFONT=${fonts[$font]}
    "$bin/tools/render-tune/vup-render-tune" "$work/show/data/tulmor.mid" \
        "$work/rendering-$font.wav" >/dev/null
    for load in quiet loaded f1; do
        for run in $(seq 1 "$([ $load = f1 ] && echo 1 || echo "$runs")"); do
            name=$font-$load-$run
            echo "[av-sync ${SECONDS} s] $name"
            if [ "$load" = loaded ]; then
                for _ in $(seq 1 "$(nproc)"); do
                    sh -c 'while :; do :; done' &
                    busy+=($!)
                done
            fi
            rm -f "$work/heard.ready"
            "${check[@]}" capture "$work/heard" &
            capture=$!
            while [ ! -e "$work/heard.ready" ] && kill -0 $capture 2>/dev/null; do sleep 0.1; done
            [ -e "$work/heard.ready" ] || { echo "av-sync: the sound path cannot measure"; exit 1; }
            (cd "$work/show" && VUP_FRAME_STATS="$work/frames.stats" exec "$bin/vup") \
                >/dev/null 2>"$results/$name.err" &
            show=$!
            rss=$(rss_after 5 $show)
            sleep 15
            latency=$(stream_latency_ms)
            reopened=()
            if [ $load = f1 ]; then
                sleep 20
                reopened=("$(reopen_with_f1)")
            fi
            wait $show
            kill -TERM $capture
            wait $capture
            stop_busy
            "${check[@]}" measure "$work/heard" "$work/rendering-$font.wav" "$work/frames.stats" \
                "${reopened[@]}" >"$results/$name.json"
            echo "{\"rss_kb\": $rss, \"output_latency_ms\": $latency}" >"$results/$name.extra.json"
        done
    done
done
cut -d' ' -f1 /proc/loadavg >"$results/load_after.txt"
/usr/bin/python3 "$repo/bench/av_sync.py" "$results" "$repo/docs/sound.md"
