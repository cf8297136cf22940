# The editor as a host sees it (ctest -L gui): the built module loaded with dlopen, its editor opened
# through the dispatcher into a parent window the test makes on its own X connection, the user played
# through XTest. Links no part of the framework: everything goes through the AEffect.
if(TARGET plugin)
    pkg_check_modules(XTST REQUIRED IMPORTED_TARGET xtst)
    pkg_check_modules(X11_FOR_TESTS REQUIRED IMPORTED_TARGET x11)
    pkg_check_modules(XRES REQUIRED IMPORTED_TARGET xres)
    add_executable(tests_plugin_editor
        ${CMAKE_CURRENT_LIST_DIR}/TestHost.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LoadedPlugin.cpp
        ${CMAKE_CURRENT_LIST_DIR}/EditorWindowTest.cpp)
    target_include_directories(tests_plugin_editor PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(tests_plugin_editor PRIVATE PkgConfig::XTST PkgConfig::XRES PkgConfig::X11_FOR_TESTS GTest::gtest_main
                          project_warnings Threads::Threads ${CMAKE_DL_LIBS})
    target_compile_definitions(tests_plugin_editor PRIVATE KELVANE_PLUGIN_PATH="$<TARGET_FILE:plugin>")
    add_dependencies(tests_plugin_editor plugin)
    # One pointer per X server: tests that move it must not run at the same time.
    gtest_discover_tests(tests_plugin_editor DISCOVERY_MODE PRE_TEST PROPERTIES LABELS gui RESOURCE_LOCK x_pointer)
endif()
