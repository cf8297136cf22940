#pragma once

// Opening the component tests' VST effects directly through VSTPlugIn, for the parts of the wrapper
// that work on an effect alone (preset images).

#include "auwrapper/vsthost/VSTPlugIn.h"
#include "tests/auwrapper/testeffects/TestEffectControl.h"

#include <memory>
#include <string>

namespace aucomponenttest {

/** Bundle directory of test effect `name` ("Param", "Chunk", "Quad", "Odd", "Mono"). */
std::string testEffectBundle(const std::string& name);

/** A host that answers nothing in particular: enough for an effect driven outside a component. */
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

/** One test effect opened through VSTPlugIn, with its control block. */
struct OpenedTestEffect {
    explicit OpenedTestEffect(const std::string& name);
    QuietHost host;
    std::unique_ptr<q9framework::VSTPlugIn> plugIn;
    AUTestEffectControl* control = nullptr;
};

/** The control block of a test effect whose module is loaded (null if it is not). */
AUTestEffectControl* testEffectControl(const std::string& name);

} // namespace aucomponenttest
