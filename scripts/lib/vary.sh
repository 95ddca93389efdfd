# Sourced by the checks that build twice and compare (scripts/release
# --check, tests/release/reproducible_test.sh): the second build runs under
# another machine's habits, so that anything of them that reaches an output
# shows as a difference.
#
# vup_varied DIR COMMAND...: runs COMMAND (a program, not a function) with
# the time zone Pacific/Kiritimati (UTC+14, a different date from UTC's for
# 14 hours of the day), the German locale (a decimal comma, its own
# collation: "a A b B"; made with localedef into DIR/locale, leaving the
# system's locales alone), umask 077 (whatever it writes, no one else may
# read) and the host name vup-elsewhere.example (in a UTS namespace of its
# own, where root or user namespaces allow one).
vup_varied() {
    local dir=$1 namespace=()
    shift
    if [ ! -d "$dir/locale/de_DE.UTF-8" ]; then
        mkdir -p "$dir/locale"
        if ! localedef -i de_DE -f UTF-8 "$dir/locale/de_DE.UTF-8"; then
            echo "vup: cannot make the German locale (is the package locales installed?)" >&2
            return 1
        fi
    fi
    if unshare --uts true 2>/dev/null; then
        namespace=(unshare --uts)
    elif unshare --user --map-root-user --uts true 2>/dev/null; then
        namespace=(unshare --user --map-root-user --uts)
    else
        echo "vup: no UTS namespace here: the host name stays $(hostname)" >&2
    fi
    # Through env: this shell itself cannot load a locale from LOCPATH.
    local habits=(env TZ=Pacific/Kiritimati LOCPATH="$dir/locale" LANG=de_DE.UTF-8
        LC_ALL=de_DE.UTF-8)
    (
        umask 077
        if [ ${#namespace[@]} -gt 0 ]; then
            "${habits[@]}" "${namespace[@]}" -- \
                bash -c 'hostname vup-elsewhere.example && exec "$@"' vup "$@"
        else
            "${habits[@]}" "$@"
        fi
    )
}

# vup_usual COMMAND...: runs COMMAND (a program) as most build machines are set up: UTC,
# the C locale in UTF-8 and umask 022.
vup_usual() {
    (
        umask 022
        env -u LOCPATH TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8 "$@"
    )
}
