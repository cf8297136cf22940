// Rendering: arguments, notifications, input pulling by callback, by connection or silence, the
// same-sample-time rule, buffer hand-out and routing on other bus layouts. That rendering allocates
// nothing is checked on the real plug-in's Audio Unit (tests/plugin/threads) and, with MIDI queued,
// on VSTPlugIn's block (tests/auwrapper/vsthost).

#include "tests/auwrapper/component/ComponentFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace aucomponenttest;

namespace {

constexpr AudioUnitScope G = kAudioUnitScope_Global, I = kAudioUnitScope_Input;

/** A buffer list of `channels` buffers of `frames` floats each. */
struct Buffers {
    Buffers(UInt32 channels, UInt32 frames, bool owned = true) : data(channels, std::vector<float>(frames, -1.0f))
    {
        storage.resize(8 + 16 * channels);
        list()->mNumberBuffers = channels;
        for (UInt32 c = 0; c < channels; ++c)
            list()->mBuffers[c] = AudioBuffer{1, frames * 4, owned ? data[c].data() : nullptr};
    }
    AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(storage.data()); }
    float* channel(UInt32 c) { return static_cast<float*>(list()->mBuffers[c].mData); }
    std::vector<std::vector<float>> data;
    std::vector<unsigned char> storage;
};

/** Input callback: channel c of the bus gets (c + 1) * 0.1 in every sample. */
OSStatus rampInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 frames,
                   AudioBufferList* data)
{
    ++*static_cast<int*>(refCon);
    for (UInt32 c = 0; c < data->mNumberBuffers; ++c)
        for (UInt32 i = 0; i < frames; ++i)
            static_cast<float*>(data->mBuffers[c].mData)[i] = 0.1f * static_cast<float>(c + 1);
    return noErr;
}

OSStatus failingInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
    return -1234;
}

struct NotifyLog {
    std::vector<std::pair<int, AudioUnitRenderActionFlags>> calls;
};

OSStatus firstNotify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
    static_cast<NotifyLog*>(refCon)->calls.push_back({1, *flags});
    return noErr;
}
OSStatus secondNotify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
    static_cast<NotifyLog*>(refCon)->calls.push_back({2, *flags});
    return noErr;
}

/** Caps the process's address space at what it uses now plus `headroom` bytes, for as long as it lives:
    an allocation larger than that fails the way it does on a machine out of memory. */
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t headroom)
    {
        getrlimit(RLIMIT_AS, &saved);
        unsigned long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%lu", &pages) != 1)
                pages = 0;
            std::fclose(statm);
        }
        rlimit capped = saved;
        capped.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
        active = pages > 0 && setrlimit(RLIMIT_AS, &capped) == 0;
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &saved); }
    bool isActive() const { return active; }

private:
    rlimit saved{};
    bool active = false;
};

AudioStreamBasicDescription floatFormat(UInt32 channels)
{
    return AudioStreamBasicDescription{44100.0, kAudioFormatLinearPCM, kAudioFormatFlagsAudioUnitCanonical, 4, 1, 4,
                                       channels, 32, 0};
}

AudioTimeStamp at(Float64 sampleTime)
{
    AudioTimeStamp t{};
    t.mSampleTime = sampleTime;
    t.mFlags = kAudioTimeStampSampleTimeValid;
    return t;
}

} // namespace

TEST(Render, ASliceSizeWhoseBuffersCannotBeHadLeavesTheOldOneAndBadArgumentsAreRefused)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    f.host().events.clear();
#ifndef KELVANE_SANITIZED   // the sanitizer's operator new stops the program where the product's throws
    {
        AddressSpaceLimit limit(64u << 20);
        ASSERT_TRUE(limit.isActive());
        // Two channels of 2^26 floats: 512 MB that the limit does not leave.
        EXPECT_EQ(f.host().set(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, UInt32(1) << 26), memFullErr);
    }
#endif
    UInt32 frames = 0;
    ASSERT_EQ(f.host().get(kAudioUnitProperty_MaximumFramesPerSlice, G, 0, frames), noErr);
    EXPECT_EQ(frames, 4096u);
    EXPECT_TRUE(f.host().events.empty()) << "nothing changed, nothing to tell";
    EXPECT_EQ(f.effectControl().lastBlockSize, 0) << "the effect keeps its block size";
    Buffers out(2, 4097);
    AudioTimeStamp t = at(0);
    EXPECT_EQ(f.host().render(nullptr, &t, 0, 4097, out.list()), paramErr) << "renders stay within the old buffers";
    EXPECT_EQ(f.host().render(nullptr, &t, 0, 4096, out.list()), noErr);
    EXPECT_EQ(f.host().render(nullptr, nullptr, 0, 16, out.list()), paramErr) << "no time stamp";
    EXPECT_EQ(f.host().render(nullptr, &t, 1, 16, out.list()), paramErr) << "no such output bus";
}

TEST(Render, PullsInputFromTheCallbackAndProcessesInPlace)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    int pulls = 0;
    const AURenderCallbackStruct callback{&rampInput, &pulls};
    ASSERT_EQ(f.host().set(kAudioUnitProperty_SetRenderCallback, I, 0, callback), noErr);
    NotifyLog log;
    ASSERT_EQ(f.host().call(kAudioUnitAddRenderNotifySelect, &firstNotify, &log), noErr);
    ASSERT_EQ(f.host().call(kAudioUnitAddRenderNotifySelect, &secondNotify, &log), noErr);
    ASSERT_EQ(f.host().setParameter(0, G, 0, 0.0f), noErr);   // Level 0 of -10..10: normalised 0.5

    Buffers out(2, 64);
    AudioTimeStamp t = at(1000);
    AudioUnitRenderActionFlags flags = kAudioUnitRenderAction_OutputIsSilence;
    ASSERT_EQ(f.host().render(&flags, &t, 0, 64, out.list()), noErr);
    EXPECT_EQ(pulls, 1);
    // Effect: output c = input c * (c + 1) * (1 + 0.5).
    EXPECT_FLOAT_EQ(out.data[0][63], 0.1f * 1.5f);
    EXPECT_FLOAT_EQ(out.data[1][0], 0.2f * 2.0f * 1.5f);
    EXPECT_EQ(flags, 0u) << "pre/post cleared, silence flag follows the effect";
    ASSERT_EQ(log.calls.size(), 4u);
    EXPECT_EQ(log.calls[0], (std::pair<int, AudioUnitRenderActionFlags>{2, kAudioUnitRenderAction_PreRender | 16}))
        << "last registered first";
    EXPECT_EQ(log.calls[2], (std::pair<int, AudioUnitRenderActionFlags>{2, kAudioUnitRenderAction_PostRender}));
}

TEST(Render, SameSampleTimeRunsTheEffectOnceUntilReset)
{
    BundleSpec spec;
    spec.effect = "Quad";
    ComponentFixture f(spec);
    ASSERT_EQ(f.open(), noErr);
    int pulls = 0;
    ASSERT_EQ(f.host().set(kAudioUnitProperty_SetRenderCallback, I, 0, AURenderCallbackStruct{&rampInput, &pulls}), noErr);
    Buffers main(2, 32), aux(2, 32);
    AudioTimeStamp t = at(512);
    ASSERT_EQ(f.host().render(nullptr, &t, 0, 32, main.list()), noErr);
    ASSERT_EQ(f.host().render(nullptr, &t, 1, 32, aux.list()), noErr);
    EXPECT_EQ(f.effectControl().processCalls, 1) << "the second bus of the same moment only copies";
    // Quad: output c = input (c % 2) * (c + 1); its second bus carries outputs 2 and 3.
    EXPECT_FLOAT_EQ(aux.data[0][5], 0.1f * 3.0f);
    EXPECT_FLOAT_EQ(aux.data[1][5], 0.2f * 4.0f);

    ASSERT_EQ(f.host().reset(), noErr);
    ASSERT_EQ(f.host().render(nullptr, &t, 0, 32, main.list()), noErr);
    EXPECT_EQ(f.effectControl().processCalls, 2) << "after Reset the same time renders again";
    EXPECT_EQ(pulls, 2);
}

TEST(Render, UnconnectedInputIsSilenceAndNullBuffersGetTheComponentsOwn)
{
    ComponentFixture f;
    ASSERT_EQ(f.open(), noErr);
    f.effectControl().outputSilentAnswer = 1;
    Buffers out(2, 16, false);
    AudioTimeStamp t = at(0);
    AudioUnitRenderActionFlags flags = 0;
    ASSERT_EQ(f.host().render(&flags, &t, 0, 16, out.list()), noErr);
    ASSERT_NE(out.channel(0), nullptr);
    EXPECT_EQ(out.channel(0)[15], 0.0f);
    EXPECT_EQ(f.effectControl().lastInputSilence, 1);
    EXPECT_EQ(flags, kAudioUnitRenderAction_OutputIsSilence);
}

TEST(Render, StereoOnAMonoBusFeedsTheEffectTheFirstChannel)
{
    BundleSpec spec;
    spec.effect = "Mono";
    ComponentFixture f(spec);
    f.setHostInfo("com.apple.garageband", "4.1");   // this host's mode takes a stereo format on a mono bus
    ASSERT_EQ(f.open(), noErr);
    ASSERT_EQ(f.host().set(kAudioUnitProperty_StreamFormat, I, 0, floatFormat(2)), noErr);
    ASSERT_EQ(f.host().set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, floatFormat(2)), noErr);
    int pulls = 0;
    ASSERT_EQ(f.host().set(kAudioUnitProperty_SetRenderCallback, I, 0, AURenderCallbackStruct{&rampInput, &pulls}), noErr);
    Buffers out(2, 8);
    AudioTimeStamp t = at(0);
    ASSERT_EQ(f.host().render(nullptr, &t, 0, 8, out.list()), noErr);
    // The host wrote 0.1 (left) and 0.2 (right); the mono effect hears the left and passes it on.
    EXPECT_FLOAT_EQ(out.data[0][7], 0.1f);
    EXPECT_FLOAT_EQ(out.data[1][7], 0.1f) << "the extra output channel repeats the effect's one";
}

TEST(Render, ConnectionsPullFromTheSourceUnitAndFailuresAbort)
{
    ComponentFixture source;
    ASSERT_EQ(source.open(), noErr);
    int pulls = 0;
    ASSERT_EQ(source.host().set(kAudioUnitProperty_SetRenderCallback, I, 0, AURenderCallbackStruct{&rampInput, &pulls}), noErr);

    BundleSpec spec;
    spec.effect = "Chunk";
    ComponentFixture f(spec);
    ASSERT_EQ(f.open(), noErr);
    const AudioUnitConnection connection{source.host().unit(), 0, 0};
    ASSERT_EQ(f.host().set(kAudioUnitProperty_MakeConnection, I, 0, connection), noErr);
    Boolean writable = 1;
    EXPECT_EQ(f.host().getPropertyInfo(kAudioUnitProperty_SampleRate, I, 0, nullptr, &writable), noErr);
    EXPECT_EQ(writable, 0) << "a connected input's rate is the source's";

    Buffers out(2, 16);
    AudioTimeStamp t = at(0);
    ASSERT_EQ(f.host().render(nullptr, &t, 0, 16, out.list()), noErr);
    EXPECT_EQ(pulls, 1);
    // Source: 0.1 and 0.4 (0.2 * 2); this effect: 0.1 * 1 and 0.4 * 2.
    EXPECT_FLOAT_EQ(out.data[0][3], 0.1f);
    EXPECT_FLOAT_EQ(out.data[1][3], 0.8f);

    ASSERT_EQ(f.host().set(kAudioUnitProperty_SetRenderCallback, I, 0, AURenderCallbackStruct{&failingInput, nullptr}), noErr);
    const int processed = f.effectControl().processCalls;
    t = at(16);
    AudioUnitRenderActionFlags flags = 77;
    EXPECT_EQ(f.host().render(&flags, &t, 0, 16, out.list()), -1234);
    EXPECT_EQ(f.effectControl().processCalls, processed) << "nothing is processed for a failed pull";
    EXPECT_EQ(flags, 77u) << "a failed render leaves the flags alone";
}
