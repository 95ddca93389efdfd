# On a 1024 x 768 screen the 800 x 600 mode is refused: the question box
# appears; Return (Yes) opens an 800 x 600 window, Escape (No) ends the
# program with status 1 after "Program Will Now Close.".
. "$(dirname "$0")/lib.sh"
VUP=$1

start_xvfb 1024x768

# Yes: windowed.
start_vup "$VUP"
box=$(wait_window "Kavu GL") || fail "no question box"
grep -q "Use Windowed Mode Instead?" "$E2E_TMP/vup.err" || fail "question text missing"
press "$box" Return
id=$(wait_window Vup) || fail "no window after Yes"
geometry=$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$geometry" = "800x600" ] || fail "client area is $geometry, not 800x600"
press "$id" Escape
wait_exit 5
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS after Yes and Escape"

# No: the program closes with failure.
start_vup "$VUP"
box=$(wait_window "Kavu GL") || fail "no question box the second time"
press "$box" Escape
closing=$(wait_window ERROR) || fail "no closing box after No"
grep -q "Program Will Now Close." "$E2E_TMP/vup.err" || fail "closing text missing"
press "$closing" Return
wait_exit 5
[ "$EXIT_STATUS" = "1" ] || fail "exit status $EXIT_STATUS after No, expected 1"
[ -z "$(window_id Vup)" ] || fail "a display window was left"
echo "PASS: refused mode asks; Yes opens windowed, No exits 1"
