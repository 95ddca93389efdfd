# An X server of the caller's own, for the tests and the benchmarks that run
# the real program. Sourced; one server at a time per script:
#   start_xvfb WIDTHxHEIGHT   Xvfb, with that one screen mode
#   start_xdummy              Xorg with its dummy video driver (root only): a
#                             1024 x 768 screen that can switch to 800 x 600,
#                             for tests that watch the display mode change
#   stop_x                    ends it (and only it)
# Each takes a free display of the server's own choosing (-displayfd), exports
# DISPLAY and sets X_SERVER_PID. The server's files, its log among them
# (xvfb.log, xorg.log), go to the folder X_SERVER_DIR, which the caller sets
# and removes. A server that does not start ends the script with status 1.
# Safe under set -e.

X_SERVER_PID=""

# start_x_server NAME OUTPUT LOG COMMAND...: runs COMMAND (a server taking
# -displayfd 3, its output to OUTPUT, its messages in LOG) and waits for it to
# name its display.
start_x_server() {
    local name=$1 output=$2 log=$3 ready=$X_SERVER_DIR/displayfd display=""
    shift 3
    rm -f "$ready"
    "$@" -displayfd 3 3>"$ready" >"$output" 2>&1 &
    X_SERVER_PID=$!
    for _ in $(seq 1 200); do
        display=$(head -n 1 "$ready" 2>/dev/null || true)
        [ -n "$display" ] && break
        sleep 0.1
    done
    if [ -z "$display" ]; then
        echo "FAIL: $name did not start: $(grep -m 1 '(EE)' "$log")" >&2
        exit 1
    fi
    export DISPLAY=":$display"
}

# -noreset: by default the server resets when its last client leaves, and a
# client connecting during that reset is refused; a test's short-lived
# clients (xwininfo, import) would then now and then refuse the show its
# display.
start_xvfb() {
    local log=${X_SERVER_DIR:?X_SERVER_DIR is not set}/xvfb.log
    start_x_server Xvfb "$log" "$log" Xvfb -screen 0 "${1}x24" -nolisten tcp -noreset
}

start_xdummy() {
    local dir=${X_SERVER_DIR:?X_SERVER_DIR is not set}
    mkdir -p "$dir/xorg.conf.d"
    cat >"$dir/xorg.conf" <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
    Modeline "800x600" 40.00 800 840 968 1056 600 601 605 628 +hsync +vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768" "800x600"
    EndSubSection
EndSection
EOF
    start_x_server "Xorg with the dummy driver" /dev/null "$dir/xorg.log" \
        Xorg -config "$dir/xorg.conf" -configdir "$dir/xorg.conf.d" -noreset -nolisten tcp \
        -sharevts -novtswitch -logfile "$dir/xorg.log"
}

stop_x() {
    if [ -n "$X_SERVER_PID" ]; then
        kill "$X_SERVER_PID" 2>/dev/null || true
        wait "$X_SERVER_PID" 2>/dev/null || true
        X_SERVER_PID=""
    fi
}
