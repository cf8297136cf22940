#include "auwrapper/VSTPresetCodec.h"

#include "auwrapper/TandrilErrors.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace q9framework {

namespace {

constexpr size_t programNameFieldSize = 28;
constexpr size_t bankReservedSize = 128;
constexpr uint32_t formatVersion = 1;

void appendWord(std::vector<uint8_t>& out, uint32_t word)
{
    out.push_back(static_cast<uint8_t>(word >> 24));
    out.push_back(static_cast<uint8_t>(word >> 16));
    out.push_back(static_cast<uint8_t>(word >> 8));
    out.push_back(static_cast<uint8_t>(word));
}

void appendFloat(std::vector<uint8_t>& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    appendWord(out, bits);
}

void appendName(std::vector<uint8_t>& out, const std::string& name)
{
    uint8_t field[programNameFieldSize] = {};
    std::memcpy(field, name.data(), std::min(name.size(), VSTPlugIn::maxProgramNameLength));
    out.insert(out.end(), field, field + programNameFieldSize);
}

/** Big-endian fields of an image given by the host or a file, every read bounds-checked. */
class Reader {
public:
    Reader(const uint8_t* bytes, size_t size, size_t start = 0) noexcept : data(bytes), length(size), offset(start) {}

    uint32_t word()
    {
        need(4);
        const uint8_t* p = data + offset;
        offset += 4;
        return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16)
               | (static_cast<uint32_t>(p[2]) << 8) | p[3];
    }
    float floatValue()
    {
        const uint32_t bits = word();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    /** The 28-byte name field: up to its first NUL, at most 24 characters. */
    std::string name()
    {
        need(programNameFieldSize);
        const char* p = reinterpret_cast<const char*>(data + offset);
        offset += programNameFieldSize;
        return std::string(p, strnlen(p, VSTPlugIn::maxProgramNameLength));
    }
    size_t position() const noexcept { return offset; }

private:
    void need(size_t bytes) const
    {
        if (offset > length || length - offset < bytes)
            throw EOFException("End of file error");
    }
    const uint8_t* data;
    size_t length;
    size_t offset;
};

} // namespace

const AEffect& VSTPresetCodec::effect() const
{
    const AEffect* e = plugIn.getEffect();
    if (e == nullptr)
        throw TandrilException("VST main() doesn't return object AEffect*");
    return *e;
}

int32_t VSTPresetCodec::rememberedProgram()
{
    return std::min(plugIn.getProgram(), effect().numPrograms);
}

void VSTPresetCodec::appendProgramRecord(std::vector<uint8_t>& out)
{
    const AEffect& e = effect();
    const int32_t numParams = std::max(e.numParams, 0);
    appendWord(out, chunkMagic);
    appendWord(out, static_cast<uint32_t>(4 * numParams + 48));
    appendWord(out, programMagic);
    appendWord(out, formatVersion);
    appendWord(out, static_cast<uint32_t>(e.uniqueID));
    appendWord(out, static_cast<uint32_t>(e.version));
    appendWord(out, static_cast<uint32_t>(numParams));
    appendName(out, plugIn.getProgramName());
    for (int32_t i = 0; i < numParams; ++i)
        appendFloat(out, plugIn.getParameter(i));
}

std::vector<uint8_t> VSTPresetCodec::saveProgram()
{
    const AEffect& e = effect();
    std::vector<uint8_t> out;
    if ((e.flags & effFlagsProgramChunks) == 0) {
        appendProgramRecord(out);
        return out;
    }
    void* chunk = nullptr;
    const int32_t size = plugIn.getChunk(true, &chunk);
    if (size < 1 || chunk == nullptr)
        throw TandrilException("VST could not create chunk for FXP");
    out.reserve(programHeaderSize + 4 + static_cast<size_t>(size));
    appendWord(out, chunkMagic);
    appendWord(out, static_cast<uint32_t>(size + 52));
    appendWord(out, programChunkMagic);
    appendWord(out, formatVersion);
    appendWord(out, static_cast<uint32_t>(e.uniqueID));
    appendWord(out, static_cast<uint32_t>(e.version));
    appendWord(out, static_cast<uint32_t>(std::max(e.numParams, 0)));
    appendName(out, plugIn.getProgramName());
    appendWord(out, static_cast<uint32_t>(size));
    const auto* bytes = static_cast<const uint8_t*>(chunk);
    out.insert(out.end(), bytes, bytes + size);
    return out;
}

std::vector<uint8_t> VSTPresetCodec::saveBank()
{
    const AEffect& e = effect();
    const int32_t numPrograms = std::max(e.numPrograms, 0);
    std::vector<uint8_t> out;
    auto appendBankHeader = [&](uint32_t magic, uint32_t byteSize) {
        appendWord(out, chunkMagic);
        appendWord(out, byteSize);
        appendWord(out, magic);
        appendWord(out, formatVersion);
        appendWord(out, static_cast<uint32_t>(e.uniqueID));
        appendWord(out, static_cast<uint32_t>(e.version));
        appendWord(out, static_cast<uint32_t>(numPrograms));
        out.insert(out.end(), bankReservedSize, 0);
    };

    if ((e.flags & effFlagsProgramChunks) != 0) {
        void* chunk = nullptr;
        const int32_t size = plugIn.getChunk(false, &chunk);
        if (size < 1 || chunk == nullptr)
            throw TandrilException("VST could not create chunk for FXB");
        appendBankHeader(bankChunkMagic, static_cast<uint32_t>(size + 152));
        appendWord(out, static_cast<uint32_t>(size));
        const auto* bytes = static_cast<const uint8_t*>(chunk);
        out.insert(out.end(), bytes, bytes + size);
        return out;
    }

    const size_t recordSize = 4 * static_cast<size_t>(std::max(e.numParams, 0)) + programHeaderSize;
    appendBankHeader(bankMagic, static_cast<uint32_t>(recordSize * static_cast<size_t>(numPrograms) + bankHeaderSize - 8));
    const int32_t current = rememberedProgram();
    try {
        for (int32_t i = 0; i < numPrograms; ++i) {
            plugIn.setProgram(i);
            appendProgramRecord(out);
        }
    } catch (...) {
        plugIn.setProgram(current);
        throw;
    }
    plugIn.setProgram(current);
    return out;
}

bool VSTPresetCodec::readProgramRecord(const uint8_t* data, size_t length, size_t& offset)
{
    const AEffect& e = effect();
    Reader in(data, length, offset);
    const uint32_t magic = in.word();
    in.word();                                 // byte size: the record ends after its stored values
    in.word();                                 // format magic: a bank's records are taken as programs
    const uint32_t version = in.word();
    const uint32_t id = in.word();
    in.word();                                 // the effect's version
    const uint32_t count = in.word();
    if (magic != chunkMagic || version != 1 || id != static_cast<uint32_t>(e.uniqueID))
        throw FormatException("Invalid format of FXP / FXB data");
    bool exact = count == static_cast<uint32_t>(e.numParams);

    const std::string name = in.name();
    plugIn.setProgramName(name.c_str());
    plugIn.beginSetProgram();
    try {
        for (int32_t i = 0; i < e.numParams; ++i) {
            float value = static_cast<uint32_t>(i) < count ? in.floatValue() : 0.0f;
            if (!(value >= 0.0f && value <= 1.0f)) {
                exact = false;
                value = value > 1.0f ? 1.0f : 0.0f;
            }
            plugIn.setParameter(i, value);
        }
        for (uint32_t i = static_cast<uint32_t>(std::max(e.numParams, 0)); i < count; ++i)
            in.word();
    } catch (...) {
        plugIn.endSetProgram();
        throw;
    }
    plugIn.endSetProgram();
    offset = in.position();
    return exact;
}

bool VSTPresetCodec::loadPresetData(const uint8_t* data, size_t length)
{
    const AEffect& e = effect();
    Reader header(data, data != nullptr ? length : 0);
    const uint32_t magic = header.word();
    const uint32_t byteSize = header.word();
    const uint32_t format = header.word();
    const uint32_t version = header.word();
    const uint32_t id = header.word();
    header.word();
    if (magic != chunkMagic || static_cast<uint64_t>(byteSize) + 8 > length || (version != 1 && version != 2)
        || id != static_cast<uint32_t>(e.uniqueID))
        throw FormatException("Invalid format of FXP / FXB data");

    switch (format) {
    case bankChunkMagic: {
        Reader in(data, length, bankHeaderSize);
        const uint32_t size = in.word();
        if (static_cast<uint64_t>(size) + bankHeaderSize + 4 > length || size > INT32_MAX)
            throw EOFException("Unexpected end of file in FXB data");
        return plugIn.setChunk(false, static_cast<int32_t>(size), const_cast<uint8_t*>(data) + bankHeaderSize + 4) != 0;
    }
    case programChunkMagic: {
        Reader in(data, length, 28);
        const std::string name = in.name();
        plugIn.setProgramName(name.c_str());
        const uint32_t size = in.word();
        if (static_cast<uint64_t>(size) + programHeaderSize + 4 > length || size > INT32_MAX)
            throw EOFException("Unexpected end of file in FXP / FXB data");
        return plugIn.setChunk(true, static_cast<int32_t>(size), const_cast<uint8_t*>(data) + programHeaderSize + 4) != 0;
    }
    case bankMagic: {
        Reader counts(data, length, 24);
        const uint32_t stored = counts.word();
        const uint32_t numPrograms = static_cast<uint32_t>(std::max(e.numPrograms, 0));
        bool exact = stored == numPrograms;
        const uint32_t n = std::min(stored, numPrograms);
        const int32_t current = rememberedProgram();
        size_t offset = bankHeaderSize;
        try {
            for (uint32_t i = 0; i < n; ++i) {
                plugIn.setProgram(static_cast<int32_t>(i));
                if (!readProgramRecord(data, length, offset))
                    exact = false;
            }
        } catch (...) {
            plugIn.setProgram(current);
            throw;
        }
        plugIn.setProgram(current);
        return exact;
    }
    case programMagic: {
        size_t offset = 0;
        return readProgramRecord(data, length, offset);
    }
    default:
        throw FormatException("Invalid format of FXP / FXB data");
    }
}

} // namespace q9framework
