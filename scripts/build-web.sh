#!/usr/bin/env bash
# Builds the show for the browser with emscripten into build-web/site/, a
# static site any web server can serve: index.html, the program (vup.js,
# vup.wasm), the show's pictures and MIDI file, and the tune rendered by the
# show's own FluidSynth renderer (built natively into build-web/native/),
# all but index.html under names that carry their contents' hash, and
# stored compressed (tools/web-site/make_site.py, which prints the page
# weight). Extra arguments go to the web build's CMake (scripts/test passes
# -DVUP_WERROR=ON).
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

