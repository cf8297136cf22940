// A small VST 2.4 effect for the Audio Unit component's tests, compiled once per layout:
//   AU_TEST_INPUTS / AU_TEST_OUTPUTS   channel counts
//   AU_TEST_STEREO_PINS                pins answer kVstPinIsStereo (else mono pins)
//   AU_TEST_CHUNKS                     programs as opaque chunks (else parameter values)
//   AU_TEST_EXTENSION                  answers the vendor-specific "sHi!" extension
//   AU_TEST_ID                         unique ID (four characters)
//   AU_TEST_NAME                       effect name (the vendor is "Velmora Test")
//   AU_TEST_LEGACY_MAIN                also defines the legacy Linux entry "main" (its build exports only that)
// Output channel c is input channel c % inputs times (c + 1) times (1 + parameter 0), so a test can tell
// every routed channel apart. It keeps 3 programs of 4 parameters each.

#include "framework/plugin/vst2/VST2Interface.h"
#include "tests/auwrapper/testeffects/TestEffectControl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int numPrograms = 3;
constexpr int numParams = 4;

struct Program {
    char name[25];
    float values[numParams];
};

struct Instance {
    AEffect effect;                  // first, so the AEffect* is the Instance*
    audioMasterCallback host;
    Program programs[numPrograms];
    int current;
    char chunk[4 + sizeof(Program) * numPrograms];
    ERect rect;
};

AUTestEffectControl control;

Instance& self(AEffect* e) { return *reinterpret_cast<Instance*>(e); }

constexpr VstInt32 code(const char (&c)[5])
{
    return (static_cast<VstInt32>(c[0]) << 24) | (static_cast<VstInt32>(c[1]) << 16) | (static_cast<VstInt32>(c[2]) << 8) | c[3];
}

bool fillPin(VstInt32 index, int count, bool isInput, VstPinProperties* pin)
{
    if (index < 0 || index >= count || pin == nullptr)
        return false;
    std::memset(pin, 0, sizeof *pin);
    std::snprintf(pin->label, sizeof pin->label, "%s %d", isInput ? "In" : "Out", index / 2 + 1);
    pin->flags = kVstPinIsActive | (AU_TEST_STEREO_PINS ? kVstPinIsStereo : 0);
    return true;
}

VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr)
{
    if (!AU_TEST_EXTENSION)
        return 0;
    if (index == code("sHi!"))
        return 1;
    if (index == code("sI00")) {
        control.lastInputSilence = static_cast<int32_t>(value);
        return 0;
    }
    if (index == code("sO00"))
        return control.outputSilentAnswer;
    if (index == code("sV2S") && ptr != nullptr) {
        float v = 0.0f;
        std::memcpy(&v, ptr, sizeof v);
        std::snprintf(static_cast<char*>(ptr), 2048, "  %.3f units", static_cast<double>(v));
        return 1;
    }
    if (index == code("sS2V") && ptr != nullptr) {
        char* end = nullptr;
        const float v = std::strtof(static_cast<char*>(ptr), &end);
        if (end == static_cast<char*>(ptr))
            return 0;
        std::memcpy(ptr, &v, sizeof v);
        return 1;
    }
    return 0;
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    Instance& in = self(e);
    Program& program = in.programs[in.current];
    switch (opcode) {
    case effClose: delete &in; return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms)
            in.current = static_cast<int>(value);
        return 0;
    case effGetProgram: return in.current;
    case effSetProgramName: std::snprintf(program.name, sizeof program.name, "%s", static_cast<char*>(ptr)); return 0;
    case effGetProgramName: std::strcpy(static_cast<char*>(ptr), program.name); return 0;
    case effGetParamDisplay: std::snprintf(static_cast<char*>(ptr), 24, " %.2f", static_cast<double>(program.values[index & 3])); return 0;
    case effGetParamName: std::snprintf(static_cast<char*>(ptr), 9, "Param %d", index); return 0;
    case effGetParamLabel: std::snprintf(static_cast<char*>(ptr), 9, "%s", index == 0 ? "dB" : ""); return 0;
    case effGetEffectName: std::snprintf(static_cast<char*>(ptr), 32, "%s", AU_TEST_NAME); return 1;
    case effGetVendorString: std::snprintf(static_cast<char*>(ptr), 64, "Velmora Test"); return 1;
    case effSetSampleRate: control.lastSampleRate = opt; return 0;
    case effSetBlockSize: control.lastBlockSize = static_cast<int32_t>(value); return 0;
    case effMainsChanged: ++control.numMainsChanged; return 0;
    case effEditGetRect: *static_cast<ERect**>(ptr) = &in.rect; return 1;
    case effEditOpen: return 1;
    case effIdle: ++control.idleCalls; return 0;
    case effGetChunk: {
        if (!AU_TEST_CHUNKS)
            return 0;
        std::memcpy(in.chunk, index == 1 ? "TEp1" : "TEbk", 4);
        const size_t size = index == 1 ? sizeof(Program) : sizeof in.programs;
        std::memcpy(in.chunk + 4, index == 1 ? &program : &in.programs[0], size);
        *static_cast<void**>(ptr) = in.chunk;
        return static_cast<VstIntPtr>(4 + size);
    }
    case effSetChunk: {
        const size_t size = index == 1 ? sizeof(Program) : sizeof in.programs;
        const char* data = static_cast<const char*>(ptr);
        if (!AU_TEST_CHUNKS || value != static_cast<VstIntPtr>(4 + size)
            || std::memcmp(data, index == 1 ? "TEp1" : "TEbk", 4) != 0)
            return 0;
        std::memcpy(index == 1 ? &program : &in.programs[0], data + 4, size);
        return control.setChunkAnswer;
    }
    case effProcessEvents: {
        const auto* events = static_cast<const VstEvents*>(ptr);
        control.lastEventCount = events->numEvents;
        if (events->numEvents > 0) {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(events->events[events->numEvents - 1]);
            for (int i = 0; i < 3; ++i)
                control.lastEventBytes[i] = static_cast<uint8_t>(midi->midiData[i]);
            control.lastEventDelta = midi->deltaFrames;
        }
        return 1;
    }
    case effGetInputProperties: return fillPin(index, e->numInputs, true, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effGetOutputProperties: return fillPin(index, e->numOutputs, false, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
    case effSetBypass: control.lastBypass = static_cast<int32_t>(value); return 1;
    case effCanDo: return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : -1;
    case effGetTailSize: return control.tailSamples;
    case effBeginSetProgram: ++control.beginSetProgramCalls; return 1;
    case effEndSetProgram: ++control.endSetProgramCalls; return 1;
    case effVendorSpecific: return vendorSpecific(index, value, ptr);
    default: return 0;
    }
}

void setParameter(AEffect* e, VstInt32 index, float value)
{
    if (index >= 0 && index < numParams)
        self(e).programs[self(e).current].values[index] = value;
}

float getParameter(AEffect* e, VstInt32 index)
{
    return index >= 0 && index < numParams ? self(e).programs[self(e).current].values[index] : 0.0f;
}

void processReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 frames)
{
    ++control.processCalls;
    const float gain = 1.0f + self(e).programs[self(e).current].values[0];
    // Sample by sample, all inputs read before any output is written: the wrapper processes in place.
    for (VstInt32 i = 0; i < frames; ++i) {
        float in[64];
        for (int c = 0; c < e->numInputs; ++c)
            in[c] = inputs[c][i];
        for (int c = 0; c < e->numOutputs; ++c)
            outputs[c][i] = (e->numInputs > 0 ? in[c % e->numInputs] : 0.0f) * static_cast<float>(c + 1) * gain;
    }
}

} // namespace

EXPORT AUTestEffectControl* auTestEffectControl() { return &control; }

EXPORT AEffect* VSTPluginMain(audioMasterCallback callback)
{
    if (callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    auto* in = new Instance();
    std::memset(&in->effect, 0, sizeof in->effect);
    in->host = callback;
    in->effect.magic = kEffectMagic;
    in->effect.dispatcher = dispatcher;
    in->effect.setParameter = setParameter;
    in->effect.getParameter = getParameter;
    in->effect.processReplacing = processReplacing;
    in->effect.numPrograms = numPrograms;
    in->effect.numParams = numParams;
    in->effect.numInputs = AU_TEST_INPUTS;
    in->effect.numOutputs = AU_TEST_OUTPUTS;
    in->effect.flags = effFlagsCanReplacing | effFlagsHasEditor | (AU_TEST_CHUNKS ? effFlagsProgramChunks : 0);
    in->effect.initialDelay = 441;
    in->effect.uniqueID = code(AU_TEST_ID);
    in->effect.version = 0x01020304;
    for (int p = 0; p < numPrograms; ++p)
        std::snprintf(in->programs[p].name, sizeof in->programs[p].name, "Program %d", p + 1);
    in->rect = ERect{0, 0, 120, 320};
    return &in->effect;
}

#if AU_TEST_LEGACY_MAIN
// The name older Linux hosts look up; "main" itself cannot be declared with this type in C++.
EXPORT AEffect* legacyLinuxMain(audioMasterCallback callback) __asm__("main");
AEffect* legacyLinuxMain(audioMasterCallback callback)
{
    return VSTPluginMain(callback);
}
#endif
