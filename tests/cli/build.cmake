# The command-line program's tests: its units (sweeper_cli) and the program itself, run as
# a child process (host); under Wine, the Windows program against the host one.
if(TARGET tests_cli)
    target_link_libraries(tests_cli PRIVATE sweeper_cli)
    add_dependencies(tests_cli shortcut_sweeper)
    target_compile_definitions(tests_cli PRIVATE
        SWEEPER_CLI_PROGRAM="$<TARGET_FILE:shortcut_sweeper>")
endif()
if(WIN32 AND CMAKE_HOST_UNIX)
    add_executable(shell_tree ${CMAKE_CURRENT_LIST_DIR}/shell_tree.cpp
        ${PROJECT_SOURCE_DIR}/src/winkit/manifest.rc)
    target_link_libraries(shell_tree PRIVATE sweeper_test_support)
    set_target_properties(shell_tree PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/wintests)
    set(SWEEPER_HOST_CLI ${PROJECT_SOURCE_DIR}/build/host/shortcut-sweeper CACHE FILEPATH
        "The host build's shortcut-sweeper, which the Windows program is compared with")
    add_test(NAME cli_same_verdicts COMMAND ${CMAKE_CURRENT_LIST_DIR}/same_verdicts.sh
        $<TARGET_FILE:shortcut_sweeper> $<TARGET_FILE:shell_tree> ${SWEEPER_HOST_CLI})
    set_tests_properties(cli_same_verdicts PROPERTIES FIXTURES_REQUIRED wine
        ENVIRONMENT "${_env}" LABELS windows TIMEOUT 300 SKIP_RETURN_CODE 77)

    # Shortcuts in the shapes real machines write, and the window's scan without the window:
    # the three readers compared.
    foreach(_tool real_shapes core_verdicts)
        add_executable(${_tool} ${CMAKE_CURRENT_LIST_DIR}/${_tool}.cpp
            ${PROJECT_SOURCE_DIR}/src/winkit/manifest.rc)
        target_link_libraries(${_tool} PRIVATE sweeper_test_support)
        set_target_properties(${_tool} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/wintests)
    endforeach()
    add_test(NAME cli_real_shapes COMMAND ${CMAKE_CURRENT_LIST_DIR}/real_shapes.sh
        $<TARGET_FILE:shortcut_sweeper> $<TARGET_FILE:real_shapes> $<TARGET_FILE:core_verdicts>
        ${SWEEPER_HOST_CLI})
    set_tests_properties(cli_real_shapes PROPERTIES FIXTURES_REQUIRED wine
        ENVIRONMENT "${_env}" LABELS windows TIMEOUT 300 SKIP_RETURN_CODE 77)

    # Launchers written by Wine's own menu builder in a prefix and a home of the test's own,
    # judged and recycled by the host program as the program's folder and the prefix go.
    add_test(NAME cli_wine_launchers COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_launchers.sh
        ${SWEEPER_HOST_CLI})
    set_tests_properties(cli_wine_launchers PROPERTIES FIXTURES_REQUIRED wine
        ENVIRONMENT "${_env}" LABELS windows TIMEOUT 120 SKIP_RETURN_CODE 77)
endif()
