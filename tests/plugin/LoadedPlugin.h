#pragma once
#include "TestHost.h"

#include <string>

/** The built plug-in module (its path comes from the build), loaded once per test executable with
    dlopen as hosts load it, and never unloaded. Null entry points when it failed to load. */
class PluginModule {
public:
    static PluginModule& get();
    bool isLoaded() const { return handle != nullptr; }
    const std::string& error() const { return loadError; }
    /** dlsym of a name; null when absent. */
    VstPluginEntryProc entry(const char* name) const;
    static const char* path();

private:
    PluginModule();
    void* handle = nullptr;
    std::string loadError;
};

/** One effect instance made through an entry point of the real module with the TestHost callback;
    effClose is sent when it goes, unless close() already did. */
class LoadedPlugin {
public:
    explicit LoadedPlugin(const char* entryName = "VSTPluginMain");
    ~LoadedPlugin() { close(); }
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    AEffect* effect() const { return aeffect; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;
    /** The text an opcode writes into a zeroed buffer of 256 bytes. */
    std::string text(VstInt32 opcode, VstInt32 index = 0) const;
    void setParameter(VstInt32 index, float value) const { aeffect->setParameter(aeffect, index, value); }
    float getParameter(VstInt32 index) const { return aeffect->getParameter(aeffect, index); }
    void process(float** inputs, float** outputs, VstInt32 frames) const
    {
        aeffect->processReplacing(aeffect, inputs, outputs, frames);
    }
    /** effClose; returns its answer. */
    VstIntPtr close();

private:
    AEffect* aeffect = nullptr;
};
