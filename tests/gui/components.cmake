# The component tree: regions, painting order, hit testing, event dispatch and the scaled adapter.
# Paints into memory buffers and fakes the window, so it needs no display.
file(GLOB tests_components_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/components/*.cpp)
if(tests_components_sources AND EXISTS ${PROJECT_SOURCE_DIR}/framework/gui/Component.cpp)
    add_executable(tests_components ${tests_components_sources})
    target_link_libraries(tests_components PRIVATE framework_gui test_support GTest::gtest_main project_warnings)
    gtest_discover_tests(tests_components DISCOVERY_MODE PRE_TEST)
endif()
