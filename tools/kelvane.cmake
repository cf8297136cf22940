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
