# kelvane-pack: builds resource packs from artwork files, and lists them. See tools/pack/PackTool.h.
add_executable(kelvane-pack ${CMAKE_CURRENT_LIST_DIR}/pack/main.cpp ${CMAKE_CURRENT_LIST_DIR}/pack/PackTool.cpp)
target_include_directories(kelvane-pack PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(kelvane-pack PRIVATE framework_resources project_warnings)

# The bundle's resources.bin, made on every build from whatever artwork the project declares: a
# subsystem that makes artwork appends NAME=FILE items to the global property KELVANE_ARTWORK_ENTRIES
# and the targets that make those files to KELVANE_ARTWORK_TARGETS. Until then the pack is empty, and
# the plug-in runs without artwork.
get_property(kelvane_artwork_entries GLOBAL PROPERTY KELVANE_ARTWORK_ENTRIES)
get_property(kelvane_artwork_targets GLOBAL PROPERTY KELVANE_ARTWORK_TARGETS)
set(kelvane_artwork_files "")
foreach(entry ${kelvane_artwork_entries})
    string(REGEX REPLACE "^[^=]*=" "" entry_file "${entry}")
    list(APPEND kelvane_artwork_files "${entry_file}")
endforeach()
string(REPLACE ";" "\n" kelvane_artwork_manifest "${kelvane_artwork_entries}")
set(kelvane_manifest "${CMAKE_CURRENT_BINARY_DIR}/artwork-manifest.txt")
file(GENERATE OUTPUT "${kelvane_manifest}" CONTENT "# Artwork of the bundle's resources.bin (generated)\n${kelvane_artwork_manifest}\n")
set(kelvane_resources_bin "${KELVANE_BUNDLE_DIR}/Contents/Resources/resources.bin")
add_custom_command(
    OUTPUT "${kelvane_resources_bin}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${KELVANE_BUNDLE_DIR}/Contents/Resources"
    COMMAND kelvane-pack "${kelvane_resources_bin}" --manifest "${kelvane_manifest}"
    DEPENDS kelvane-pack "${kelvane_manifest}" ${kelvane_artwork_files} ${kelvane_artwork_targets}
    COMMENT "Packing the bundle's resources.bin"
    VERBATIM)
add_custom_target(bundle_resources ALL DEPENDS "${kelvane_resources_bin}")
