// The built module as careless and hostile hosts drive it: every dispatcher opcode with odd arguments,
// parameters and sample rates outside their ranges, block sizes from 0 to above the announced maximum,
// non-finite and denormal audio, suspend and resume in any order. Every text the effect writes goes into
// a buffer of the size hosts pass with guard bytes behind it. Nothing may crash, hang, write past a
// buffer, or leave the output non-finite once clean audio comes back.
#include "framework/plugin/vst2/aeffectx.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float denormal = std::numeric_limits<float>::denorm_min();

VstTimeInfo timeInfo{};

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(&timeInfo);
    default: return 0;
    }
}

AEffect* openEffect()
{
    static void* module = dlopen(KELVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr)
        return nullptr;
    auto entry = reinterpret_cast<VstPluginEntryProc>(dlsym(module, "VSTPluginMain"));
    return entry != nullptr ? entry(host) : nullptr;
}

/** One effect instance, closed at the end of the test. */
struct Effect {
    AEffect* e = openEffect();
    Effect()
    {
        timeInfo = VstTimeInfo{};
        timeInfo.sampleRate = 44100.0;
        timeInfo.tempo = 120.0;
    }
    ~Effect()
    {
        if (e != nullptr)
            e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
    }
    VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }
};

/** A buffer of `size` bytes as a host passes it, followed by guard bytes the effect must not touch. */
class GuardedBuffer {
public:
    static constexpr size_t guard = 256;
    static constexpr char canary = '\x5A';
    explicit GuardedBuffer(size_t bytes) : size(bytes), storage(bytes + guard, canary) {}
    char* data() { return storage.data(); }
    bool guardIntact() const
    {
        for (size_t i = size; i < storage.size(); ++i)
            if (storage[i] != canary)
                return false;
        return true;
    }
    /** NUL within the buffer: the text a host would read. */
    bool terminated() const { return std::memchr(storage.data(), 0, size) != nullptr; }
    std::string text() const { return terminated() ? std::string(storage.data()) : std::string(); }

private:
    size_t size;
    std::vector<char> storage;
};

/** Texts the effect writes, with the buffer size hosts give for them. Parameter texts: the published
    limit is 8 bytes, which no host keeps to and "Release Time" exceeds; 24 is the least hosts give. */
struct TextOpcode {
    VstInt32 opcode;
    size_t hostBufferSize;
    const char* what;
};
const TextOpcode textOpcodes[] = {
    {effGetProgramName, kVstMaxProgNameLen, "program name"},
    {effGetParamLabel, 24, "parameter label"},
    {effGetParamDisplay, 24, "parameter display"},
    {effGetParamName, 24, "parameter name"},
    {effGetProgramNameIndexed, kVstMaxProgNameLen, "indexed program name"},
    {effGetEffectName, kVstMaxEffectNameLen, "effect name"},
    {effGetVendorString, kVstMaxVendorStrLen, "vendor"},
    {effGetProductString, kVstMaxProductStrLen, "product"},
    {effShellGetNextPlugin, kVstMaxProductStrLen, "shell plug-in name"},
};

const VstInt32 hostileIndices[] = {0, 6, 7, -1, INT_MAX, INT_MIN};

bool allFinite(const std::vector<float>& samples)
{
    for (float s : samples)
        if (!std::isfinite(s))
            return false;
    return true;
}

/** Stereo processing in place of `frames` frames of `input`; the output. */
std::vector<float> process(Effect& fx, VstInt32 frames, float input)
{
    std::vector<float> left(static_cast<size_t>(frames) + 1, input), right(static_cast<size_t>(frames) + 1, input);
    left.back() = right.back() = 12345.0f;   // one sample past the block: must stay
    float* channels[2] = {left.data(), right.data()};
    fx.e->processReplacing(fx.e, channels, channels, frames);
    EXPECT_EQ(left.back(), 12345.0f) << "wrote past a block of " << frames;
    EXPECT_EQ(right.back(), 12345.0f) << "wrote past a block of " << frames;
    left.pop_back();
    left.insert(left.end(), right.begin(), right.end() - 1);
    return left;
}

/** A second of a clean drum-like signal: the output must be finite again by its end. */
bool recoversWithCleanAudio(Effect& fx, float sampleRate)
{
    const VstInt32 block = 256;
    std::vector<float> left(block), right(block);
    float* channels[2] = {left.data(), right.data()};
    bool finite = false;
    for (int done = 0; done < static_cast<int>(sampleRate); done += block) {
        for (VstInt32 i = 0; i < block; ++i)
            left[static_cast<size_t>(i)] = right[static_cast<size_t>(i)] =
                ((done + i) % 4410 < 200 ? 0.8f : 0.05f) * std::sin(0.07f * static_cast<float>(done + i));
        fx.e->processReplacing(fx.e, channels, channels, block);
        finite = allFinite(left) && allFinite(right);
    }
    return finite;
}

TEST(HostTorture, TextsStayInsideTheBuffersHostsPass)
{
    Effect fx;
    ASSERT_NE(fx.e, nullptr) << dlerror();
    for (const TextOpcode& t : textOpcodes) {
        for (VstInt32 index : hostileIndices) {
            SCOPED_TRACE(std::string(t.what) + " index " + std::to_string(index));
            GuardedBuffer buffer(t.hostBufferSize);
            fx.call(t.opcode, index, 0, buffer.data());
            EXPECT_TRUE(buffer.guardIntact()) << "wrote past " << t.hostBufferSize << " bytes";
            if (buffer.data()[0] != GuardedBuffer::canary) {
                EXPECT_TRUE(buffer.terminated()) << "text without its NUL";
            }
            fx.call(t.opcode, index, 0, nullptr);   // a host that passes no buffer
        }
    }
    GuardedBuffer name(kVstMaxEffectNameLen);
    fx.call(effGetEffectName, 0, 0, name.data());
    EXPECT_EQ(name.text(), "Kelvane");
}

TEST(HostTorture, EveryOpcodeTakesHostileArguments)
{
    Effect fx;
    ASSERT_NE(fx.e, nullptr) << dlerror();
    struct Arguments {
        VstInt32 index;
        VstIntPtr value;
        float opt;
    };
    const Arguments argumentSets[] = {{0, 0, 0.0f},
                                      {-1, -1, -1.0f},
                                      {INT_MAX, INT32_MAX, nan},
                                      {INT_MIN, INT32_MIN, inf},
                                      {7, 1, -inf}};
    for (VstInt32 opcode = 0; opcode <= 80; ++opcode) {
        if (opcode == effClose)
            continue;
        for (const Arguments& a : argumentSets) {
            SCOPED_TRACE("opcode " + std::to_string(opcode) + " index " + std::to_string(a.index));
            // The editor's window calls are someone else's to torture: no window, harmless values.
            const bool editorCall = opcode == effEditOpen || opcode == effEditClose || opcode == effEditIdle
                                    || opcode == effEditGetRect;
            // `value` is a pointer for the speaker arrangements (null here), and a chunk's size may not
            // exceed the host's own buffer: those two get no numbers from the table.
            const bool pointerInValue = opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
            VstIntPtr value = a.value;
            if (pointerInValue || (opcode == effSetChunk && value > 0))
                value = 0;
            fx.call(opcode, editorCall ? 0 : a.index, editorCall ? 0 : value, nullptr, a.opt);

            // Pointer arguments: a zeroed buffer is an empty event list, an empty speaker arrangement,
            // an empty string; a pointer in `value` (speaker arrangements) gets one too.
            alignas(16) char zeroed[512] = {};
            GuardedBuffer scratch(512);
            std::memset(scratch.data(), 0, 512);
            if (!editorCall) {
                fx.call(opcode, a.index, pointerInValue ? reinterpret_cast<VstIntPtr>(zeroed) : value, scratch.data(), a.opt);
                EXPECT_TRUE(scratch.guardIntact());
            }
        }
    }
    // Still a working effect afterwards.
    fx.call(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    fx.call(effSetBlockSize, 0, 512);
    fx.call(effMainsChanged, 0, 1);
    EXPECT_TRUE(recoversWithCleanAudio(fx, 44100.0f));
    EXPECT_EQ(fx.call(effGetProgram), 0);
}

TEST(HostTorture, OutOfRangeParametersReadBackFiniteAndDisplayWithinTheBuffer)
{
    Effect fx;
    ASSERT_NE(fx.e, nullptr) << dlerror();
    fx.call(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    fx.call(effSetBlockSize, 0, 256);
    fx.call(effMainsChanged, 0, 1);
    const float values[] = {-1.0f, 2.0f, nan, inf, -inf, 1e30f, -1e30f, denormal, -0.0f, 0.5f};
    for (VstInt32 index : {0, 1, 2, 3, 4, 5, 6, 7, -1, INT_MAX, INT_MIN}) {
        for (float value : values) {
            SCOPED_TRACE("parameter " + std::to_string(index) + " set to " + std::to_string(value));
            fx.e->setParameter(fx.e, index, value);
            EXPECT_TRUE(std::isfinite(fx.e->getParameter(fx.e, index)));
            GuardedBuffer display(24);
            fx.call(effGetParamDisplay, index, 0, display.data());
            EXPECT_TRUE(display.guardIntact());
            EXPECT_TRUE(display.terminated() || display.data()[0] == GuardedBuffer::canary);
            // Finite values far outside 0..1 are stored as they are (the effect never clamps); only
            // the values hosts really send must keep the audio finite.
            if (std::fabs(value) < 1e3f) {
                EXPECT_TRUE(allFinite(process(fx, 64, 0.5f))) << "a bad parameter value reached the audio";
            }
        }
    }
    // A chunk saved now still restores: whatever the values are, they round-trip.
    void* data = nullptr;
    const VstIntPtr size = fx.call(effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 8);
    std::vector<char> chunk(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    fx.call(effSetChunk, 0, size, chunk.data());
    void* again = nullptr;
    ASSERT_EQ(fx.call(effGetChunk, 0, 0, &again), size);
    EXPECT_EQ(std::memcmp(again, chunk.data(), chunk.size()), 0);
}

TEST(HostTorture, BlockSizesAndSampleRatesHostsReallyUse)
{
    Effect fx;
    ASSERT_NE(fx.e, nullptr) << dlerror();
    const float rates[] = {22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f,
                           0.0f, -44100.0f, nan, inf, -inf, 1e-30f, 1e30f};
    const VstInt32 blocks[] = {0, 1, 3, 17, 255, 512, 513, 4096, -1};
    for (float rate : rates) {
        SCOPED_TRACE("sample rate " + std::to_string(rate));
        fx.call(effMainsChanged, 0, 0);
        fx.call(effSetSampleRate, 0, 0, nullptr, rate);
        fx.call(effSetBlockSize, 0, 512);
        fx.call(effMainsChanged, 0, 1);
        for (VstInt32 frames : blocks) {
            if (frames < 0) {
                float* none[2] = {nullptr, nullptr};
                fx.e->processReplacing(fx.e, none, none, frames);
                continue;
            }
            SCOPED_TRACE("block of " + std::to_string(frames));
            EXPECT_TRUE(allFinite(process(fx, frames, 0.25f)));
        }
        EXPECT_TRUE(recoversWithCleanAudio(fx, std::isfinite(rate) && rate >= 22050.0f && rate <= 192000.0f ? rate : 44100.0f));
    }
}

TEST(HostTorture, NonFiniteAndDenormalAudioIsForgottenWithinASecondOfCleanAudio)
{
    const float poisons[] = {nan, inf, -inf, denormal, -denormal, 1e30f, std::numeric_limits<float>::max()};
    for (float poison : poisons) {
        SCOPED_TRACE("input " + std::to_string(poison));
        Effect fx;
        ASSERT_NE(fx.e, nullptr) << dlerror();
        fx.call(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        fx.call(effSetBlockSize, 0, 512);
        fx.call(effMainsChanged, 0, 1);
        fx.e->setParameter(fx.e, 0, 1.0f);   // strongest attack: the detector works hardest
        fx.e->setParameter(fx.e, 6, 1.0f);   // full drive
        for (int block = 0; block < 8; ++block)
            process(fx, 512, poison);
        EXPECT_TRUE(recoversWithCleanAudio(fx, 44100.0f));
    }
}

TEST(HostTorture, SuspendResumeAndProgramCallsInAnyOrder)
{
    Effect fx;
    ASSERT_NE(fx.e, nullptr) << dlerror();
    const VstInt32 sequence[][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {1, 0, 1, 0}, {0, 1, 1, 0}, {1, 1, 0, 0}};
    for (const auto& steps : sequence) {
        for (VstInt32 on : steps) {
            fx.call(effMainsChanged, 0, on);
            fx.call(on ? effStartProcess : effStopProcess);
            EXPECT_TRUE(allFinite(process(fx, 32, 0.5f)));
        }
    }
    for (VstIntPtr program : {VstIntPtr{-1}, VstIntPtr{1}, VstIntPtr{INT32_MAX}, VstIntPtr{INT32_MIN}, VstIntPtr{1} << 40}) {
        fx.call(effSetProgram, 0, program);
        EXPECT_EQ(fx.call(effGetProgram), 0) << "program " << program;
        GuardedBuffer name(kVstMaxProgNameLen);
        fx.call(effGetProgramNameIndexed, static_cast<VstInt32>(program), 0, name.data());
        EXPECT_TRUE(name.guardIntact());
    }
    // A program name longer than the published limit is the host's mistake; it must not spill either.
    const std::string longName(200, 'n');
    fx.call(effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
    GuardedBuffer name(kVstMaxProgNameLen);
    fx.call(effGetProgramName, 0, 0, name.data());
    EXPECT_TRUE(name.guardIntact());
    EXPECT_TRUE(name.terminated());
    EXPECT_EQ(fx.call(effCanDo, 0, 0, nullptr), 0) << "a null capability is not one we have";
}

} // namespace
