#!/usr/bin/env bash
# Cross-builds the Windows executables with MinGW-w64 and packs them:
#   build-win32/vup.exe, build-win32/vup-win32.zip  (32-bit, the show's own target)
#   build-win64/vup.exe, build-win64/vup-win64.zip  (64-bit, runs under wine64)
# plus build-win64/vup_win32_tests.exe, the backend tests to run under Wine.
#
# Usage: scripts/build-windows.sh [win32] [win64]   (both when none is named)
# Missing Debian packages are installed first (with sudo when not root).
# VUP_WINDOWS_BUILD_ROOT puts the build folders elsewhere (default: the repo).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${VUP_WINDOWS_BUILD_ROOT:-$repo}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(win32 win64)
fi

# Each target: compiler it needs, Debian package that brings it, toolchain file.
needed_packages=()
for target in "${targets[@]}"; do
    case $target in
        win32) compiler=i686-w64-mingw32-g++-posix package=g++-mingw-w64-i686 ;;
        win64) compiler=x86_64-w64-mingw32-g++-posix package=g++-mingw-w64-x86-64 ;;
        *) echo "unknown target '$target' (use win32 or win64)" >&2; exit 2 ;;
    esac
    command -v "$compiler" >/dev/null || needed_packages+=("$package")
done
command -v cmake >/dev/null || needed_packages+=(cmake)
command -v make >/dev/null || needed_packages+=(make)
# GoogleTest sources for the backend tests.
[ -f /usr/src/googletest/CMakeLists.txt ] || needed_packages+=(googletest)

if [ ${#needed_packages[@]} -gt 0 ]; then
    echo "Installing ${needed_packages[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${needed_packages[@]}"
fi

for target in "${targets[@]}"; do
    case $target in
        win32) toolchain=toolchain-mingw-i686.cmake tests=OFF ;;
        win64) toolchain=toolchain-mingw-x86_64.cmake tests=ON ;;
    esac
    build_dir=$build_root/build-$target
    cmake -S "$repo" -B "$build_dir" \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release \
        -DVUP_WIN32_TESTS=$tests >/dev/null
    build_targets=(vup package)
    if [ "$tests" = ON ]; then
        build_targets+=(vup_win32_tests)
    fi
    cmake --build "$build_dir" --parallel 2 --target "${build_targets[@]}"
    echo "$target: $(ls "$build_dir"/vup-*.zip)"
done
