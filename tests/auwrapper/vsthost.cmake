# tests_vsthost: VSTPlugIn and the host callback, against small test effects built to fail one check
# each, and against the real plug-in loaded from the built bundle.

set(vsthost_test_dir ${CMAKE_CURRENT_LIST_DIR}/vsthost)
set(vsthost_test_effects_dir ${CMAKE_CURRENT_BINARY_DIR}/vsthost-test-effects)

# One MODULE per variant, each in a bundle of its own as a host finds it: Name.vst/Contents/x86_64-linux/Name.so.
set(vsthost_test_effect_targets "")
set(variant_number 0)
foreach(variant well_formed no_entry null_effect too_many_inputs no_replacing)
    set(target vsthost_test_effect_${variant})
    add_library(${target} MODULE ${vsthost_test_dir}/testplugins/TestEffect.cpp)
    target_compile_definitions(${target} PRIVATE TEST_EFFECT_VARIANT=${variant_number})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE project_warnings)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME "TestEffect_${variant}"
        LIBRARY_OUTPUT_DIRECTORY "${vsthost_test_effects_dir}/TestEffect_${variant}.vst/Contents/x86_64-linux")
    list(APPEND vsthost_test_effect_targets ${target})
    math(EXPR variant_number "${variant_number} + 1")
endforeach()

# The plug-in's target (plugin/), when it is part of this build.
set(vsthost_plugin_target "")
if(TARGET plugin)
    set(vsthost_plugin_target plugin)
endif()

if(TARGET auwrapper_vsthost)
    set(vsthost_test_sources
        ${vsthost_test_dir}/VSTPlugInTest.cpp
        ${vsthost_test_dir}/HostCallbackTest.cpp)
    if(vsthost_plugin_target)
        list(APPEND vsthost_test_sources ${vsthost_test_dir}/KelvanePlugInTest.cpp)
    endif()
    add_executable(tests_vsthost ${vsthost_test_sources} $<TARGET_OBJECTS:test_alloc_counter>)
    target_link_libraries(tests_vsthost PRIVATE auwrapper_vsthost test_support GTest::gtest_main ${CMAKE_DL_LIBS})
    target_compile_definitions(tests_vsthost PRIVATE
        VSTHOST_TEST_EFFECTS_DIR="${vsthost_test_effects_dir}"
        VSTHOST_KELVANE_BUNDLE="${KELVANE_BUNDLE_DIR}")
    add_dependencies(tests_vsthost ${vsthost_test_effect_targets} ${vsthost_plugin_target})
    gtest_discover_tests(tests_vsthost DISCOVERY_MODE PRE_TEST)
endif()
