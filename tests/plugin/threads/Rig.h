#pragma once

// What the thread, allocation and churn tests share: a VST instance of the built module with a host
// callback that never allocates, and an Audio Unit instance of the built bundle set up for rendering stereo blocks.

#include "tests/plugin/HostWindow.h"
#include "tests/plugin/LoadedPlugin.h"
#include "tools/au/AUBundleComponent.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

namespace threadrig {

/** Edits the editor reported (audioMasterAutomate), from whatever thread. */
inline std::atomic<int> automateCalls{0};

/** A host that answers the version and nothing else, and keeps no record (so calls from the audio
    thread allocate nothing on the test's side). */
inline VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterAutomate)
        automateCalls.fetch_add(1, std::memory_order_relaxed);
    return opcode == audioMasterVersion ? 2400 : 0;
}

/** One instance through the module's entry, prepared for 44.1 kHz blocks of up to 256 frames and
    switched on; effClose when it goes. */
class Vst {
public:
    Vst() : effect(PluginModule::get().entry("VSTPluginMain")(quietHost))
    {
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effSetBlockSize, 0, 256);
        dispatch(effMainsChanged, 0, 1);
    }
    ~Vst() { dispatch(effClose); }
    Vst(const Vst&) = delete;
    Vst& operator=(const Vst&) = delete;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) const
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void setParameter(VstInt32 index, float value) const { effect->setParameter(effect, index, value); }
    float getParameter(VstInt32 index) const { return effect->getParameter(effect, index); }
    /** One block of a loud alternating signal; true when every output sample is finite. */
    bool process(int frames = 256)
    {
        for (int i = 0; i < frames; ++i)
            left[i] = right[i] = (i % 2 == 0 ? 0.9f : -0.9f);
        float* io[2] = {left, right};
        effect->processReplacing(effect, io, io, frames);
        for (int i = 0; i < frames; ++i)
            if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
                return false;
        return true;
    }

    AEffect* const effect;

private:
    float left[256] = {}, right[256] = {};
};

/** Idles an editor as a host's GUI thread does, for `milliseconds`. */
inline void idleFor(const Vst& vst, int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        vst.dispatch(effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

/** The built bundle as an Audio Unit host opens it, initialised for stereo slices of up to 256 frames
    at 44.1 kHz, its input a loud alternating signal. `status` is the first failure, noErr when ready. */
class AURig {
public:
    AURig()
    {
        std::string error;
        if (!component.load(KELVANE_BUNDLE_DIR, error)) {
            status = -1;
            return;
        }
        unit = component.createInstance();
        const AudioStreamBasicDescription format{44100.0, kAudioFormatLinearPCM, kAudioFormatFlagsAudioUnitCanonical,
                                                 4, 1, 4, 2, 32, 0};
        if ((status = unit->open()) != noErr
            || (status = unit->set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, format)) != noErr
            || (status = unit->set(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, format)) != noErr
            || (status = unit->set(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, UInt32(256))) != noErr
            || (status = unit->set(kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                                   AURenderCallbackStruct{&supplyInput, nullptr})) != noErr)
            return;
        status = unit->initialize();
    }
    ~AURig()
    {
        if (unit != nullptr)
            unit->close();
    }
    /** One slice of `frames` frames; its status. */
    OSStatus render(UInt32 frames = 256)
    {
        struct {
            UInt32 count;
            AudioBuffer buffers[2];
        } list{2, {{1, frames * 4, left}, {1, frames * 4, right}}};
        AudioTimeStamp time{};
        time.mSampleTime = sampleTime;
        time.mFlags = kAudioTimeStampSampleTimeValid;
        sampleTime += frames;
        AudioUnitRenderActionFlags flags = 0;
        return unit->render(&flags, &time, 0, frames, reinterpret_cast<AudioBufferList*>(&list));
    }

    kelvane::AUBundleComponent component;
    std::unique_ptr<kelvane::AUHostInstance> unit;
    OSStatus status = noErr;

private:
    static OSStatus supplyInput(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 frames,
                                AudioBufferList* data)
    {
        for (UInt32 c = 0; c < data->mNumberBuffers; ++c)
            for (UInt32 i = 0; i < frames; ++i)
                static_cast<float*>(data->mBuffers[c].mData)[i] = (i % 2 == 0 ? 0.9f : -0.9f);
        return noErr;
    }
    float left[256] = {}, right[256] = {};
    double sampleTime = 0;
};

} // namespace threadrig
