# The browser build, configured with emcmake (scripts/build-web.sh). It makes a
# static site in ${CMAKE_BINARY_DIR}/site: index.html, the program (vup.js
# and vup.wasm), the show's Data/ and data/ files, which the page fetches
# into emscripten's in-memory file system so the show reads them by its
# usual relative paths through the POSIX file map, and the tune rendered for
# WebAudio (data/tulmor.ogg, data/tulmor.m4a and their clicks). The build
# writes them into ${CMAKE_BINARY_DIR}/built; tools/web-site/make_site.py
# then stores them compressed under names that carry their contents' hash.
#
# The show's code (vup_core) runs as on the desktop, DemoMain and its frame
# loop included, from the page's entry (src/shell/web_main.cpp) over the
# page's platform backend (src/platform/web/) and the GL 1.1 layer (vup_gl11)
# with its WebGL side in place of libGL and libGLU.
# The loop waits for the browser inside SwapBuffers, the fullscreen request
# and message boxes, through ASYNCIFY.

set(VUP_WEB_SITE ${CMAKE_BINARY_DIR}/built)
set(VUP_WEB_PUBLIC ${CMAKE_BINARY_DIR}/site)
set(VUP_WEB_DATA_DIR ${CMAKE_SOURCE_DIR} CACHE PATH
    "Where the site's Data/ and data/ come from (other pictures for a trial)")
set(VUP_RENDER_TUNE "" CACHE FILEPATH
    "The native vup-render-tune that renders the site's tune (scripts/build-web.sh builds it)")
set(VUP_RECORDER "" CACHE FILEPATH
    "The native vup-record that draws the site's link preview and icon (scripts/build-web.sh builds it)")
set(VUP_WEB_URL "" CACHE STRING
    "The site's public address (https://host/path/), for the link preview's absolute address")
# A changed picture or tune links the site again.
file(GLOB VUP_WEB_DATA_FILES CONFIGURE_DEPENDS ${VUP_WEB_DATA_DIR}/Data/* ${VUP_WEB_DATA_DIR}/data/*)

# The page's platform backend, built from its own folder, and the program's
# entry for the page beside the desktop's (src/shell/web_*).
add_subdirectory(src/platform/web)
# The JavaScript sides: WebGL for the GL layer; the display, the sound and
# the page for the backend.
set(VUP_WEB_JS_LIBRARIES
    ${CMAKE_SOURCE_DIR}/src/platform/webgl/webgl_backend.js
    ${VUP_WEB_BACKEND_JS})

add_executable(vup_web
    src/shell/web_live_page.cpp
    src/shell/web_main.cpp
    src/shell/web_show_files.cpp
    src/shell/web_still_page.cpp
    src/platform/posix/file_map_posix.cpp)
target_include_directories(vup_web PRIVATE src)
target_link_libraries(vup_web PRIVATE vup_core vup_platform_web)
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
    -sASYNCIFY_IMPORTS=VupDisplayWaitFrame,VupDisplayRequestFullscreen,VupPageDialog,VupPageFetchFiles
    -sEXPORTED_FUNCTIONS=_main,_WebShowPlay,_WebHeapInUse,_WebPressKey,_WebFileArrived
    -sEXPORTED_RUNTIME_METHODS=ccall)

# The page. A link shared in a chat or on a social site shows its title,
# description and preview.jpg; Open Graph asks for an absolute address, which
# VUP_WEB_URL gives (without it the address is relative, which some sites
# resolve and others do not).
set(VUP_WEB_PREVIEW_URL ${VUP_WEB_URL}preview.jpg)
# The page's footer carries the version and the source's date.
configure_file(src/platform/web/index.html ${VUP_WEB_SITE}/index.html @ONLY)

# The link preview (the title picture as the show's frame at 5 s shows it)
# and the page's icon (its middle), drawn by the recorder at build time.
find_program(VUP_FFMPEG ffmpeg)
if(VUP_RECORDER AND VUP_FFMPEG)
    add_custom_command(OUTPUT ${VUP_WEB_SITE}/preview.jpg ${VUP_WEB_SITE}/favicon.png
        COMMAND ${VUP_RECORDER} --frame 5 ${CMAKE_BINARY_DIR}/title.png
        COMMAND ${VUP_FFMPEG} -v error -y -i ${CMAKE_BINARY_DIR}/title.png -q:v 4
                -fflags +bitexact ${VUP_WEB_SITE}/preview.jpg
        COMMAND ${VUP_FFMPEG} -v error -y -i ${CMAKE_BINARY_DIR}/title.png
                -vf crop=520:520:240:80,scale=64:64 -fflags +bitexact ${VUP_WEB_SITE}/favicon.png
        DEPENDS ${VUP_WEB_DATA_FILES} ${VUP_RECORDER}
        WORKING_DIRECTORY ${VUP_WEB_DATA_DIR}
        COMMENT "Drawing the link preview and the icon" VERBATIM)
    add_custom_target(vup_web_preview ALL DEPENDS ${VUP_WEB_SITE}/preview.jpg)
else()
    message(WARNING "No link preview or icon for the site (VUP_RECORDER or ffmpeg missing)")
endif()

# The tune: rendered by the desktop's own offline FluidSynth renderer and
# encoded twice, next to the MIDI file's place on the site: Ogg Vorbis
# (quality 2, about 85 kbit/s), which most browsers decode, and AAC in MP4
# (96 kbit/s) for those that do not (Safari, every iPhone browser). Beside
# them, data/click.ogg and data/click.m4a: half a second with one click at
# 0.25 s, encoded the same ways, from which the page learns how much silence
# the browser's decoder leaves before the first sample of each encoding
# (web_audio_renderings.js). The tune's first VUP_WEB_TUNE_START_S seconds are encoded
# the same ways on their own as well (data/tulmor.start.ogg and .m4a): on a
# slow link the page fetches them ahead of the other pictures and plays them
# while the whole tune is still coming. The same bytes on every build.
set(VUP_WEB_TUNE_MIDI ${VUP_WEB_DATA_DIR}/data/tulmor.mid)
set(VUP_WEB_TUNE ${VUP_WEB_SITE}/data/tulmor)
set(VUP_WEB_CLICK ${VUP_WEB_SITE}/data/click)
set(VUP_WEB_ENCODE_OGG -c:a libvorbis -q:a 2)
set(VUP_WEB_ENCODE_M4A -c:a aac -b:a 96k)
set(VUP_WEB_BITEXACT -fflags +bitexact -flags:a +bitexact)
set(VUP_WEB_TUNE_START_S 12)
if(VUP_RENDER_TUNE AND VUP_FFMPEG AND EXISTS ${VUP_WEB_TUNE_MIDI})
    add_custom_command(OUTPUT ${VUP_WEB_TUNE}.ogg ${VUP_WEB_TUNE}.m4a
                              ${VUP_WEB_TUNE}.start.ogg ${VUP_WEB_TUNE}.start.m4a
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VUP_WEB_SITE}/data
        COMMAND ${VUP_RENDER_TUNE} ${VUP_WEB_TUNE_MIDI} ${CMAKE_BINARY_DIR}/tulmor.wav
        COMMAND ${VUP_FFMPEG} -v error -y -i ${CMAKE_BINARY_DIR}/tulmor.wav
                ${VUP_WEB_ENCODE_OGG} ${VUP_WEB_BITEXACT} ${VUP_WEB_TUNE}.ogg
        COMMAND ${VUP_FFMPEG} -v error -y -i ${CMAKE_BINARY_DIR}/tulmor.wav
                ${VUP_WEB_ENCODE_M4A} ${VUP_WEB_BITEXACT} ${VUP_WEB_TUNE}.m4a
        COMMAND ${VUP_FFMPEG} -v error -y -i ${CMAKE_BINARY_DIR}/tulmor.wav
                -t ${VUP_WEB_TUNE_START_S} ${VUP_WEB_ENCODE_OGG} ${VUP_WEB_BITEXACT}
                ${VUP_WEB_TUNE}.start.ogg
        COMMAND ${VUP_FFMPEG} -v error -y -i ${CMAKE_BINARY_DIR}/tulmor.wav
                -t ${VUP_WEB_TUNE_START_S} ${VUP_WEB_ENCODE_M4A} ${VUP_WEB_BITEXACT}
                ${VUP_WEB_TUNE}.start.m4a
        DEPENDS ${VUP_WEB_TUNE_MIDI} ${VUP_RENDER_TUNE}
        COMMENT "Rendering the tune for the site" VERBATIM)
    set(click_source "aevalsrc=if(eq(n\\,11025)\\,0.9\\,0):s=44100:d=0.5")
    add_custom_command(OUTPUT ${VUP_WEB_CLICK}.ogg ${VUP_WEB_CLICK}.m4a
        COMMAND ${CMAKE_COMMAND} -E make_directory ${VUP_WEB_SITE}/data
        COMMAND ${VUP_FFMPEG} -v error -y -f lavfi -i ${click_source} -ac 2
                ${VUP_WEB_ENCODE_OGG} ${VUP_WEB_BITEXACT} ${VUP_WEB_CLICK}.ogg
        COMMAND ${VUP_FFMPEG} -v error -y -f lavfi -i ${click_source} -ac 2
                ${VUP_WEB_ENCODE_M4A} ${VUP_WEB_BITEXACT} ${VUP_WEB_CLICK}.m4a
        COMMENT "Encoding the click that measures each encoding's start padding" VERBATIM)
    add_custom_target(vup_web_tune ALL DEPENDS ${VUP_WEB_TUNE}.ogg ${VUP_WEB_TUNE}.m4a
                                               ${VUP_WEB_TUNE}.start.ogg ${VUP_WEB_TUNE}.start.m4a
                                               ${VUP_WEB_CLICK}.ogg ${VUP_WEB_CLICK}.m4a)
else()
    message(WARNING "No tune for the site (VUP_RENDER_TUNE, ffmpeg or ${VUP_WEB_TUNE_MIDI} "
                    "missing): its show plays silent")
    file(REMOVE ${VUP_WEB_TUNE}.ogg ${VUP_WEB_TUNE}.m4a ${VUP_WEB_TUNE}.start.ogg
                ${VUP_WEB_TUNE}.start.m4a ${VUP_WEB_CLICK}.ogg ${VUP_WEB_CLICK}.m4a)
endif()

# The site as a host serves it, made anew from the build's files and the
# show's Data/ and data/ on every build.
add_custom_target(vup_web_site ALL
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/web-site/make_site.py
            ${VUP_WEB_SITE} ${VUP_WEB_DATA_DIR} ${VUP_WEB_PUBLIC}
    COMMENT "Storing the site compressed under hashed names"
    VERBATIM)
add_dependencies(vup_web_site vup_web)
foreach(part vup_web_preview vup_web_tune)
    if(TARGET ${part})
        add_dependencies(vup_web_site ${part})
    endif()
endforeach()
