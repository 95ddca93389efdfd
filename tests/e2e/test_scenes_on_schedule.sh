# One whole run of the show on an 800 x 600 screen, watched and listened to
# from outside: a screenshot inside each scene of the schedule, judged by where
# its light and colour are (not by exact pixels, since the animation follows
# the wall clock and the frame rate depends on the machine's load), the tune as
# a sound server plays it, and then the show must end by itself with status 0
# once its schedule is over. Which scene is judged when, by what, and where
# the tune is checked, comes from the schedule (tests/support/show_schedule.py).
#
# The tune is a test tune of clicks over a held organ note, each click known
# by its intervals to its neighbours (tests/sound/sound_check.py), in a
# working folder of the test's own with the real pictures. The click heard
# nearest each change of scene, against the show's own clock (its start
# reading, VUP_FRAME_STATS), must be within 30 ms of where the schedule puts
# it, and from where the tune is first heard (wherever the show has got to
# by then) the organ must never fall silent for more than 100 ms: a tune that
# starts late or from its beginning, stalls, drifts or is a second off fails.
# (bench/av_sync.sh measures the same, quiet and loaded.)
#
# The show reads its clock just before its window opens, so times measured
# from the process start run ahead of the show's own by a fraction of a
# second; every screenshot starts at least two seconds away from a change of
# scene, and the capture itself may take a second or two on a loaded machine.
#
# The end is timed three times. From before the process starts, which
# precedes the show's clock, it must come at the show's end or later. From the first
# presented frame (the program stamps it, VUP_FRAME_STATS), which follows the
# show's clock by the display's open, it must come at the end less
# OPEN_ALLOWANCE_MS or later: one run here presented its first frame 1,256 ms
# after the process start and ended 84,146 ms after that frame; that bound
# holds when a loaded machine takes seconds to start the process. And the
# process's end as this test sees it (woken by it, on the monotonic clock)
# against the show's start reading: from the end to END_ALLOWANCE_MS after it,
# the show's last frame and teardown included. The teardown takes 150 ms
# here on a quiet machine and 210 ms with both cores busy, 100 ms of it in
# SDL's leaving fullscreen, which waits for a window manager that this X
# server does not have.
. "$(dirname "$0")/lib.sh"
VUP=$1
OPEN_ALLOWANCE_MS=3000
END_ALLOWANCE_MS=300

# The schedule's times come from the show's own table (src/show/schedule.h)
# through the recorder built next to the show.
export VUP_RECORD=${VUP_RECORD:-$(dirname "$VUP")/tools/vup-record/vup-record}
SCHEDULE=(/usr/bin/python3 "$(dirname "$0")/../support/show_schedule.py")
PICTURES=(/usr/bin/python3 "$(dirname "$0")/../support/scene_pictures.py")
SHOTS=$("${SCHEDULE[@]}" shots) || exit $?
HEARD_AT=$("${SCHEDULE[@]}" heard) || exit $?
END_S=$("${SCHEDULE[@]}" end) || exit $?
END_MS=$(awk -v s="$END_S" 'BEGIN { printf "%d", s * 1000 }')

start_xvfb 800x600
listen_to_show

T0=$(now_ms)
start_vup "$VUP"
wait_window Vup 15 >/dev/null || fail "no window titled Vup"
echo "window open $(($(now_ms) - T0)) ms after the start"

# shoot MS NAME: a screenshot MS milliseconds after the start, into SHOT.
SHOT=""
shoot() {
    sleep_until_ms $((T0 + $1))
    kill -0 "$VUP_PID" 2>/dev/null || fail "the show ended before $(($1 / 1000)) s"
    SHOT="$E2E_TMP/$2.png"
    local from=$(($(now_ms) - T0))
    screenshot_soon "$SHOT"
    echo "$2: screenshot from $from to $(($(now_ms) - T0)) ms"
}

# judge PICTURE: SHOT against what sets that scene's picture apart
# (tests/support/scene_pictures.py). A failure keeps the screenshot next to
# the temporary folder.
judge() {
    local found kept
    found=$("${PICTURES[@]}" "$1" "$SHOT") && return 0
    kept="${TMPDIR:-/tmp}/vup-e2e-$(basename "$SHOT")"
    cp "$SHOT" "$kept"
    fail "$(basename "$SHOT" .png): ${found//$'\n'/; } (screenshot kept as $kept)"
}

# A screenshot of each scene where the schedule takes it, judged as it says.
while read -r -u 3 ms picture scene; do
    shoot "$ms" "$scene" && judge "$picture"
done 3<<<"$SHOTS"

sleep_until_ms $((T0 + END_MS - 1000))
kill -0 "$VUP_PID" 2>/dev/null || fail "the show ended before $((END_MS / 1000 - 1)) s"
"${SOUND_CHECK[@]}" show-end "$VUP_PID" "$VUP_FRAME_STATS" >"$E2E_TMP/ended" &
ENDED_PID=$!
wait_exit 12
end=$(now_ms)
wait "$ENDED_PID"
ended=$(cat "$E2E_TMP/ended")
end_ms=$((end - T0))
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS at $end_ms ms"
first_ns=$(awk '$1 == "first_present_unix_ns" { print $2 }' "$VUP_FRAME_STATS")
[[ $first_ns =~ ^[0-9]{10,}$ ]] || fail "no first frame stamped in $VUP_FRAME_STATS"
from_first_ms=$((end - first_ns / 1000000))
echo "the show ended $end_ms ms after the start, $from_first_ms ms after its first frame"
[ "$end_ms" -ge "$END_MS" ] || fail "the show ended early, $end_ms ms after the start"
[ "$from_first_ms" -ge $((END_MS - OPEN_ALLOWANCE_MS)) ] ||
    fail "the show ended early, $from_first_ms ms after its first frame"
echo "by the show's clock it ended at $ended s"
is_below "$ended" "$END_S" && fail "the show ended at $ended s of its own clock"
is_above "$ended" "$(awk -v s="$END_S" -v ms=$END_ALLOWANCE_MS 'BEGIN { print s + ms / 1000 }')" &&
    fail "the show ended only at $ended s of its own clock"

if [ "$LISTEN" = 1 ]; then
    listened
    echo "the tune was first heard at $(heard_value first_heard_s) s"
    for change in $HEARD_AT; do
        offset=$(heard_value "$change")
        [ -n "$offset" ] || fail "no click was heard within 1 s of $change s"
        is_above "$offset" 30 && fail "at $change s the tune is $offset ms ahead of the show"
        is_below "$offset" -30 && fail "at $change s the tune is ${offset#-} ms behind the show"
    done
    gap=$(heard_value longest_gap_ms)
    is_above "$gap" 100 &&
        fail "the tune fell silent for $gap ms at $(heard_value longest_gap_at_s) s"
fi
finish_checks "every scene on schedule, the tune in time with it; the show ended by itself"
