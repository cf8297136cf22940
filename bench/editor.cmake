# Kelvane's editor on a real X server (run under Xvfb with Mesa): frames of the panel in-process, and
# opening the built module's editor through the dispatcher as a host does.
if(TARGET effect_editor AND TARGET framework_gui_linux AND TARGET plugin)
    add_executable(bench_editor bench_editor.cpp)
    target_link_libraries(bench_editor PRIVATE effect_editor framework_gui_linux benchmark::benchmark
                          project_warnings ${CMAKE_DL_LIBS})
    target_compile_definitions(bench_editor PRIVATE
        KELVANE_PLUGIN_PATH="$<TARGET_FILE:plugin>"
        KELVANE_RESOURCES_DIR="${KELVANE_BUNDLE_DIR}/Contents/Resources")
    add_dependencies(bench_editor plugin)
endif()
