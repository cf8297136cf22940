# Frames of a ComponentsWindow on a real X server (run under Xvfb with Mesa).
if(TARGET framework_gui_linux AND EXISTS ${PROJECT_SOURCE_DIR}/framework/gui/ComponentsWindow.cpp)
    add_executable(bench_window bench_window.cpp)
    target_link_libraries(bench_window PRIVATE framework_gui_linux benchmark::benchmark project_warnings)
endif()
