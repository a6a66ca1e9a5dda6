# The version and date read from debian/changelog for each kind of entry that Debian's tools make:
#   cmake -P tst_changelog.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/changelog.cmake)

set(failures 0)
# Each row: the entry's version, its trailer's date, the version and ISO date expected.
foreach(row
        "1.0.2|Tue, 08 Dec 2026 07:40:00 +0000|1.0.2|2026-12-08"
        "1.0.2+b1|Wed, 09 Dec 2026 10:00:00 +0000|1.0.2|2026-12-09"
        "1.0.2-1|Tue, 8 Dec 2026 07:40:00 +0100|1.0.2|2026-12-08"
        "1.0.2-1~bpo12+1|Sun, 31 Jan 2027 23:59:59 -0800|1.0.2|2027-01-31"
        "1.0.2-1.1|Mon, 1 Feb 2027 00:00:00 +0000|1.0.2|2027-02-01"
        "1.0.2-1+b2|Fri, 05 Feb 2027 12:00:00 +0000|1.0.2|2027-02-05"
        "1:1.0.2-1|08 Dec 2026 07:40:00 +0000|1.0.2|2026-12-08"
        "1.0.2+nmu1|Tue, 08 Dec 2026 07:40:00 +0000|1.0.2+nmu1|2026-12-08")
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 entry)
    list(GET row 1 when)
    list(GET row 2 version)
    list(GET row 3 date)
    pf_read_changelog("pairfield (${entry}) unstable; urgency=medium\n\n  * A change.\n\n -- A Maintainer <a@example.org>  ${when}\n\npairfield (0.9) unstable; urgency=low\n\n -- B <b@example.org>  Mon, 01 Jan 2024 00:00:00 +0000\n"
                      read_version read_date)
    if(NOT read_version STREQUAL version OR NOT read_date STREQUAL date)
        message(SEND_ERROR "${entry} of ${when}: read ${read_version} of ${read_date}, expected ${version} of ${date}")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()
if(failures EQUAL 0)
    message(STATUS "every kind of changelog entry read as dpkg-parsechangelog reads it")
endif()
