# The command line: --help and --version answer without touching the display,
# a bad option or a --from that is no show time fails with status 2 without
# touching it either, no display at all fails with status 1 and says so, and
# --window on a 1024 x 768 screen (where fullscreen is refused) opens an
# 800 x 600 window without the fallback question; F1 still switches.
. "$(dirname "$0")/lib.sh"
VUP=$1

# The X server logs every client that connects (-audit 4), so a run that
# must not touch the display can be shown to have made no connection.
mkdir "$E2E_TMP/bin"
printf '#!/bin/sh\nexec %s -audit 4 "$@"\n' "$(command -v Xvfb)" >"$E2E_TMP/bin/Xvfb"
chmod +x "$E2E_TMP/bin/Xvfb"
PATH="$E2E_TMP/bin:$PATH" start_xvfb 1024x768
connections() {
    grep -c "connected from" "$E2E_TMP/xvfb.log"
}
xwininfo -root >/dev/null
before=$(connections)
[ "$before" -ge 1 ] || fail "the server does not log its clients"

"$VUP" --help >"$E2E_TMP/out" 2>"$E2E_TMP/err"
status=$?
[ "$status" = 0 ] || fail "--help exited $status"
grep -q "^Usage: vup" "$E2E_TMP/out" && grep -q -- "--window" "$E2E_TMP/out" &&
    grep -q "Exit status" "$E2E_TMP/out" || fail "--help printed: $(cat "$E2E_TMP/out")"
[ -s "$E2E_TMP/err" ] && fail "--help wrote to stderr: $(cat "$E2E_TMP/err")"

"$VUP" --version >"$E2E_TMP/out" 2>&1
status=$?
[ "$status" = 0 ] || fail "--version exited $status"
# A version as git names it (cmake/Version.cmake): 1.2.0, or 1.2.0+5.g1a2b3c4d.
grep -qxE "vup [0-9]+(\.[0-9]+)*(\+[0-9]+\.g[0-9a-f]+)?" "$E2E_TMP/out" ||
    fail "--version printed: $(cat "$E2E_TMP/out")"

"$VUP" --bogus >"$E2E_TMP/out" 2>"$E2E_TMP/err"
status=$?
[ "$status" = 2 ] || fail "--bogus exited $status, not 2"
[ "$(head -n 1 "$E2E_TMP/err")" = "vup: unrecognized option '--bogus'" ] ||
    fail "--bogus said: $(head -n 1 "$E2E_TMP/err")"
sed -n 2p "$E2E_TMP/err" | grep -q "^Usage: vup" || fail "no usage on stderr after --bogus"
[ -s "$E2E_TMP/out" ] && fail "--bogus wrote to stdout"

"$VUP" --from abc >"$E2E_TMP/out" 2>"$E2E_TMP/err"
status=$?
[ "$status" = 2 ] && [ "$(head -n 1 "$E2E_TMP/err")" = "vup: --from wants seconds from 0 to 85, not 'abc'" ] &&
    sed -n 2p "$E2E_TMP/err" | grep -q "^Usage: vup" && [ ! -s "$E2E_TMP/out" ] ||
    fail "--from abc exited $status and said: $(cat "$E2E_TMP/err")"

# No display at all: one line that says so and status 1, not a show played
# where no one sees it.
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$VUP" >"$E2E_TMP/out" 2>"$E2E_TMP/err"
status=$?
[ "$status" = 1 ] || fail "without a display vup exited $status, not 1"
grep -q "^vup: no display to show on" "$E2E_TMP/err" ||
    fail "without a display vup said: $(cat "$E2E_TMP/err")"

sleep 0.5
[ "$(connections)" = "$before" ] || fail "--help, --version, --bogus or --from abc connected to the display"

# --window: the show in a window, no question.
"$VUP" --window >"$E2E_TMP/vup.out" 2>"$E2E_TMP/vup.err" &
VUP_PID=$!
id=$(wait_window Vup) || fail "no window titled Vup"
geometry=$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
[ "$geometry" = "800x600" ] || fail "client area is $geometry, not 800x600"
sleep 1
screenshot "$E2E_TMP/window.png"
[ -z "$(window_id "Kavu GL")" ] && ! grep -q "Windowed Mode" "$E2E_TMP/vup.err" ||
    fail "the fallback question was asked"
# F1 asks for fullscreen, which this screen refuses: the question comes now.
press "$id" F1
box=$(wait_window "Kavu GL") || fail "F1 did not try fullscreen"
press "$box" Return
id=$(wait_window Plomvixtorandebu) || fail "no window after F1 and Yes"
press "$id" Escape
wait_exit 5
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS after Escape"
echo "PASS: --help, --version, a bad option and a bad --from leave the display alone; --window opens a window"
