# sweeper_build_tool(NAME SOURCE [HEADER...]): a program the build runs, made from one standard
# C++ file of tools/ (which may include the project's own headers under src/, listed after it
# so a change to them rebuilds the tool). The build runs it, so it must be a program of the
# build machine: a native build makes it like any other target; a cross build compiles it
# with the build machine's own C++ compiler. Sets <ID>_COMMAND, what a custom command runs,
# and <ID>_DEPENDS, what that command depends on, where <ID> is NAME with '_' for '-'.
function(sweeper_build_tool name source)
    string(REPLACE "-" "_" _id ${name})
    if(CMAKE_CROSSCOMPILING)
        find_program(SWEEPER_HOST_CXX NAMES c++ g++ clang++ REQUIRED
            DOC "C++ compiler of the build machine, for the build's own tools")
        set(_program ${CMAKE_BINARY_DIR}/host-tools/${name})
        add_custom_command(OUTPUT ${_program}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
            COMMAND ${SWEEPER_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Wpedantic -Werror
                    -I${PROJECT_SOURCE_DIR}/src -o ${_program} ${source}
            DEPENDS ${source} ${ARGN}
            COMMENT "Building ${name} for the build machine"
            VERBATIM)
        set(${_id}_COMMAND ${_program} PARENT_SCOPE)
        set(${_id}_DEPENDS ${_program} PARENT_SCOPE)
    else()
        add_executable(${_id} ${source})
        target_include_directories(${_id} PRIVATE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${_id} PRIVATE sweeper_warnings)
        set_target_properties(${_id} PROPERTIES
            OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
        set(${_id}_COMMAND $<TARGET_FILE:${_id}> PARENT_SCOPE)
        set(${_id}_DEPENDS ${_id} PARENT_SCOPE)
    endif()
endfunction()
