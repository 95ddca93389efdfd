# The measuring path of tests/sound/sound_check.py measured with known
# captures and a sound server of its own (sound_check_test.py).
. "$(dirname "$0")/../support/skip_or_fail.sh"
. "$(dirname "$0")/../../scripts/lib/servers.sh"
dir=$(mktemp -d /tmp/vup-sound-check.XXXXXX)
SOUND_SERVER_DIR=$dir/sound
trap 'stop_sound_server; rm -rf "$dir"' EXIT
rendering=- prove=-
if [ -x "${VUP_RENDER_TUNE:-}" ]; then
    /usr/bin/python3 "$(dirname "$0")/sound_check.py" tune "$dir/clicks.mid" &&
        "$VUP_RENDER_TUNE" "$dir/clicks.mid" "$dir/rendering.wav" >/dev/null || exit 1
    rendering=$dir/rendering.wav
else
    skip_check "known captures: VUP_RENDER_TUNE does not name vup-render-tune"
fi
if need_servers --for "the proof's refusal of a wrong clock" pulse; then
    start_sound_server
    prove=prove
fi
/usr/bin/python3 "$(dirname "$0")/sound_check_test.py" "$rendering" "$prove" || exit 1
finish_checks "the measuring path reads known offsets and refuses a wrong clock"
