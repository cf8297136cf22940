# kelvane-artwork: draws the editor's background and film strips with cairo (see
# tools/artwork/ArtworkSet.h). The build runs it and hands its PNG files to the packing step
# (tools/pack.cmake, read after this file), which decodes them into the bundle's resources.bin.
pkg_check_modules(ARTWORK_CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft freetype2)

set(artwork_dir ${CMAKE_CURRENT_LIST_DIR}/artwork)
add_executable(kelvane-artwork
    ${artwork_dir}/main.cpp
    ${artwork_dir}/ArtworkSet.cpp
    ${artwork_dir}/Canvas.cpp
    ${artwork_dir}/ControlArt.cpp
    ${artwork_dir}/Faceplate.cpp)
target_include_directories(kelvane-artwork PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(kelvane-artwork PRIVATE PkgConfig::ARTWORK_CAIRO project_warnings)

# Entry name = file, in the order the pack keeps them; the names are the ones the editor asks for.
set(artwork_out "${CMAKE_CURRENT_BINARY_DIR}/artwork")
set(artwork_entries
    "KV.0001.tif=KV.png"
    "slice_knbAttack=slice_knbAttack.png"
    "slice_knbDrive=slice_knbDrive.png"
    "slice_knbRelease=slice_knbRelease.png"
    "slice_knbGain=slice_knbGain.png"
    "slice_tbtnBypass=slice_tbtnBypass.png"
    "satled.png=satled.png"
    "attack.png=attack.png"
    "release.png=release.png")
set(artwork_files "")
foreach(entry ${artwork_entries})
    string(REGEX REPLACE "^([^=]*)=(.*)$" "\\1=${artwork_out}/\\2" entry_path "${entry}")
    string(REGEX REPLACE "^[^=]*=" "" file "${entry_path}")
    list(APPEND artwork_files "${file}")
    set_property(GLOBAL APPEND PROPERTY KELVANE_ARTWORK_ENTRIES "${entry_path}")
endforeach()
# preview.png is for people: the panel as the editor shows it, with the meter needles at 0 and -6 dBFS.
add_custom_command(
    OUTPUT ${artwork_files} "${artwork_out}/preview.png"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${artwork_out}"
    COMMAND kelvane-artwork "${artwork_out}" --preview "${artwork_out}/preview.png"
    DEPENDS kelvane-artwork
    COMMENT "Drawing the editor's artwork"
    VERBATIM)
add_custom_target(editor_artwork DEPENDS ${artwork_files})
set_property(GLOBAL APPEND PROPERTY KELVANE_ARTWORK_TARGETS editor_artwork)
