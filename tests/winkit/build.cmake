# The display-scale tests use the program's own pictures: the Windows test opens the window on the files beside the program in dist/ (UI.bmp
# and the settings) with the executable's larger backgrounds linked in, and bitmaps of two
# larger renderings to compare the buttons' decoded pictures with.
if(WIN32 AND TARGET display_scale_wintest)
    target_sources(display_scale_wintest PRIVATE ${PROJECT_SOURCE_DIR}/src/pictures/backgrounds.rc
        ${CMAKE_CURRENT_LIST_DIR}/display_scale_pictures.rc)
    add_dependencies(display_scale_wintest settings_files sweeper_dist_pictures)
    target_compile_definitions(display_scale_wintest PRIVATE
        SWEEPER_DIST="${CMAKE_BINARY_DIR}/dist")
endif()
