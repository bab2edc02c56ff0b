# The release zip's test: tools/test runs release_test.sh on the zip that tools/package
# writes. Its Windows half, release_probe, reads the unpacked program's version resource and
# drives its start-up; it is no CTest test of this build, since it needs that zip.
if(WIN32)
    add_executable(release_probe ${CMAKE_CURRENT_LIST_DIR}/release_probe.cpp
        ${PROJECT_SOURCE_DIR}/src/winkit/manifest.rc)
    target_link_libraries(release_probe PRIVATE sweeper_test_support version)
    set_target_properties(release_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/wintests)
endif()
