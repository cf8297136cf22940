#pragma once
// Shared by the fuzz targets: a check that stops the run with a message (libFuzzer then saves the
// input as a crash), and a VST host that answers just enough for an effect driven outside a DAW.

#include "auwrapper/vsthost/VSTPlugIn.h"

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, what)                                                     \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

namespace kelvanefuzz {

class QuietHost : public q9framework::VSTHost {
public:
    void getVendorString(q9framework::VSTPlugIn&, char* text) override { text[0] = '\0'; }
    void getProductString(q9framework::VSTPlugIn&, char* text) override { text[0] = '\0'; }
    int32_t getVendorVersion(q9framework::VSTPlugIn&) override { return 1; }
    bool canDo(q9framework::VSTPlugIn&, const char*) override { return false; }
    VstTimeInfo* getTimeInfo(q9framework::VSTPlugIn&, int32_t) override { return nullptr; }
    void beginEdit(q9framework::VSTPlugIn&, int32_t) override {}
    void automate(q9framework::VSTPlugIn&, int32_t, float) override {}
    void endEdit(q9framework::VSTPlugIn&, int32_t) override {}
    bool isPinConnected(q9framework::VSTPlugIn&, bool, int32_t) override { return true; }
    void idle(q9framework::VSTPlugIn&) override {}
    void updateDisplay(q9framework::VSTPlugIn&) override {}
    void sizeWindow(q9framework::VSTPlugIn&, int32_t, int32_t) override {}
};

} // namespace kelvanefuzz
