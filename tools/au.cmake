# The Audio Unit test host: a library that holds Audio Unit instances as a host does (instance records
# with the host-services table, Component Manager calls, recorded notifications and timers), used by
# the `kelvane-au` program and by the component's tests.
if(TARGET auwrapper_platform)
    set(au_tool_dir ${CMAKE_CURRENT_LIST_DIR}/au)
    file(GLOB au_host_sources CONFIGURE_DEPENDS "${au_tool_dir}/*.cpp")
    list(FILTER au_host_sources EXCLUDE REGEX "/main\\.cpp$")
    add_library(kelvane_au_host STATIC ${au_host_sources})
    target_include_directories(kelvane_au_host PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(kelvane_au_host PUBLIC auwrapper_platform PRIVATE project_warnings)
endif()
