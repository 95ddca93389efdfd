# Vup's version and the date of its source, each one fact taken from git, so
# that every build of a commit names and dates it the same way:
#
#   VUP_VERSION            `git describe` of the commit against the tags
#                          vX.Y.Z, in the form Debian and file names take:
#                          the tag v1.2.0 itself is 1.2.0, five commits later
#                          1.2.0+5.g1a2b3c4d; before the first tag,
#                          0.0.0+N.gHASH (N commits in all)
#   VUP_SOURCE_DATE_EPOCH  the commit's time in seconds since 1970, what
#                          every date a build writes is (the environment's
#                          SOURCE_DATE_EPOCH wins, as reproducible builds
#                          agree)
#   VUP_DATE               that date as YYYY-MM-DD, in UTC
#
# A release's source tarball has no .git: scripts/release adds a file VERSION
# to it holding this file's own output, which is read instead.
#
#   cmake -P cmake/Version.cmake   prints VUP_VERSION=... and SOURCE_DATE_EPOCH=...

get_filename_component(VUP_VERSION_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

function(vup_git out)
    execute_process(COMMAND git ${ARGN} WORKING_DIRECTORY ${VUP_VERSION_ROOT}
                    OUTPUT_VARIABLE output RESULT_VARIABLE status ERROR_QUIET
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0)
        set(output "")
    endif()
    set(${out} "${output}" PARENT_SCOPE)
endfunction()

if(EXISTS ${VUP_VERSION_ROOT}/VERSION)
    file(STRINGS ${VUP_VERSION_ROOT}/VERSION VUP_VERSION REGEX "^VUP_VERSION=")
    file(STRINGS ${VUP_VERSION_ROOT}/VERSION VUP_SOURCE_DATE_EPOCH REGEX "^SOURCE_DATE_EPOCH=")
    string(REGEX REPLACE "^[A-Z_]+=" "" VUP_VERSION "${VUP_VERSION}")
    string(REGEX REPLACE "^[A-Z_]+=" "" VUP_SOURCE_DATE_EPOCH "${VUP_SOURCE_DATE_EPOCH}")
else()
    # A fixed abbreviation, so that every clone spells the commit alike.
    vup_git(described describe --tags --match "v[0-9]*" --abbrev=8)
    vup_git(VUP_SOURCE_DATE_EPOCH log -1 --format=%ct)
    if(described MATCHES "^v([0-9][0-9A-Za-z.]*)-([0-9]+)-g([0-9a-f]+)$")
        set(VUP_VERSION "${CMAKE_MATCH_1}+${CMAKE_MATCH_2}.g${CMAKE_MATCH_3}")
    elseif(described MATCHES "^v([0-9][0-9A-Za-z.]*)$")
        set(VUP_VERSION "${CMAKE_MATCH_1}")
    elseif(described)
        message(FATAL_ERROR "The tag in '${described}' is not a version: tags are vX.Y.Z")
    else()
        vup_git(count rev-list --count HEAD)
        vup_git(hash rev-parse --short=8 HEAD)
        if(count AND hash)
            set(VUP_VERSION "0.0.0+${count}.g${hash}")
        endif()
    endif()
    # A new commit, checkout or tag configures the build again.
    vup_git(head_log rev-parse --path-format=absolute --git-path logs/HEAD)
    vup_git(tags rev-parse --path-format=absolute --git-path refs/tags)
    foreach(moved ${head_log} ${tags})
        if(EXISTS ${moved} AND NOT CMAKE_SCRIPT_MODE_FILE)
            set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                                                        ${moved})
        endif()
    endforeach()
endif()

if(NOT VUP_VERSION OR NOT VUP_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(WARNING "No version: ${VUP_VERSION_ROOT} is neither a git checkout nor a release's "
                    "source (with its file VERSION); building as 0.0.0+unknown")
    set(VUP_VERSION "0.0.0+unknown")
    set(VUP_SOURCE_DATE_EPOCH 0)
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    if(NOT "$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$")
        message(FATAL_ERROR "SOURCE_DATE_EPOCH is '$ENV{SOURCE_DATE_EPOCH}', "
                            "not a number of seconds since 1970")
    endif()
    set(VUP_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
endif()

# string(TIMESTAMP) reads the time from SOURCE_DATE_EPOCH.
set(vup_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${VUP_SOURCE_DATE_EPOCH})
string(TIMESTAMP VUP_DATE "%Y-%m-%d" UTC)
if(vup_saved_epoch STREQUAL "")
    unset(ENV{SOURCE_DATE_EPOCH})
else()
    set(ENV{SOURCE_DATE_EPOCH} "${vup_saved_epoch}")
endif()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "VUP_VERSION=${VUP_VERSION}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "SOURCE_DATE_EPOCH=${VUP_SOURCE_DATE_EPOCH}")
endif()
