# The icon and the background picture go beside the executable (copied at build).
if(WIN32)
    set(_pictures ${PROJECT_SOURCE_DIR}/res/pictures)
    add_custom_target(sweeper_dist_pictures ALL
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_pictures}/icon.ico ${_pictures}/UI.bmp
                ${CMAKE_BINARY_DIR}/dist
        COMMENT "icon.ico and UI.bmp beside the executable")
endif()
