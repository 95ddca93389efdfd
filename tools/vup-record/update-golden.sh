#!/usr/bin/env bash
# Rewrites the reference stills in tests/golden/ from the current show. Run
# after an intended change to a scene or its pictures, then look at the new
# references before committing them.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
cmake -S "$root" -B "$build" >/dev/null
make -C "$build" -j2 vup_record_golden_tests >/dev/null
cd "$root"
VUP_UPDATE_GOLDEN=1 "$build/tools/vup-record/vup_record_golden_tests"
