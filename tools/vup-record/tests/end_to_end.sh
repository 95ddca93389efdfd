#!/usr/bin/env bash
# vup-record end to end, from the repository root (where Data/ and data/ are):
# stills and recordings agree frame for frame, runs repeat byte for byte,
# --from simulates what it skips, bad input fails with one line, an
# interrupted recording leaves no partial file, and an mp4 has its streams
# and the tune's sound.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/../../../tests/support/skip_or_fail.sh"
recorder=$1
work=$(mktemp -d /tmp/vup-record-e2e-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Width and height from a PNG's header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'
}

# A still at 5 s.
if "$recorder" --frame 5 "$work/still.png" 2>"$work/err"; then
    [ "$(png_size "$work/still.png")" = "800x600" ] || fail "still is $(png_size "$work/still.png"), not 800x600"
else
    fail "--frame 5 failed: $(cat "$work/err")"
fi

# The same half second twice: identical frames.
for run in a b; do
    "$recorder" --from 0 --to 0.5 --fps 10 --out "$work/$run/" 2>"$work/err" ||
        fail "frame folder run $run failed: $(cat "$work/err")"
done
count=$(ls "$work/a" | wc -l)
[ "$count" = 5 ] || fail "expected 5 frames for 0.5 s at 10 fps, got $count: $(ls "$work/a")"
for frame in "$work"/a/frame_*.png; do
    cmp -s "$frame" "$work/b/$(basename "$frame")" || fail "$(basename "$frame") differs between runs"
done
ls -A "$work/a" | grep -q partial && fail "temporary files left in the frame folder"

# A still is the frame a recording at the same rate has at that time, and a
# recording that starts later simulates what it skips.
"$recorder" --fps 10 --frame 0.3 "$work/still03.png" 2>"$work/err" || fail "--frame 0.3 failed: $(cat "$work/err")"
cmp -s "$work/still03.png" "$work/a/frame_00003.png" || fail "still at 0.3 s differs from frame 3"
"$recorder" --from 0.2 --to 0.5 --fps 10 --out "$work/c/" 2>"$work/err" || fail "--from 0.2 failed: $(cat "$work/err")"
cmp -s "$work/c/frame_00000.png" "$work/a/frame_00002.png" || fail "--from 0.2 frame 0 differs from frame 2"
[ "$(ls "$work/c" | wc -l)" = 3 ] || fail "--from 0.2 --to 0.5 gave $(ls "$work/c" | wc -l) frames, not 3"

# Render times: one line per recorded frame under the header, with its show
# time.
"$recorder" --from 0.2 --to 0.5 --fps 10 --out "$work/d/" --frame-times "$work/times.csv" 2>"$work/err" ||
    fail "--frame-times failed: $(cat "$work/err")"
times=$(cut -d, -f1,2 "$work/times.csv" | tr '\n' ' ')
[ "$times" = "frame,show_ms 0,200 1,300 2,400 " ] || fail "--frame-times wrote: $times"

# A resized picture.
"$recorder" --frame 1 "$work/small.png" --size 320x240 2>"$work/err" || fail "--size failed: $(cat "$work/err")"
[ "$(png_size "$work/small.png")" = "320x240" ] || fail "--size 320x240 gave $(png_size "$work/small.png")"

# Bad options and unwritable outputs: non-zero status, one line, no file.
expect_refusal() {
    if "$recorder" "$@" >"$work/out" 2>"$work/err"; then
        fail "accepted: $*"
    elif [ "$(wc -l <"$work/err")" != 1 ]; then
        fail "not one line for $*: $(cat "$work/err")"
    fi
}
expect_refusal --fps 0 --out "$work/x.mp4"
expect_refusal --bogus
expect_refusal --frame 5 /nonexistent-folder/x.png
expect_refusal --out /nonexistent-folder/x.mp4
expect_refusal --out /nonexistent-folder/sub/
SOURCE_DATE_EPOCH=yesterday expect_refusal --out "$work/dated.mp4" --to 0.1
"$recorder" --help | grep -q -- "--frame S OUT.png" || fail "--help does not describe --frame"

# An interrupted recording keeps nothing unfinished under a final name.
mkdir -p "$work/interrupted"
"$recorder" --out "$work/interrupted/show.mp4" --fps 30 2>"$work/err" &
pid=$!
sleep 4
kill -INT "$pid"
wait "$pid"
status=$?
[ "$status" = 130 ] || fail "interrupted recording exited $status, not 130: $(cat "$work/err")"
leftovers=$(ls -A "$work/interrupted")
[ -z "$leftovers" ] || fail "interrupted recording left: $leftovers"

# A two-second mp4: one H.264 and one AAC stream, 60 frames, 2 s long,
# dated by SOURCE_DATE_EPOCH, and the tune audible: its mean level (ffmpeg's
# volumedetect) above -70 dB. Silence encodes as -91 dB; the tune's first two
# seconds measured -46 dB with the TimGM6mb SoundFont.
if ! command -v ffmpeg >/dev/null || ! command -v ffprobe >/dev/null; then
    skip_check "the mp4: ffmpeg/ffprobe not installed (apt-get install ffmpeg)"
else
    if SOURCE_DATE_EPOCH=1700000000 "$recorder" --out "$work/show.mp4" --from 0 --to 2 --fps 30 2>"$work/err"; then
        created=$(ffprobe -v error -show_entries format_tags=creation_time -of csv=p=0 "$work/show.mp4")
        [ "$created" = 2023-11-14T22:13:20.000000Z ] || fail "the mp4 is dated '$created', not by SOURCE_DATE_EPOCH"
        streams=$(ffprobe -v error -show_entries stream=codec_type,codec_name -of csv=p=0 "$work/show.mp4" | sort | tr '\n' ' ')
        [ "$streams" = "aac,audio h264,video " ] || fail "mp4 streams are: $streams"
        frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$work/show.mp4")
        [ "$frames" = 60 ] || fail "mp4 has $frames video frames, not 60"
        for stream in v:0 a:0; do
            duration=$(ffprobe -v error -select_streams "$stream" -show_entries stream=duration -of csv=p=0 "$work/show.mp4")
            awk -v d="$duration" 'BEGIN { exit !(d > 1.95 && d < 2.05) }' || fail "$stream lasts $duration s, not 2"
        done
        level=$(ffmpeg -hide_banner -nostats -i "$work/show.mp4" -map 0:a -af volumedetect -f null - 2>&1 |
            sed -nE 's/.*mean_volume: (-?[0-9.]+) dB.*/\1/p')
        if grep -q "the audio is silent" "$work/err"; then
            skip_check "the mp4's sound: $(cat "$work/err")"
        elif ! awk -v l="$level" 'BEGIN { exit !(l != "" && l > -70) }'; then
            fail "the mp4's sound is at '${level}' dB, not above -70 dB"
        fi
    else
        fail "mp4 recording failed: $(cat "$work/err")"
    fi

    # The tune starts at show time 0: the test tune's first clicks, struck at
    # 1 and 1.5 s, begin in the recording where the tune's own rendering puts
    # them (a wood block sounds 3 to 4 ms after it is struck), to the
    # millisecond.
    sound_check=(/usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../../../tests/sound/sound_check.py")
    mkdir -p "$work/clicks/data"
    ln -s "$(pwd)/Data" "$work/clicks/Data"
    "${sound_check[@]}" tune "$work/clicks/data/tulmor.mid"
    if (recording=$(realpath "$recorder") && cd "$work/clicks" && "$recording" --out show.mp4 --from 0 --to 2.5 --fps 30 2>"$work/err") &&
        ffmpeg -v error -i "$work/clicks/show.mp4" -map 0:a -ac 1 -f wav "$work/clicks/heard.wav"; then
        onsets=$("${sound_check[@]}" onsets "$work/clicks/heard.wav")
        echo "$onsets" | awk '{ exit !(NF == 2 && $1 > 1.000 && $1 < 1.006 && $2 > 1.500 && $2 < 1.506) }' ||
            fail "the recording's clicks begin at '$onsets' s, not just after 1 and 1.5 s"
    else
        fail "the click tune's recording failed: $(cat "$work/err")"
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
finish_checks "vup-record end to end"
