# The widget gallery in a real window (ctest -L gui): its GL read-back against the painter's own
# rendering of the same tree.
file(GLOB tests_gallery_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/gallery/*.cpp)
if(tests_gallery_sources AND TARGET kelvane_gallery)
    pkg_check_modules(XTST REQUIRED IMPORTED_TARGET xtst)
    add_executable(tests_gallery ${tests_gallery_sources})
    target_link_libraries(tests_gallery PRIVATE kelvane_gallery test_support PkgConfig::XTST GTest::gtest_main project_warnings)
    target_compile_definitions(tests_gallery PRIVATE KELVANE_GALLERY_PROGRAM="$<TARGET_FILE:kelvane-gallery>")
    add_dependencies(tests_gallery kelvane-gallery)
    # The pointer and the keyboard are the server's one set: tests that move them (or open windows that could
    # catch them) do not run beside each other.
    gtest_discover_tests(tests_gallery DISCOVERY_MODE PRE_TEST PROPERTIES LABELS gui RESOURCE_LOCK x_pointer)
endif()
