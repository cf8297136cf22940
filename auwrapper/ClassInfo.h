#pragma once

// The Audio Unit preset of this wrapper: a class-info dictionary carrying an FXP or FXB image, also the
// content of an ".aupreset" file.
//
//   "version" 1, "type", "subtype", "manufacturer" (the component's codes as signed 32-bit numbers),
//   "name" (string), "vstdata" (the image's bytes)

#include "auwrapper/platform/AudioUnitInterface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace q9framework {

/** The "version" a class-info dictionary carries, and the only one read back. */
constexpr SInt32 classInfoVersion = 1;

/** A new class-info dictionary (Create rule; mutable, so callers may add "ProgramNumber"). A name
    that is not UTF-8 is read as Mac Roman. */
cf::CFMutableDictionaryRef createClassInfo(const AudioComponentDescription& component, const std::string& name,
                                           const std::vector<uint8_t>& vstData);

} // namespace q9framework
