#pragma once

// How an Audio Unit host finds a component on Linux: the "AudioComponents" array of the bundle's
// Info.plist (there is no 'thng' resource here). Each entry is a dictionary:
//   type, subtype, manufacturer   strings of exactly four characters ("aufx", "KvLn", ...)
//   name                          "Maker: Product"
//   version                       integer 0xMMMMmmDD, the answer to the component-version selector
//   factoryFunction               the exported entry to call ("TandrilEntry")
// Read by hosts (our Audio Unit test host) and by anything that needs the registered facts.

#include "auwrapper/platform/AudioUnitInterface.h"
#include "auwrapper/platform/Bundle.h"

#include <string>
#include <vector>

namespace q9framework {

struct AudioComponentRegistration {
    AudioComponentDescription description {};   // flags and mask 0
    UInt32 version = 0;
    std::string name;
    std::string factoryFunction;
};

/** The entries of `info`'s "AudioComponents" array, in order. An entry missing a key or holding a value
    of the wrong type or form is skipped (and makes the result false); no array at all gives false and
    an empty list. */
bool readAudioComponents(cf::CFDictionaryRef info, std::vector<AudioComponentRegistration>& components);

/** The same for a bundle's Info.plist. */
bool readAudioComponents(const Bundle& bundle, std::vector<AudioComponentRegistration>& components);

} // namespace q9framework
