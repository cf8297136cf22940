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

# The bundle's Audio Unit resources: the parameter map, and the factory presets made from the effect's
# own state by loading the built plug-in (so they always match its chunk format). Deferred to the end
# of this folder: the command-line host's library is declared by a file read after this one.
function(kelvane_add_au_bundle_resources)
    set(au_tool_dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/au)
    if(TARGET plugin AND TARGET auwrapper AND TARGET kelvane_host)
        set(au_resources_dir "${KELVANE_BUNDLE_DIR}/Contents/Resources")
        configure_file(${PROJECT_SOURCE_DIR}/plugin/au/TDParameters.txt ${au_resources_dir}/TDParameters.txt COPYONLY)

        add_executable(kelvane_make_au_presets ${au_tool_dir}/programs/MakeFactoryPresets.cpp)
        target_link_libraries(kelvane_make_au_presets PRIVATE auwrapper kelvane_host project_warnings)
        target_compile_definitions(kelvane_make_au_presets PRIVATE KELVANE_AU_MANUFACTURER="${KELVANE_AU_MANUFACTURER}")
        set_target_properties(kelvane_make_au_presets PROPERTIES OUTPUT_NAME kelvane-make-au-presets)

        add_custom_command(OUTPUT ${au_resources_dir}/TDFactoryPresets.txt
            COMMAND kelvane_make_au_presets ${KELVANE_BUNDLE_DIR} ${PROJECT_SOURCE_DIR}/plugin/au/FactoryPresets.txt
                    ${au_resources_dir}/TDParameters.txt ${au_resources_dir}
            DEPENDS plugin kelvane_make_au_presets ${PROJECT_SOURCE_DIR}/plugin/au/FactoryPresets.txt
                    ${PROJECT_SOURCE_DIR}/plugin/au/TDParameters.txt
            COMMENT "Making the Audio Unit factory presets of ${KELVANE_BUNDLE_NAME}"
            VERBATIM)
        add_custom_target(au_factory_presets ALL DEPENDS ${au_resources_dir}/TDFactoryPresets.txt)
    endif()
endfunction()
cmake_language(DEFER CALL kelvane_add_au_bundle_resources)
