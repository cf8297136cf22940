// FXP and FXB images (user preset files, the data inside Audio Unit presets) read into the real effect
// through the wrapper's preset codec, the effect loaded from the built bundle as the wrapper loads it.
//
// Checks: an image the codec read without refusing saves and reloads to the same image; a refused image (an
// exception) leaves the effect's state chunk as it was unless the image got as far as its chunk.
#include "auwrapper/VSTPresetCodec.h"
#include "fuzz/FuzzSupport.h"

#include <memory>
#include <vector>

using namespace q9framework;

namespace {

struct Opened {
    kelvanefuzz::QuietHost host;
    std::unique_ptr<VSTPlugIn> plugIn;
    std::unique_ptr<VSTPresetCodec> codec;
    Opened()
    {
        plugIn = std::make_unique<VSTPlugIn>(host, Bundle::fromPath(KELVANE_BUNDLE_DIR), 512, 44100.0f);
        plugIn->open();
        codec = std::make_unique<VSTPresetCodec>(*plugIn);
    }
};

// Never destroyed: unloading the module at exit would hide what it still holds from the leak check.
Opened& opened()
{
    static Opened* instance = new Opened;
    return *instance;
}

std::vector<uint8_t> chunk()
{
    void* data = nullptr;
    const int32_t size = opened().plugIn->getChunk(true, &data);
    FUZZ_CHECK(size > 0 && data != nullptr, "the effect gives its chunk");
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// The image's chunk size field, when the header is complete enough to have one.
bool reachesChunk(const uint8_t* data, size_t size)
{
    return size >= VSTPresetCodec::programHeaderSize + 4;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VSTPresetCodec& codec = *opened().codec;
    const std::vector<uint8_t> before = chunk();
    const std::vector<uint8_t> image(data, data + size);
    try {
        // The answer is not checked: the effect's effSetChunk answers 0, so chunk forms read as false.
        (void) codec.loadPresetData(image.data(), image.size());
    } catch (const TandrilException&) {
        if (!reachesChunk(data, size))
            FUZZ_CHECK(chunk() == before, "an image refused in its header changes nothing");
        return 0;
    }
    const bool isBank = size >= 12 && (data[8] == 'F' && (data[9] == 'B' || (data[9] == 'x' && data[10] == 'B')));
    const std::vector<uint8_t> saved = isBank ? codec.saveBank() : codec.saveProgram();
    try {
        (void) codec.loadPresetData(saved.data(), saved.size());
    } catch (const TandrilException&) {
        FUZZ_CHECK(false, "a saved image loads");
    }
    const std::vector<uint8_t> again = isBank ? codec.saveBank() : codec.saveProgram();
    FUZZ_CHECK(again == saved, "a saved image reloads to the same image");
    return 0;
}
