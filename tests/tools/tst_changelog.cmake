# Which NEWS version the newest entry of debian/changelog packages, for each kind of version that Debian's
# tools and packagers write:
#   cmake -DBUILD_DEB=<tools/build-deb.sh> -P tst_changelog.cmake
cmake_minimum_required(VERSION 3.25)
set(failures 0)
# Each row: the entry's version, the NEWS version it packages.
foreach(row
        "1.0.3-1|1.0.3"
        "1.0.3-1~bpo12+1|1.0.3"
        "1:1.0.3-2+b1|1.0.3"
        "1.0.3-1.1|1.0.3"
        "1.0.3-1+b2|1.0.3"
        "1.0.3+ds-1|1.0.3"
        "1.0.3+ds1-2|1.0.3"
        "1.0.3+dfsg-1~bpo12+1|1.0.3"
        "1.0.3+git20261208-1|1.0.3"
        "1.0.3+git20261208.2739b6f-1|1.0.3"
        "1.0.4~dev20261208194042.2739b6f-1|1.0.4~dev20261208194042.2739b6f"
        "1.0.2+b1|1.0.2"
        "1.0.2|1.0.2"
        "1.0.3+nmu1-1|1.0.3+nmu1")
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 entry)
    list(GET row 1 expected)
    execute_process(COMMAND ${BUILD_DEB} --upstream-of ${entry} OUTPUT_VARIABLE read OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT read STREQUAL expected)
        message(SEND_ERROR "${entry}: read ${read}, expected ${expected}")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
# Each row: the newest entry's version and distribution, NEWS's version, the entry before the newest, what is
# built ("-" where nothing is).
set(snapshot 1.0.4~dev20261209010203.abcdef0)
foreach(row
        "1.0.4-1|unstable|1.0.4|1.0.3-1|1.0.4-1 written"
        "1:1.0.4+dfsg-2|unstable|1.0.4|1:1.0.4+dfsg-1|1:1.0.4+dfsg-2 written"
        "1.0.3+git20261208-1|UNRELEASED|${snapshot}|1.0.3-1|1.0.3+git20261208-1 written"
        "1.0.3-1|unstable|${snapshot}|1.0.2|${snapshot}-1 snapshot"
        "1:1.0.3-1|unstable|${snapshot}|1.0.2|1:${snapshot}-1 snapshot"
        "1.0.4-1|UNRELEASED|${snapshot}|1.0.3-1|${snapshot}-1 draft"
        "1:1.0.4-2|UNRELEASED|${snapshot}|1:1.0.3-1|1:${snapshot}-1 draft"
        "1.0.4-1|UNRELEASED|${snapshot}.dirty|1.0.3-1|${snapshot}.dirty-1 draft"
        "1.0.4-1|UNRELEASED|${snapshot}||${snapshot}-1 draft"
        "1.0.4+git20261209-1|UNRELEASED|${snapshot}|1.0.3-1|-"
        "1.0.4-1|UNRELEASED|${snapshot}|1.0.5-1|-"
        "1.0.4-1|UNRELEASED|${snapshot}|1:1.0.3-1|-"
        "1.0.4-1|UNRELEASED|1.0.5~dev20261209010203.abcdef0|1.0.3-1|-"
        "1.0.5-1|unstable|${snapshot}|1.0.4-1|-"
        "1.0.3-1|unstable|1.0.4|1.0.2|-")
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 entry)
    list(GET row 1 distribution)
    list(GET row 2 news)
    list(GET row 3 before)
    list(GET row 4 expected)
    execute_process(COMMAND ${BUILD_DEB} --packaged ${entry} ${distribution} ${news} "${before}"
                    OUTPUT_VARIABLE built OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        set(built "-")
    endif()
    if(NOT built STREQUAL expected)
        message(SEND_ERROR "${entry} (${distribution}) after ${before} with NEWS ${news}: built ${built}, "
                           "expected ${expected}")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
if(failures EQUAL 0)
    message(STATUS "every kind of changelog version packages the NEWS version it should, and is built as written")
endif()
