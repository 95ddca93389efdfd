# The show started where its pictures are missing, empty, truncated or
# corrupt: each gives its own message (in a box answered by keyboard, and on
# stderr), then "Initialization Failed.", and the show exits 1 with no window
# left. With VUP_ASAN_BINARY (the show built with AddressSanitizer) the same
# starts run again under LeakSanitizer: nothing may leak and no sanitizer may
# report.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../sanitizers/sanitizer_env.sh"
VUP=$1
ROOT=$(cd "$(dirname "$0")/../.." && pwd)

# A fresh working directory with copies of the show's files.
make_show_dir() {
    local dir="$E2E_TMP/show.$1"
    mkdir -p "$dir"
    cp -r "$ROOT/Data" "$ROOT/data" "$dir/"
    echo "$dir"
}

# Each case: the picture to break, how, and the loader's box text (empty when
# the loader shows none: a missing picture is skipped silently).
break_picture() {
    local dir=$1 how=$2 picture="$1/$3"
    case "$how" in
        missing) rm -f "$picture" ;;
        empty) : >"$picture" ;;
        truncated) truncate -s 1000 "$picture" ;;
        # The bitmap header's size field says 108 (a header kind not taken).
        header108) printf '\x6c\x00\x00\x00' | dd of="$picture" bs=1 seek=14 conv=notrunc status=none ;;
        # A directory where the picture should be: it opens but cannot be mapped.
        directory) rm -f "$picture" && mkdir "$picture" ;;
        *) fail "unknown breakage $how" ;;
    esac
}

CASES=(
    "missing|Data/Main.bmp|"
    "empty|Data/Greetz.bmp|Failed to open DIB file Data/Greetz.bmp."
    "truncated|Data/VOLVO.bmp|Image file conversion error."
    "header108|Data/klump.bmp|Unknown DIB file format."
    "directory|Data/Main.bmp|Failed to open DIB file Data/Main.bmp."
)

# run_case BINARY LABEL HOW PICTURE TEXT [sanitized]
run_case() {
    local binary=$1 label=$2 how=$3 picture=$4 text=$5 sanitized=${6:-}
    local dir box limit=20
    dir=$(make_show_dir "$label")
    break_picture "$dir" "$how" "$picture"
    [ -n "$sanitized" ] && limit=90

    cd "$dir" || fail "cannot enter $dir"
    if [ -n "$sanitized" ]; then
        start_sanitized_vup "$binary" "$ROOT"
    else
        start_vup "$binary"
    fi
    cd "$ROOT" || fail "cannot return to $ROOT"

    if [ -n "$text" ]; then
        box=$(wait_window Error "$limit") || fail "$label: no loader box (stderr: $(cat "$E2E_TMP/vup.err"))"
        grep -qF "vup: Error: $text" "$E2E_TMP/vup.err" || fail "$label: loader text missing"
        press "$box" Return
    fi
    box=$(wait_window ERROR "$limit") ||
        fail "$label: no \"Initialization Failed.\" box (stderr: $(cat "$E2E_TMP/vup.err"))"
    grep -qF "vup: ERROR: Initialization Failed." "$E2E_TMP/vup.err" ||
        fail "$label: \"Initialization Failed.\" missing"
    press "$box" Return
    wait_exit "$limit"
    [ "$EXIT_STATUS" = "1" ] || fail "$label: exit status $EXIT_STATUS, expected 1 (stderr: $(cat "$E2E_TMP/vup.err"))"
    [ -z "$(window_id Vup)" ] || fail "$label: a display window was left"

    # The loader's box came first, and each message was given once.
    local lines
    lines=$(grep -c '^vup: ' "$E2E_TMP/vup.err")
    if [ -n "$text" ]; then
        [ "$lines" = 2 ] || fail "$label: $lines messages, expected 2"
        grep '^vup: ' "$E2E_TMP/vup.err" | head -n 1 | grep -qF "$text" ||
            fail "$label: the loader's message was not first"
    else
        [ "$lines" = 1 ] || fail "$label: $lines messages, expected only \"Initialization Failed.\""
    fi
    if [ -n "$sanitized" ] && sanitizer_reported; then
        cat "$E2E_TMP/vup.err" >&2
        fail "$label: sanitizer report"
    fi
    rm -rf "$dir"
}

start_xvfb 800x600
for entry in "${CASES[@]}"; do
    IFS='|' read -r how picture text <<<"$entry"
    run_case "$VUP" "$how" "$how" "$picture" "$text"
done
echo "broken pictures: ${#CASES[@]} cases, each reported and exited 1"

if [ -n "${VUP_ASAN_BINARY:-}" ] && [ -x "${VUP_ASAN_BINARY}" ]; then
    for entry in "${CASES[@]}"; do
        IFS='|' read -r how picture text <<<"$entry"
        run_case "$VUP_ASAN_BINARY" "asan-$how" "$how" "$picture" "$text" sanitized
    done
    echo "under LeakSanitizer: ${#CASES[@]} cases, no leak and no sanitizer report"
else
    skip_check "the leak check: VUP_ASAN_BINARY is not set to a sanitized vup" \
        "(cmake -DVUP_SANITIZE=ON; scripts/test sets it to build-asan/vup)"
fi
finish_checks "broken pictures"
