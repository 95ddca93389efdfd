#!/bin/bash
# Builds the Debian package of Vup: installs the build dependencies that are
# missing (apt-get, through sudo when not root), makes a Release build in
# build-deb/ with Debian's hardening flags, runs cpack and prints the path of
# the .deb on standard output (everything else goes to standard error).
#
#   scripts/build-deb.sh            then: sudo apt install ./build-deb/vup_*.deb
#
# VUP_DEB_NO_INSTALL=1 fails instead of installing missing packages;
# VUP_JOBS sets the build's parallel jobs (default 2).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build-deb"
jobs=${VUP_JOBS:-2}
exec 3>&1 1>&2

build_deps=(cmake make g++ pkg-config dpkg-dev file libsdl2-dev libgl-dev libglu1-mesa-dev
            libegl-dev libfluidsynth-dev libpng-dev)
missing=()
for package in "${build_deps[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "${VUP_DEB_NO_INSTALL:-0}" = "1" ]; then
        echo "build-deb: missing build dependencies: ${missing[*]}" >&2
        exit 1
    fi
    echo "build-deb: installing ${missing[*]}"
    sudo=()
    [ "$(id -u)" = 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Debian's flags: fortified functions, stack protector, PIE, full RELRO. Taken
# from the repository root so -ffile-prefix-map drops the checkout's path.
cd "$repo"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

# The packaged vup finds its files beside itself, never in this checkout.
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DVUP_TESTS=OFF -DVUP_SOURCE_FALLBACK=OFF \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" -j "$jobs" --target vup vup-record vup-assets vup_packaging_files

(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/vup_*_"$(dpkg --print-architecture)".deb 2>/dev/null | head -n 1 || true)
[ -n "$deb" ] && [ -f "$deb" ] || { echo "build-deb: cpack made no package" >&2; exit 1; }
echo "build-deb: $deb" >&2
echo "$deb" >&3
