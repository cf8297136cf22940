# The painter, fonts and resampling: everything that draws in memory. Needs no display (fontconfig
# and FreeType read the installed DejaVu faces).
file(GLOB tests_painter_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/painter/*.cpp)
if(tests_painter_sources AND TARGET framework_gui_linux AND EXISTS ${PROJECT_SOURCE_DIR}/framework/gui/Painter.cpp)
    add_executable(tests_painter ${tests_painter_sources})
    target_link_libraries(tests_painter PRIVATE framework_gui_linux test_support
                          GTest::gtest_main project_warnings)
    gtest_discover_tests(tests_painter DISCOVERY_MODE PRE_TEST)
endif()
