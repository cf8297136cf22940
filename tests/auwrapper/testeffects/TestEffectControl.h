#pragma once

// What the wrapper's test effects let their tests see and steer, through the exported function
// `auTestEffectControl` of each test effect's module.

#include <cstdint>

struct AUTestEffectControl {
    // Steered by the test.
    int32_t tailSamples = 0;          // effGetTailSize answer
    int32_t outputSilentAnswer = 0;   // "sO00" answer
    int32_t setChunkAnswer = 1;       // effSetChunk answer for a well-formed chunk

    // Recorded by the effect.
    int32_t numMainsChanged = 0;      // effMainsChanged calls
    int32_t processCalls = 0;
    int32_t lastInputSilence = -1;    // value of the last "sI00"
    int32_t lastEventCount = 0;
    uint8_t lastEventBytes[3] = {};
    int32_t lastEventDelta = 0;
    int32_t lastBypass = -1;
    float lastSampleRate = 0.0f;
    int32_t lastBlockSize = 0;
    int32_t beginSetProgramCalls = 0;
    int32_t endSetProgramCalls = 0;
    int32_t idleCalls = 0;
};

extern "C" typedef AUTestEffectControl* (*AUTestEffectControlProc)();
