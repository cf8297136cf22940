# Controls and their default look: value arithmetic, gestures as the parent hears them, radio groups,
# posted clicks through a hand-pumped loop, and the look and feel's drawing in memory. No display.
file(GLOB tests_controls_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/controls/*.cpp)
if(tests_controls_sources AND EXISTS ${PROJECT_SOURCE_DIR}/framework/gui/Knob.cpp)
    add_executable(tests_controls ${tests_controls_sources})
    target_link_libraries(tests_controls PRIVATE framework_gui test_support GTest::gtest_main project_warnings)
    gtest_discover_tests(tests_controls DISCOVERY_MODE PRE_TEST)
endif()
