#pragma once

// What the test effect records, shared by the test effect .so files and the tests that load them.
// The tests reach it through the exported function `testEffectLog`, found with dlsym on the same
// .so the host loaded.

#include "framework/plugin/vst2/VST2Interface.h"

#include <cstdint>

struct TestEffectLog {
    // Host answers seen from inside the entry point, before the host could link the effect.
    VstIntPtr versionDuringEntry = -1;
    VstIntPtr currentIdDuringEntry = -1;
    VstIntPtr versionWithEffectDuringEntry = -1;   // asked with the effect pointer, not yet linked
    const char* entryUsed = "";                    // "main_macho" or "VSTPluginMain"

    // Behaviour the tests choose before opening.
    bool wantMidiDuringEntry = false;              // call audioMasterWantMidi from the entry point
    VstIntPtr canDoReceiveMidi = 0;                // effCanDo "receiveVstMidiEvent"
    VstIntPtr editOpenAnswer = 1;                  // effEditOpen
    bool outputSilent = false;                     // "sO00" answer
    bool throwFromDispatcher = false;              // every dispatcher call throws

    // What the effect received.
    int calls[80] = {};                            // dispatcher calls per opcode
    int order[64] = {};                            // the first 64 opcodes in call order
    int numOrdered = 0;
    float sampleRate = 0.0f;
    VstIntPtr blockSize = 0;
    int lastEventCount = -1;
    uint8_t lastEventBytes[3] = {};
    int32_t lastEventDelta = -1;
    VstIntPtr lastInputSilence = -1;
    int vendorCalls[8] = {};                       // sequence of vendor-specific indices as small codes
    int numVendorCalls = 0;
    int processCalls = 0;
};
