# Sourced by the bench scripts: an X server of its own on a free display.
# start_bench_xvfb WIDTH HEIGHT sets DISPLAY and BENCH_XVFB_PID;
# stop_bench_xvfb ends that server (and only it).
BENCH_XVFB_PID=""

start_bench_xvfb() {
    local fifo
    fifo=$(mktemp -u /tmp/vup-bench-xvfb.XXXXXX)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp 3>"$fifo" 2>/dev/null &
    BENCH_XVFB_PID=$!
    local display
    read -r -t 20 display <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$display" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$display"
}

stop_bench_xvfb() {
    if [ -n "$BENCH_XVFB_PID" ]; then
        kill "$BENCH_XVFB_PID" 2>/dev/null || true
        wait "$BENCH_XVFB_PID" 2>/dev/null || true
        BENCH_XVFB_PID=""
    fi
}

# stat_value FILE KEY: one value of a VUP_FRAME_STATS file.
stat_value() {
    awk -v key="$2" '$1 == key { print $2 }' "$1" 2>/dev/null || true
}
