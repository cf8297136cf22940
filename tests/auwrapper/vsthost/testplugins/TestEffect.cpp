// A small VST 2.4 effect for the host tests. Compiled once per variant; each variant breaks one
// thing a host must check (TEST_EFFECT_VARIANT), the well-formed one records what its host does.

#include "tests/auwrapper/vsthost/testplugins/TestEffect.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#define TEST_WELL_FORMED 0
#define TEST_NO_ENTRY 1
#define TEST_NULL_EFFECT 2
#define TEST_TOO_MANY_INPUTS 3
#define TEST_NO_REPLACING 4

#ifndef TEST_EFFECT_VARIANT
#define TEST_EFFECT_VARIANT TEST_WELL_FORMED
#endif

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

TestEffectLog record;
AEffect effect;
audioMasterCallback host = nullptr;
ERect editorRect{0, 0, 175, 750};

constexpr VstInt32 code(char a, char b, char c, char d)
{
    return (static_cast<VstInt32>(a) << 24) | (static_cast<VstInt32>(b) << 16) | (static_cast<VstInt32>(c) << 8) | d;
}

void noteVendorCall(int small)
{
    if (record.numVendorCalls < 8)
        record.vendorCalls[record.numVendorCalls++] = small;
}

// The vendor extension's silence hints around a block; its probe and text conversions are the
// component suite's.
VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value)
{
    if (index == code('s', 'I', '0', '0')) {
        noteVendorCall(2);
        record.lastInputSilence = value;
        return 0;
    }
    if (index == code('s', 'O', '0', '0')) {
        noteVendorCall(3);
        return record.outputSilent ? 1 : 0;
    }
    return 0;
}

[[maybe_unused]] VstIntPtr dispatcher(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (opcode >= 0 && opcode < 80)
        ++record.calls[opcode];
    if (record.numOrdered < 64)
        record.order[record.numOrdered++] = opcode;
    if (record.throwFromDispatcher)
        throw std::runtime_error("dispatcher failure");
    switch (opcode) {
    case effSetSampleRate: record.sampleRate = opt; return 0;
    case effSetBlockSize: record.blockSize = value; return 0;
    case effGetProgram: return 0;
    case effGetProgramName: std::strcpy(static_cast<char*>(ptr), "a program name longer than twenty-four"); return 0;
    case effGetParamDisplay: std::snprintf(static_cast<char*>(ptr), 64, "display %d", index); return 0;
    case effEditGetRect: *static_cast<ERect**>(ptr) = &editorRect; return 1;
    case effEditOpen: return record.editOpenAnswer;
    case effProcessEvents: {
        const auto* events = static_cast<const VstEvents*>(ptr);
        record.lastEventCount = events->numEvents;
        if (events->numEvents > 0) {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(events->events[events->numEvents - 1]);
            for (int i = 0; i < 3; ++i)
                record.lastEventBytes[i] = static_cast<uint8_t>(midi->midiData[i]);
            record.lastEventDelta = midi->deltaFrames;
        }
        return 1;
    }
    case effVendorSpecific: return vendorSpecific(index, value);
    case effCanDo:
        return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? record.canDoReceiveMidi : 0;
    default: return 0;
    }
}

[[maybe_unused]] void setParameter(AEffect*, VstInt32, float)
{
    if (record.throwFromDispatcher)
        throw std::runtime_error("parameter failure");
}

[[maybe_unused]] float getParameter(AEffect*, VstInt32 index)
{
    if (record.throwFromDispatcher)
        throw std::runtime_error("parameter failure");
    return static_cast<float>(index) / 10.0f;
}

// Output = input * 2 on every channel: enough for the host tests to see the buffers arrive.
[[maybe_unused]] void processReplacing(AEffect*, float** inputs, float** outputs, VstInt32 frames)
{
    ++record.processCalls;
    if (record.throwFromDispatcher)
        throw std::runtime_error("process failure");
    for (int c = 0; c < effect.numOutputs && c < effect.numInputs; ++c)
        for (VstInt32 i = 0; i < frames; ++i)
            outputs[c][i] = inputs[c][i] * 2.0f;
}

[[maybe_unused]] AEffect* create(audioMasterCallback callback, const char* entryName)
{
    host = callback;
    record.entryUsed = entryName;
    record.versionDuringEntry = host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
    record.currentIdDuringEntry = host(nullptr, audioMasterCurrentId, 0, 0, nullptr, 0.0f);
#if TEST_EFFECT_VARIANT == TEST_NULL_EFFECT
    return nullptr;
#else
    std::memset(&effect, 0, sizeof effect);
    effect.magic = kEffectMagic;
    effect.dispatcher = dispatcher;
    effect.setParameter = setParameter;
    effect.getParameter = getParameter;
    effect.processReplacing = processReplacing;
    effect.numPrograms = 1;
    effect.numParams = 3;
    effect.numInputs = 2;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsHasEditor;
    effect.uniqueID = code('T', 'e', 's', 't');
#if TEST_EFFECT_VARIANT == TEST_TOO_MANY_INPUTS
    effect.numInputs = 33;
#elif TEST_EFFECT_VARIANT == TEST_NO_REPLACING
    effect.flags = effFlagsHasEditor;
#endif
    // Asked with the effect itself, before the host had a chance to link it.
    record.versionWithEffectDuringEntry = host(&effect, audioMasterVersion, 0, 0, nullptr, 0.0f);
    if (record.wantMidiDuringEntry)
        host(&effect, audioMasterWantMidi, 0, 1, nullptr, 0.0f);
    return &effect;
#endif
}

} // namespace

EXPORT TestEffectLog* testEffectLog() { return &record; }
EXPORT void testEffectReset() { record = TestEffectLog(); }

#if TEST_EFFECT_VARIANT != TEST_NO_ENTRY
EXPORT AEffect* VSTPluginMain(audioMasterCallback callback) { return create(callback, "VSTPluginMain"); }
#if TEST_EFFECT_VARIANT == TEST_WELL_FORMED
// Only the well-formed effect has both names, to show which one a host takes first.
EXPORT AEffect* main_macho(audioMasterCallback callback) { return create(callback, "main_macho"); }
#endif
#endif
