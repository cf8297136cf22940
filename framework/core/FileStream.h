#pragma once
#include "Stream.h"

#include <cstdio>

namespace q9framework {

/** A stream over a C FILE. Mode bits: 1 read ("rb"), 2 write ("wb"), both "wb+" (which truncates).
    A file that cannot be opened gives a stream whose operations all return 0. */
class FileStream : public Stream {
public:
    static constexpr int modeRead = 1;
    static constexpr int modeWrite = 2;

    FileStream(const char* path, int modeBits);
    ~FileStream() override;                      // flushes and closes
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool isOpen() const noexcept { return file != nullptr; }

    int64_t write(const void* bytes, int64_t count) override;
    int64_t read(void* bytes, int64_t count) override;
    int64_t getPosition() override;
    int64_t getLength() override;
    void setPosition(int64_t position) override;

private:
    FILE* file = nullptr;
};

} // namespace q9framework
