# Installation in the usual GNU layout: the programs under bin/, the show's
# pictures and tune under share/vup/ (keeping Data/ and data/), a menu entry
# with an icon, and manual pages. The installed vup finds share/vup from its
# own location, so the tree works under any prefix and inside any root.
include(GNUInstallDirs)

# The package's maintainer: the project's own address, chosen here on purpose
# and said only here (the package's control data, its changelog and its
# copyright file take it from this), never anyone's commit identity.
set(VUP_MAINTAINER "Vup developers <vup@vup.example>")

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
# A stripped install (the package's) also drops the .comment section, the
# compiler's version that its start-up files bring in, as Debian's own strip
# does.
install(CODE "set(vup_objcopy \"${CMAKE_OBJCOPY}\")
              set(vup_bindir \"${CMAKE_INSTALL_BINDIR}\")")
install(CODE [[
    if(CMAKE_INSTALL_DO_STRIP AND vup_objcopy)
        foreach(program vup vup-record vup-assets)
            execute_process(COMMAND ${vup_objcopy} --remove-section=.comment
                                    $ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${vup_bindir}/${program}
                            COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
]])

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

# Manual pages carry the version and the source's date. They and the
# changelog are compressed when gzip is at hand, as Debian installs them; -n
# keeps the name and time out, so the bytes repeat from build to build.
find_program(VUP_GZIP gzip)
# vup_packaged_file(SOURCE OUTPUT DESTINATION @ONLY|COPYONLY): SOURCE (or, with
# no SOURCE, the already made OUTPUT) installed compressed.
function(vup_packaged_file source output destination how)
    set(plain ${VUP_PACKAGING_OUT}/${output})
    if(source)
        configure_file(${source} ${plain} ${how})
    endif()
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

# The changelog: Debian's form of CHANGELOG.md (scripts/changelog), this
# version's entry dated by the source. A build of a commit whose changes
# CHANGELOG.md does not list yet says so (scripts/release refuses one).
execute_process(COMMAND bash scripts/changelog debian ${VUP_VERSION} ${VUP_SOURCE_DATE_EPOCH}
                        ${VUP_MAINTAINER}
                WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                OUTPUT_VARIABLE VUP_DEBIAN_CHANGELOG ERROR_VARIABLE VUP_CHANGELOG_ERROR
                RESULT_VARIABLE VUP_CHANGELOG_STATUS)
if(NOT VUP_CHANGELOG_STATUS EQUAL 0)
    message(WARNING "${VUP_CHANGELOG_ERROR}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C date -u -R -d @${VUP_SOURCE_DATE_EPOCH}
                    OUTPUT_VARIABLE VUP_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(VUP_DEBIAN_CHANGELOG "vup (${VUP_VERSION}) unstable; urgency=medium

  * A build of a commit whose changes CHANGELOG.md does not list yet.

 -- ${VUP_MAINTAINER}  ${VUP_CHANGELOG_DATE}
")
endif()
# Written only when it changed, so that an unchanged one is not compressed again.
file(WRITE ${VUP_PACKAGING_OUT}/changelog.new "${VUP_DEBIAN_CHANGELOG}")
configure_file(${VUP_PACKAGING_OUT}/changelog.new ${VUP_PACKAGING_OUT}/changelog COPYONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
vup_packaged_file("" changelog ${CMAKE_INSTALL_DOCDIR} COPYONLY)

# The licence in Debian's machine-readable form, where Debian looks for it
# (never compressed).
configure_file(packaging/copyright ${VUP_PACKAGING_OUT}/copyright @ONLY)
install(FILES ${VUP_PACKAGING_OUT}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

add_custom_target(vup_packaging_files ALL DEPENDS ${VUP_PACKAGING_FILES})

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
