# The files shipped beside the executable: the stored settings file "lamecore.dll", made
# from res/settings/lamecore.ini by tools/settings-codec, and the help page it links to.
# They go to ${CMAKE_BINARY_DIR}/dist, where ShortcutSweeper.exe is built. The Windows build
# also puts a copy of the settings file beside the Windows tests, which read it from there.

set(_settings_res ${PROJECT_SOURCE_DIR}/res/settings)
set(_codec_src ${PROJECT_SOURCE_DIR}/tools/settings-codec.cpp)
set(_dist ${CMAKE_BINARY_DIR}/dist)
set(_gen ${CMAKE_BINARY_DIR}/generated/settings)

# The codec runs during the build, so it must be a program of the build machine. A native
# build makes it like any other target; a cross build compiles it with the build machine's
# own C++ compiler (it is one standard C++ file without dependencies).
if(CMAKE_CROSSCOMPILING)
    find_program(SWEEPER_HOST_CXX NAMES c++ g++ clang++ REQUIRED
        DOC "C++ compiler of the build machine, for the build's own tools")
    set(_codec ${CMAKE_BINARY_DIR}/host-tools/settings-codec)
    add_custom_command(OUTPUT ${_codec}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
        COMMAND ${SWEEPER_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Wpedantic -Werror
                -o ${_codec} ${_codec_src}
        DEPENDS ${_codec_src}
        COMMENT "Building settings-codec for the build machine"
        VERBATIM)
    set(_codec_dep ${_codec})
else()
    add_executable(settings_codec ${_codec_src})
    target_link_libraries(settings_codec PRIVATE sweeper_warnings)
    set_target_properties(settings_codec PROPERTIES
        OUTPUT_NAME settings-codec RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
    set(_codec $<TARGET_FILE:settings_codec>)
    set(_codec_dep settings_codec)
endif()

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
