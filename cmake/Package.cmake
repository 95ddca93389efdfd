# A Debian package of the installed tree: `cpack -G DEB` in a build configured
# with CMAKE_INSTALL_PREFIX=/usr (scripts/build-deb.sh does all of it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vup)
set(CPACK_PACKAGE_VERSION ${VUP_VERSION})
set(CPACK_PACKAGE_VENDOR "Vup developers")
set(CPACK_PACKAGE_CONTACT ${VUP_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running real-time 3D demo with music")
set(CPACK_PACKAGE_DESCRIPTION
    "Vup plays an 85-second show drawn live with OpenGL, to a MIDI tune: a title
picture, a flight along a curve past a trail of tubes, a breathing
star-shaped solid, a tumbling lattice of pulsing cubes beside a greetings
panel, and a picture that shrinks away before the end picture. Escape ends
it, F1 switches between fullscreen and a window.
.
The package also holds vup-record, which renders the show offscreen to a
video, PNG frames or a still, and vup-assets, which checks replacement
pictures and tunes.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

# The same bytes from every build of a commit: cpack dates the archives'
# members by SOURCE_DATE_EPOCH, set here to the source's date.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceDate.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "set(ENV{SOURCE_DATE_EPOCH} ${VUP_SOURCE_DATE_EPOCH})\n")

# The tune needs a General MIDI SoundFont in SF2 form where the show looks
# (/usr/share/sounds/sf2/): the small one first.
set(VUP_SOUNDFONT_DEPENDS "timgm6mb-soundfont | fluid-soundfont-gm | sf2-soundfont-gm")
# The libraries come from the programs themselves when dpkg-shlibdeps can
# read them, with the lowest versions that work; otherwise they are named.
# SDL opens libGL.so.1 only at run time for the window's GL context, which
# dpkg-shlibdeps cannot see, so libgl1 is always named.
find_program(VUP_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VUP_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, ${VUP_SOUNDFONT_DEPENDS}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6, libstdc++6, libgcc-s1, libsdl2-2.0-0, libgl1, libglu1-mesa, libegl1, libfluidsynth3, libpulse0, libasound2, libspeexdsp1, libpng16-16, ${VUP_SOUNDFONT_DEPENDS}")
endif()
# vup-record's --out FILE.mp4 runs ffmpeg.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)

include(CPack)
