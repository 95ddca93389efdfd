# Shared by scripts/play and scripts/test: the Debian packages Vup needs and
# the build. Sourced, not run.

VUP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# To build and play the show (and record it when there is no display).
VUP_PLAY_PACKAGES=(
    build-essential cmake pkg-config
    libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
    libfluidsynth-dev timgm6mb-soundfont
    libgtest-dev libgmock-dev zlib1g-dev libpng-dev libx11-dev libxcb1-dev
    ffmpeg
)

# Additionally, to run every test.
VUP_TEST_PACKAGES=(
    xvfb xauth xdotool x11-utils imagemagick xserver-xorg-core xserver-xorg-video-dummy
    clang libclang-rt-14-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 zip
    desktop-file-utils dpkg-dev file lintian man-db
    emscripten chromium chromium-driver python3-selenium python3-numpy
    libbenchmark-dev libstb-dev valgrind
)

# Installs whichever of the named packages are missing (apt-get; sudo when
# not root).
vup_ensure_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "vup: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# vup_build DIR [CMAKE OPTIONS...] -- [TARGETS...]: configure and build.
vup_build() {
    local dir=$1
    shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    targets=("$@")
    cmake -S "$VUP_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    if [ ${#targets[@]} -eq 0 ]; then
        cmake --build "$dir" -j "$(nproc)"
    else
        cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
    fi
}
