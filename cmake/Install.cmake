# Installation in the usual GNU layout: the programs under bin/, the show's
# pictures and tune under share/vup/ (keeping Data/ and data/), a menu entry
# with an icon, and manual pages. The installed vup finds share/vup from its
# own location, so the tree works under any prefix and inside any root.
include(GNUInstallDirs)

option(VUP_SOURCE_FALLBACK
       "Let the build tree's vup play the source tree's Data/ and data/ from any directory" ON)

set(VUP_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/vup)
file(RELATIVE_PATH VUP_DATA_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/vup)
target_compile_definitions(vup PRIVATE VUP_DATA_FROM_BINDIR="${VUP_DATA_FROM_BINDIR}")
# Packages turn this off: their program must not name a build machine's paths.
if(VUP_SOURCE_FALLBACK)
    target_compile_definitions(vup PRIVATE VUP_BUILD_BIN_DIR="$<TARGET_FILE_DIR:vup>"
                                           VUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()

install(TARGETS vup vup-record vup-assets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Data/ and data/ hold the show's files and nothing else (their names are
# listed once, in src/assets/show_files.h), so they are installed whole.
install(DIRECTORY Data data DESTINATION ${VUP_DATA_INSTALL_DIR})

install(FILES packaging/vup.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The menu icon: the title picture through the show's own reader, made at
# build time so it always matches the picture the show opens with. The PNG
# writer is the recorder's (libpng).
find_package(PNG REQUIRED)
add_executable(vup-make-icon packaging/icon/make_icon.cpp tools/vup-record/png_file.cpp
                             tools/vup-record/output_file.cpp)
target_include_directories(vup-make-icon PRIVATE tools/vup-record)
target_link_libraries(vup-make-icon PRIVATE vup_platform_console vup_core vup_platform_posix
                                            PNG::PNG)

set(VUP_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
set(VUP_PACKAGING_FILES)
foreach(size 48 256)
    set(icon ${VUP_PACKAGING_OUT}/icons/${size}x${size}/vup.png)
    add_custom_command(
        OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VUP_PACKAGING_OUT}/icons/${size}x${size}
        COMMAND vup-make-icon ${CMAKE_SOURCE_DIR}/Data/Main.bmp ${size} ${icon}
        DEPENDS vup-make-icon ${CMAKE_SOURCE_DIR}/Data/Main.bmp
        COMMENT "Making the ${size}x${size} icon from Data/Main.bmp"
        VERBATIM)
    list(APPEND VUP_PACKAGING_FILES ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages carry the project's version. They and the changelog are
# compressed when gzip is at hand, as Debian installs them; -n keeps the name
# and time out, so the bytes repeat from build to build.
find_program(VUP_GZIP gzip)
function(vup_packaged_file source output destination how)
    set(plain ${VUP_PACKAGING_OUT}/${output})
    configure_file(${source} ${plain} ${how})
    if(VUP_GZIP)
        add_custom_command(OUTPUT ${plain}.gz
                           COMMAND ${VUP_GZIP} -9 -n -f -k ${plain}
                           DEPENDS ${plain}
                           VERBATIM)
        set(VUP_PACKAGING_FILES ${VUP_PACKAGING_FILES} ${plain}.gz PARENT_SCOPE)
        install(FILES ${plain}.gz DESTINATION ${destination})
    else()
        install(FILES ${plain} DESTINATION ${destination})
    endif()
endfunction()
vup_packaged_file(packaging/man/vup.6 vup.6 ${CMAKE_INSTALL_MANDIR}/man6 @ONLY)
vup_packaged_file(packaging/man/vup-record.1 vup-record.1 ${CMAKE_INSTALL_MANDIR}/man1 @ONLY)
vup_packaged_file(packaging/man/vup-assets.1 vup-assets.1 ${CMAKE_INSTALL_MANDIR}/man1 @ONLY)
vup_packaged_file(packaging/changelog changelog ${CMAKE_INSTALL_DOCDIR} COPYONLY)
# The licence in Debian's form, where Debian looks for it (never compressed).
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

add_custom_target(vup_packaging_files ALL DEPENDS ${VUP_PACKAGING_FILES})

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
