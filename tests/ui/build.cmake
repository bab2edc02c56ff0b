# The image button test needs the window pictures.
if(WIN32 AND TARGET button_wintest)
    target_sources(button_wintest PRIVATE ${PROJECT_SOURCE_DIR}/src/ui/pictures.rc)
endif()
