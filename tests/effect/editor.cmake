# The effect editor's meters, drive indicator and selectors. The window is faked (a recording
# RenderingContext and host), so these run without a display.
file(GLOB tests_editor_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/editor/*.cpp)
if(TARGET effect_editor AND tests_editor_sources)
    add_executable(tests_editor ${tests_editor_sources})
    target_link_libraries(tests_editor PRIVATE effect_editor test_support GTest::gtest_main project_warnings)
    gtest_discover_tests(tests_editor DISCOVERY_MODE PRE_TEST)
endif()
