# The Windows build: the Win32 backend, the vup executable, its tests (run
# under Wine from Linux) and the zip a viewer unpacks and runs.

option(VUP_WIN32_TESTS "Build the Win32 backend tests (GoogleTest from /usr/src/googletest)" OFF)

# The executables carry their C and C++ run-times, so vup.exe runs from the
# zip with nothing but the system's own DLLs beside it.
set(VUP_WIN32_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
set(VUP_WIN32_SYSTEM_LIBS opengl32 glu32 gdi32 winmm user32)

# The linker writes a time into each executable's header: with
# SOURCE_DATE_EPOCH, the source's date, so every build writes the same.
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VUP_SOURCE_DATE_EPOCH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_C_LINKER_LAUNCHER})

# The backend, from its own folder.
add_subdirectory(src/platform/win32)

add_executable(vup WIN32 src/shell/main.cpp)
target_link_libraries(vup PRIVATE vup_core vup_platform_win32 ${VUP_WIN32_SYSTEM_LIBS})
target_link_options(vup PRIVATE ${VUP_WIN32_STATIC_RUNTIME} $<$<CONFIG:Release>:-s>)

# vup-VERSION-win32.zip (32-bit) or vup-VERSION-win64.zip (64-bit): one
# folder of that name holding vup.exe, the pictures in Data/, the tune in
# data/, a read-me and the licence (both with Windows line ends), packed the
# same way on every machine (scripts/lib/pack).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VUP_PACKAGE_NAME vup-${VUP_VERSION}-win64)
else()
    set(VUP_PACKAGE_NAME vup-${VUP_VERSION}-win32)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows-readme.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/LICENSE.txt @ONLY
               NEWLINE_STYLE CRLF)
set(VUP_PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package)
set(VUP_PACKAGE_DIR ${VUP_PACKAGE_STAGE}/${VUP_PACKAGE_NAME})
set(VUP_PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${VUP_PACKAGE_NAME}.zip)
add_custom_target(package
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VUP_PACKAGE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VUP_PACKAGE_DIR}/Data ${VUP_PACKAGE_DIR}/data
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vup> ${VUP_PACKAGE_DIR}/vup.exe
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/Data ${VUP_PACKAGE_DIR}/Data
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data ${VUP_PACKAGE_DIR}/data
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt
            ${VUP_PACKAGE_DIR}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VUP_SOURCE_DATE_EPOCH}
            bash ${CMAKE_SOURCE_DIR}/scripts/lib/pack zip ${VUP_PACKAGE_DIR} ${VUP_PACKAGE_ZIP}
    DEPENDS vup
    BYPRODUCTS ${VUP_PACKAGE_ZIP}
    COMMENT "Packing ${VUP_PACKAGE_NAME}.zip"
    VERBATIM)

# The backend's own tests: records it fills, messages it forwards, files it
# maps. They need a Windows (or Wine) to run, so tests/e2e/test_windows_wine.sh
# runs them under wine64.
if(VUP_WIN32_TESTS)
    set(VUP_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VUP_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

    add_executable(vup_win32_tests tests/win32/win32_files_music_test.cpp
                                   tests/win32/win32_records_test.cpp
                                   tests/win32/win32_window_test.cpp)
    target_link_libraries(vup_win32_tests PRIVATE vup_platform_win32 gtest_main)
    target_link_options(vup_win32_tests PRIVATE ${VUP_WIN32_STATIC_RUNTIME})
endif()
