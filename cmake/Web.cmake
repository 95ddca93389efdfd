# The browser build, configured with emcmake (scripts/build-web.sh). It makes a
# static site in ${CMAKE_BINARY_DIR}/site: index.html, vup.js, vup.wasm and
# vup.data, the Data/ and data/ files, which are put into emscripten's
# in-memory file system before main runs, so the show reads them by its usual
# relative paths through the POSIX file map (mmap serves MEMFS files).
#
# The show's code (vup_core, driven through show/show.h) draws through the GL
# 1.1 layer (vup_gl11) and its WebGL side in place of libGL and libGLU. The
# page has no window, keys or sound yet: message boxes become lines in the
# page (web_message_box.cpp), and the sound library is the recorder's silent
# one. The live page adds its platform backend and WebAudio player here.

set(VUP_WEB_SITE ${CMAKE_BINARY_DIR}/site)
set(VUP_WEB_DATA_DIR ${CMAKE_SOURCE_DIR} CACHE PATH
    "Where the site's Data/ and data/ come from (other pictures for a trial)")
# A changed picture or tune links the site again.
file(GLOB VUP_WEB_DATA_FILES CONFIGURE_DEPENDS ${VUP_WEB_DATA_DIR}/Data/* ${VUP_WEB_DATA_DIR}/data/*)

# The JavaScript sides: WebGL for the GL layer, and the page.
set(VUP_WEB_JS_LIBRARIES
    ${CMAKE_SOURCE_DIR}/src/platform/webgl/webgl_backend.js
    ${CMAKE_SOURCE_DIR}/src/platform/web/web_page.js)

add_executable(vup_web
    src/platform/web/web_main.cpp
    src/platform/web/web_message_box.cpp
    src/platform/web/web_still.cpp
    src/platform/webgl/webgl_context.cpp
    src/platform/posix/file_map_posix.cpp
    tools/vup-record/frame_schedule.cpp
    tools/vup-record/silent_music.cpp)
target_include_directories(vup_web PRIVATE src tools/vup-record)
target_link_libraries(vup_web PRIVATE vup_core vup_gl11)
set_target_properties(vup_web PROPERTIES
    OUTPUT_NAME vup
    SUFFIX .js
    RUNTIME_OUTPUT_DIRECTORY ${VUP_WEB_SITE}
    LINK_DEPENDS "${VUP_WEB_JS_LIBRARIES};${VUP_WEB_DATA_FILES}")
foreach(library ${VUP_WEB_JS_LIBRARIES})
    target_link_options(vup_web PRIVATE "SHELL:--js-library ${library}")
endforeach()
target_link_options(vup_web PRIVATE
    "SHELL:--preload-file ${VUP_WEB_DATA_DIR}/Data@/Data"
    "SHELL:--preload-file ${VUP_WEB_DATA_DIR}/data@/data"
    -sENVIRONMENT=web
    -sALLOW_MEMORY_GROWTH=1)

configure_file(src/platform/web/index.html ${VUP_WEB_SITE}/index.html COPYONLY)
