#include "framework/core/FileContents.h"

#include "framework/core/FileStream.h"

namespace q9framework {

MemoryBlock readFileContents(const char* path)
{
    if (path == nullptr)
        return MemoryBlock();
    FileStream file(path, FileStream::modeRead);
    const int64_t length = file.getLength();
    if (length < 1)
        return MemoryBlock();
    MemoryBlock bytes(static_cast<uint64_t>(length));
    if (bytes.isNull() || file.read(bytes.getData(), length) != length)
        return MemoryBlock();
    return bytes;
}

} // namespace q9framework
