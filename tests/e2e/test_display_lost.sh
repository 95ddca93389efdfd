# The X server dying mid-show (a crash, a logout, a dropped forwarded
# session) ends the show with status 1 and one line on stderr, the tune
# released, its audio output included, rather than leaving it spinning in
# exit. About 0.15 s on an idle machine; the bound allows for a loaded one.
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
if ! grep -qx 'drivers 1' "$STATS" 2>/dev/null; then
    [ -n "${CI:-}" ] && fail "the tune never reached its audio output (no SoundFont?)"
    echo "SKIP: no audio output for the tune; only the exit is checked"
fi

start=$(now_ms)
kill -KILL "$X_SERVER_PID"
wait "$X_SERVER_PID" 2>/dev/null
X_SERVER_PID=""
wait_exit 20
took=$(($(now_ms) - start))
[ "$EXIT_STATUS" = 1 ] || fail "exit status $EXIT_STATUS after the display went away, expected 1"
[ "$took" -lt 5000 ] || fail "the show took $took ms to end after the display went away"
message=$(cat "$E2E_TMP/vup.err")
[ "$message" = "vup: the display went away" ] || fail "stderr was: $message"
for count in settings synths players drivers; do
    grep -qx "$count 0" "$STATS" 2>/dev/null || [ ! -f "$STATS" ] ||
        fail "the tune was not released: $(tr '\n' ' ' <"$STATS")"
done
echo "PASS: the display went away; the show ended in $took ms with status 1 and released its tune"
