#!/usr/bin/env bash
# Rewrites the reference stills in tests/golden/ from the current show, built
# in build/ (the preset default). Run after an intended change to a scene or
# its pictures, then look at the new references before committing them.
set -eu
. "$(dirname "$0")/../../scripts/lib/setup.sh"
vup_build default -- vup_record_golden_tests >/dev/null
cd "$VUP_ROOT"
VUP_UPDATE_GOLDEN=1 "$VUP_ROOT/build/tools/vup-record/vup_record_golden_tests"
