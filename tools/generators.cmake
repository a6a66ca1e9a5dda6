# The build-time generators, for whichever machine the project that includes this file builds for: the picture
# generator (the face pictures and the card back) and the icon generator.
add_executable(pf_picturegen ${CMAKE_CURRENT_LIST_DIR}/picturegen.cpp ${CMAKE_CURRENT_LIST_DIR}/artwork.h
                             ${CMAKE_CURRENT_LIST_DIR}/fixedpoint.h)
# It names the twins of the pictures with the picture library's own header-only rule.
target_include_directories(pf_picturegen PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(pf_picturegen PRIVATE gif)

add_executable(pf_icongen ${CMAKE_CURRENT_LIST_DIR}/icongen.cpp ${CMAKE_CURRENT_LIST_DIR}/artwork.h)
target_link_libraries(pf_icongen PRIVATE Qt6::Gui)
