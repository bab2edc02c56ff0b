# A small tree of Unix symbolic links that loop back on themselves, for the Win32 listing
# test under Wine (which reaches it through the Z: drive).
if(WIN32 AND CMAKE_HOST_UNIX AND TEST dir_listing_wintest)
    set(_loop ${CMAKE_BINARY_DIR}/link-loop)
    file(MAKE_DIRECTORY ${_loop}/a)
    file(WRITE ${_loop}/a/b.lnk "x")
    if(NOT IS_SYMLINK ${_loop}/a/up)
        file(CREATE_LINK .. ${_loop}/a/up SYMBOLIC)
    endif()
    if(NOT IS_SYMLINK ${_loop}/self)
        file(CREATE_LINK ${_loop} ${_loop}/self SYMBOLIC)
    endif()
    set_property(TEST dir_listing_wintest APPEND PROPERTY ENVIRONMENT "SWEEPER_LINK_LOOP=${_loop}")
endif()
