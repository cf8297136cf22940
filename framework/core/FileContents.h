#pragma once
#include "framework/core/MemoryBlock.h"

namespace q9framework {

/** The whole file in a new owning block, read through a FileStream ("rb"). A null block when the file
    is missing, unreadable, empty or not fully read, or when the bytes cannot be allocated. Any thread. */
MemoryBlock readFileContents(const char* path);

} // namespace q9framework
