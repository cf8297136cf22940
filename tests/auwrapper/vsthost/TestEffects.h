#pragma once

// Where the test effects and the real plug-in are, and a handle on a test effect's record.

#include "auwrapper/platform/Bundle.h"
#include "tests/auwrapper/vsthost/testplugins/TestEffect.h"

#include <dlfcn.h>

#include <string>

inline std::string testEffectBundle(const std::string& variant)
{
    return std::string(VSTHOST_TEST_EFFECTS_DIR) + "/TestEffect_" + variant + ".vst";
}

inline std::string testEffectExecutable(const std::string& variant)
{
    return testEffectBundle(variant) + "/Contents/x86_64-linux/TestEffect_" + variant + ".so";
}

inline std::string kelvaneExecutable()
{
    return std::string(VSTHOST_KELVANE_BUNDLE) + "/Contents/x86_64-linux/Kelvane.so";
}

inline q9framework::Bundle bundleFor(const std::string& executable)
{
    return q9framework::Bundle::forExecutable(executable);
}

/** Keeps a test effect loaded for the length of a test, so the test can set up and read its record
    around the host's own loading (dlopen hands both the same image). Resets the record first. */
class TestEffectLibrary {
public:
    explicit TestEffectLibrary(const std::string& variant)
        : handle(dlopen(testEffectExecutable(variant).c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (handle != nullptr) {
            if (auto reset = reinterpret_cast<void (*)()>(dlsym(handle, "testEffectReset")))
                reset();
            if (auto get = reinterpret_cast<TestEffectLog* (*)()>(dlsym(handle, "testEffectLog")))
                record = get();
        }
    }
    ~TestEffectLibrary()
    {
        if (handle != nullptr)
            dlclose(handle);
    }
    TestEffectLibrary(const TestEffectLibrary&) = delete;
    TestEffectLibrary& operator=(const TestEffectLibrary&) = delete;

    bool loaded() const { return record != nullptr; }
    TestEffectLog& log() { return *record; }

private:
    void* handle;
    TestEffectLog* record = nullptr;
};
