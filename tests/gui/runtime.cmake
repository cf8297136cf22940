# Run-time services: the run loop, timers, async callbacks, messages, threads, shared objects, time.
# Pure memory and pipes, no display; timing is driven by a manual clock.
file(GLOB tests_runtime_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/runtime/*.cpp)
if(tests_runtime_sources)
    add_executable(tests_runtime ${tests_runtime_sources})
    target_link_libraries(tests_runtime PRIVATE framework_core test_support GTest::gtest_main project_warnings)
    gtest_discover_tests(tests_runtime DISCOVERY_MODE PRE_TEST)
endif()
