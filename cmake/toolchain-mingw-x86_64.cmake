# Cross build for 64-bit Windows with Debian's MinGW-w64 (x86-64).
set(VUP_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
