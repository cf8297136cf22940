# OpenGL on a real X11 window: run under Xvfb with Mesa (ctest -L gui).
file(GLOB tests_gl_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/gl/*.cpp)
if(tests_gl_sources AND TARGET framework_gui_linux AND EXISTS ${PROJECT_SOURCE_DIR}/framework/gui/Painter.cpp)
    add_executable(tests_gl ${tests_gl_sources})
    target_link_libraries(tests_gl PRIVATE framework_gui_linux test_gl_window test_support
                          GTest::gtest_main project_warnings)
    # Its windows must not appear over a window another test is pointing at with XTest.
    gtest_discover_tests(tests_gl DISCOVERY_MODE PRE_TEST PROPERTIES LABELS gui RESOURCE_LOCK x_pointer)
endif()
