# A PulseAudio server of the caller's own, for the tests and benchmarks that
# listen to the show: no sound card, one null sink ("vup", 44,100 Hz stereo)
# whose monitor source gives back every sample played into it, on the sink's
# own clock. A silent stream keeps the sink running at a short latency, as a
# desktop's sink is: an idle null sink has already mixed two seconds of
# silence ahead, and a stream that arrives then is not heard for up to two
# seconds. Sourced:
#   start_sound_server   starts it, exports PULSE_SERVER (so the show and
#                        parec use it) and sets SOUND_SERVER_PID
#   stop_sound_server    ends it (and only it)
# Its socket, state and log (pulse.log) go to the folder SOUND_SERVER_DIR,
# which the caller sets and removes; nothing is read from or written to the
# user's own PulseAudio set-up. A server that does not start ends the script
# with status 1.

SOUND_SERVER_PID=""
SOUND_SERVER_KEEPER_PID=""

start_sound_server() {
    local dir=${SOUND_SERVER_DIR:?SOUND_SERVER_DIR is not set}
    mkdir -p "$dir/runtime" "$dir/state"
    export PULSE_RUNTIME_PATH=$dir/runtime PULSE_STATE_PATH=$dir/state
    export PULSE_COOKIE=$dir/cookie
    # -n: no default script (no sound cards, no desktop modules); the sink
    # and the socket are all there is.
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
        --use-pid-file=no --log-target="file:$dir/pulse.log" \
        --load="module-null-sink sink_name=vup rate=44100 channels=2" \
        --load="module-native-protocol-unix socket=$dir/socket auth-anonymous=1" &
    SOUND_SERVER_PID=$!
    export PULSE_SERVER=unix:$dir/socket
    for _ in $(seq 1 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pacat --latency-msec=10 --format=s16le --rate=44100 --channels=2 </dev/zero &
    SOUND_SERVER_KEEPER_PID=$!
    # Until the sink has mixed no more than 50 ms ahead.
    local ahead
    for _ in $(seq 1 100); do
        ahead=$(pactl list sinks 2>/dev/null | sed -nE 's/.*Latency: ([0-9]+) usec.*/\1/p')
        [ -n "$ahead" ] && [ "$ahead" -le 50000 ] && return 0
        sleep 0.1
    done
    echo "FAIL: the sound server did not start: $(tail -n 3 "$dir/pulse.log" 2>/dev/null)" >&2
    stop_sound_server
    exit 1
}

stop_sound_server() {
    [ -n "$SOUND_SERVER_KEEPER_PID" ] && kill "$SOUND_SERVER_KEEPER_PID" 2>/dev/null
    SOUND_SERVER_KEEPER_PID=""
    if [ -n "$SOUND_SERVER_PID" ]; then
        kill "$SOUND_SERVER_PID" 2>/dev/null
        wait "$SOUND_SERVER_PID" 2>/dev/null
        SOUND_SERVER_PID=""
SOUND_SERVER_KEEPER_PID=""
    fi
}
