# The show opens fullscreen on an 800 x 600 screen, titled "Vup", shows the
# opening picture, and Escape ends it at once with status 0.
. "$(dirname "$0")/lib.sh"
VUP=$1

start_xvfb 800x600
start_vup "$VUP"
id=$(wait_window Vup) || fail "no window titled Vup"

geometry=$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$geometry" = "800x600" ] || fail "window is $geometry, not 800x600"

sleep 2
screenshot "$E2E_TMP/opening.png"
expect_opening_picture "$E2E_TMP/opening.png"

xdotool windowfocus "$id" 2>/dev/null
start=$(date +%s%N)
press "$id" Escape
wait_exit 5
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Escape"
# About 0.4 s on an idle machine; the margin is for a machine busy with
# other work, where tearing down the context and the tune takes longer.
[ "$elapsed_ms" -lt 3000 ] || fail "Escape took $elapsed_ms ms to end the show"
echo "PASS: window 800x600 titled Vup, picture shown, Escape ended it in $elapsed_ms ms"
