#!/usr/bin/env bash
# Builds the show for the browser with emscripten into build-web/site/, a
# static site any web server can serve: index.html, vup.js, vup.wasm,
# vup.data with its loader vup-data.js (the pictures and the tune's MIDI
# file) and data/tulmor.ogg (the
# tune, rendered by the show's own FluidSynth renderer, built natively into
# build-web/native/). Extra arguments go to the web build's CMake
# (scripts/test passes -DVUP_WERROR=ON). Prints the page weight: each file
# raw and gzipped (gzip -9), and the total.
#
# Serve the folder over HTTP (a page opened from file:// cannot fetch its
# data): scripts/play --web does, or
#   python3 -m http.server -d build-web/site 8000
# and open http://localhost:8000/ (index.html?still=40 for the still at 40 s).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/setup.sh"

vup_ensure_packages "${VUP_BUILD_PACKAGES[@]}" "${VUP_WEB_PACKAGES[@]}" || exit $?
cd "$VUP_ROOT"

# The tune renderer and the recorder (which draws the link preview and the
# icon) run on this machine, so they are built natively (the preset
# web-tools), unless VUP_RENDER_TUNE and VUP_RECORDER name ones already built
# (the tests pass their build's).
renderer=${VUP_RENDER_TUNE:-}
recorder=${VUP_RECORDER:-}
if [ -z "$renderer" ] || [ -z "$recorder" ]; then
    vup_build web-tools
    renderer=${renderer:-$VUP_ROOT/build-web/native/tools/render-tune/vup-render-tune}
    recorder=${recorder:-$VUP_ROOT/build-web/native/tools/vup-record/vup-record}
fi

# Debian's emscripten runs its JavaScript tools with the first `node` on the
# path; one that does not come from Debian finds Debian's modules (acorn)
# only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# The pictures come from the repository unless this run names other ones.
vup_build web -UVUP_WEB_DATA_DIR -DVUP_RENDER_TUNE="$renderer" -DVUP_RECORDER="$recorder" "$@"

site=build-web/site
echo "vup: web site in $site (bytes raw, gzip -9):"
raw_total=0
gzip_total=0
for file in "$site"/index.html "$site"/vup.js "$site"/vup.wasm "$site"/vup-data.js "$site"/vup.data \
    "$site"/data/tulmor.ogg "$site"/data/tulmor.m4a; do
    [ -f "$file" ] || continue
    raw=$(stat -c %s "$file")
    gzipped=$(gzip -9 -c "$file" | wc -c)
    raw_total=$((raw_total + raw))
    gzip_total=$((gzip_total + gzipped))
    printf '  %-12s %9d %9d\n' "$(basename "$file")" "$raw" "$gzipped"
done
printf '  %-12s %9d %9d\n' total "$raw_total" "$gzip_total"
