#!/usr/bin/env bash
# How long the reproducibility checks take: `scripts/release --check` (two
# whole release builds) and the test command's release.reproducible (the
# package and the site built a second time; its fixture builds are made
# first and not counted), each run RUNS times (default 3). Prints each run's
# seconds with the machine's load, then the minimum, median and maximum, the
# figures docs/install.md quotes. Run it on a clean checkout of a commit; it
# leaves the last release in release/ and needs the main build (build/).
#
#   bench/release_time.sh [RUNS]
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-3}
cd "$repo"

# timed COMMAND...: runs it, prints the seconds elapsed, to a tenth.
timed() {
    local started
    started=$(date +%s%N)
    "$@" >>"$log" 2>&1 || { echo "bench: '$*' failed (see $log)" >&2; return 1; }
    awk -v a="$started" -v b="$(date +%s%N)" 'BEGIN { printf "%.1f\n", (b - a) / 1e9 }'
}
# min median max of the numbers given.
spread() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
        printf "min %.0f s, median %.0f s, max %.0f s (%d runs)\n", v[1], m, v[NR], NR }'
}
log=$(mktemp /tmp/vup-release-time.XXXXXX.log)
echo "bench: the commands' output goes to $log"

# The clock first: a two-second sleep must come back as two seconds.
slept=$(timed sleep 2)
awk -v s="$slept" 'BEGIN { exit !(s >= 2 && s < 3) }' ||
    { echo "bench: the timing reads $slept s for a 2 s sleep" >&2; exit 1; }

# The suite's check needs its fixtures' builds; made first, not counted.
ctest --test-dir build -R '^build\.(deb|web)$' >>"$log" 2>&1

check=()
suite=()
for run in $(seq 1 "$runs"); do
    load=$(cut -d ' ' -f 1 /proc/loadavg)
    check+=("$(timed bash scripts/release --check)")
    echo "run $run: scripts/release --check ${check[-1]} s (load $load at the start)"
    load=$(cut -d ' ' -f 1 /proc/loadavg)
    suite+=("$(timed ctest --test-dir build -R '^release\.reproducible$' -FA '.*')")
    echo "run $run: release.reproducible ${suite[-1]} s (load $load at the start)"
done
echo "scripts/release --check: $(spread "${check[@]}")"
echo "release.reproducible: $(spread "${suite[@]}")"
