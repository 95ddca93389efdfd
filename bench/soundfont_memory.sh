#!/usr/bin/env bash
# bench/soundfont_memory.sh [RUNS]: what the tune's instruments cost in
# memory and load time with each Debian SoundFont, cut down to the tune's
# presets (as the player loads them) against the whole font with its samples
# loaded on demand (bench/soundfont_memory.py, RUNS runs each, 7 by default);
# rewrites the section between the bench:soundfont markers of
# docs/performance.md. Takes about a minute with 7 runs.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/lib/setup.sh
source "$repo/scripts/lib/setup.sh"
vup_ensure_packages "${VUP_PLAY_PACKAGES[@]}" "${VUP_BENCH_PACKAGES[@]}" fluid-soundfont-gm
vup_build bench -- vup_bench_soundfont_memory
cd "$repo"
exec /usr/bin/python3 bench/soundfont_memory.py "$repo/build-bench/bench/vup_bench_soundfont_memory" \
    "${1:-7}" --doc docs/performance.md
