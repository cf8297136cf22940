#include "FileStream.h"

namespace q9framework {

FileStream::FileStream(const char* path, int modeBits)
{
    const bool wantRead = (modeBits & modeRead) != 0;
    const bool wantWrite = (modeBits & modeWrite) != 0;
    writable = wantWrite;
    const char* mode = wantRead && wantWrite ? "wb+" : (wantWrite ? "wb" : (wantRead ? "rb" : nullptr));
    if (path != nullptr && mode != nullptr)
        file = std::fopen(path, mode);
}

FileStream::~FileStream()
{
    if (file) {
        std::fflush(file);
        std::fclose(file);
    }
}

int64_t FileStream::write(const void* bytes, int64_t count)
{
    if (file == nullptr || !writable || count <= 0)
        return 0;
    return static_cast<int64_t>(std::fwrite(bytes, 1, static_cast<size_t>(count), file));
}

int64_t FileStream::read(void* bytes, int64_t count)
{
    if (file == nullptr || count <= 0)
        return 0;
    return static_cast<int64_t>(std::fread(bytes, 1, static_cast<size_t>(count), file));
}

int64_t FileStream::getPosition() { return file ? static_cast<int64_t>(ftello(file)) : 0; }

int64_t FileStream::getLength()
{
    if (file == nullptr)
        return 0;
    const off_t here = ftello(file);
    fseeko(file, 0, SEEK_END);
    const off_t end = ftello(file);
    fseeko(file, here, SEEK_SET);
    return static_cast<int64_t>(end);
}

void FileStream::setPosition(int64_t position)
{
    if (file)
        fseeko(file, static_cast<off_t>(position), SEEK_SET);
}

} // namespace q9framework
