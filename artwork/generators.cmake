# The artwork and the two programs that write it, for whichever machine the project that includes this file
# builds for: the picture generator (the faces and the card back, as GIF) and the icon generator (SVG, PNG
# and raw pixels). Neither needs Qt; both are checked to import nothing of the C maths library.
find_package(PNG REQUIRED)
set(PF_ARTWORK_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(pf_artwork STATIC
    ${PF_ARTWORK_DIR}/cardback.cpp ${PF_ARTWORK_DIR}/cardback.h
    ${PF_ARTWORK_DIR}/colour.cpp ${PF_ARTWORK_DIR}/colour.h
    ${PF_ARTWORK_DIR}/complex.h
    ${PF_ARTWORK_DIR}/escape.cpp
    ${PF_ARTWORK_DIR}/faces.cpp ${PF_ARTWORK_DIR}/faces.h
    ${PF_ARTWORK_DIR}/figures.cpp ${PF_ARTWORK_DIR}/figures.h
    ${PF_ARTWORK_DIR}/fixed.h
    ${PF_ARTWORK_DIR}/functions.h
    ${PF_ARTWORK_DIR}/gifwriter.cpp ${PF_ARTWORK_DIR}/gifwriter.h
    ${PF_ARTWORK_DIR}/icon.cpp ${PF_ARTWORK_DIR}/icon.h
    ${PF_ARTWORK_DIR}/indexed.cpp ${PF_ARTWORK_DIR}/indexed.h
    ${PF_ARTWORK_DIR}/pngwriter.cpp ${PF_ARTWORK_DIR}/pngwriter.h
    ${PF_ARTWORK_DIR}/raster.cpp ${PF_ARTWORK_DIR}/raster.h
    ${PF_ARTWORK_DIR}/snowflake.cpp ${PF_ARTWORK_DIR}/snowflake.h
    ${PF_ARTWORK_DIR}/wood.h)
# Its headers are included as "artwork/...", and the picture generator names the twins of the pictures with
# the picture library's own header-only rule.
target_include_directories(pf_artwork PUBLIC ${PF_ARTWORK_DIR}/..)
target_link_libraries(pf_artwork PRIVATE gif PNG::PNG)

# Any floating-point operation in the artwork fails to compile where the compiler keeps to the general
# registers with the C and C++ libraries' headers (GCC on amd64, i386 and arm64; armhf's headers and clang 14's
# take doubles that it cannot pass): the drawing must not depend on a machine's floating point. Everywhere, the
# generators must import nothing of the C maths library (below).
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -mgeneral-regs-only)
# The headers the artwork includes, each of which must take the flag.
check_cxx_source_compiles([[
#include <algorithm>
#include <array>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>
#include <fcntl.h>
#include <unistd.h>
int main() { return std::abs(std::atoi("0")); }
]] PF_GENERAL_REGISTERS_ONLY)
unset(CMAKE_REQUIRED_FLAGS)
if(PF_GENERAL_REGISTERS_ONLY)
    target_compile_options(pf_artwork PRIVATE -mgeneral-regs-only)
endif()

# The readelf that reads the programs built here, whatever their processor.
if(NOT CMAKE_READELF)
    find_program(CMAKE_READELF readelf REQUIRED)
endif()
set_target_properties(pf_artwork PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
# The drawing runs in every build and again in the tests. Unoptimised and under the sanitizers it takes minutes
# (every Fixed operation a call), optimised seconds, with the sanitizers still on: a debug build optimises
# the artwork too. Its bytes do not depend on it; the tests hold them to the committed digests.
set(optimised $<$<CONFIG:Debug>:-O2>)
target_compile_options(pf_artwork PRIVATE ${optimised})
foreach(tool picturegen icongen)
    add_executable(pf_${tool} ${PF_ARTWORK_DIR}/${tool}.cpp)
    set_target_properties(pf_${tool} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
    target_link_libraries(pf_${tool} PRIVATE pf_artwork)
    target_compile_options(pf_${tool} PRIVATE ${optimised})
    if(PF_GENERAL_REGISTERS_ONLY)
        target_compile_options(pf_${tool} PRIVATE -mgeneral-regs-only)
    endif()
    add_custom_command(TARGET pf_${tool} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DREADELF=${CMAKE_READELF} -DPROGRAM=$<TARGET_FILE:pf_${tool}>
                -P ${PF_ARTWORK_DIR}/nolibm.cmake
        VERBATIM)
endforeach()
