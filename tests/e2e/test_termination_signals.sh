# SIGTERM, SIGHUP and SIGINT (to the process group, as a terminal sends
# Ctrl+C) each end the show promptly through its normal close: the screen is
# back in the mode it had before the show switched it, and the process ends
# by that signal. SIGTERM also ends the show while the fullscreen question
# box is waiting for an answer. Each took 0.02 to 0.51 s from the signal,
# median 0.2 s (20 runs, 80 signals, load average 6 to 9 on two cores); a
# close that waited on the audio thread or on a box nobody answers would take
# seconds, so the bound is 1 s.
. "$(dirname "$0")/lib.sh"
VUP=$1

# start_own_group: the show as the leader of a process group of its own, with
# SIGINT and SIGHUP back to their default (a non-interactive shell's
# background jobs ignore SIGINT, and an ignored signal stays ignored).
start_own_group() {
    env --default-signal=INT,HUP,TERM setsid "$VUP" >"$E2E_TMP/vup.out" 2>"$E2E_TMP/vup.err" &
    VUP_PID=$!
}

# end_by SIGNAL TARGET: sends it, and requires the show gone by that signal.
end_by() {
    local signal=$1 target=$2 start took expected
    expected=$((128 + $(kill -l "$signal")))
    ahead_of_other_work "$VUP_PID" "$X_SERVER_PID"
    start=$(now_ms)
    kill -s "$signal" -- "$target"
    wait_exit 20 2>/dev/null # without the shell's note of a job ended by a signal
    took=$(($(now_ms) - start))
    [ "$EXIT_STATUS" = "$expected" ] || fail "exit status $EXIT_STATUS after SIG$signal, expected $expected"
    [ "$took" -le 1000 ] || fail "SIG$signal took $took ms to end the show"
    echo "SIG$signal ended the show in $took ms"
}

start_xdummy
desktop=$(screen_size)
[ "$desktop" = 1024x768 ] || fail "the dummy screen is $desktop, not 1024x768"
for signal in TERM HUP INT; do
    start_own_group
    wait_window Vup 20 >/dev/null || fail "no window titled Vup before SIG$signal"
    sleep 1
    [ "$(screen_size)" = 800x600 ] || fail "the show did not switch the screen to 800x600"
    group=$(ps -o pgid= -p "$VUP_PID" | tr -d ' ')
    [ "$group" = "$VUP_PID" ] || fail "the show is not the leader of its process group"
    target=$VUP_PID
    [ "$signal" = INT ] && target=-$group
    end_by "$signal" "$target"
    [ "$(screen_size)" = "$desktop" ] || fail "the screen stayed $(screen_size) after SIG$signal"
done
stop_x

start_xvfb 1024x768
start_own_group
wait_window "Kavu GL" 20 >/dev/null || fail "no question box"
end_by TERM "$VUP_PID"
echo "PASS: SIGTERM, SIGHUP and SIGINT restored the screen and ended the show by the signal;" \
    "SIGTERM closed the open question box"
