#pragma once

#include <string>

namespace kelvane {

/** Where a plug-in's executable is. A VST bundle on Linux is a directory
    Name.vst/Contents/x86_64-linux/Name.so; a host may also be pointed at a bare .so. */
struct PluginLocation {
    std::string bundlePath;                  // the bundle directory; empty for a .so outside any bundle
    std::string executablePath;              // the .so to load
};

/** Resolves what the user gave to --plugin: a bundle directory (the .so inside it, named after the
    bundle when there are several) or a .so file. Returns false with `error` naming the path and the
    problem when it is neither. */
[[nodiscard]] bool locatePlugin(const std::string& path, PluginLocation& out, std::string& error);

/** The plug-in used without --plugin: the bundle of the build tree this program was built in, then
    ~/.vst/Kelvane.vst. `builtBundle` is the former (baked in at compile time); `home` is $HOME.
    Returns false with `error` listing the places looked at. */
[[nodiscard]] bool locateDefaultPlugin(const std::string& builtBundle, const std::string& home, PluginLocation& out,
                                       std::string& error);

} // namespace kelvane
