# Shared part of the MinGW-w64 toolchains; the including file sets
# VUP_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)
if(VUP_MINGW_TRIPLE MATCHES "^x86_64")
    set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
    set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

# Debian ships each compiler with two threading models. Only the posix one has
# std::mutex and std::thread (GoogleTest needs them); its winpthread run-time
# is linked in statically like the C++ one, so no extra DLL comes with it.
foreach(lang C CXX)
    if(lang STREQUAL "C")
        set(tool gcc)
    else()
        set(tool g++)
    endif()
    find_program(VUP_MINGW_${lang} NAMES ${VUP_MINGW_TRIPLE}-${tool}-posix
                                          ${VUP_MINGW_TRIPLE}-${tool})
    if(NOT VUP_MINGW_${lang})
        message(FATAL_ERROR "${VUP_MINGW_TRIPLE}-${tool} not found: install "
                            "g++-mingw-w64 (scripts/build-windows.sh does it)")
    endif()
    set(CMAKE_${lang}_COMPILER ${VUP_MINGW_${lang}})
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${VUP_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VUP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
