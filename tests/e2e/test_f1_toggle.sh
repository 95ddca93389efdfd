# F1 closes the display and opens it again in the other mode, titled
# "Plomvixtorandebu", with the pictures loaded anew (the re-opened window
# shows the opening picture as the recorder draws it); the show goes on, and
# so does its tune. Listened to as the schedule's test does (lib.sh
# listen_to_show), from 300 ms after the re-opened window appears on, every
# click heard must be where the show is (within 30 ms), named by its
# neighbours and heard only once: a tune begun again, or a second copy
# sounding beside the first, fails. Then Space, Home and the right arrow,
# and F1 while paused.
. "$(dirname "$0")/lib.sh"
VUP=$1
OPENING=$(dirname "$0")/../golden/OpeningPicture_5s.png

start_xvfb 800x600
listen_to_show
started=$(now_ms)
start_vup "$VUP"
id=$(wait_window Vup) || fail "no window titled Vup"
sleep 3
press "$id" F1
id2=$(wait_window Plomvixtorandebu) || fail "no re-opened window after F1"
reopened=$(now_ms)
wait_gone Vup 5 || fail "the first window is still there"
# The opening picture stays on screen for the show's first 10 s: the new
# window must show it, as drawn from pictures loaded anew, before then.
echo "no screenshot taken" >"$E2E_TMP/match"
while :; do
    taken=$(($(now_ms) - started))
    [ "$taken" -lt 9500 ] ||
        fail "the re-opened window did not show the opening picture: $(cat "$E2E_TMP/match")"
    screenshot_soon "$E2E_TMP/reopened.png"
    matches_expected_frame "$E2E_TMP/reopened.png" "$OPENING" >"$E2E_TMP/match" && break
    sleep 0.2
done
cat "$E2E_TMP/match"
if [ "$LISTEN" = 1 ]; then
    sleep_until_ms $((reopened + 5000))
    listened "$reopened"
    right=$(heard_value right_from_ms) clicks=$(heard_value clicks_right)
    echo "after the re-open the tune sounded again at $(heard_value sound_back_ms) ms and" \
        "was right from $right ms on ($clicks clicks, $(heard_value offset_ms) ms)"
    is_above "$right" 300 &&
        fail "the tune was not where the show is until $right ms after the re-open"
    is_below "$clicks" 3 && fail "only $clicks clicks were right after the re-open"
fi

# And back: fullscreen again, same title, a new window.
press "$id2" F1
id3=$(wait_other_window Plomvixtorandebu "$id2") || fail "no new window after the second F1"
kill -0 "$VUP_PID" 2>/dev/null || fail "the show ended after the second F1"

# Paused, then moved while paused by keys alone to exactly 45 s: the window
# says where, and shows the recorder's frame of that moment; F1 keeps both.
POLYHEDRON=$(dirname "$0")/../golden/PulsingPolyhedron_45s.png
paused_title="Vup — 0:45 paused"
# shows_moment WINDOW: the title and the picture of the paused moment.
shows_moment() {
    for _ in $(seq 1 50); do
        [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$paused_title" ] && break
        sleep 0.1
    done
    title=$(xdotool getwindowname "$1" 2>/dev/null)
    [ "$title" = "$paused_title" ] || fail "the window is titled '$title', not '$paused_title'"
    screenshot_soon "$E2E_TMP/paused.png"
    matches_expected_frame "$E2E_TMP/paused.png" "$POLYHEDRON" ||
        fail "paused at 45 s, the window does not show the show's frame there"
}
press "$id3" space
press "$id3" Home
for _ in $(seq 1 9); do
    press "$id3" Right
done
shows_moment "$id3"
press "$id3" F1
# The new window is retitled on its first turn.
id4=$(wait_other_window "$paused_title" "$id3") || fail "no new window after F1 while paused"
shows_moment "$id4"
press "$id4" Escape
wait_exit 5
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS"
finish_checks "F1 re-opened the display twice with its pictures (seen from $taken ms after" \
    "the start), the tune where the show is; paused and moved to 45 s it showed that" \
    "moment, through F1 too"
