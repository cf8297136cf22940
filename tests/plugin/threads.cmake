# The module under threads, and what its audio path and its instances cost (tests/plugin/threads):
#   tests_plugin_threads   audio racing automation, state loads, the editor on another thread and the
#                          Audio Unit's parameter sets (ctest -L threads; scripts/test-threads.sh runs
#                          them under ThreadSanitizer)
#   tests_plugin_lifetime  no allocation on the audio thread (a malloc of its own, so not in sanitizer
#                          builds), and instances made and closed by the thousand leaving nothing behind
if(TARGET plugin AND TARGET kelvane_au_host)
    pkg_check_modules(XTST REQUIRED IMPORTED_TARGET xtst)
    pkg_check_modules(X11_FOR_TESTS REQUIRED IMPORTED_TARGET x11)
    set(threads_dir ${CMAKE_CURRENT_LIST_DIR}/threads)
    set(lifetime_sources ${threads_dir}/ChurnTest.cpp)
    if(NOT KELVANE_SANITIZE)
        list(APPEND lifetime_sources ${threads_dir}/AllocationsTest.cpp)
    endif()
    foreach(name threads lifetime)
        set(target tests_plugin_${name})
        if(name STREQUAL "threads")
            add_executable(${target} ${threads_dir}/ThreadsTest.cpp)
        else()
            add_executable(${target} ${lifetime_sources})
        endif()
        target_sources(${target} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TestHost.cpp ${CMAKE_CURRENT_LIST_DIR}/LoadedPlugin.cpp)
        target_link_libraries(${target} PRIVATE kelvane_au_host PkgConfig::XTST PkgConfig::X11_FOR_TESTS
                              GTest::gtest_main project_warnings Threads::Threads ${CMAKE_DL_LIBS})
        target_compile_definitions(${target} PRIVATE KELVANE_PLUGIN_PATH="$<TARGET_FILE:plugin>"
                                   KELVANE_BUNDLE_DIR="${KELVANE_BUNDLE_DIR}")
        add_dependencies(${target} plugin)
        if(TARGET au_factory_presets)
            add_dependencies(${target} au_factory_presets)
        endif()
        # They drag a knob with the X server's one pointer, as the editor tests do. mallinfo2 counts the
        # blocks parked in malloc's per-thread cache as in use, which reads as slow growth while the
        # cache fills: the churn runs without it, so its heap figures are exact.
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                             PROPERTIES LABELS ${name} RESOURCE_LOCK x_pointer TIMEOUT 300
                                        ENVIRONMENT GLIBC_TUNABLES=glibc.malloc.tcache_count=0)
    endforeach()
    # The module's malloc calls must find this executable's malloc.
    set_target_properties(tests_plugin_lifetime PROPERTIES ENABLE_EXPORTS ON)
endif()
