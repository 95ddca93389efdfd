# Sourced by the test scripts. A check that cannot run here (a tool or an
# input missing) is left out and reported: the script then ends with status
# 77, which ctest counts as skipped (SKIP_RETURN_CODE). Under CI (the
# environment variable CI set) the test command has installed everything the
# suite needs, so a missing tool or input fails the test instead.
SKIPPED_CHECKS=()

# skip_check WHAT: notes a check left out; under CI fails at once.
skip_check() {
    if [ -n "${CI:-}" ]; then
        echo "FAIL: $* (under CI no check may be left out)" >&2
        exit 1
    fi
    echo "SKIPPED: $*"
    SKIPPED_CHECKS+=("$*")
}

# finish_checks MESSAGE: the script's end once everything that ran passed;
# status 77 when a check was left out.
finish_checks() {
    if [ ${#SKIPPED_CHECKS[@]} -gt 0 ]; then
        echo "PASS with ${#SKIPPED_CHECKS[@]} check(s) skipped: $*"
        exit 77
    fi
    echo "PASS: $*"
    exit 0
}
