# F1 closes the display and opens it again in the other mode, titled
# "Plomvixtorandebu", with the pictures loaded anew; the show goes on.
. "$(dirname "$0")/lib.sh"
VUP=$1

start_xvfb 800x600
start_vup "$VUP"
id=$(wait_window Vup) || fail "no window titled Vup"
sleep 1
press "$id" F1
id2=$(wait_window Plomvixtorandebu) || fail "no re-opened window after F1"
wait_gone Vup 5 || fail "the first window is still there"
sleep 1.5
screenshot "$E2E_TMP/reopened.png"
middle=$(mean_brightness "$E2E_TMP/reopened.png" 300x300+400+200)
is_above "$middle" 0.15 || fail "picture missing after the re-open (mean $middle)"

# And back: fullscreen again, same title, a new window.
press "$id2" F1
id3=$(wait_other_window Plomvixtorandebu "$id2") || fail "no new window after the second F1"
kill -0 "$VUP_PID" 2>/dev/null || fail "the show ended after the second F1"
press "$id3" Escape
wait_exit 5
[ "$EXIT_STATUS" = "0" ] || fail "exit status $EXIT_STATUS"
echo "PASS: F1 re-opened the display twice with its pictures"
