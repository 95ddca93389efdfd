# Ways out of the show besides Escape, and what minimising does:
# - the window manager's close request (WM_DELETE_WINDOW, as sent for the
#   close button) and Alt+F4 each end the show at once with status 0;
# - a minimised window draws nothing and runs no schedule, so a show hidden
#   from 1.5 s until past the schedule's end keeps running, and ends with status 0
#   as soon as it is shown again and draws its first frame.
# Without a window manager, unmapping and mapping the window is what reaches
# the show as minimise and restore. The hidden show waits out its schedule while
# the close cases run on the same screen, which keeps this test near 90 s.
. "$(dirname "$0")/lib.sh"
VUP=$1
END_MS=$(show_end_ms "$VUP") || exit $?
CLOSE_REQUEST=${VUP_CLOSE_REQUEST:-$(dirname "$VUP")/tests/x11_close_request}
[ -x "$CLOSE_REQUEST" ] || fail "no close request program at $CLOSE_REQUEST (build x11_close_request)"

start_xvfb 800x600

# The show that will be minimised. It must not outlive a failed test.
start_vup "$VUP"
HIDDEN_PID=$VUP_PID
trap '[ -n "$HIDDEN_PID" ] && kill "$HIDDEN_PID" 2>/dev/null; servers_cleanup' EXIT
hidden_id=$(wait_window Vup) || fail "no window titled Vup"
SEEN=$(now_ms) # the show read its clock before its window appeared

sleep_until_ms $((SEEN + 1500))
screenshot "$E2E_TMP/before_hiding.png"
middle=$(mean_brightness "$E2E_TMP/before_hiding.png" 300x300+400+200)
is_above "$middle" 0.15 || fail "the show drew no picture before it was minimised (mean $middle)"
xdotool windowunmap "$hidden_id"
[ "$(map_state "$hidden_id")" = IsUnMapped ] || fail "the window could not be minimised"

# A second show on the same screen, closed by the window manager's request.
start_vup "$VUP"
id=$(wait_other_window Vup "$hidden_id") || fail "no window for the close request"
sleep 1
start=$(now_ms)
"$CLOSE_REQUEST" "$id" || fail "the close request could not be delivered"
wait_exit 10
took=$(($(now_ms) - start))
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after the close request"
[ "$took" -lt 3000 ] || fail "the close request took $took ms to end the show"
echo "close request ended the show in $took ms"

# A third, closed by Alt+F4.
start_vup "$VUP"
id=$(wait_other_window Vup "$hidden_id") || fail "no window for Alt+F4"
sleep 1
start=$(now_ms)
press "$id" alt+F4
wait_exit 10
took=$(($(now_ms) - start))
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Alt+F4"
[ "$took" -lt 3000 ] || fail "Alt+F4 took $took ms to end the show"
echo "Alt+F4 ended the show in $took ms"

# Two seconds past the end of the schedule, the minimised show is still there.
sleep_until_ms $((SEEN + END_MS + 2000))
if ! kill -0 "$HIDDEN_PID" 2>/dev/null; then
    wait "$HIDDEN_PID"
    fail "the minimised show ended by itself (status $?) after $(($(now_ms) - SEEN)) ms"
fi
[ "$(map_state "$hidden_id")" = IsUnMapped ] || fail "the minimised window came back by itself"

# Restored, its first frame finds the show over.
VUP_PID=$HIDDEN_PID
HIDDEN_PID=""
start=$(now_ms)
xdotool windowmap "$hidden_id"
wait_exit 10
took=$(($(now_ms) - start))
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after the restore"
[ "$took" -lt 3000 ] || fail "the restored show took $took ms to end"
echo "PASS: close request and Alt+F4 ended the show; minimised past $((END_MS / 1000)) s it kept" \
    "running and ended $took ms after the restore"
