#pragma once
#include "framework/plugin/vst2/aeffectx.h"

namespace q9framework {

class AudioPlugin;
class FrameworkInitialiser;
struct PluginInfo;

/** What a plug-in module gives the framework to build its instances: its description (the caller
    deletes it) and a new plug-in (handed to the adapter). */
using PluginInfoFactory = PluginInfo* (*)();
using AudioPluginFactory = AudioPlugin* (*)();

/** Builds one VST 2.4 instance, the work behind the module's exported CreateEngine:
    1. asks the host for audioMasterVersion and gives null when it answers 0 (or there is no host);
    2. counts the adapter and, for the first one in the process, creates the FrameworkInitialiser;
    3. makes the plug-in's info and the plug-in, wraps them in a VST2Wrapper and returns its AEffect.
    Null, with nothing left behind, when a factory gives null or allocation fails.

    Any thread the host loads plug-ins on. The adapter count has no lock: hosts create and close
    instances from one thread at a time. */
AEffect* createVST2Engine(audioMasterCallback audioMaster, PluginInfoFactory makeInfo,
                          AudioPluginFactory makePlugin) noexcept;

/** Gives back one adapter's share of the process-wide services; the last one deletes the
    FrameworkInitialiser. Called by each VST2Wrapper as it is destroyed. */
void releaseFrameworkServices() noexcept;

/** The live adapters, and the FrameworkInitialiser they share (null when there are none). */
int getNumVST2Adapters() noexcept;
FrameworkInitialiser* getFrameworkInitialiser() noexcept;

} // namespace q9framework
