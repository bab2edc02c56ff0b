# Under Wine the recycle bin is the desktop trash of $XDG_DATA_HOME: keep the files the
# recycle-bin test moves inside the build folder instead of the user's own trash.
if(WIN32 AND TEST util_funcs_wintest)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/wine-xdg-data)
    set_property(TEST util_funcs_wintest APPEND PROPERTY ENVIRONMENT
        "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/wine-xdg-data")
endif()
