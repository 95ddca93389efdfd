# Helpers for driving the real program under Xvfb. Sourced by the test_*.sh
# scripts; each script gets its own X server (start_xvfb, start_xdummy and
# stop_x) and sound server from scripts/lib/servers.sh. Without Xvfb a test
# is skipped (a failure under CI), by the launcher's one rule.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../support/skip_or_fail.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/servers.sh"

# ImageMagick itself (a "convert" earlier on PATH may be something else).
IM_CONVERT=/usr/bin/convert
[ -x "$IM_CONVERT" ] || IM_CONVERT=$(command -v convert-im6.q16 || command -v convert)
. "$(dirname "${BASH_SOURCE[0]}")/expected_frame.sh"

need_servers --for "the show on a screen" x || finish_checks "nothing"
servers_folder e2e
E2E_TMP=$work
VUP_PID=""
SHOW_DIR=.
CAPTURE_PID=""

# Before the servers go (servers_cleanup): a show left behind by a failed
# test, which may be one that ignores signals, and a capture.
servers_cleanup_more() {
    if [ -n "$VUP_PID" ]; then
        kill -KILL "$VUP_PID" 2>/dev/null
        wait "$VUP_PID" 2>/dev/null
    fi
    if [ -n "$CAPTURE_PID" ]; then
        kill "$CAPTURE_PID" 2>/dev/null
        wait "$CAPTURE_PID" 2>/dev/null
    fi
    return 0
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# screen_size: the X screen's size now, as WIDTHxHEIGHT.
screen_size() {
    xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2; exit}'
}

# show_schedule BINARY WHAT: WHAT of the show's schedule
# (tests/support/show_schedule.py: end, changes, heard, shots) from the
# recorder built beside BINARY unless VUP_RECORD names one. Without one the
# status is 77 (1 under CI): call it as VAR=$(show_schedule ...) || exit $?.
show_schedule() {
    VUP_RECORD=${VUP_RECORD:-$(dirname "$1")/tools/vup-record/vup-record} \
        /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../support/show_schedule.py" "$2"
}

# show_end_ms BINARY: the schedule's end in milliseconds (as show_schedule).
show_end_ms() {
    local seconds
    seconds=$(show_schedule "$1" end) || return $?
    awk -v s="$seconds" 'BEGIN { printf "%d\n", s * 1000 }'
}

# start_vup BINARY: the show, from SHOW_DIR (the repository root unless
# listen_to_show made one), in the background. The schedule the listening
# checks read (sound_check.py measure) comes from the recorder built next to
# it unless VUP_RECORD names one.
start_vup() {
    export VUP_RECORD=${VUP_RECORD:-$(dirname "$1")/tools/vup-record/vup-record}
    (cd "$SHOW_DIR" && exec "$1" >"$E2E_TMP/vup.out" 2>"$E2E_TMP/vup.err") &
    VUP_PID=$!
}

# listen_to_show: the show is to play from a folder of its own (SHOW_DIR) with
# the real pictures and, when it can be listened to, the click tune of
# tests/sound/sound_check.py in place of the real one, played into a sound
# server of the test's own whose sink is captured from now on (the capture
# first proves it hears what is played, where and when it is played); LISTEN
# is then 1. Otherwise the real tune plays, LISTEN is 0 and the check is
# reported as skipped. The show's stats go to VUP_FRAME_STATS.
SOUND_CHECK=(/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../sound/sound_check.py")
LISTEN=0
listen_to_show() {
    SHOW_DIR=$E2E_TMP/show
    mkdir -p "$SHOW_DIR/data"
    ln -s "$(pwd)/Data" "$SHOW_DIR/Data"
    export VUP_FRAME_STATS=$E2E_TMP/frames.stats
    if ! need_servers --for "the tune as heard" pulse; then
        :
    elif [ ! -x "${VUP_RENDER_TUNE:-}" ]; then
        skip_check "the tune as heard: VUP_RENDER_TUNE does not name vup-render-tune"
    else
        LISTEN=1
    fi
    if [ "$LISTEN" = 0 ]; then
        cp data/tulmor.mid "$SHOW_DIR/data/"
        return 0
    fi
    "${SOUND_CHECK[@]}" tune "$SHOW_DIR/data/tulmor.mid"
    "$VUP_RENDER_TUNE" "$SHOW_DIR/data/tulmor.mid" "$E2E_TMP/rendering.wav" >/dev/null ||
        fail "the click tune could not be rendered"
    SOUND_SERVER_DIR=$E2E_TMP/sound
    start_sound_server
    "${SOUND_CHECK[@]}" capture "$E2E_TMP/heard" &
    CAPTURE_PID=$!
    while [ ! -e "$E2E_TMP/heard.ready" ] && kill -0 "$CAPTURE_PID" 2>/dev/null; do
        sleep 0.1
    done
    [ -e "$E2E_TMP/heard.ready" ] || fail "the sound path cannot measure (see above)"
}

# listened [REOPENED_UNIX_MS]: ends the capture and sets HEARD to what it
# heard against the show's clock (sound_check.py measure, JSON).
HEARD=""
listened() {
    kill -TERM "$CAPTURE_PID"
    wait "$CAPTURE_PID" || fail "the capture failed"
    CAPTURE_PID=""
    HEARD=$("${SOUND_CHECK[@]}" measure "$E2E_TMP/heard" "$E2E_TMP/rendering.wav" \
        "$VUP_FRAME_STATS" "$@") || fail "the capture could not be measured"
    echo "heard: $HEARD"
}

# heard_value KEY: the number (or null) HEARD gives for KEY.
heard_value() {
    echo "$HEARD" | sed -nE "s/.*\"$1\": (-?[0-9.]+|null).*/\1/p"
}

# window_id NAME: the id of the top-level window with exactly that name.
window_id() {
    xwininfo -root -children 2>/dev/null | grep -F "\"$1\":" | head -n 1 | awk '{print $1}'
}

# wait_window NAME [SECONDS]: prints the id once the window exists.
wait_window() {
    wait_other_window "$1" "" "${2:-15}"
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

# expect_opening_picture PNG: a screenshot of an 800 x 600 screen shows the
# opening picture, which sits right of and below the centre: the left edge
# stays black, the middle right is lit.
expect_opening_picture() {
    local left middle
    left=$(mean_brightness "$1" 100x600+0+0)
    middle=$(mean_brightness "$1" 300x300+400+200)
    is_above "$left" 0.02 && fail "left strip should be black (mean $left)"
    is_above "$middle" 0.15 || fail "opening picture not on screen (mean $middle)"
}

# is_above VALUE LIMIT: true when VALUE > LIMIT (floating point). A value
# that is not a number, as a failed measurement leaves, fails the test.
is_above() {
    compare_numbers "$1" ">" "$2"
}

# is_below VALUE LIMIT: true when VALUE < LIMIT (floating point); fails the
# test as is_above does.
is_below() {
    compare_numbers "$1" "<" "$2"
}

compare_numbers() {
    local number='^-?[0-9]+([.][0-9]*)?([eE][-+]?[0-9]+)?$'
    [[ $1 =~ $number && $3 =~ $number ]] || fail "a measurement failed: '$1' $2 '$3'"
    awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN { exit !(op == ">" ? v > l : v < l) }'
}

# now_ms: a millisecond clock for measuring the show's schedule from outside.
now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# sleep_until_ms EPOCH_MS: returns once the millisecond clock has reached it.
sleep_until_ms() {
    local left=$(($1 - $(now_ms)))
    [ "$left" -gt 0 ] && sleep "$(awk -v ms="$left" 'BEGIN { printf "%.3f", ms / 1000 }')"
    return 0
}

# mean_chroma FILE [GEOMETRY]: 0..1, how far the pixels are from grey on
# average (0 for black, white and greys; pictures in colour score well above).
mean_chroma() {
    local crop=()
    [ $# -ge 2 ] && crop=(-crop "$2" +repage)
    "$IM_CONVERT" "$1" "${crop[@]}" -colorspace HCL -channel G -separate +channel \
        -format '%[fx:mean]' info:
}

# bright_fraction FILE PERCENT [GEOMETRY]: 0..1, the share of pixels whose
# brightness is above PERCENT % of white.
bright_fraction() {
    local crop=()
    [ $# -ge 3 ] && crop=(-crop "$3" +repage)
    "$IM_CONVERT" "$1" "${crop[@]}" -colorspace gray -threshold "$2%" -format '%[fx:mean]' info:
}

# lit_box FILE PERCENT: "left top right bottom" (right and bottom exclusive) of
# the smallest box that holds every pixel brighter than PERCENT % of white;
# nothing when there is none. A black border is added first so that pictures
# reaching the screen's edges are measured, not taken for the background.
lit_box() {
    "$IM_CONVERT" "$1" -colorspace gray -threshold "$2%" -bordercolor black -border 1 \
        -format '%@' info: 2>/dev/null |
        awk -F '[x+]' '$1 > 0 { print $3 - 1, $4 - 1, $3 - 1 + $1, $4 - 1 + $2 }'
}

# wait_other_window NAME OTHER_ID [SECONDS]: prints the id once a window of
# that name other than OTHER_ID exists (two shows on one screen share their
# title; an empty OTHER_ID takes any).
wait_other_window() {
    local name=$1 other=$2 limit=${3:-15} id
    # Looked for every 20 ms, so that when it appeared is known that closely.
    for _ in $(seq 1 $((limit * 50))); do
        id=$(xwininfo -root -children 2>/dev/null | grep -F "\"$name\":" | awk '{print $1}' |
            grep -vx -- "$other" | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.02
    done
    return 1
}

# map_state WINDOW: IsViewable, IsUnMapped or IsUnviewable.
map_state() {
    xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ {print $3}'
}

# ahead_of_other_work PID...: when allowed (as root), every thread of these
# processes, and this script with what it starts from now on, run ahead of
# other work: on a loaded machine a time measured from outside is then the
# program's own, not its wait for a core. Waiting on something (a dead
# connection, a thread that does not stop) takes as long as ever.
ahead_of_other_work() {
    [ "$(id -u)" = 0 ] || return 0
    local pid
    for pid in "$@" $$; do
        # shellcheck disable=SC2046 # one thread id per word
        renice -n -10 -p $(ls "/proc/$pid/task" 2>/dev/null) >/dev/null 2>&1
    done
}

# screenshot_soon FILE: a screenshot that has to fall inside a time window on
# a loaded machine, where a starved capture can take seconds.
screenshot_soon() {
    ahead_of_other_work "$X_SERVER_PID"
    import -window root "$1"
}
