# Environment for running the show built with AddressSanitizer under
# LeakSanitizer in the end-to-end tests; sourced by them.
#
# sanitizer_env BINARY ROOT prints NAME=VALUE lines for env(1):
# - Mesa's software rasteriser stays loaded for the whole run (LD_PRELOAD,
#   after the sanitizer runtime, which must come first): when it is unloaded
#   with the last GL context, blocks that only its globals pointed to would be
#   reported from an "<unknown module>" that no suppression can name;
# - a leak exits 86, so that it cannot pass for the show's own statuses;
# - the reviewed suppressions (lsan.supp) unless LSAN_OPTIONS is already set.
sanitizer_env() {
    local binary=$1 root=$2 asan swrast preload=""
    asan=$(ldd "$binary" | awk '/libasan/ {print $3; exit}')
    swrast=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n 1)
    [ -n "$asan" ] && [ -n "$swrast" ] && preload="$asan $swrast"
    echo "LD_PRELOAD=$preload"
    echo "ASAN_OPTIONS=detect_leaks=1:exitcode=86:abort_on_error=0"
    echo "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    echo "LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0}"
}

# start_sanitized_vup BINARY ROOT: like start_vup (lib.sh), under the above.
start_sanitized_vup() {
    local -a env_args
    mapfile -t env_args < <(sanitizer_env "$1" "$2")
    env "${env_args[@]}" "$1" >"$E2E_TMP/vup.out" 2>"$E2E_TMP/vup.err" &
    VUP_PID=$!
}

# sanitizer_reported: true when the last run's stderr holds a sanitizer report.
sanitizer_reported() {
    grep -qE 'LeakSanitizer|AddressSanitizer|runtime error' "$E2E_TMP/vup.err"
}
