# Cross build for 32-bit Windows with Debian's MinGW-w64 (i686).
set(VUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
