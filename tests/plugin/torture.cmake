# tests_host_torture: the built module loaded with dlopen and driven the way careless and hostile hosts
# drive it (every opcode with odd arguments, out-of-range parameters and rates, non-finite audio,
# guard bytes around every text buffer). Needs no display: the editor is only asked with null windows.
if(TARGET plugin)
    add_executable(tests_host_torture ${CMAKE_CURRENT_LIST_DIR}/torture/HostTortureTest.cpp)
    target_include_directories(tests_host_torture PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(tests_host_torture PRIVATE GTest::gtest_main project_warnings ${CMAKE_DL_LIBS})
    target_compile_definitions(tests_host_torture PRIVATE KELVANE_PLUGIN_PATH="$<TARGET_FILE:plugin>")
    add_dependencies(tests_host_torture plugin)
    gtest_discover_tests(tests_host_torture DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
endif()
