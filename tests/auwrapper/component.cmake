# tests_aucomponent: the Audio Unit component (entry and selectors, properties, render, parameters,
# presets, preset-folder conversion, the test host), against small test effects of several layouts
# and the real plug-in.

set(aucomponent_test_dir ${CMAKE_CURRENT_LIST_DIR}/component)
set(aucomponent_effects_dir ${CMAKE_CURRENT_BINARY_DIR}/aucomponent-test-effects)

# name, inputs, outputs, stereo pins, chunks, extension, unique ID
set(aucomponent_effect_layouts
    "Param:2:2:1:0:1:TdPm"
    "Chunk:2:2:1:1:0:TdCk"
    "Quad:2:4:1:1:0:TdQd"
    "Odd:3:3:1:0:0:TdOd"
    "Mono:1:1:0:0:1:TdMo"
    "Wide:32:32:0:0:0:TdWd"
    "TooWide:33:2:0:0:0:TdTw")
set(aucomponent_effect_targets "")
foreach(layout_text ${aucomponent_effect_layouts})
    string(REPLACE ":" ";" layout "${layout_text}")
    list(GET layout 0 name)
    list(GET layout 1 inputs)
    list(GET layout 2 outputs)
    list(GET layout 3 stereo)
    list(GET layout 4 chunks)
    list(GET layout 5 extension)
    list(GET layout 6 id)
    set(target aucomponent_test_effect_${name})
    add_library(${target} MODULE ${CMAKE_CURRENT_LIST_DIR}/testeffects/AUTestEffect.cpp)
    target_compile_definitions(${target} PRIVATE AU_TEST_INPUTS=${inputs} AU_TEST_OUTPUTS=${outputs}
        AU_TEST_STEREO_PINS=${stereo} AU_TEST_CHUNKS=${chunks} AU_TEST_EXTENSION=${extension} AU_TEST_ID="${id}"
        AU_TEST_NAME="AU Test ${name}" AU_TEST_LEGACY_MAIN=0)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE project_warnings)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME "AUTest${name}"
        LIBRARY_OUTPUT_DIRECTORY "${aucomponent_effects_dir}/AUTest${name}.vst/Contents/x86_64-linux")
    list(APPEND aucomponent_effect_targets ${target})
endforeach()

# The Param layout once more as most Linux VST plug-ins come: a bare .so outside any bundle, exporting
# the legacy entry "main" and nothing else.
set(aucomponent_legacy_effect "${aucomponent_effects_dir}/AUTestLegacy.so")
set(aucomponent_legacy_map "${CMAKE_CURRENT_BINARY_DIR}/aucomponent-legacy-main.map")
file(WRITE ${aucomponent_legacy_map} "{\n    global:\n        main;\n    local:\n        *;\n};\n")
add_library(aucomponent_test_effect_Legacy MODULE ${CMAKE_CURRENT_LIST_DIR}/testeffects/AUTestEffect.cpp)
target_compile_definitions(aucomponent_test_effect_Legacy PRIVATE AU_TEST_INPUTS=2 AU_TEST_OUTPUTS=2
    AU_TEST_STEREO_PINS=1 AU_TEST_CHUNKS=0 AU_TEST_EXTENSION=0 AU_TEST_ID="TdLg" AU_TEST_NAME="Legacy Param"
    AU_TEST_LEGACY_MAIN=1)
target_include_directories(aucomponent_test_effect_Legacy PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(aucomponent_test_effect_Legacy PRIVATE project_warnings)
target_link_options(aucomponent_test_effect_Legacy PRIVATE "LINKER:--version-script=${aucomponent_legacy_map}")
set_target_properties(aucomponent_test_effect_Legacy PROPERTIES PREFIX "" OUTPUT_NAME "AUTestLegacy"
    LIBRARY_OUTPUT_DIRECTORY "${aucomponent_effects_dir}" LINK_DEPENDS "${aucomponent_legacy_map}")
list(APPEND aucomponent_effect_targets aucomponent_test_effect_Legacy)

if(TARGET auwrapper AND TARGET kelvane_au_host)
    file(GLOB aucomponent_test_sources CONFIGURE_DEPENDS "${aucomponent_test_dir}/*.cpp")
    add_executable(tests_aucomponent ${aucomponent_test_sources})
    target_link_libraries(tests_aucomponent PRIVATE auwrapper kelvane_au_host test_support GTest::gtest_main project_warnings
        ${CMAKE_DL_LIBS})
    target_compile_definitions(tests_aucomponent PRIVATE
        AUCOMPONENT_TEST_EFFECTS_DIR="${aucomponent_effects_dir}"
        AUCOMPONENT_LEGACY_EFFECT="${aucomponent_legacy_effect}"
        AUCOMPONENT_KELVANE_BUNDLE="${KELVANE_BUNDLE_DIR}")
    add_dependencies(tests_aucomponent ${aucomponent_effect_targets})
    # The test host end to end: the kelvane program and the built bundle with its factory presets.
    if(TARGET kelvane AND TARGET au_factory_presets)
        target_compile_definitions(tests_aucomponent PRIVATE KELVANE_PROGRAM="$<TARGET_FILE:kelvane>")
        add_dependencies(tests_aucomponent kelvane au_factory_presets)
    else()
        list(REMOVE_ITEM aucomponent_test_sources ${aucomponent_test_dir}/TestHostTest.cpp)
        set_property(TARGET tests_aucomponent PROPERTY SOURCES ${aucomponent_test_sources})
    endif()
    gtest_discover_tests(tests_aucomponent DISCOVERY_MODE PRE_TEST)
endif()
