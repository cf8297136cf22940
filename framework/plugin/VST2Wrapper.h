#pragma once
#include "framework/plugin/AudioEffectX.h"
#include "framework/plugin/AudioPlugin.h"
#include "framework/plugin/AudioPluginEditorListener.h"
#include "framework/core/MemoryStream.h"

#include <cstddef>

namespace q9framework {

class VST2EditorBase;

/** A host-neutral AudioPlugin presented to a VST 2.4 host: the host's dispatcher opcodes, parameter
    calls and processReplacing go to the plug-in; the user's edits in the plug-in's editor go to the host
    as automation.

    The effect record: 1 program (programs are chunks), the plug-in's parameter count, channel counts,
    unique ID and latency; flags CanReplacing | ProgramChunks | HasEditor, plus IsSynth for an
    instrument, CanDoubleReplacing and NoSoundInStop as the plug-in says.

    The editor object comes from the installed editor factory (setEditorFactory): the module's entry
    installs the GUI-backed VST2Editor; without a factory the wrapper gets a VST2EditorBase, which
    answers the editor opcodes but opens no window (a build or test without the GUI toolkit).

    Ownership: owns the plug-in and the editor object; effClose deletes the wrapper, which
    deletes both and gives back its share of the framework's process-wide services (see VST2Entry.h).
    Only createVST2Engine makes wrappers.

    Threads: processReplacing runs on the host's audio thread; setParameter (host or editor) takes the
    plug-in's processing lock, which process also holds for its block. Sample rate, block size and chunks
    take no lock: hosts do not send them while processing.

    Strings for effGetParamDisplay and effGetParamName are written whole when they fit
    maxParameterTextBytes (NUL included), effGetEffectName within kVstMaxEffectNameLen, and
    effGetVendorString and effGetProductString within maxHostStringLength + 1; longer texts are cut (at a
    UTF-8 character boundary), always with a NUL. The published limit of 8 bytes for parameter strings
    is shorter than our texts ("Release Time"); hosts give at least 24. Bad input (null pointers,
    negative sizes, unknown parameter indices, non-positive sample rates) is ignored. */
class VST2Wrapper : public AudioEffectX, public AudioPluginEditorListener, public AudioPlugin::Listener {
public:
    /** Makes the editor object for a new wrapper: the wrapper as effect and as listener of the editor's
        gestures, its plug-in, and the plug-in's window style flags. */
    using EditorFactory = VST2EditorBase* (*)(AudioEffect* effect, AudioPlugin* plugin,
                                              AudioPluginEditorListener* listener, uint32_t editorFlags);
    /** Process-wide; wrappers made afterwards use it (null: VST2EditorBase). Installed by the module's
        entry before instances are made; not for changing while instances are created. */
    static void setEditorFactory(EditorFactory factory) noexcept;

    /** The longest text written into a host's buffer, not counting the NUL. */
    static constexpr size_t maxHostStringLength = 63;
    /** The buffer a parameter's name or display text may fill, NUL included: the least hosts give
        (a gain display of a value far outside 0..1 would otherwise run to 40 bytes). */
    static constexpr size_t maxParameterTextBytes = 24;

    /** Takes ownership of plugin (never null); reads info, which stays the caller's. */
    VST2Wrapper(audioMasterCallback audioMaster, AudioPlugin* plugin, const PluginInfo& info);
    ~VST2Wrapper() override;

    AudioPlugin* getPlugin() const noexcept { return plugin; }

    // ---- AudioEffect / AudioEffectX -----------------------------------------------------------------
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    /** Stores the rate and prepares the plug-in; a rate that is not positive and finite is ignored. */
    void setSampleRate(float rate) override;
    /** Stores the size and prepares the plug-in; a negative size is ignored. */
    void setBlockSize(VstInt32 size) override;
    void suspend() override;
    /** Resumes the plug-in and asks the host for MIDI events (this wrapper says it receives them). */
    void resume() override;
    /** The plug-in's state; *data stays valid until the next getChunk or the wrapper's end. Bank and
        program chunks are the same. */
    VstInt32 getChunk(void** data, bool isPreset) override;
    /** Hands a copy of the bytes to the plug-in's setState; a negative size reads as no bytes. 0. */
    VstInt32 setChunk(void* data, VstInt32 size, bool isPreset) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept override;
    /** MIDI events go to the plug-in's first input event bus, when it has one. Always 1. */
    VstInt32 processEvents(VstEvents* events) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    /** PluginInfo::version with its bytes reversed, so the major number is in the top byte. */
    VstInt32 getVendorVersion() override { return vendorVersion; }
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    /** 1 for the event and time-info capabilities, 0 for everything else. */
    VstInt32 canDo(char* text) override;

    // ---- The user's edits in the plug-in's editor, reported to the host as automation ----------------
    // An index outside the plug-in's parameters never reaches the host: a component of an editor
    // without a parameter of its own (a meter) carries the default id, -1 as an index.
    void parameterGestureBegan(AudioPluginEditor* editor, int32_t index) override;
    /** Applies the value under the processing lock, then tells the host (audioMasterAutomate). */
    void parameterChanged(AudioPluginEditor* editor, int32_t index, double value) override;
    void parameterGestureEnded(AudioPluginEditor* editor, int32_t index) override;

    // ---- AudioPlugin::Listener --------------------------------------------------------------------
    bool isParameterIndex(int32_t index) const noexcept { return index >= 0 && index < cEffect.numParams; }
    using AudioPlugin::Listener::parameterChanged;
    using AudioPlugin::Listener::parameterGestureBegan;
    using AudioPlugin::Listener::parameterGestureEnded;
    /** Code 0 (latency changed): updates initialDelay and tells the host (audioMasterIOChanged). */
    void pluginChanged(int32_t code) override;

    /** Copies text into a host buffer of `capacity` bytes (at most maxHostStringLength + 1), NUL included. */
    static void copyToHost(char* destination, const String& text, size_t capacity = maxHostStringLength + 1) noexcept;

private:
    MemoryStream chunkStream;
    AudioPlugin* plugin;
    String name;
    String vendor;
    VstInt32 vendorVersion;
};

} // namespace q9framework
