# Tests of the VST 2.4 side: the adapter and its base classes in-process, and the built plug-in module
# loaded with dlopen exactly as a host loads it (the path comes from the build, so the test always runs
# against the module just built).
if(TARGET plugin AND TARGET framework_plugin)
    add_executable(tests_plugin
        ${CMAKE_CURRENT_LIST_DIR}/TestHost.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LoadedPlugin.cpp
        ${CMAKE_CURRENT_LIST_DIR}/VST2PluginTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PluginBundleTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/VST2WrapperTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/VST2EditorTest.cpp)
    target_link_libraries(tests_plugin PRIVATE framework_plugin effect test_support
                          GTest::gtest_main GTest::gmock project_warnings Threads::Threads ${CMAKE_DL_LIBS})
    target_compile_definitions(tests_plugin PRIVATE
        KELVANE_PLUGIN_PATH="$<TARGET_FILE:plugin>"
        KELVANE_EXPORTS_LIST="${KELVANE_PLUGIN_BINARY_DIR}/exports.txt"
        KELVANE_BUNDLE_DIR="${KELVANE_BUNDLE_DIR}")
    add_dependencies(tests_plugin plugin)
    gtest_discover_tests(tests_plugin DISCOVERY_MODE PRE_TEST)
endif()
