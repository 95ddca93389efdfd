# Cross build for 32-bit Windows with Debian's MinGW-w64 (i686).
set(VUP_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# i686 code does its floating point on the x87 unit by default, which keeps
# intermediates in 80-bit registers and rounds them to float or double only
# when they are stored, wherever the compiler happens to spill. The show's
# arithmetic is float storage with double-precision expressions; SSE2 rounds
# every double operation to double, as the x86-64 build (and the Linux one)
# already does, so the frames come out the same.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
