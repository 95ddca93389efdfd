#!/usr/bin/env bash
# How soon the tune sounds again when the display is re-opened (F1) 40 and
# 80 s into the show, with each Debian SoundFont installed: the figures
# docs/sound.md quotes. Needs the benchmarks built (the preset bench or ci).
#
#   bench/reopen.sh [BUILD_DIR]
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$repo/build-bench}
cd "$repo"
for font in /usr/share/sounds/sf2/TimGM6mb.sf2 /usr/share/sounds/sf2/FluidR3_GM.sf2; do
    if [[ ! -f $font ]]; then
        echo "bench: $font is not installed; left out"
        continue
    fi
    for seconds in 40 80; do
        echo "$(basename "$font" .sf2) at $seconds s: $(VUP_SOUNDFONT=$font \
            "$build/bench/vup_bench_reopen" "$seconds")"
    done
done
