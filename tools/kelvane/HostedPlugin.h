#pragma once

#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tools/kelvane/CommandLineHost.h"
#include "tools/kelvane/PluginLocator.h"

#include <memory>
#include <string>

namespace kelvane {

/** The plug-in as the command-line host holds it: found (--plugin, else the built bundle, else
    ~/.vst), loaded through VSTPlugIn from its .so, opened and checked as any VST host would.
    The host object outlives the effect: it is declared first and destroyed last. */
class HostedPlugin {
public:
    /** `pluginPath` is the --plugin value, empty for the default places. False with `error` naming
        the file and the problem (not found, not loadable, not a usable VST effect). */
    [[nodiscard]] bool load(const std::string& pluginPath, std::string& error);

    q9framework::VSTPlugIn& plugIn() { return *vst; }
    AEffect& effect() { return *vst->getEffect(); }
    CommandLineHost& host() { return commandLineHost; }
    const PluginLocation& location() const { return where; }

private:
    CommandLineHost commandLineHost;
    PluginLocation where;
    std::unique_ptr<q9framework::VSTPlugIn> vst;
};

/** "2.5.3.0" from a VST vendor version whose top byte is the major version. */
std::string formatVendorVersion(VstIntPtr version);
/** "'KvLn' (0x4B764C6E)": a unique ID as its four characters and its number. */
std::string formatUniqueId(VstInt32 id);

} // namespace kelvane
