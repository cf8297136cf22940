# tests_artwork: the editor's artwork as the build packs it, and the drawing program's determinism.
if(TARGET kelvane-artwork AND TARGET bundle_resources)
    add_executable(tests_artwork ${CMAKE_CURRENT_LIST_DIR}/ArtworkTest.cpp)
    target_link_libraries(tests_artwork PRIVATE framework_resources GTest::gtest_main project_warnings)
    target_compile_definitions(tests_artwork PRIVATE
        KELVANE_ARTWORK_TOOL="$<TARGET_FILE:kelvane-artwork>"
        KELVANE_BUILT_RESOURCES="${KELVANE_BUNDLE_DIR}/Contents/Resources/resources.bin")
    add_dependencies(tests_artwork kelvane-artwork bundle_resources)
    gtest_discover_tests(tests_artwork DISCOVERY_MODE PRE_TEST)
endif()
