#!/usr/bin/env bash
# bench/web_vs_native.sh [ROUNDS [ENGINE...]]: the web page in each browser
# engine (chromium, firefox, webkit; all by default) against the native show
# under Xvfb (llvmpipe), in one run: frames per second in every scene, the
# page's WebGL draws and own time per frame, page load to ready (and where the
# time goes), click to first frame, and the tune as heard against the show's
# clock at the scene bounds; and a phone's start control over a slow, a fair
# and this machine's own link (Chromium; ROUNDS 0 measures only that). See
# bench/web_vs_native.py for how each is measured. Rewrites the web section of docs/performance.md. Each round (2 by
# default) plays the show natively and once in each engine; the viewer's page
# and the start-ups add about two minutes an engine. With three engines and
# two rounds it takes about twenty minutes. Run it on a quiet machine.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${1:-2}
shift || true
# shellcheck source=scripts/lib/setup.sh
source "$repo/scripts/lib/setup.sh"
vup_ensure_packages "${VUP_PLAY_PACKAGES[@]}" "${VUP_X_PACKAGES[@]}" "${VUP_BROWSER_PACKAGES[@]}"

vup_build bench -- vup vup-record
bash "$repo/scripts/build-web.sh" >/dev/null

# shellcheck source=scripts/lib/servers.sh
source "$repo/scripts/lib/servers.sh"
servers_folder web-vs-native
start_xvfb 800x600
cd "$repo"  # the native show reads Data/ and data/ from here
# The click tune the page plays to be heard is rendered by the site's own
# renderer (scripts/build-web.sh builds it natively).
VUP_RENDER_TUNE=${VUP_RENDER_TUNE:-$repo/build-web/native/tools/render-tune/vup-render-tune} \
    /usr/bin/python3 "$repo/bench/web_vs_native.py" "$repo/build-bench/vup" "$repo/build-web/site" \
    "$repo/build-bench/results" "$rounds" "$repo/docs/performance.md" "$@"
