#include "tests/auwrapper/component/TestEffects.h"

#include <dlfcn.h>

namespace aucomponenttest {

std::string testEffectBundle(const std::string& name)
{
    return std::string(AUCOMPONENT_TEST_EFFECTS_DIR) + "/AUTest" + name + ".vst";
}

AUTestEffectControl* testEffectControl(const std::string& name)
{
    const std::string path = testEffectBundle(name) + "/Contents/x86_64-linux/AUTest" + name + ".so";
    // RTLD_NOLOAD: only a module the wrapper already loaded; the handle is dropped again at once,
    // the wrapper's own reference keeps the module in place.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return nullptr;
    auto proc = reinterpret_cast<AUTestEffectControlProc>(dlsym(handle, "auTestEffectControl"));
    dlclose(handle);
    return proc != nullptr ? proc() : nullptr;
}

OpenedTestEffect::OpenedTestEffect(const std::string& name)
{
    plugIn = std::make_unique<q9framework::VSTPlugIn>(host, q9framework::Bundle::fromPath(testEffectBundle(name)), 4096,
                                                      44100.0f);
    plugIn->open();
    control = testEffectControl(name);
    if (control != nullptr)
        *control = AUTestEffectControl();
}

} // namespace aucomponenttest
