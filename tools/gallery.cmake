# kelvane-gallery: every control in the default look, as film strips and at half scale, in one window;
# --screenshot writes what the window presented (read back from GL) as a PNG (docs/gallery.png).
if(TARGET framework_gui_linux)
    pkg_check_modules(GALLERY_PNG REQUIRED IMPORTED_TARGET libpng)
    set(gallery_dir ${CMAKE_CURRENT_LIST_DIR}/gallery)
    # The library is what the gallery's tests drive in their own windows.
    add_library(kelvane_gallery STATIC ${gallery_dir}/Gallery.cpp ${gallery_dir}/Screenshot.cpp)
    target_include_directories(kelvane_gallery PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(kelvane_gallery PUBLIC framework_gui_linux PkgConfig::GALLERY_PNG project_warnings)
    add_executable(kelvane-gallery ${gallery_dir}/main.cpp)
    target_link_libraries(kelvane-gallery PRIVATE kelvane_gallery project_warnings)
endif()
