# The site's data package, vup.data with its loader vup-data.js, made by
# emscripten's file packager so that every build writes the same bytes. Left
# to itself the packager takes the files in the order the file system lists
# them, names the package by the path it writes to and gives it a random id;
# here the files are named one by one in sorted order, the package is
# written from inside the site by its plain name, and its id is its
# contents' SHA-256 (the id only tells a cached copy from a changed one).
#
#   cmake -DVUP_FILE_PACKAGER=file_packager.py -DVUP_WEB_DATA_DIR=DIR -DVUP_WEB_SITE=SITE
#         -P cmake/WebDataPackage.cmake
foreach(needed VUP_FILE_PACKAGER VUP_WEB_DATA_DIR VUP_WEB_SITE)
    if(NOT ${needed})
        message(FATAL_ERROR "WebDataPackage.cmake needs -D${needed}=...")
    endif()
endforeach()

# The show's files and nothing else: Data/ and data/ hold only them, and the
# packager would leave out hidden files anyway.
file(GLOB files RELATIVE ${VUP_WEB_DATA_DIR} ${VUP_WEB_DATA_DIR}/Data/[^.]*
     ${VUP_WEB_DATA_DIR}/data/[^.]*)
list(SORT files)
set(preload)
foreach(file ${files})
    list(APPEND preload ${VUP_WEB_DATA_DIR}/${file}@/${file})
endforeach()

execute_process(COMMAND python3 ${VUP_FILE_PACKAGER} vup.data --preload ${preload}
                        --js-output=vup-data.js --no-node
                WORKING_DIRECTORY ${VUP_WEB_SITE} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "emscripten's file packager failed (status ${status})")
endif()

file(SHA256 ${VUP_WEB_SITE}/vup.data digest)
file(READ ${VUP_WEB_SITE}/vup-data.js loader)
string(REGEX REPLACE "\"package_uuid\": \"[0-9a-f-]+\"" "\"package_uuid\": \"sha256-${digest}\""
       fixed "${loader}")
if(fixed STREQUAL loader)
    message(FATAL_ERROR "No package id in vup-data.js: has the file packager changed its output?")
endif()
file(WRITE ${VUP_WEB_SITE}/vup-data.js "${fixed}")
