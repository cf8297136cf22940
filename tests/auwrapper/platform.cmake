# tests_auplatform: the Audio Unit layer on Linux (interface records, values and property lists,
# bundles, folders, host services), against real files and a tiny test bundle with its own .so.

if(TARGET auwrapper_platform)
    set(auplatform_test_dir ${CMAKE_CURRENT_LIST_DIR}/platform)
    set(auplatform_test_bundle ${CMAKE_CURRENT_BINARY_DIR}/auplatform-test/TestBundle.vst)

    # A real bundle as the build makes them: Contents/x86_64-linux/TestBundle.so.
    add_library(auplatform_test_bundle MODULE ${auplatform_test_dir}/testbundle/TestBundle.cpp)
    target_link_libraries(auplatform_test_bundle PRIVATE auwrapper_platform project_warnings)
    set_target_properties(auplatform_test_bundle PROPERTIES PREFIX "" OUTPUT_NAME "TestBundle"
        LIBRARY_OUTPUT_DIRECTORY "${auplatform_test_bundle}/Contents/x86_64-linux")

    file(GLOB auplatform_test_sources CONFIGURE_DEPENDS "${auplatform_test_dir}/*Test.cpp")
    add_executable(tests_auplatform ${auplatform_test_sources})
    target_link_libraries(tests_auplatform PRIVATE auwrapper_platform test_support GTest::gtest_main
        project_warnings)
    target_compile_definitions(tests_auplatform PRIVATE
        AUPLATFORM_TEST_BUNDLE="${auplatform_test_bundle}")
    add_dependencies(tests_auplatform auplatform_test_bundle)
    gtest_discover_tests(tests_auplatform DISCOVERY_MODE PRE_TEST)
endif()
