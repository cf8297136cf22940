# The Audio Unit component: TandrilComponent, its property, render, parameter and preset code, on the
# platform layer and the VST host side. TandrilEntry itself is compiled into each module that
# publishes a component (the plug-in, the test components), so it is exported from there.
if(TARGET auwrapper_platform AND TARGET auwrapper_vsthost)
    file(GLOB auwrapper_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    list(FILTER auwrapper_sources EXCLUDE REGEX "/ComponentEntry\\.cpp$")
    add_library(auwrapper STATIC ${auwrapper_sources})
    target_include_directories(auwrapper PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(auwrapper PUBLIC auwrapper_platform auwrapper_vsthost PRIVATE project_warnings)
endif()
