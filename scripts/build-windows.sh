#!/usr/bin/env bash
# Cross-builds the Windows executables with MinGW-w64 and packs them (the
# presets win32 and win64 of CMakePresets.json):
#   build-win32/vup.exe, build-win32/vup-VERSION-win32.zip  (32-bit, the show's own target)
#   build-win64/vup.exe, build-win64/vup-VERSION-win64.zip  (64-bit, runs under wine64)
# plus build-win64/vup_win32_tests.exe, the backend tests to run under Wine.
#
# Usage: scripts/build-windows.sh [win32] [win64]   (both when none is named)
# Missing Debian packages are installed first (with sudo when not root).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/setup.sh"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(win32 win64)
fi
for target in "${targets[@]}"; do
    case $target in
        win32 | win64) ;;
        *) echo "unknown target '$target' (use win32 or win64)" >&2; exit 2 ;;
    esac
done

vup_ensure_packages "${VUP_COMPILER_PACKAGES[@]}" "${VUP_WINDOWS_PACKAGES[@]}" || exit $?
# One zip in each build folder, this version's (an earlier commit's is removed).
for target in "${targets[@]}"; do
    rm -f "$VUP_ROOT/build-$target"/vup-*.zip
    vup_build "$target"
    echo "$target: $(ls "$VUP_ROOT/build-$target"/vup-*.zip)"
done
