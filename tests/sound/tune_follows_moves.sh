# The live tune follows the show's clock moved back, forward, paused and
# resumed, as a sound server of the test's own plays it
# (tune_follows_moves.py). Arguments: vup_tune_moves, vup-render-tune.
. "$(dirname "$0")/../support/skip_or_fail.sh"
. "$(dirname "$0")/../../scripts/lib/sound_server.sh"
moves=$1 render=$2
if ! command -v pulseaudio >/dev/null || ! command -v parec >/dev/null; then
    skip_check "the tune as heard: no PulseAudio server or parec"
    finish_checks "nothing heard"
fi
dir=$(mktemp -d /tmp/vup-tune-moves.XXXXXX)
SOUND_SERVER_DIR=$dir/sound
trap 'stop_sound_server; rm -rf "$dir"' EXIT
/usr/bin/python3 "$(dirname "$0")/sound_check.py" tune "$dir/clicks.mid" &&
    "$render" "$dir/clicks.mid" "$dir/rendering.wav" >/dev/null || exit 1
start_sound_server
/usr/bin/python3 "$(dirname "$0")/tune_follows_moves.py" "$moves" "$dir/clicks.mid" "$dir/rendering.wav" || exit 1
finish_checks "the tune as heard follows the show moved back, forward, paused and resumed"
