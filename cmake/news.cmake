# Reads NEWS, the one source of the releases: each begins with a heading "Pairfield <version>, <YYYY-MM-DD>"
# and lists its changes as items "  * ...", continued on lines indented further. The first heading may instead
# be the next version, not yet released: "Pairfield <version>, unreleased", or in a snapshot's tarball
# "Pairfield <version>, unreleased snapshot <YYYYMMDDhhmmss>.<commit>".
#   pf_read_news(<file> <version var> <date var> <releases var>)
# gives the version and date: the newest release's; a snapshot's, <version>~dev<time>.<commit> of its day; or
# for the next version outside a snapshot, <version>~dev and no date. The releases are every release as
# AppStream <release> elements, newest first; the next version is none of them. A file that does not begin
# with a heading stops the configuration.
function(pf_read_news file version_var date_var releases_var)
    # Lines as a list, their semicolons kept aside as a character that no text has.
    file(READ "${file}" text)
    string(ASCII 31 semicolon)
    string(REPLACE ";" "${semicolon}" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(releases "")
    set(item "")
    set(open FALSE)
    foreach(line IN LISTS lines)
        if(line MATCHES "^  \\* (.*)$" OR line STREQUAL "" OR line MATCHES "^Pairfield ")
            if(NOT item STREQUAL "")
                string(REPLACE "&" "&amp;" item "${item}")
                string(REPLACE "<" "&lt;" item "${item}")
                string(REPLACE ">" "&gt;" item "${item}")
                string(REPLACE "${semicolon}" ";" item "${item}")
                string(APPEND releases "            <li>${item}</li>\n")
                set(item "")
            endif()
        endif()
        if(NOT DEFINED version AND line MATCHES
           "^Pairfield ([0-9][^ ,]*), unreleased( snapshot (([0-9][0-9][0-9][0-9])([0-9][0-9])([0-9][0-9])[0-9]*\\.[0-9a-f]+(\\.dirty)?))?$")
            set(version "${CMAKE_MATCH_1}~dev${CMAKE_MATCH_3}")
            set(date "")
            if(CMAKE_MATCH_3)
                set(date "${CMAKE_MATCH_4}-${CMAKE_MATCH_5}-${CMAKE_MATCH_6}")
            endif()
            set(unreleased TRUE)
        elseif(line MATCHES "^Pairfield ([0-9][^ ,]*), ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
            set(unreleased FALSE)
            if(open)
                string(APPEND releases "          </ul>\n        </description>\n      </release>\n")
            elseif(NOT DEFINED version)
                set(version "${CMAKE_MATCH_1}")
                set(date "${CMAKE_MATCH_2}")
            endif()
            string(APPEND releases "      <release version=\"${CMAKE_MATCH_1}\" date=\"${CMAKE_MATCH_2}\">\n"
                                   "        <description>\n          <ul>\n")
            set(open TRUE)
        elseif(unreleased AND (line MATCHES "^  \\* " OR line MATCHES "^    +"))
            # What the next version will bring is no release's yet.
        elseif(line MATCHES "^  \\* (.*)$")
            set(item "${CMAKE_MATCH_1}")
        elseif(line MATCHES "^    +(.*)$")
            string(APPEND item " ${CMAKE_MATCH_1}")
        elseif(NOT line STREQUAL "" OR NOT (open OR unreleased))
            message(FATAL_ERROR "${file} does not begin with a release, or a line of it is not an item: ${line}")
        endif()
    endforeach()
    string(APPEND releases "          </ul>\n        </description>\n      </release>")
    set(${version_var} "${version}" PARENT_SCOPE)
    set(${date_var} "${date}" PARENT_SCOPE)
    set(${releases_var} "${releases}" PARENT_SCOPE)
endfunction()

# The version of the tree at `source` whose NEWS is the file `news`, the one rule that the build, tools/dist.sh
# and tools/build-deb.sh all ask: NEWS's newest release; in a snapshot's tarball, the snapshot its NEWS names; in
# a git work tree whose next version NEWS opens as unreleased, a snapshot of its commit,
# <next>~dev<YYYYMMDDhhmmss>.<commit> (the commit's time in UTC and the first seven digits of its hash), of the
# commit's day; elsewhere <next>~dev, of the newest release's day. The git files that name the commit go to
# `watch`, for a build to configure again when it changes.
#   pf_version(<source> <news> <version var> <date var> <releases var> <watch var>)
function(pf_version source news version_var date_var releases_var watch_var)
    pf_read_news(${news} version date releases)
    set(watch "")
    if(version MATCHES "~dev$")
        find_program(PF_GIT git)
        if(PF_GIT)
            execute_process(COMMAND ${PF_GIT} rev-parse --show-toplevel WORKING_DIRECTORY ${source}
                            OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        endif()
        file(REAL_PATH "${source}" here)
        if(top AND EXISTS "${top}" AND NOT top STREQUAL "")
            file(REAL_PATH "${top}" top)
        endif()
        # Only the project's own work tree names a snapshot: a tarball unpacked inside another repository is not
        # that repository's commit.
        if(top STREQUAL here)
            execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${PF_GIT} log -1 --format=%cd
                                    --date=format-local:%Y%m%d%H%M%S HEAD
                            WORKING_DIRECTORY ${source} OUTPUT_VARIABLE time OUTPUT_STRIP_TRAILING_WHITESPACE)
            execute_process(COMMAND ${PF_GIT} rev-parse --short=7 HEAD WORKING_DIRECTORY ${source}
                            OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE)
            execute_process(COMMAND ${PF_GIT} rev-parse --git-path HEAD --symbolic-full-name HEAD
                            WORKING_DIRECTORY ${source} OUTPUT_VARIABLE refs OUTPUT_STRIP_TRAILING_WHITESPACE)
        endif()
        if(time MATCHES "^(....)(..)(..)[0-9]*$" AND commit)
            set(date "${CMAKE_MATCH_1}-${CMAKE_MATCH_2}-${CMAKE_MATCH_3}")
            string(APPEND version "${time}.${commit}")
            string(REPLACE "\n" ";" refs "${refs}")
            foreach(ref IN LISTS refs)
                if(IS_ABSOLUTE "${ref}" AND EXISTS "${ref}")
                    list(APPEND watch "${ref}")
                elseif(EXISTS "${source}/${ref}")
                    list(APPEND watch "${source}/${ref}")
                elseif(EXISTS "${source}/.git/${ref}")
                    list(APPEND watch "${source}/.git/${ref}")
                endif()
            endforeach()
        else()
            string(REGEX MATCH "date=\"([0-9-]+)\"" found "${releases}")
            set(date "${CMAKE_MATCH_1}")
        endif()
    endif()
    set(${version_var} "${version}" PARENT_SCOPE)
    set(${date_var} "${date}" PARENT_SCOPE)
    set(${releases_var} "${releases}" PARENT_SCOPE)
    set(${watch_var} "${watch}" PARENT_SCOPE)
endfunction()
