#pragma once

// A VSTHost for the tests: answers with values the tests choose and records every call, so a test
// can tell which host operation the host callback reached and with what.

#include "auwrapper/vsthost/VSTHost.h"
#include "auwrapper/vsthost/VSTPlugIn.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

struct RecordingHost : q9framework::VSTHost {
    struct Call {
        std::string what;
        int32_t a = 0;
        int32_t b = 0;
        float value = 0.0f;
        q9framework::VSTPlugIn* plugIn = nullptr;
    };
    std::vector<Call> calls;
    VstTimeInfo timeInfo{};
    int32_t lastTimeFilter = 0;
    bool pinsConnected = true;
    bool throwOnIdle = false;

    void note(q9framework::VSTPlugIn& p, const char* what, int32_t a = 0, int32_t b = 0, float v = 0.0f)
    {
        calls.push_back({what, a, b, v, &p});
    }

    void getVendorString(q9framework::VSTPlugIn& p, char* text) override
    {
        note(p, "getVendorString");
        std::strcpy(text, "Test Vendor");
    }
    void getProductString(q9framework::VSTPlugIn& p, char* text) override
    {
        note(p, "getProductString");
        std::strcpy(text, "Test Product");
    }
    int32_t getVendorVersion(q9framework::VSTPlugIn& p) override
    {
        note(p, "getVendorVersion");
        return 0x10203;
    }
    bool canDo(q9framework::VSTPlugIn& p, const char* text) override
    {
        note(p, "canDo");
        return std::strcmp(text, "sizeWindow") == 0;
    }
    VstTimeInfo* getTimeInfo(q9framework::VSTPlugIn& p, int32_t filter) override
    {
        note(p, "getTimeInfo", filter);
        lastTimeFilter = filter;
        return &timeInfo;
    }
    void beginEdit(q9framework::VSTPlugIn& p, int32_t index) override { note(p, "beginEdit", index); }
    void automate(q9framework::VSTPlugIn& p, int32_t index, float value) override { note(p, "automate", index, 0, value); }
    void endEdit(q9framework::VSTPlugIn& p, int32_t index) override { note(p, "endEdit", index); }
    bool isPinConnected(q9framework::VSTPlugIn& p, bool isOutput, int32_t index) override
    {
        note(p, "isPinConnected", isOutput ? 1 : 0, index);
        return pinsConnected;
    }
    void idle(q9framework::VSTPlugIn& p) override
    {
        note(p, "idle");
        if (throwOnIdle)
            throw std::runtime_error("host failure");
    }
    void updateDisplay(q9framework::VSTPlugIn& p) override { note(p, "updateDisplay"); }
    void sizeWindow(q9framework::VSTPlugIn& p, int32_t width, int32_t height) override { note(p, "sizeWindow", width, height); }
};
