# Helpers for driving the real program under Xvfb. Sourced by the test_*.sh
# scripts; each script gets its own X server.
set -u

# ImageMagick itself (a "convert" earlier on PATH may be something else).
IM_CONVERT=/usr/bin/convert
[ -x "$IM_CONVERT" ] || IM_CONVERT=$(command -v convert-im6.q16 || command -v convert)

E2E_TMP=$(mktemp -d /tmp/vup-e2e.XXXXXX)
XVFB_PID=""
VUP_PID=""

cleanup() {
    [ -n "$VUP_PID" ] && kill "$VUP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_xvfb WIDTHxHEIGHT: a fresh server on a free display; sets DISPLAY.
start_xvfb() {
    local size=$1
    local fifo="$E2E_TMP/displayfd"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" 2>"$E2E_TMP/xvfb.log" &
    XVFB_PID=$!
    local n
    for _ in $(seq 1 100); do
        n=$(head -n 1 "$fifo" 2>/dev/null)
        [ -n "$n" ] && break
        sleep 0.1
    done
    [ -n "$n" ] || fail "Xvfb did not start"
    export DISPLAY=":$n"
}

# start_vup BINARY: the show, from the repository root, in the background.
start_vup() {
    "$1" >"$E2E_TMP/vup.out" 2>"$E2E_TMP/vup.err" &
    VUP_PID=$!
}

# window_id NAME: the id of the top-level window with exactly that name.
window_id() {
    xwininfo -root -children 2>/dev/null | grep -F "\"$1\":" | head -n 1 | awk '{print $1}'
}

# wait_window NAME [SECONDS]: prints the id once the window exists.
wait_window() {
    local name=$1 limit=${2:-15} id
    for _ in $(seq 1 $((limit * 10))); do
        id=$(window_id "$name")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# wait_gone NAME [SECONDS]
wait_gone() {
    local name=$1 limit=${2:-15}
    for _ in $(seq 1 $((limit * 10))); do
        [ -z "$(window_id "$name")" ] && return 0
        sleep 0.1
    done
    return 1
}

# press WINDOW KEY: focus the window and press the key into it. The show
# looks at keys held down on its drawing turns, so the key is held for a
# moment as a person's finger would.
press() {
    xdotool windowfocus "$1" 2>/dev/null
    xdotool keydown "$2"
    sleep 0.15
    xdotool keyup "$2"
}

# wait_exit SECONDS: waits for the show to end and sets EXIT_STATUS to its
# exit status, or to "timeout". Must run in the script's own shell (not in
# $(...)), which is the only one that can wait for the show.
EXIT_STATUS=""
wait_exit() {
    local limit=$1
    EXIT_STATUS=timeout
    for _ in $(seq 1 $((limit * 20))); do
        if ! kill -0 "$VUP_PID" 2>/dev/null; then
            wait "$VUP_PID"
            EXIT_STATUS=$?
            VUP_PID=""
            return 0
        fi
        sleep 0.05
    done
}

# screenshot FILE: the whole screen.
screenshot() {
    import -window root "$1"
}

# mean_brightness FILE [GEOMETRY]: 0..1 over the picture or a crop of it.
mean_brightness() {
    local crop=()
    [ $# -ge 2 ] && crop=(-crop "$2" +repage)
    "$IM_CONVERT" "$1" "${crop[@]}" -colorspace gray -format '%[fx:mean]' info:
}

# is_above VALUE LIMIT: true when VALUE > LIMIT (floating point).
is_above() {
    awk -v v="$1" -v l="$2" 'BEGIN { exit !(v > l) }'
}
