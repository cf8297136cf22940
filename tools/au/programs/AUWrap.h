#pragma once

// `kelvane au wrap`: makes an Audio Unit bundle around any Linux VST 2.4 plug-in, with our executable
// (the component entry) and the plug-in linked in as the one ".vst" resource.

#include <string>
#include <vector>

namespace kelvane {

/** Runs `kelvane au wrap PLUGIN [-o NAME.vst] [--subtype XXXX] [--manufacturer XXXX] [--name "Maker:
    Product"] [--force]`; `args` are the arguments after "wrap". Returns the process exit status. */
int runAUWrap(const std::vector<std::string>& args);

/** The help text of `au wrap`. */
void printAUWrapHelp();

} // namespace kelvane
