# Windows on a real X server (ctest -L gui): input through the XTest extension, embedding in a parent
# window of another connection, the parent going first, open/close without leaks, file drops.
file(GLOB tests_window_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window/*.cpp)
if(tests_window_sources AND TARGET framework_gui_linux)
    pkg_check_modules(XTST REQUIRED IMPORTED_TARGET xtst)
    add_executable(tests_window ${tests_window_sources})
    target_link_libraries(tests_window PRIVATE framework_gui_linux test_support PkgConfig::XTST
                          GTest::gtest_main project_warnings)
    # One pointer per X server: tests that move it must not run at the same time.
    gtest_discover_tests(tests_window DISCOVERY_MODE PRE_TEST PROPERTIES LABELS gui RESOURCE_LOCK x_pointer)
endif()
