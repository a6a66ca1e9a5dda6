# Prints "<version> <date>" of the source tree SOURCE by the rule of pf_version, for the tools: a tarball's
# version (WORKTREE=ON: of the files as they are in the work tree) is the build's.
#   cmake -DSOURCE=<dir> [-DWORKTREE=ON] -P cmake/version.cmake
include(${CMAKE_CURRENT_LIST_DIR}/news.cmake)
pf_version("${SOURCE}" "${WORKTREE}" version date releases watch)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${version} ${date}")
