#pragma once
#include "framework/plugin/vst2/aeffectx.h"

#include <mutex>
#include <vector>

/** A VST host callback for tests. The published callback carries no context, so there is one host per
    test executable: reset() it at the start of each test. It records every call and answers:
    audioMasterVersion with `version`, audioMasterGetTime with `timeInfo` (may be null),
    audioMasterSizeWindow with `sizeWindowAnswer` (1), audioMasterIOChanged with 1, everything else 0.
    Any thread. */
class TestHost {
public:
    struct Call {
        AEffect* effect;
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        float opt;
    };

    static TestHost& get();
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt);

    void reset();
    std::vector<Call> calls() const;
    std::vector<Call> callsOf(VstInt32 opcode) const;

    VstIntPtr version = 2400;
    VstTimeInfo* timeInfo = nullptr;
    VstIntPtr sizeWindowAnswer = 1;

private:
    mutable std::mutex mutex;
    std::vector<Call> recorded;
};
