# Which NEWS version the newest entry of debian/changelog packages, for each kind of version that Debian's
# tools and packagers write:
#   cmake -DBUILD_DEB=<tools/build-deb.sh> -P tst_changelog.cmake
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
if(failures EQUAL 0)
    message(STATUS "every kind of changelog version packages the NEWS version it should")
endif()
