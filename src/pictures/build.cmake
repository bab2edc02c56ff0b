# The window draws its own larger renderings of the background only while UI.bmp beside it is
# the shipped file (winkit/display_scale): the build writes that file's size and fingerprint
# into generated/pictures/shipped_background.h, for both builds.
set(_shipped_background ${CMAKE_BINARY_DIR}/generated/pictures/shipped_background.h)
sweeper_build_tool(fingerprint ${PROJECT_SOURCE_DIR}/tools/fingerprint.cpp
    ${PROJECT_SOURCE_DIR}/src/base/fnv.h ${PROJECT_SOURCE_DIR}/tools/tool_files.h)
add_custom_command(OUTPUT ${_shipped_background}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/pictures
    COMMAND ${fingerprint_COMMAND} ${PROJECT_SOURCE_DIR}/res/pictures/UI.bmp ShippedBackground
            ${_shipped_background}
    DEPENDS ${fingerprint_DEPENDS} ${PROJECT_SOURCE_DIR}/res/pictures/UI.bmp
    COMMENT "Fingerprinting the shipped UI.bmp"
    VERBATIM)
target_sources(sweeper_core PRIVATE ${_shipped_background})
target_include_directories(sweeper_core PRIVATE ${CMAKE_BINARY_DIR}/generated)

# The icon and the background picture go beside the executable (copied at build).
if(WIN32)
    set(_pictures ${PROJECT_SOURCE_DIR}/res/pictures)
    add_custom_target(sweeper_dist_pictures ALL
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_pictures}/icon.ico ${_pictures}/UI.bmp
                ${CMAKE_BINARY_DIR}/dist
        COMMENT "icon.ico and UI.bmp beside the executable")
endif()
