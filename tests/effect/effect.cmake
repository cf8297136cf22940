# Tests of the effect: the DSP engine, the plug-in class and its state chunk, and the plug-in model
# (AudioPlugin and its buses) it builds on. test_alloc_counter proves the audio path allocates nothing.
if(TARGET effect)
    add_executable(tests_effect
        ${CMAKE_CURRENT_LIST_DIR}/KVEngineTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/KVAudioPluginTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/KVAudioPluginStateTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/AudioPluginTest.cpp)
    target_link_libraries(tests_effect PRIVATE effect test_alloc_counter test_support
                          GTest::gtest_main GTest::gmock project_warnings)
    gtest_discover_tests(tests_effect DISCOVERY_MODE PRE_TEST)
endif()
