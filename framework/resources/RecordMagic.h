#pragma once
#include "framework/core/Stream.h"

#include <cstring>

namespace q9framework {

/** Reads a magic string record (u32 count, the text and its NUL) and says whether it is exactly
    `magic`: the count too must match, so a damaged count cannot pass by reading on to a NUL further
    along. Consumes the count and at most that many bytes. */
inline bool readMagic(Stream& stream, const char* magic)
{
    const size_t length = std::strlen(magic);
    if (static_cast<uint32_t>(stream.readInt()) != length + 1)
        return false;
    char bytes[32] = {};
    if (length + 1 > sizeof(bytes) || stream.read(bytes, static_cast<int64_t>(length + 1)) != static_cast<int64_t>(length + 1))
        return false;
    return std::memcmp(bytes, magic, length + 1) == 0;
}

} // namespace q9framework
