# The start-up tests run the built program as separate processes.
if(WIN32 AND TARGET startup_wintest AND TARGET ShortcutSweeper)
    add_dependencies(startup_wintest ShortcutSweeper)
    target_compile_definitions(startup_wintest PRIVATE
        SWEEPER_PROGRAM="$<TARGET_FILE:ShortcutSweeper>")
endif()
