#!/usr/bin/env bash
# The Windows build under 64-bit Wine in Xvfb:
#   1. the Win32 backend's own tests (vup_win32_tests.exe);
#   2. without Data/Main.bmp the start ends with the "Initialization Failed."
#      box, shown after the display is closed, and status 1;
#   3. on an 800x600 screen the show opens fullscreen and draws the opening
#      picture; F1 re-opens it windowed, and Escape ends it with status 0;
#   4. on a 1024x768 screen the 800x600 mode is refused, the "Kavu GL" question
#      is answered Yes with Return, the show runs windowed, and Escape ends it
#      with status 0.
# The first argument (the Linux binary) is not used. The 64-bit Windows
# build comes from the fixture test build.win64 (scripts/build-windows.sh).
# Without that build, Wine or the X tools it is skipped (a failure under CI).
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$repo/tests/support/skip_or_fail.sh"
. "$repo/scripts/lib/servers.sh"
. "$repo/tests/e2e/expected_frame.sh"
build=$repo/build-win64

need_servers --for "the Windows build under Wine" x wine || finish_checks "nothing"
missing=()
for tool in xdotool import convert identify; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
zip=$(ls "$build"/vup-*-win64.zip 2>/dev/null | head -n 1)
[ -f "$build/vup_win32_tests.exe" ] || missing+=("build-win64/vup_win32_tests.exe (ctest -R build.win64)")
[ -n "$zip" ] || missing+=("build-win64/vup-VERSION-win64.zip (ctest -R build.win64)")
command -v unzip >/dev/null || missing+=(unzip)
if [ ${#missing[@]} -gt 0 ]; then
    skip_check "the Windows build under Wine: not there: ${missing[*]}"
    finish_checks "nothing"
fi

# On exit: the show, the Wine processes of this test's own prefix, X.
servers_folder wine
show_pid=""

phase() {
    echo "[${SECONDS} s] $*"
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# --- X server and Wine prefix ---
export WINEPREFIX=$work/prefix
start_xvfb 800x600
start_wine || exit 1

# --- 1. backend tests ---
phase "Running the Win32 backend tests"
if ! (cd "$work" && timeout 60 "$WINE" "$build/vup_win32_tests.exe" >"$work/unit.log" 2>&1); then
    grep -E '^\[  FAILED|Failure|error' "$work/unit.log" | head -30
    fail "vup_win32_tests.exe"
else
    grep -E '^\[  PASSED' "$work/unit.log"
fi

# --- the show, from its zip unpacked as a user would, in a folder whose
# path has a space ---
unzip -q "$zip" -d "$work/Program Files"
package=$(ls -d "$work/Program Files"/vup-*-win64)

window_titles() {
    local id
    for id in $(xdotool search --name . 2>/dev/null); do
        xdotool getwindowname "$id" 2>/dev/null
    done
}

# Waits until a window with exactly this title exists; prints its id.
wait_for_window() {  # title seconds
    local tries=$(($2 * 4)) id
    while [ $tries -gt 0 ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        if [ -n "$show_pid" ] && ! kill -0 "$show_pid" 2>/dev/null; then
            return 1
        fi
        sleep 0.25
        tries=$((tries - 1))
    done
    return 1
}

start_show() {  # package folder
    stop_show
    (cd "$1" && exec "$WINE" vup.exe) >"$work/show.log" 2>&1 &
    show_pid=$!
    show_started=$(date +%s%N)
}

# Ends a show that a failed check left running.
stop_show() {
    if [ -n "$show_pid" ]; then
        kill "$show_pid" 2>/dev/null
        wait "$show_pid" 2>/dev/null
        show_pid=""
    fi
}

# Seconds, with tenths, since the show was started.
show_age() {
    local now
    now=$(date +%s%N)
    echo $(((now - show_started) / 1000000000)).$((((now - show_started) / 100000000) % 10))
}

# With no window manager the X input focus follows the pointer, and Wine
# moves neither: put the pointer on the window before typing, as a viewer
# would. The show reads keys as held-down states on its drawing turns, so the
# key is held for a moment (shorter than the auto-repeat delay) rather than
# tapped.
press_key() {  # window key
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH / 2)) $((HEIGHT / 2))
    sleep 0.2
    xdotool keydown "$2"
    sleep 0.15
    xdotool keyup "$2"
}

# Waits for the show to end; its exit status, or 124 when it did not end.
wait_for_exit() {  # seconds
    local tries=$(($1 * 4))
    while kill -0 "$show_pid" 2>/dev/null && [ $tries -gt 0 ]; do
        sleep 0.25
        tries=$((tries - 1))
    done
    if kill -0 "$show_pid" 2>/dev/null; then
        return 124
    fi
    wait "$show_pid"
    local status=$?
    show_pid=""
    return $status
}

mean_rgb() {  # image [crop geometry]
    local crop=()
    [ -n "${2:-}" ] && crop=(-crop "$2" +repage)
    convert "$1" "${crop[@]}" -format \
        '%[fx:int(255*mean.r+0.5)] %[fx:int(255*mean.g+0.5)] %[fx:int(255*mean.b+0.5)]' info:
}

# The show's first 10 s are the opening picture: the client area must be the
# recorder's still of it.
check_opening_picture() {  # screenshot, client area's x and y on the screen
    matches_expected_frame "$1" "$repo/tests/golden/OpeningPicture_5s.png" "$2" "$3" ||
        fail "the screen does not show the opening picture"
}

# The first frame that is not black; true when it was surely taken within
# the show's first 10 seconds, which belong to the opening picture: the
# show's clock starts after Wine has started the program, so a screenshot
# finished less than 10 s after starting Wine is one. On a loaded machine the
# start can take longer; the callers then start the show again.
capture_first_frame() {  # output file
    local try age
    for try in $(seq 1 40); do
        import -window root "$1"
        age=$(show_age)
        [ "$(mean_rgb "$1")" = "0 0 0" ] || break
        sleep 0.25
    done
    echo "first frame taken by ${age} s after starting the program"
    [ "${age%.*}" -lt 10 ]
}

# Tries this many starts to catch the opening picture.
START_TRIES=3

# --- 2. a picture that cannot be loaded ends the start with a box ---
phase "Start without Data/Main.bmp"
package_without_main=$work/package-without-main
cp -r "$package" "$package_without_main"
rm -f "$package_without_main/Data/Main.bmp"
start_show "$package_without_main"
if box=$(wait_for_window ERROR 30); then
    # The display is closed before its box is shown.
    if xdotool search --onlyvisible --name '^Vup$' >/dev/null 2>&1; then
        fail "the display window is still shown under the \"Initialization Failed.\" box"
    fi
    press_key "$box" Return
    wait_for_exit 20
    status=$?
    [ $status = 1 ] ||
        fail "status $status after the \"Initialization Failed.\" box (want 1; 124: did not end)"
else
    fail "no ERROR box without Data/Main.bmp; windows: $(window_titles | tr '\n' ',')"
fi
stop_show

# --- 3. fullscreen on an 800x600 screen ---
run_fullscreen() {
    phase "Fullscreen run on an 800x600 screen"
    local window status try caught=0
    for try in $(seq 1 $START_TRIES); do
        start_show "$package"
        if ! window=$(wait_for_window Vup 30); then
            fail "fullscreen run: no window titled Vup; windows: $(window_titles | tr '\n' ',')"
            return
        fi
        capture_first_frame "$work/fullscreen.png" && caught=1 && break
    done
    echo "window: $(xdotool getwindowgeometry "$window" | tr '\n' ' ')"
    if [ $caught = 1 ]; then
        check_opening_picture "$work/fullscreen.png" 0 0
    else
        fail "fullscreen run: no frame within the opening picture's 10 s in $START_TRIES starts"
    fi
    if [ -n "${VUP_WINE_SHOTS:-}" ]; then
        cp "$work/fullscreen.png" "$VUP_WINE_SHOTS/"
    fi
    # F1 closes the display (any failed release would stop here on its box)
    # and opens it again, windowed, under the second title.
    press_key "$window" F1
    if window=$(wait_for_window Plomvixtorandebu 30); then
        press_key "$window" Escape
    else
        fail "no window titled Plomvixtorandebu after F1; windows: $(window_titles | tr '\n' ',')"
    fi
    wait_for_exit 20
    status=$?
    [ $status = 0 ] || fail "fullscreen run: exit status $status after F1 and Escape (want 0)"
    stop_show
}

# --- 4. refused mode on a 1024x768 screen, windowed by answering Yes ---
run_windowed_fallback() {
    phase "Windowed fallback on a 1024x768 screen"
    # The prefix's desktop process is tied to the old X server: end it first.
    stop_wine
    stop_x
    start_xvfb 1024x768
    start_wine || exit 1
    local question window status try caught=0
    for try in $(seq 1 $START_TRIES); do
        start_show "$package"
        if ! question=$(wait_for_window "Kavu GL" 30); then
            fail "no \"Kavu GL\" question on a 1024x768 screen; windows: $(window_titles | tr '\n' ',')"
            return
        fi
        import -window root "$work/question.png"
        press_key "$question" Return  # Yes is the default button
        if ! window=$(wait_for_window Vup 30); then
            fail "windowed run: no window titled Vup after Yes; windows: $(window_titles | tr '\n' ',')"
            return
        fi
        capture_first_frame "$work/windowed.png" && caught=1 && break
    done
    eval "$(xdotool getwindowgeometry --shell "$window")"
    echo "window: ${WIDTH}x${HEIGHT} at $X,$Y"
    # Windowed: the window sits at the screen's corner, so its frame and
    # caption push the 800x600 client area (the X window Wine shows) right and
    # down.
    if [ "$WIDTH" != 800 ] || [ "$HEIGHT" != 600 ] || [ "$X" -le 0 ] || [ "$Y" -le "$X" ]; then
        fail "windowed run: client area ${WIDTH}x${HEIGHT} at $X,$Y"
    fi
    if [ $caught = 1 ]; then
        check_opening_picture "$work/windowed.png" "$X" "$Y"
    else
        fail "windowed run: no frame within the opening picture's 10 s in $START_TRIES starts"
    fi
    if [ -n "${VUP_WINE_SHOTS:-}" ]; then
        cp "$work/question.png" "$work/windowed.png" "$VUP_WINE_SHOTS/"
    fi
    press_key "$window" Escape
    wait_for_exit 20
    status=$?
    [ $status = 0 ] || fail "windowed run: exit status $status after Escape (want 0)"
    stop_show
}

run_fullscreen
run_windowed_fallback

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed; show log:"
    tail -20 "$work/show.log"
    exit 1
fi
finish_checks "the Windows build under Wine"
