#include "LoadedPlugin.h"

#include <cstring>
#include <dlfcn.h>

PluginModule& PluginModule::get()
{
    static PluginModule module;
    return module;
}

const char* PluginModule::path()
{
    return KELVANE_PLUGIN_PATH;
}

PluginModule::PluginModule()
{
    handle = dlopen(path(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        loadError = dlerror();
}

VstPluginEntryProc PluginModule::entry(const char* name) const
{
    if (handle == nullptr)
        return nullptr;
    return reinterpret_cast<VstPluginEntryProc>(dlsym(handle, name));
}

LoadedPlugin::LoadedPlugin(const char* entryName)
{
    if (VstPluginEntryProc main = PluginModule::get().entry(entryName))
        aeffect = main(TestHost::callback);
}

VstIntPtr LoadedPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const
{
    return aeffect->dispatcher(aeffect, opcode, index, value, ptr, opt);
}

std::string LoadedPlugin::text(VstInt32 opcode, VstInt32 index) const
{
    char buffer[256];
    std::memset(buffer, 0, sizeof(buffer));
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

VstIntPtr LoadedPlugin::close()
{
    if (aeffect == nullptr)
        return 0;
    const VstIntPtr answer = dispatch(effClose);
    aeffect = nullptr;
    return answer;
}
