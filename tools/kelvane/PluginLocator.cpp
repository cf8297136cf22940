#include "tools/kelvane/PluginLocator.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace kelvane {

namespace fs = std::filesystem;

namespace {

constexpr const char* executableFolder = "Contents/x86_64-linux";

bool isSharedObject(const fs::path& p)
{
    std::error_code ec;
    return p.extension() == ".so" && fs::is_regular_file(p, ec);
}

// The bundle directory of an executable that sits where a bundle keeps it, else empty.
std::string bundleOfExecutable(const fs::path& executable)
{
    const fs::path folder = executable.parent_path();
    if (folder.filename() == "x86_64-linux" && folder.parent_path().filename() == "Contents")
        return folder.parent_path().parent_path().string();
    return {};
}

} // namespace

bool locatePlugin(const std::string& path, PluginLocation& out, std::string& error)
{
    std::error_code ec;
    const fs::path given = fs::absolute(fs::path(path), ec).lexically_normal();
    if (ec || !fs::exists(given, ec)) {
        error = "plug-in '" + path + "' does not exist";
        return false;
    }
    if (fs::is_regular_file(given, ec)) {
        if (!isSharedObject(given)) {
            error = "plug-in '" + path + "' is neither a bundle directory nor a .so file";
            return false;
        }
        out.executablePath = given.string();
        out.bundlePath = bundleOfExecutable(given);
        return true;
    }
    // A bundle directory: prefer the executable named after the bundle, else the only .so there.
    const fs::path folder = given / executableFolder;
    std::string stem = given.filename().string();
    if (stem.empty())
        stem = given.parent_path().filename().string();
    const fs::path named = folder / (fs::path(stem).stem().string() + ".so");
    if (isSharedObject(named)) {
        out.executablePath = named.string();
        out.bundlePath = given.string();
        return true;
    }
    std::vector<fs::path> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (isSharedObject(it->path()))
            found.push_back(it->path());
    if (found.size() != 1) {
        error = "plug-in '" + path + "' is not a bundle with one executable in " + executableFolder
                + (found.empty() ? " (no .so found there)" : " (several .so files found there)");
        return false;
    }
    out.executablePath = found.front().string();
    out.bundlePath = given.string();
    return true;
}

bool locateDefaultPlugin(const std::string& builtBundle, const std::string& home, PluginLocation& out,
                         std::string& error)
{
    std::vector<std::string> candidates;
    if (!builtBundle.empty())
        candidates.push_back(builtBundle);
    if (!home.empty())
        candidates.push_back((fs::path(home) / ".vst" / "Kelvane.vst").string());
    std::string ignored;
    for (const auto& candidate : candidates)
        if (locatePlugin(candidate, out, ignored))
            return true;
    error = "no Kelvane plug-in found (looked in";
    for (size_t i = 0; i < candidates.size(); ++i)
        error += (i == 0 ? " " : " and ") + candidates[i];
    error += "); build it or give --plugin PATH";
    return false;
}

} // namespace kelvane
