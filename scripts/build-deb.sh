#!/bin/bash
# Builds the Debian package of Vup: installs the build dependencies that are
# missing (apt-get, through sudo when not root), makes the Release build of
# the preset deb in build-deb/ with Debian's hardening flags, runs cpack and
# prints the path of the .deb on standard output (everything else goes to
# standard error).
#
#   scripts/build-deb.sh            then: sudo apt install ./build-deb/vup_*.deb
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/setup.sh"
exec 3>&1 1>&2

vup_ensure_packages "${VUP_BUILD_PACKAGES[@]}" "${VUP_DEB_PACKAGES[@]}" || exit $?

# Debian's flags: fortified functions, stack protector, PIE, full RELRO. Taken
# from the repository root so -ffile-prefix-map drops the checkout's path.
cd "$VUP_ROOT"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
vup_build deb -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"

# One package in build-deb/, this version's (an earlier commit's is removed).
# cpack stages the files, folders and archives it packs with the modes the
# umask gives them: a fixed one makes the same package on every machine.
build=$VUP_ROOT/build-deb
rm -f "$build"/vup_*.deb
(cd "$build" && umask 022 && cpack -G DEB)
deb=$(ls "$build"/vup_*_"$(dpkg --print-architecture)".deb 2>/dev/null | head -n 1 || true)
[ -n "$deb" ] && [ -f "$deb" ] || { echo "build-deb: cpack made no package" >&2; exit 1; }
echo "build-deb: $deb" >&2
echo "$deb" >&3
