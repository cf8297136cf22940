#pragma once
#include "framework/core/String.h"

#include <cstdint>

namespace q9framework {

/** What a plug-in tells its host adapter about itself: names, version, channel counts, unique ID.
    A plain record. The effect's createPluginInfo fills one; the adapter and the editor bridge read it and
    then delete it (functions named create... hand ownership to the caller). Any thread; no locking. */
struct PluginInfo {
    /** Makes a four-character code with the first character in the most significant byte ("KvLn" ->
        0x4B764C6E), the way VST unique IDs are written. */
    static constexpr int32_t fourCharCode(const char (&code)[5]) noexcept
    {
        return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24)
                                    | (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16)
                                    | (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8)
                                    | static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
    }

    String format = "VST";
    String name;
    /** Bytes from the lowest address: major, minor, micro, build (0x00030502 is 2.5.3.0). */
    int32_t version = 0;
    String vendor;
    String url;
    String email;
    /** Bit 0: the plug-in is an instrument. */
    uint32_t flags = 0;
    int32_t numInputs = 0;
    int32_t numOutputs = 0;
    /** Host category path, e.g. "Fx|Dynamics". */
    String category;
    /** Four characters, first one in the most significant byte (see fourCharCode). */
    int32_t uniqueId = 0;
    /** Style flags for the window that holds the editor. */
    uint32_t editorFlags = 0x10000;
    String bundleIdentifier;
};

} // namespace q9framework
