// The effect's state chunk as a host hands it over: effSetChunk on a real instance, built by the same
// factory the module's entry uses and driven only through its AEffect dispatcher.
//
// Checks: whatever was read saves a chunk that reloads to the same bytes; a chunk that is not ours
// (wrong magic, impossible length) leaves the saved state exactly as before.
#include "effect/KVAudioPlugin.h"
#include "framework/plugin/VST2Entry.h"
#include "fuzz/FuzzSupport.h"

#include <cstring>
#include <vector>

namespace {

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

q9framework::AudioPlugin* makeKelvane()
{
    return new KVAudioPlugin();
}

AEffect* effect()
{
    static AEffect* instance = q9framework::createVST2Engine(hostCallback, &createPluginInfo, &makeKelvane);
    return instance;
}

std::vector<uint8_t> savedState()
{
    void* data = nullptr;
    const VstIntPtr size = effect()->dispatcher(effect(), effGetChunk, 0, 0, &data, 0.0f);
    FUZZ_CHECK(size > 8 && data != nullptr, "effGetChunk gives a chunk");
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

void load(const uint8_t* data, size_t size, VstInt32 index)
{
    // The host's buffer is exactly the chunk's size: reading past it is an overrun ASan sees.
    std::vector<uint8_t> copy(data, data + size);
    effect()->dispatcher(effect(), effSetChunk, index, static_cast<VstIntPtr>(copy.size()), copy.data(), 0.0f);
}

bool isOurHeader(const uint8_t* data, size_t size)
{
    if (size < 8)
        return false;
    int32_t magic = 0, length = 0;
    std::memcpy(&magic, data, 4);
    std::memcpy(&length, data + 4, 4);
    return magic == KVAudioPlugin::stateMagic && length >= 0 && static_cast<size_t>(length) <= size - 8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FUZZ_CHECK(effect() != nullptr, "the instance was made");
    const std::vector<uint8_t> before = savedState();
    load(data, size, size % 2 == 0 ? 0 : 1);   // bank and program requests alike
    const std::vector<uint8_t> after = savedState();
    if (!isOurHeader(data, size))
        FUZZ_CHECK(after == before, "a chunk that is not ours changes nothing");

    load(after.data(), after.size(), 0);
    FUZZ_CHECK(savedState() == after, "a saved state reloads to the same bytes");

    for (VstInt32 i = 0; i < effect()->numParams; ++i) {
        char text[256];
        std::memset(text, 0x7F, sizeof text);
        effect()->dispatcher(effect(), effGetParamDisplay, i, 0, text, 0.0f);
        FUZZ_CHECK(std::memchr(text, 0, 64) != nullptr, "the display text of a loaded value fits 64 bytes");
    }
    return 0;
}
