# tests_tools: the command-line host's pieces, and the `kelvane` program end to end on the real plug-in.

set(kelvane_test_dir ${CMAKE_CURRENT_LIST_DIR})
set(kelvane_test_sources
    ${kelvane_test_dir}/CommandLineTest.cpp
    ${kelvane_test_dir}/ParameterUnitsTest.cpp
    ${kelvane_test_dir}/AudioToolsTest.cpp
    ${kelvane_test_dir}/PluginLocatorTest.cpp)
# The plug-in's target (plugin/), when it is part of this build.
set(kelvane_plugin_target "")
if(TARGET plugin)
    set(kelvane_plugin_target plugin)
endif()
if(TARGET kelvane)
    list(APPEND kelvane_test_sources ${kelvane_test_dir}/KelvaneProgramTest.cpp ${kelvane_test_dir}/CommandLineHostTest.cpp)
endif()
add_executable(tests_tools ${kelvane_test_sources})
target_link_libraries(tests_tools PRIVATE kelvane_cli test_support GTest::gtest_main project_warnings)
if(TARGET kelvane)
    target_compile_definitions(tests_tools PRIVATE KELVANE_PROGRAM="$<TARGET_FILE:kelvane>")
    target_link_libraries(tests_tools PRIVATE kelvane_host)
    # The program loads the plug-in at run time, so the plug-in must be built before these tests run.
    add_dependencies(tests_tools kelvane ${kelvane_plugin_target})
endif()
gtest_discover_tests(tests_tools DISCOVERY_MODE PRE_TEST)
