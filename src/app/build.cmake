# The files shipped beside the executable: the stored settings file "lamecore.dll", made
# from res/settings/lamecore.ini by tools/settings-codec, and the help page it links to.
# They go to ${CMAKE_BINARY_DIR}/dist, where ShortcutSweeper.exe is built. The Windows build
# also puts a copy of the settings file beside the Windows tests, which read it from there.

set(_settings_res ${PROJECT_SOURCE_DIR}/res/settings)
set(_codec_src ${PROJECT_SOURCE_DIR}/tools/settings-codec.cpp)
set(_dist ${CMAKE_BINARY_DIR}/dist)
set(_gen ${CMAKE_BINARY_DIR}/generated/settings)

sweeper_build_tool(settings-codec ${_codec_src} ${PROJECT_SOURCE_DIR}/tools/tool_files.h)
set(_codec ${settings_codec_COMMAND})
set(_codec_dep ${settings_codec_DEPENDS})

# The plain texts with the project's version filled in.
configure_file(${_settings_res}/lamecore.ini ${_gen}/lamecore.ini @ONLY NEWLINE_STYLE CRLF)
configure_file(${_settings_res}/help.html ${_gen}/help.html @ONLY NEWLINE_STYLE CRLF)

set(_outputs ${_dist}/lamecore.dll ${_dist}/help.html)
add_custom_command(OUTPUT ${_dist}/lamecore.dll
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_dist}
    COMMAND ${_codec} encode ${_gen}/lamecore.ini ${_dist}/lamecore.dll
    DEPENDS ${_codec_dep} ${_gen}/lamecore.ini
    COMMENT "Encoding the settings file lamecore.dll"
    VERBATIM)
add_custom_command(OUTPUT ${_dist}/help.html
    COMMAND ${CMAKE_COMMAND} -E copy ${_gen}/help.html ${_dist}/help.html
    DEPENDS ${_gen}/help.html
    VERBATIM)
if(WIN32)
    # tests/CMakeLists.txt builds the Windows tests into ${CMAKE_BINARY_DIR}/wintests.
    set(_wintests ${CMAKE_BINARY_DIR}/wintests)
    add_custom_command(OUTPUT ${_wintests}/lamecore.dll
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_wintests}
        COMMAND ${CMAKE_COMMAND} -E copy ${_dist}/lamecore.dll ${_wintests}/lamecore.dll
        DEPENDS ${_dist}/lamecore.dll
        VERBATIM)
    list(APPEND _outputs ${_wintests}/lamecore.dll)
endif()
add_custom_target(settings_files ALL DEPENDS ${_outputs})
