# Speed of the effect's engine and plug-in block; also the driver for callgrind instruction counts.
if(TARGET effect)
    add_executable(bench_effect ${CMAKE_CURRENT_LIST_DIR}/bench_effect.cpp)
    target_include_directories(bench_effect PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(bench_effect PRIVATE effect benchmark::benchmark ${CMAKE_DL_LIBS} project_warnings)
endif()
