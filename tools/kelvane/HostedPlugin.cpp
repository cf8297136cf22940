#include "tools/kelvane/HostedPlugin.h"

#include <cstdio>
#include <cstdlib>

#ifndef KELVANE_BUILT_BUNDLE
#define KELVANE_BUILT_BUNDLE ""
#endif

namespace kelvane {

bool HostedPlugin::load(const std::string& pluginPath, std::string& error)
{
    const char* home = std::getenv("HOME");
    const bool found = pluginPath.empty() ? locateDefaultPlugin(KELVANE_BUILT_BUNDLE, home != nullptr ? home : "", where, error)
                                          : locatePlugin(pluginPath, where, error);
    if (!found)
        return false;
    try {
        vst = std::make_unique<q9framework::VSTPlugIn>(commandLineHost, q9framework::Bundle::forExecutable(where.executablePath),
                                                       4096, 44100.0f);
        vst->open();
        vst->checkEffect();
    } catch (const std::exception& e) {
        error = "cannot use plug-in '" + where.executablePath + "': " + e.what();
        vst.reset();
        return false;
    }
    return true;
}

std::string formatVendorVersion(VstIntPtr version)
{
    const auto v = static_cast<uint32_t>(version);
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    return text;
}

std::string formatUniqueId(VstInt32 id)
{
    const auto v = static_cast<uint32_t>(id);
    std::string chars;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((v >> shift) & 0xFF);
        chars += (c >= 32 && c < 127) ? c : '?';
    }
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", v);
    return "'" + chars + "' (" + number + ")";
}

} // namespace kelvane
