# Painting, resampling and texture upload at the editor's sizes.
if(TARGET framework_gui_linux AND EXISTS ${PROJECT_SOURCE_DIR}/framework/gui/Painter.cpp)
    add_executable(bench_gui bench_gui.cpp)
    target_link_libraries(bench_gui PRIVATE framework_gui_linux test_gl_window benchmark::benchmark project_warnings)
endif()
