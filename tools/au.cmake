# The Audio Unit test host. `kelvane_au_host` holds Audio Unit instances as a host does (instance
# records with the host-services table, Component Manager calls, recorded notifications and timers),
# finds a component in a bundle and renders through it; the `kelvane au` sub-command and the
# component's tests use it. Also the bundle's Audio Unit resources: the parameter map, and the factory
# presets made from the effect's own state by loading the built plug-in (so they always match its
# chunk format).
#
# All of it is declared at the end of this folder: the command-line host's libraries and program come
# from a file read after this one.
function(kelvane_add_au_tools)
    set(au_tool_dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/au)
    if(NOT TARGET auwrapper_platform OR NOT TARGET kelvane_cli)
        return()
    endif()
    file(GLOB au_host_sources CONFIGURE_DEPENDS "${au_tool_dir}/*.cpp")
    add_library(kelvane_au_host STATIC ${au_host_sources})
    target_include_directories(kelvane_au_host PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(kelvane_au_host PUBLIC auwrapper_platform kelvane_cli PRIVATE project_warnings)

    # `kelvane au …`: a sub-command of the kelvane program, registered by its own source file.
    if(TARGET kelvane)
        target_sources(kelvane PRIVATE ${au_tool_dir}/programs/AUCommand.cpp ${au_tool_dir}/programs/AUWrap.cpp
                       ${au_tool_dir}/programs/AUEdit.cpp)
        set_source_files_properties(${au_tool_dir}/programs/AUCommand.cpp ${au_tool_dir}/programs/AUWrap.cpp PROPERTIES
            COMPILE_DEFINITIONS "KELVANE_BUILT_BUNDLE=\"${KELVANE_BUNDLE_DIR}\"")
        target_link_libraries(kelvane PRIVATE kelvane_au_host)
    endif()

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
        if(TARGET kelvane)
            add_dependencies(kelvane au_factory_presets)
        endif()
    endif()
endfunction()
cmake_language(DEFER CALL kelvane_add_au_tools)
