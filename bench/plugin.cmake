# bench_plugin: the plug-in through the loaded .so's processReplacing, as a host runs it.
if(TARGET kelvane_host)
    add_executable(bench_plugin ${CMAKE_CURRENT_LIST_DIR}/bench_plugin.cpp)
    target_link_libraries(bench_plugin PRIVATE kelvane_host benchmark::benchmark project_warnings)
    if(TARGET plugin)
        add_dependencies(bench_plugin plugin)
    endif()
endif()
