# Sourced by every script that installs or builds: the Debian packages Vup
# needs (the one list of them) and the two steps every script takes,
# installing what is missing and building with one of CMakePresets.json's
# presets.

VUP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# CMake and the native compilers: every build needs them, and git, which
# names the version (cmake/Version.cmake).
VUP_COMPILER_PACKAGES=(build-essential cmake pkg-config git)

# To build the show and its tools (the Debian package's build: no tests).
VUP_BUILD_PACKAGES=(
    "${VUP_COMPILER_PACKAGES[@]}"
    libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libfluidsynth-dev
    libpulse-dev libasound2-dev libspeexdsp-dev libpng-dev libx11-dev libxcb1-dev
)

# To build and play the show (and record it when there is no display): the
# build's tests need GoogleTest.
VUP_PLAY_PACKAGES=(
    "${VUP_BUILD_PACKAGES[@]}"
    libgl1-mesa-dri libegl-mesa0 timgm6mb-soundfont
    libgtest-dev libgmock-dev zlib1g-dev
    ffmpeg
)

# Each other build: the Debian package (scripts/build-deb.sh), the Windows
# executables (scripts/build-windows.sh; GoogleTest's sources for the backend
# tests), the web site (scripts/build-web.sh), the fuzz targets (fuzz/run.sh)
# and the benchmarks (-DVUP_BENCH=ON; valgrind for callgrind's header).
VUP_DEB_PACKAGES=(dpkg-dev file)
VUP_WINDOWS_PACKAGES=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest zip)
VUP_WEB_PACKAGES=(emscripten)
VUP_FUZZ_PACKAGES=(clang libclang-rt-14-dev libfluidsynth-dev)
VUP_BENCH_PACKAGES=(libbenchmark-dev libstb-dev valgrind)

# To run the real program and look at it: an X server of its own
# (scripts/lib/servers.sh, scripts/with-servers) and ImageMagick; Wine for
# the Windows one, through the same launcher.
VUP_X_PACKAGES=(xvfb xauth imagemagick)
VUP_WINE_PACKAGES=(wine64)

# To listen to the show: a PulseAudio server of the tests' own
# (scripts/lib/servers.sh) with its parec and pacat, and NumPy.
VUP_SOUND_PACKAGES=(pulseaudio pulseaudio-utils python3-numpy)

# To drive the web page in three engines: headless Chromium through its
# driver; Firefox ESR over WebDriver BiDi (a WebSocket client); WebKitGTK's
# MiniBrowser through its driver, with GStreamer's FFmpeg plugin for the
# tune's AAC; the last two on an Xvfb display with a window manager (and
# xdotool for Firefox's focus), every engine playing to a PulseAudio null
# sink whose monitor parec captures; NumPy for the pictures and the sound;
# FFmpeg to encode the click tune the page plays as the site's tune is.
VUP_BROWSER_PACKAGES=(
    chromium chromium-driver python3-selenium python3-numpy
    firefox-esr python3-websocket webkit2gtk-driver gstreamer1.0-libav
    xvfb openbox xdotool x11-utils pulseaudio pulseaudio-utils ffmpeg
)

# The web tests' packages from the npm registry (tests/web/package.json, at
# the versions its package-lock.json pins: axe-core, which checks the page's
# accessibility), installed with npm: Debian's, where the machine has no npm
# of its own (a Node.js from elsewhere brings its npm, and Debian's npm
# cannot be installed beside it).
VUP_NPM_PACKAGES=(npm ca-certificates)

# To make a release (scripts/release), besides each build's packages: to
# build a second time under another locale, that locale's source for
# localedef (a private copy, see scripts/lib/vary.sh), as the test command
# does for the package and the site.
VUP_RELEASE_PACKAGES=(locales)
# Debian's diffoscope shows how two builds differ; its minimal package,
# without the hundreds of tools it recommends (vup_ensure_packages
# --no-recommends).
VUP_DIFFOSCOPE_PACKAGES=(diffoscope-minimal xxd)
# To try a release as users get it (scripts/verify-release): a fresh Debian
# root, besides Wine, an X server and the browser of the tests.
VUP_VERIFY_PACKAGES=(debootstrap)

# Additionally, to run every test.
VUP_TEST_PACKAGES=(
    "${VUP_DEB_PACKAGES[@]}" "${VUP_WINDOWS_PACKAGES[@]}" "${VUP_WEB_PACKAGES[@]}"
    "${VUP_FUZZ_PACKAGES[@]}" "${VUP_BENCH_PACKAGES[@]}" "${VUP_BROWSER_PACKAGES[@]}"
    "${VUP_X_PACKAGES[@]}" "${VUP_WINE_PACKAGES[@]}" "${VUP_SOUND_PACKAGES[@]}"
    "${VUP_RELEASE_PACKAGES[@]}"
    xdotool x11-utils xserver-xorg-core xserver-xorg-video-dummy zip
    desktop-file-utils lintian man-db
)

# And to measure, besides the benchmarks and an X server (bench/run.sh).
VUP_MEASURE_PACKAGES=(gnuplot-nox python3)

# vup_ensure_packages [--no-recommends] PACKAGE...: installs whichever of
# them are missing (apt-get; sudo when not root), without the packages they
# only recommend when asked. With VUP_NO_INSTALL=1 (as the tests build) it
# installs nothing: it names what is missing and returns 77, the tests'
# status for a check left out, or 1 under CI, where nothing may be missing.
vup_ensure_packages() {
    local missing=() package recommends=()
    if [ "${1:-}" = --no-recommends ]; then
        recommends=(--no-install-recommends)
        shift
    fi
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "${VUP_NO_INSTALL:-0}" = 1 ]; then
        echo "vup: not installed: ${missing[*]}" >&2
        [ -n "${CI:-}" ] && return 1
        return 77
    fi
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "vup: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${recommends[@]}" \
        "${missing[@]}"
}

# vup_web_test_modules: installs the web tests' npm packages into
# tests/web/node_modules, where the tests find them, exactly as
# tests/web/package-lock.json has them; npm first where there is none.
vup_web_test_modules() {
    if ! command -v npm >/dev/null; then
        vup_ensure_packages "${VUP_NPM_PACKAGES[@]}" || return $?
    fi
    # Node trusts its own list of authorities unless told otherwise; the
    # system's store also holds those a machine's network adds (a proxy's).
    NODE_OPTIONS="--use-openssl-ca ${NODE_OPTIONS:-}" \
        npm ci --prefix "$VUP_ROOT/tests/web" --no-audit --no-fund --loglevel=error
}

# vup_build PRESET [CMAKE OPTIONS...] [-- TARGETS...]: configures with that
# preset of CMakePresets.json (and the options, which win over it) and builds
# its build preset's targets, or the ones named, on every core.
vup_build() {
    local preset=$1
    shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    [ $# -gt 0 ] && targets=(--target "$@")
    (cd "$VUP_ROOT" &&
        cmake --preset "$preset" "${options[@]}" >/dev/null &&
        cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}")
}
