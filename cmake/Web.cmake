# The browser build, configured with emcmake (scripts/build-web.sh). It makes a
# static site in ${CMAKE_BINARY_DIR}/site: index.html, vup.js and vup.wasm
# (the program), vup.data and vup-data.js (the Data/ and data/ files and
# their loader, which puts them into emscripten's in-memory file system
# before main runs, so the show reads them by its usual relative paths
# through the POSIX file map) and data/tulmor.ogg, the tune rendered for
# WebAudio.
#
# The show's code (vup_core) runs as on the desktop, DemoMain and its frame
# loop included, over the page's platform backend (src/platform/web/) and the
# GL 1.1 layer (vup_gl11) with its WebGL side in place of libGL and libGLU.
# The loop waits for the browser inside SwapBuffers, the fullscreen request
# and message boxes, through ASYNCIFY.

set(VUP_WEB_SITE ${CMAKE_BINARY_DIR}/site)
set(VUP_WEB_DATA_DIR ${CMAKE_SOURCE_DIR} CACHE PATH
    "Where the site's Data/ and data/ come from (other pictures for a trial)")
set(VUP_RENDER_TUNE "" CACHE FILEPATH
    "The native vup-render-tune that renders the site's tune (scripts/build-web.sh builds it)")
# A changed picture or tune links the site again.
file(GLOB VUP_WEB_DATA_FILES CONFIGURE_DEPENDS ${VUP_WEB_DATA_DIR}/Data/* ${VUP_WEB_DATA_DIR}/data/*)

# The JavaScript sides: WebGL for the GL layer, the display, the sound and
# the page.
set(VUP_WEB_JS_LIBRARIES
    ${CMAKE_SOURCE_DIR}/src/platform/webgl/webgl_backend.js
    ${CMAKE_SOURCE_DIR}/src/platform/web/web_display.js
    ${CMAKE_SOURCE_DIR}/src/platform/web/web_audio.js
    ${CMAKE_SOURCE_DIR}/src/platform/web/web_page.js)

add_executable(vup_web
    src/platform/web/music_webaudio.cpp
    src/platform/web/web_display.cpp
    src/platform/web/web_keys.cpp
    src/platform/web/web_live.cpp
    src/platform/web/web_main.cpp
    src/platform/web/web_message_box.cpp
    src/platform/web/web_messages.cpp
    src/platform/web/web_still.cpp
    src/platform/webgl/webgl_context.cpp
    src/platform/posix/file_map_posix.cpp)
target_include_directories(vup_web PRIVATE src)
# From the Win32 emulation kit (vup_platform_common) the page's backend takes
# what it calls; it still defines its own windows, pixel formats and message
# dispatch.
target_link_libraries(vup_web PRIVATE vup_core vup_gl11 vup_platform_common)
set_target_properties(vup_web PROPERTIES
    OUTPUT_NAME vup
    SUFFIX .js
    RUNTIME_OUTPUT_DIRECTORY ${VUP_WEB_SITE}
    LINK_DEPENDS "${VUP_WEB_JS_LIBRARIES}")
foreach(library ${VUP_WEB_JS_LIBRARIES})
    target_link_options(vup_web PRIVATE "SHELL:--js-library ${library}")
endforeach()
# ASYNCIFY instruments only what can reach the three waiting imports
# (DemoMain, OpenDisplay, the picture reader's message box and their
# callers); no function pointer on those paths leads to a wait.
target_link_options(vup_web PRIVATE
    -sENVIRONMENT=web
    -sFORCE_FILESYSTEM=1
    -sALLOW_MEMORY_GROWTH=1
    -sASYNCIFY
    -sASYNCIFY_IGNORE_INDIRECT=1
    -sASYNCIFY_IMPORTS=VupDisplayWaitFrame,VupDisplayRequestFullscreen,VupPageDialog
    -sEXPORTED_FUNCTIONS=_main,_WebShowPlay,_WebHeapInUse
    -sEXPORTED_RUNTIME_METHODS=ccall)

configure_file(src/platform/web/index.html ${VUP_WEB_SITE}/index.html COPYONLY)

# The data package, made apart from the program by emscripten's file
# packager: other pictures need no relink, and a test can serve the program
# with a package of its own.
set(VUP_FILE_PACKAGER ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager.py)
add_custom_command(OUTPUT ${VUP_WEB_SITE}/vup.data ${VUP_WEB_SITE}/vup-data.js
    COMMAND python3 ${VUP_FILE_PACKAGER} ${VUP_WEB_SITE}/vup.data
            --preload ${VUP_WEB_DATA_DIR}/Data@/Data ${VUP_WEB_DATA_DIR}/data@/data
            --js-output=${VUP_WEB_SITE}/vup-data.js --no-node
    DEPENDS ${VUP_WEB_DATA_FILES}
    WORKING_DIRECTORY ${VUP_WEB_SITE}
    COMMENT "Packing Data/ and data/ for the site")
add_custom_target(vup_web_data ALL DEPENDS ${VUP_WEB_SITE}/vup.data)

# The tune: rendered by the desktop's own offline FluidSynth renderer and
# encoded to Ogg Vorbis (quality 2, about 85 kbit/s), next to the MIDI file's
# place on the site; the same bytes on every build.
set(VUP_WEB_TUNE_MIDI ${VUP_WEB_DATA_DIR}/data/tulmor.mid)
set(VUP_WEB_TUNE_OGG ${VUP_WEB_SITE}/data/tulmor.ogg)
find_program(VUP_FFMPEG ffmpeg)
if(VUP_RENDER_TUNE AND VUP_FFMPEG AND EXISTS ${VUP_WEB_TUNE_MIDI})
    add_custom_command(OUTPUT ${VUP_WEB_TUNE_OGG}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VUP_WEB_SITE}/data
        COMMAND ${VUP_RENDER_TUNE} ${VUP_WEB_TUNE_MIDI} ${CMAKE_BINARY_DIR}/tulmor.wav
        COMMAND ${VUP_FFMPEG} -v error -y -i ${CMAKE_BINARY_DIR}/tulmor.wav
                -c:a libvorbis -q:a 2 -fflags +bitexact -flags:a +bitexact
                ${VUP_WEB_TUNE_OGG}
        DEPENDS ${VUP_WEB_TUNE_MIDI} ${VUP_RENDER_TUNE}
        COMMENT "Rendering the tune for the site")
    add_custom_target(vup_web_tune ALL DEPENDS ${VUP_WEB_TUNE_OGG})
else()
    message(WARNING "No tune for the site (VUP_RENDER_TUNE, ffmpeg or ${VUP_WEB_TUNE_MIDI} "
                    "missing): its show plays silent")
    file(REMOVE ${VUP_WEB_TUNE_OGG})
endif()
