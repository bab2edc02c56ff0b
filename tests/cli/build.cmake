# The command-line program's tests: its units (sweeper_cli) and the program itself, run as
# a child process (host); under Wine, the Windows program against the host one.
if(TARGET tests_cli)
    target_link_libraries(tests_cli PRIVATE sweeper_cli)
    add_dependencies(tests_cli shortcut_sweeper)
    target_compile_definitions(tests_cli PRIVATE
        SWEEPER_CLI_PROGRAM="$<TARGET_FILE:shortcut_sweeper>")
endif()
