# Sourced by the bench scripts that read the program's VUP_FRAME_STATS file.

# stop_show: ends the show the script started in the background (its process
# id in show_pid), if one still runs.
stop_show() {
    if [ -n "${show_pid:-}" ]; then
        kill "$show_pid" 2>/dev/null || true
        wait "$show_pid" 2>/dev/null || true
    fi
    show_pid=""
}

# stat_value FILE KEY: one value of a VUP_FRAME_STATS file.
stat_value() {
    awk -v key="$2" '$1 == key { print $2 }' "$1" 2>/dev/null || true
}
