# Soak: the whole 85-second show with F1 pressed 50 times (each press closes
# the display and opens it again in the other mode) and ten minimise/restore
# cycles. The show must end by itself with status 0; its resident memory,
# threads and open files must not keep growing with re-opens (below); and the
# tune is never doubled: the FluidSynth layer (VUP_MUSIC_STATS) never holds
# two synths at once, and makes one for the whole show: a re-open keeps the
# loaded song. With VUP_ASAN_BINARY (the show
# built with AddressSanitizer) a shorter run follows under LeakSanitizer: ten
# re-opens, two minimise/restore cycles and Escape leave no leak.
#
# Resident memory, threads (/proc/PID/task) and open files (/proc/PID/fd) are
# read after every tenth re-open, once the tune has loaded again. The first
# re-opens raise the memory (the windowed mode and the later scenes' first
# frames, the allocator's pools), and the allocator grows in steps that then
# settle: one fresh machine read 117 MB after the first open, 128 MB after
# 10, 20 and 30 re-opens and 141 MB after 40, 50 and 60. So the first open is
# only a warm-up, and the trend is the least-squares slope over re-opens 10
# to 50, which must stay below 1,024 kB per re-open. One such step in that
# span fits as at most about 400 kB per re-open; the smallest leak this is
# for, one display's pictures left behind as GL textures, is about 2.5 MB per
# re-open (1.9 MB of pictures, stored with alpha). Heap leaks of any size are
# LeakSanitizer's part. Threads and open files stayed exactly level over
# re-opens 10 to 50 in every run so far (6 and 9); their slopes must stay
# below 0.05 per re-open, which one thread or descriptor left behind by every
# tenth re-open (0.1) exceeds.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../sanitizers/sanitizer_env.sh"
VUP=$1
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
TOGGLES=50
CYCLES=10
SHOW_MS=$(show_end_ms "$VUP") || exit $?
RSS_SLOPE_CEILING_KB=1024
COUNT_SLOPE_CEILING=0.05

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$VUP_PID/status"; }
# steady_count DIR: entries of /proc/PID/DIR, the fewest of three reads over
# 0.4 s: a thread or descriptor on its way out (the tune's loader finishing)
# is not counted, a leaked one stays.
steady_count() {
    local fewest count
    fewest=$(ls "/proc/$VUP_PID/$1" | wc -l)
    for _ in 1 2; do
        sleep 0.2
        count=$(ls "/proc/$VUP_PID/$1" | wc -l)
        [ "$count" -lt "$fewest" ] && fewest=$count
    done
    echo "$fewest"
}
threads() { steady_count task; }
open_files() { steady_count fd; }
stat_value() { awk -v key="$1" '$1 == key {print $2}' "$STATS" 2>/dev/null; }
elapsed_ms() { echo $(($(now_ms) - START_MS)); }

# Waits, at the latest until the given show time, for the current song to
# have its instruments (its player exists). Without a SoundFont there is no
# song and nothing to wait for.
wait_song_loaded() {
    local until_ms=$1
    [ "$MUSIC" = 1 ] || return 0
    while [ "$(elapsed_ms)" -lt "$until_ms" ]; do
        [ "$(stat_value players)" = 1 ] && return 0
        sleep 0.1
    done
    return 1
}

# press_f1 WINDOW: presses F1 in the window (held 0.15 s, as lib.sh's press)
# until the show closes that window. Shorter than X's auto-repeat delay, so
# no repeated key-down can reach the next window; pressed again only if the
# show has not acted on it within 3 s.
press_f1() {
    local old=$1
    [ -n "$old" ] || return 1
    for _ in 1 2 3; do
        press "$old" F1
        for _ in $(seq 1 150); do
            xwininfo -id "$old" >/dev/null 2>&1 || return 0
            sleep 0.02
        done
    done
    return 1
}

# next_window OLD: the window the show opened after closing OLD, once it has
# stayed for a moment: a key pressed while the show is still inside the open
# would be released before it ever looks, and the show may re-open once more
# meanwhile (see display_opens).
next_window() {
    local old=$1 window latest
    for _ in $(seq 1 150); do
        window=$(window_id Plomvixtorandebu)
        if [ -n "$window" ] && [ "$window" != "$old" ]; then
            sleep 0.2
            latest=$(window_id Plomvixtorandebu)
            if [ "$latest" = "$window" ]; then
                echo "$window"
                return 0
            fi
        fi
        sleep 0.1
    done
    return 1
}

# Opens the X server has seen: each open creates one 800 x 600 window. A
# press is usually one re-open, but when the new window takes the focus
# while F1 is still held, X reports the key down there too and the show
# (rightly) toggles again; so the tune's count is checked against the opens
# that happened, not against the presses.
display_opens() {
    grep -c 'width 800, height 600' "$E2E_TMP/xev.log"
}

# Unmapping and mapping the window reach the show as minimise and restore.
minimise_and_restore() {
    xdotool windowunmap "$1"
    sleep 0.2
    [ "$(map_state "$1")" = IsUnMapped ] || fail "window $1 not minimised"
    xdotool windowmap "$1"
    sleep 0.2
    [ "$(map_state "$1")" = IsViewable ] || fail "window $1 not restored"
}

# slope COLUMN: the least-squares slope of that column of SAMPLES against
# the re-open count (column 1), per re-open.
slope() {
    awk -v c="$1" 'NF == 4 { n++; sx += $1; sy += $c; sxx += $1 * $1; sxy += $1 * $c }
        END { if (n < 2) exit 1; printf "%.3f\n", (n * sxy - sx * sy) / (n * sxx - sx * sx) }' \
        <<<"$SAMPLES"
}

# judge_trend COLUMN WHAT CEILING: fails when the column grows by CEILING or
# more per re-open.
judge_trend() {
    local per_reopen
    per_reopen=$(slope "$1") || fail "no samples of $2"
    echo "$2 after re-opens 10 to 50: $(awk -v c="$1" 'NF { print $c }' <<<"$SAMPLES" |
        paste -sd ' ') ($per_reopen per re-open, ceiling $3)"
    is_below "$per_reopen" "$3" ||
        fail "$2 grew $per_reopen per re-open"
}

start_xvfb 800x600
xev -root -event substructure >"$E2E_TMP/xev.log" 2>&1 &
STATS="$E2E_TMP/music.stats"
export VUP_MUSIC_STATS="$STATS"
START_MS=$(now_ms)
start_vup "$VUP"
window=$(wait_window Vup 20) || fail "no window titled Vup"
# Fifty re-opens have to fit into the show's 85 s on a loaded machine too.
ahead_of_other_work "$VUP_PID" "$X_SERVER_PID"

# The FluidSynth layer publishes its counts once it starts a song; with no
# SoundFont installed it never does, and the show plays silently.
MUSIC=0
for _ in $(seq 1 50); do
    [ -f "$STATS" ] && MUSIC=1 && break
    sleep 0.1
done
[ "$MUSIC" = 1 ] || skip_check "the tune checks: no SoundFont, the show is silent"
wait_song_loaded 30000 || fail "the tune did not load within 30 s of the start"
echo "after the first open ($(elapsed_ms) ms): VmRSS $(rss_kb) kB, $(threads) threads," \
    "$(open_files) open files"
SAMPLES="" # "RE-OPENS RSS_KB THREADS FILES" after every tenth re-open

cycles=0
for toggle in $(seq 1 "$TOGGLES"); do
    press_f1 "$window" || fail "F1 number $toggle did not close the display"
    window=$(next_window "$window") ||
        fail "no new window after F1 number $toggle ($(elapsed_ms) ms into the show)"
    if [ "$MUSIC" = 1 ]; then
        peak=$(stat_value peak_synths)
        [ -n "$peak" ] || fail "no synth count (peak_synths) after F1 number $toggle"
        [ "$peak" -le 1 ] || fail "$peak synths alive at once after F1 number $toggle"
    fi
    if [ $((toggle % 10)) = 0 ]; then
        wait_song_loaded $((SHOW_MS - 1000)) ||
            fail "the tune did not load again after F1 number $toggle"
        sample="$toggle $(rss_kb) $(threads) $(open_files)"
        SAMPLES+="$sample"$'\n'
        echo "after $toggle re-opens ($(elapsed_ms) ms): VmRSS, threads, open files: ${sample#* }"
    fi
    if [ $((toggle % (TOGGLES / CYCLES))) = 0 ]; then
        minimise_and_restore "$window"
        cycles=$((cycles + 1))
    fi
done
last_toggle_ms=$(elapsed_ms)
echo "$TOGGLES re-opens and $cycles minimise/restore cycles done $last_toggle_ms ms into the show"
[ "$last_toggle_ms" -lt $((SHOW_MS - 1000)) ] ||
    fail "the re-opens took until $last_toggle_ms ms, too late to measure before the show ends"

wait_exit $(((SHOW_MS + 20000 - $(elapsed_ms)) / 1000))
[ "$EXIT_STATUS" = 0 ] || fail "exit status $EXIT_STATUS at $(elapsed_ms) ms, expected 0 after the show's end"
end_ms=$(elapsed_ms)
[ "$end_ms" -ge "$SHOW_MS" ] || fail "the show ended early, at $end_ms ms"
echo "the show ended by itself at $end_ms ms with status 0"

judge_trend 2 "resident memory (kB)" "$RSS_SLOPE_CEILING_KB"
judge_trend 3 "threads" "$COUNT_SLOPE_CEILING"
judge_trend 4 "open files" "$COUNT_SLOPE_CEILING"
opens=$(display_opens)
echo "display opens: $opens for $TOGGLES presses of F1"
[ "$opens" -ge $((TOGGLES + 1)) ] || fail "only $opens display opens for $TOGGLES presses of F1"
if [ "$MUSIC" = 1 ]; then
    made=$(stat_value synths_made)
    peak=$(stat_value peak_synths)
    echo "synths: $made made, at most $peak alive at once, $(stat_value synths) left at exit"
    [ "$peak" = 1 ] || fail "at most $peak synths alive at once, expected 1"
    [ "$made" = 1 ] ||
        fail "$made synths made for $opens display opens, expected 1 (a re-open keeps the song)"
    [ "$(stat_value synths)" = 0 ] || fail "synths left at exit"
fi

if [ -n "${VUP_ASAN_BINARY:-}" ] && [ -x "${VUP_ASAN_BINARY}" ]; then
    unset VUP_MUSIC_STATS
    start_sanitized_vup "$VUP_ASAN_BINARY" "$ROOT"
    window=$(wait_window Vup 60) || fail "sanitized show: no window"
    for toggle in $(seq 1 10); do
        press_f1 "$window" || fail "sanitized show: F1 number $toggle did not close the display"
        window=$(next_window "$window") ||
            fail "sanitized show: no new window after F1 number $toggle"
        [ $((toggle % 5)) = 0 ] && minimise_and_restore "$window"
    done
    press "$window" Escape
    wait_exit 60
    if sanitizer_reported; then
        cat "$E2E_TMP/vup.err" >&2
        fail "sanitized show: sanitizer report after 10 re-opens"
    fi
    [ "$EXIT_STATUS" = 0 ] || fail "sanitized show: exit status $EXIT_STATUS after Escape"
    echo "under LeakSanitizer: 10 re-opens, 2 minimise/restore cycles and Escape, no leak"
else
    skip_check "the leak check: VUP_ASAN_BINARY is not set to a sanitized vup"
fi
finish_checks "the soak"
