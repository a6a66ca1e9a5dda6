# Prints "<version> <date>" of the source tree SOURCE by the rule of pf_version, for the tools; NEWS names the
# NEWS file to read (by default SOURCE's), that of the files a tarball packs.
#   cmake -DSOURCE=<dir> [-DNEWS=<file>] -P cmake/version.cmake
include(${CMAKE_CURRENT_LIST_DIR}/news.cmake)
if(NOT NEWS)
    set(NEWS "${SOURCE}/NEWS")
endif()
pf_version("${SOURCE}" "${NEWS}" version date releases watch)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${version} ${date}")
