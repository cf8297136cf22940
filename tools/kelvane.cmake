# The command-line host `kelvane`: renders audio files through the plug-in's .so exactly as a VST host
# does, and shows what a host sees of it.
#
# kelvane_cli holds the pieces any sub-command can reuse (audio files, demo material, plots, option
# parsing, statistics, progress, plug-in lookup); it knows nothing of VST. The executable adds the
# VST host and one source file per sub-command. Another sub-command joins with a file
# tools/kelvane/commands/<name>.cmake that adds its sources and libraries to the `kelvane` target.
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)

set(kelvane_dir ${CMAKE_CURRENT_LIST_DIR}/kelvane)
add_library(kelvane_cli STATIC
    ${kelvane_dir}/AudioFile.cpp
    ${kelvane_dir}/CommandLine.cpp
    ${kelvane_dir}/DemoLoop.cpp
    ${kelvane_dir}/ParameterUnits.cpp
    ${kelvane_dir}/PluginLocator.cpp
    ${kelvane_dir}/ProgressBar.cpp
    ${kelvane_dir}/SignalStats.cpp
    ${kelvane_dir}/SubCommand.cpp
    ${kelvane_dir}/WaveformPlot.cpp)
target_include_directories(kelvane_cli PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kelvane_cli PUBLIC PkgConfig::SNDFILE PRIVATE PkgConfig::CAIRO project_warnings)

# The program itself: a VST host. It loads the plug-in's .so at run time through VSTPlugIn and never
# links the effect's code.
if(TARGET auwrapper_vsthost)
    # The host side: a VSTHost for offline rendering and the plug-in as it holds it (also used by the
    # plug-in benchmark).
    add_library(kelvane_host STATIC ${kelvane_dir}/CommandLineHost.cpp ${kelvane_dir}/HostedPlugin.cpp)
    target_link_libraries(kelvane_host PUBLIC kelvane_cli auwrapper_vsthost PRIVATE project_warnings)
    # Without --plugin the host uses the bundle of the build tree it was built in.
    target_compile_definitions(kelvane_host PRIVATE KELVANE_BUILT_BUNDLE="${KELVANE_BUNDLE_DIR}")

    # The editor host's window, its real-time audio loop and the session both `kelvane edit` and
    # `kelvane au edit` run (plain Xlib, screenshots through libpng).
    pkg_check_modules(KELVANE_EDIT_X11 REQUIRED IMPORTED_TARGET x11)
    pkg_check_modules(KELVANE_EDIT_PNG REQUIRED IMPORTED_TARGET libpng)
    add_library(kelvane_edit STATIC ${kelvane_dir}/edit/AudioLoop.cpp ${kelvane_dir}/edit/EditorSession.cpp
                ${kelvane_dir}/edit/HostWindow.cpp)
    target_link_libraries(kelvane_edit PUBLIC kelvane_cli Threads::Threads
                          PRIVATE PkgConfig::KELVANE_EDIT_X11 PkgConfig::KELVANE_EDIT_PNG project_warnings)

    add_executable(kelvane ${kelvane_dir}/main.cpp ${kelvane_dir}/InfoCommand.cpp ${kelvane_dir}/RenderCommand.cpp
                   ${kelvane_dir}/EditCommand.cpp)
    target_link_libraries(kelvane PRIVATE kelvane_host kelvane_edit project_warnings)
    if(TARGET plugin)
        add_dependencies(kelvane plugin)
    endif()
    # Further sub-commands (e.g. the Audio Unit's) add their sources and libraries to `kelvane` here.
    file(GLOB kelvane_command_parts CONFIGURE_DEPENDS "${kelvane_dir}/commands/*.cmake")
    foreach(part ${kelvane_command_parts})
        include(${part})
    endforeach()
endif()
