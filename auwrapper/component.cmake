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

# The plug-in module publishes the component: its entries are compiled into the module and exported,
# and Info.plist gains the wrapper's configuration and the AudioComponents entry hosts find it by.
if(TARGET auwrapper)
    set(KELVANE_AU_MANUFACTURER "Vlmr" CACHE INTERNAL "four-character manufacturer code of the Audio Unit")
    set(KELVANE_AU_VERSION 132355)   # 2.5.3 as 0xMMMMmmDD, what the version selector answers
    set_property(GLOBAL APPEND PROPERTY KELVANE_PLUGIN_EXPORTS TandrilEntry TandrilViewEntry)
    set_property(GLOBAL APPEND PROPERTY KELVANE_PLUGIN_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ComponentEntry.cpp)
    set_property(GLOBAL APPEND PROPERTY KELVANE_PLUGIN_LIBRARIES auwrapper)
    configure_file(${PROJECT_SOURCE_DIR}/plugin/au/AudioUnit.plist.in ${CMAKE_CURRENT_BINARY_DIR}/AudioUnit.plist @ONLY)
    file(READ ${CMAKE_CURRENT_BINARY_DIR}/AudioUnit.plist kelvane_au_plist_entries)
    set_property(GLOBAL APPEND_STRING PROPERTY KELVANE_INFO_PLIST_ENTRIES "${kelvane_au_plist_entries}")
endif()
