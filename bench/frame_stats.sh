# Sourced by the bench scripts that read the program's VUP_FRAME_STATS file.

# stat_value FILE KEY: one value of a VUP_FRAME_STATS file.
stat_value() {
    awk -v key="$2" '$1 == key { print $2 }' "$1" 2>/dev/null || true
}
