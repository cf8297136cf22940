/*  The plug-in module's entry points: the only symbols the shared object exports (see exports.map.in).

    VSTPluginMain is what current Linux hosts look up; older ones (Ardour before 5, some small hosts) look
    up `main`, which C++ cannot define with this signature, so a function of another name carries the
    assembler label "main". main_macho is the Mac hosts' name, kept so one list of entry points serves
    every host and our own Audio Unit wrapper. All of them build one instance through CreateEngine. */
#include "effect/KVAudioPlugin.h"
#include "effect/editor/KVAudioPluginEditor.h"
#include "framework/gui/GuiServices.h"
#include "framework/gui/linux/LinuxPlatform.h"
#include "framework/plugin/VST2Entry.h"
#include "framework/plugin/editor/VST2Editor.h"

#define KELVANE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

q9framework::AudioPlugin* createKelvane()
{
    return new KVAudioPlugin();
}

} // namespace

KELVANE_EXPORT AEffect* CreateEngine(audioMasterCallback audioMaster)
{
    // The module is where the toolkit meets its Linux side, and the adapter and the effect meet their
    // editors: all are installed before the framework's services start with the first instance
    // (installing again is harmless).
    q9framework::installLinuxGuiPlatform();
    q9framework::installGuiServices();
    q9framework::installVST2EditorWindows();
    KVAudioPlugin::setEditorFactory(&createKVAudioPluginEditor);
    return q9framework::createVST2Engine(audioMaster, &createPluginInfo, &createKelvane);
}

KELVANE_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster)
{
    return CreateEngine(audioMaster);
}

KELVANE_EXPORT AEffect* main_macho(audioMasterCallback audioMaster)
{
    return CreateEngine(audioMaster);
}

KELVANE_EXPORT AEffect* legacyLinuxMain(audioMasterCallback audioMaster) __asm__("main");

AEffect* legacyLinuxMain(audioMasterCallback audioMaster)
{
    return CreateEngine(audioMaster);
}
