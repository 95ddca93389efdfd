# The X server dying mid-show (a crash, a logout, a dropped forwarded
# session) ends the show with status 1 and one line on stderr, the tune
# released, its audio output included, rather than leaving it spinning in
# exit. It took 0.06 to 0.45 s from the kill, median 0.15 s (60 runs, load
# average 6 to 9 on two cores); an exit that waited on the dead connection or
# on the audio thread would take seconds, so the bound is 1 s.
. "$(dirname "$0")/lib.sh"
VUP=$1

start_xvfb 800x600
# A real audio output without a sound card: ALSA's null device.
printf 'pcm.default { type null }\n' >"$E2E_TMP/asound.conf"
export ALSA_CONFIG_PATH="$E2E_TMP/asound.conf"
STATS="$E2E_TMP/music.stats"
export VUP_MUSIC_STATS="$STATS"
start_vup "$VUP"
wait_window Vup 20 >/dev/null || fail "no window titled Vup"

# Until the tune plays through its audio output.
for _ in $(seq 1 300); do
    grep -qx 'drivers 1' "$STATS" 2>/dev/null && break
    sleep 0.1
done
grep -qx 'drivers 1' "$STATS" 2>/dev/null ||
    skip_check "the tune's release: it never reached its audio output (no SoundFont?)"

ahead_of_other_work "$VUP_PID" "$X_SERVER_PID"
start=$(now_ms)
kill -KILL "$X_SERVER_PID"
wait "$X_SERVER_PID" 2>/dev/null
X_SERVER_PID=""
wait_exit 20
took=$(($(now_ms) - start))
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after the display went away, expected 1"
[ "$took" -le 1000 ] || fail "the show took $took ms to end after the display went away"
message=$(cat "$E2E_TMP/vup.err")
[ "$message" = "vup: the display went away" ] || fail "stderr was: $message"
for count in settings synths players drivers; do
    grep -qx "$count 0" "$STATS" 2>/dev/null || [ ! -f "$STATS" ] ||
        fail "the tune was not released: $(tr '\n' ' ' <"$STATS")"
done
finish_checks "the display went away; the show ended in $took ms with status 1 and released its tune"
