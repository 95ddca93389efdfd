# The servers the tests, the release check and the benchmarks run the real
# program against, each of the caller's own: an X server, a window manager on
# it, a PulseAudio server and a Wine prefix. Sourced; scripts/with-servers is
# its command line, which the Python tests use too.
#
#   servers_missing NAME...   what this machine lacks for those servers, one
#                             line each; nothing when it has them all
#   need_servers [--for WHAT] NAME...
#                             the one rule for a missing server: the checks
#                             that need it are left out, said with the reason
#                             (skip_check, tests/support/skip_or_fail.sh:
#                             status 77, skipped) - but under CI, which
#                             installs everything, that is a failure
#   start_servers NAME...     starts them in the order given
#   stop_servers              ends what start_servers started, and only that
#
# The names: x (Xvfb, SERVERS_SCREEN, default 800x600), xdummy (Xorg with the
# dummy video driver: 1024 x 768, can switch to 800 x 600; root only), wm
# (openbox on that X server: without a window manager no window has the
# focus), pulse (PulseAudio with one null sink) and wine (a booted Wine
# prefix). Each one's files go to SERVERS_DIR, which the caller sets and
# removes. A server that is there but does not start ends the script with
# status 1. Safe under set -e.
#
# The single servers, for scripts that start and stop them in their own time:
#   start_xvfb WIDTHxHEIGHT   Xvfb, with that one screen mode
#   start_xdummy              Xorg with the dummy driver
#   stop_x                    ends it
# Each takes a free display of the server's own choosing (-displayfd), exports
# DISPLAY and sets X_SERVER_PID; its log (xvfb.log, xorg.log) goes to
# X_SERVER_DIR (default SERVERS_DIR).
#   start_window_manager, stop_window_manager
#   start_sound_server, stop_sound_server   (below)
#   start_wine, stop_wine                   (below)
#
# A script whose servers live as long as it does:
#   servers_folder NAME       a fresh folder /tmp/vup-NAME.XXXXXX, as `work`
#                             and SERVERS_DIR, and on exit servers_cleanup
#   servers_cleanup           the caller's servers_cleanup_more and stop_show
#                             where it defines them, every server above that
#                             was started, then the folder

# The skip rule's skip_check, when the caller has not sourced it.
declare -F skip_check >/dev/null ||
    . "$(dirname "${BASH_SOURCE[0]}")/../../tests/support/skip_or_fail.sh"

# ---- X ------------------------------------------------------------------

X_SERVER_PID=""

# start_x_server NAME OUTPUT LOG COMMAND...: runs COMMAND (a server taking
# -displayfd 3, its output to OUTPUT, its messages in LOG) and waits for it to
# name its display.
start_x_server() {
    local name=$1 output=$2 log=$3 ready=${X_SERVER_DIR:-$SERVERS_DIR}/displayfd display=""
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
    local log=${X_SERVER_DIR:-${SERVERS_DIR:?SERVERS_DIR is not set}}/xvfb.log
    start_x_server Xvfb "$log" "$log" Xvfb -screen 0 "${1}x24" -nolisten tcp -noreset
}

start_xdummy() {
    local dir=${X_SERVER_DIR:-${SERVERS_DIR:?SERVERS_DIR is not set}}
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

# ---- PulseAudio ---------------------------------------------------------

# The sound server, for the tests and benchmarks that listen to the show: no sound card, one null sink ("vup", 44,100 Hz stereo)
# whose monitor source gives back every sample played into it, on the sink's
# own clock. A silent stream keeps the sink running at a short latency, as a
# desktop's sink is: an idle null sink has already mixed two seconds of
# silence ahead, and a stream that arrives then is not heard for up to two
# seconds. Sourced:
#   start_sound_server   starts it, exports PULSE_SERVER (so the show and
#                        parec use it) and sets SOUND_SERVER_PID
#   stop_sound_server    ends it (and only it)
# Its socket, state and log (pulse.log) go to the folder SOUND_SERVER_DIR
# (default SERVERS_DIR/pulse); nothing is read from or written to the
# user's own PulseAudio set-up. A server that does not start ends the script
# with status 1.

SOUND_SERVER_PID=""
SOUND_SERVER_KEEPER_PID=""

start_sound_server() {
    local dir=${SOUND_SERVER_DIR:-${SERVERS_DIR:?SERVERS_DIR is not set}/pulse}
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
    fi
}

# ---- the window manager -------------------------------------------------

WINDOW_MANAGER_PID=""

# start_window_manager: openbox on DISPLAY, waited for until it has taken the
# screen (the root window names it).
start_window_manager() {
    openbox --sm-disable >/dev/null 2>&1 &
    WINDOW_MANAGER_PID=$!
    for _ in $(seq 1 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        sleep 0.05
    done
    echo "FAIL: the window manager did not start" >&2
    exit 1
}

stop_window_manager() {
    if [ -n "$WINDOW_MANAGER_PID" ]; then
        kill "$WINDOW_MANAGER_PID" 2>/dev/null || true
        wait "$WINDOW_MANAGER_PID" 2>/dev/null || true
        WINDOW_MANAGER_PID=""
    fi
}

# ---- Wine ---------------------------------------------------------------

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
WINE_STARTED=""

# start_wine: the Wine prefix WINEPREFIX (default SERVERS_DIR/wine; one that
# is already booted is kept), booted with wineboot on the X server already
# started, within WINE_BOOT_SECONDS (default 180). No debug output, and no
# Mono or Gecko install prompts. Exports WINEPREFIX, WINEDEBUG and
# WINEDLLOVERRIDES; run programs with "$WINE" PROGRAM.EXE. Unlike the others,
# a prefix that does not boot returns 1 (start_servers then ends the script),
# so that a script can report it as one failed check among others.
start_wine() {
    export WINEPREFIX=${WINEPREFIX:-${SERVERS_DIR:?SERVERS_DIR is not set}/wine}
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    WINE_STARTED=1
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    local log=${SERVERS_DIR:-$WINEPREFIX}/wineboot.log
    mkdir -p "$(dirname "$log")"
    if ! timeout "${WINE_BOOT_SECONDS:-180}" "$WINE" wineboot -i >"$log" 2>&1; then
        tail -20 "$log" >&2
        echo "FAIL: wineboot did not finish" >&2
        return 1
    fi
}

# stop_wine: ends the Wine processes of this prefix (and only those) and
# waits for them.
stop_wine() {
    if [ -n "$WINE_STARTED" ]; then
        "$WINESERVER" -k 2>/dev/null || true
        "$WINESERVER" -w 2>/dev/null || true
        WINE_STARTED=""
    fi
}

# ---- all of them --------------------------------------------------------

# servers_missing NAME...: what this machine lacks for them.
servers_missing() {
    local name tool
    for name in "$@"; do
        case $name in
            x) set -- Xvfb ;;
            xdummy) set -- Xorg ;;
            wm) set -- openbox xprop ;;
            pulse) set -- pulseaudio pactl pacat parec ;;
            wine) set -- "$WINE" "$WINESERVER" ;;
            *) echo "no server called $name"; continue ;;
        esac
        for tool in "$@"; do
            command -v "$tool" >/dev/null 2>&1 || echo "$name: no $tool"
        done
        if [ "$name" = xdummy ] && [ "$(id -u)" != 0 ]; then
            echo "xdummy: Xorg with the dummy driver runs only as root"
        fi
    done
}

# need_servers [--for WHAT] NAME...: true when all are there; otherwise the
# reason is said as a check left out (skip_check: under CI the script fails)
# and false. WHAT names the checks that needed them.
need_servers() {
    local what="" missing
    if [ "${1:-}" = --for ]; then
        what="$2: "
        shift 2
    fi
    missing=$(servers_missing "$@")
    [ -z "$missing" ] && return 0
    skip_check "$what${missing//$'\n'/, }"
    return 1
}

SERVERS_STARTED=()

# start_servers NAME...: each in turn (x before wm and wine).
start_servers() {
    local name
    for name in "$@"; do
        case $name in
            x) start_xvfb "${SERVERS_SCREEN:-800x600}" ;;
            xdummy) start_xdummy ;;
            wm) start_window_manager ;;
            pulse) start_sound_server ;;
            wine) start_wine || exit 1 ;;
            *) echo "FAIL: no server called $name" >&2; exit 1 ;;
        esac
        SERVERS_STARTED=("$name" "${SERVERS_STARTED[@]}")
    done
}

# stop_servers: the started ones, the last first.
stop_servers() {
    local name
    for name in "${SERVERS_STARTED[@]}"; do
        case $name in
            x | xdummy) stop_x ;;
            wm) stop_window_manager ;;
            pulse) stop_sound_server ;;
            wine) stop_wine ;;
        esac
    done
    SERVERS_STARTED=()
}

# ---- a script's own folder ----------------------------------------------

servers_folder() {
    work=$(mktemp -d "/tmp/vup-$1.XXXXXX")
    SERVERS_DIR=$work
    trap servers_cleanup EXIT
}

servers_cleanup() {
    # Each step whatever the one before returned (under set -e too).
    if declare -F servers_cleanup_more >/dev/null; then
        servers_cleanup_more || true
    fi
    if declare -F stop_show >/dev/null; then
        stop_show || true
    fi
    stop_wine || true
    stop_sound_server || true
    stop_window_manager || true
    stop_x || true
    rm -rf "$work"
}
