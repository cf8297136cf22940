# tests_edit_hosts: the editor hosts under an X display (label gui): `kelvane edit` and `kelvane au edit`
# as processes, and the Audio Unit view path in process, on the real plug-in of the build tree.
if(TARGET kelvane AND TARGET kelvane_au_host AND TARGET plugin)
    pkg_check_modules(EDIT_HOSTS_TEST_X11 REQUIRED IMPORTED_TARGET x11)
    add_executable(tests_edit_hosts ${CMAKE_CURRENT_LIST_DIR}/EditHostsTest.cpp)
    target_link_libraries(tests_edit_hosts PRIVATE kelvane_au_host PkgConfig::EDIT_HOSTS_TEST_X11 GTest::gtest_main
                          project_warnings)
    target_compile_definitions(tests_edit_hosts PRIVATE KELVANE_PROGRAM="$<TARGET_FILE:kelvane>"
                               KELVANE_BUNDLE="${KELVANE_BUNDLE_DIR}")
    add_dependencies(tests_edit_hosts kelvane plugin)
    # Its editor windows must not appear over a window another test is pointing at with XTest.
    gtest_discover_tests(tests_edit_hosts DISCOVERY_MODE PRE_TEST PROPERTIES LABELS gui RESOURCE_LOCK x_pointer)
endif()
