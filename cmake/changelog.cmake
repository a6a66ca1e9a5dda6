# Reads the newest entry of a Debian changelog by the rules dpkg-parsechangelog follows, for its upstream
# version (which must be NEWS's newest) and its day:
#   pf_read_changelog(<text> <version var> <date var>)
# The version is the entry's upstream version: without an epoch ("1:"), a Debian revision (from the last
# "-" on: "-1", "-1~bpo12+1", "-1.1") and a binary-only rebuild's "+bN". The date is the trailer's day as
# written ("Tue, 8 Dec 2026 ..." or "08 Dec"), in ISO form. Anything else in the entry is not read; an entry
# without a heading or a trailer stops the configuration.
function(pf_read_changelog text version_var date_var)
    string(REGEX MATCH "^[a-z0-9][a-z0-9+.-]* \\(([^ ()]+)\\)" heading "${text}")
    set(version "${CMAKE_MATCH_1}")
    string(REGEX MATCH "\n -- [^\n]*>  (([A-Z][a-z][a-z]), )?([0-9]?[0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) "
                 trailer "${text}")
    set(day "${CMAKE_MATCH_3}")
    set(month_name "${CMAKE_MATCH_4}")
    set(year "${CMAKE_MATCH_5}")
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months "${month_name}" month)
    if(NOT heading OR NOT trailer OR month EQUAL -1)
        message(FATAL_ERROR "debian/changelog does not begin with an entry with a version and its date")
    endif()

    string(REGEX REPLACE "^[0-9]+:" "" version "${version}")
    string(REGEX REPLACE "-[^-]*$" "" version "${version}")
    string(REGEX REPLACE "\\+b[0-9]+$" "" version "${version}")
    math(EXPR month "${month} + 101")
    string(SUBSTRING "${month}" 1 2 month)
    string(REGEX REPLACE "^0" "" day "${day}")
    math(EXPR day "${day} + 100")
    string(SUBSTRING "${day}" 1 2 day)
    set(${version_var} "${version}" PARENT_SCOPE)
    set(${date_var} "${year}-${month}-${day}" PARENT_SCOPE)
endfunction()
