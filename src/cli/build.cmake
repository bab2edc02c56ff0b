# shortcut-sweeper, the command-line front end: one console program from the same sources on
# Linux (host build) and Windows (shortcut-sweeper.exe beside ShortcutSweeper.exe). Its
# libraries: CLI11 and nlohmann-json (header-only, Debian packages, for both builds) and GIO
# for the trash on Linux. The window's executable links none of them.
set(_cli ${CMAKE_CURRENT_LIST_DIR})
file(GLOB _cli_all CONFIGURE_DEPENDS ${_cli}/*.cpp)
list(FILTER _cli_all EXCLUDE REGEX "/main\\.cpp$")
if(WIN32)
    list(FILTER _cli_all EXCLUDE REGEX "_posix\\.cpp$")
else()
    list(FILTER _cli_all EXCLUDE REGEX "_win32\\.cpp$")
endif()

# The header-only libraries' own folders only: in a cross build the host's /usr/include must
# not be searched (its C library headers would shadow mingw's), so each package's folder is
# linked into the build tree and that tree is the include path.
find_path(SWEEPER_CLI11_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED
    DOC "folder holding CLI/CLI.hpp (libcli11-dev)")
find_path(SWEEPER_NLOHMANN_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
    REQUIRED DOC "folder holding nlohmann/json.hpp (nlohmann-json3-dev)")
set(_cli_include ${CMAKE_BINARY_DIR}/cli-include)
file(MAKE_DIRECTORY ${_cli_include})
foreach(_pair "CLI;${SWEEPER_CLI11_DIR}" "nlohmann;${SWEEPER_NLOHMANN_DIR}")
    list(GET _pair 0 _name)
    list(GET _pair 1 _dir)
    if(NOT EXISTS ${_cli_include}/${_name})
        file(CREATE_LINK ${_dir}/${_name} ${_cli_include}/${_name} SYMBOLIC)
    endif()
endforeach()
add_library(sweeper_cli_libraries INTERFACE)
target_include_directories(sweeper_cli_libraries SYSTEM INTERFACE ${_cli_include})

add_library(sweeper_cli STATIC ${_cli_all})
target_link_libraries(sweeper_cli PUBLIC sweeper_platform sweeper_cli_libraries)
if(NOT WIN32)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(SWEEPER_GIO REQUIRED IMPORTED_TARGET gio-2.0)
    target_link_libraries(sweeper_cli PUBLIC PkgConfig::SWEEPER_GIO)
endif()

add_executable(shortcut_sweeper ${_cli}/main.cpp)
target_link_libraries(shortcut_sweeper PRIVATE sweeper_cli)
set_target_properties(shortcut_sweeper PROPERTIES OUTPUT_NAME shortcut-sweeper)
if(WIN32)
    # A console program with the window's manifest (UTF-8 code page, common controls 6),
    # beside the window's executable.
    target_sources(shortcut_sweeper PRIVATE ${PROJECT_SOURCE_DIR}/src/winkit/manifest.rc)
    set_target_properties(shortcut_sweeper PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/dist)
else()
    set_target_properties(shortcut_sweeper PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
