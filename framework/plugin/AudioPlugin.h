#pragma once
#include "framework/core/CriticalSection.h"
#include "framework/plugin/PluginInfo.h"
#include "framework/plugin/ProcessInfo.h"
#include "framework/core/Stream.h"
#include "framework/core/String.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace q9framework {

class AudioPluginEditor;

/** The framework's host-neutral audio plug-in. A concrete effect derives from it and fills in
    parameters, state, processing and its editor; a host adapter (the VST 2 wrapper) drives it.

    Audio and other streams travel through buses, which the plug-in owns: its configuration functions
    (setupStereo, setupMono) create them, prepare sizes their buffers. The plug-in also keeps the list of
    editors attached to it (not owned: editors add and remove themselves) and its listeners (not owned;
    the host adapter is one).

    Threads: process runs on the host's audio thread and takes the processing lock for the whole block;
    the adapter takes the same lock around every parameter change. Bus configuration and prepare take no
    lock and must not overlap with process. Nothing here throws; bad indices give null or 0. */
class AudioPlugin {
public:
    class Bus;
    class AudioBus;
    class EventBus;
    class AutomationBus;

    /** Observer of a plug-in (the host adapter). All defaults do nothing. Called on the thread that
        triggers the notification. */
    class Listener {
    public:
        virtual ~Listener() = default;
        /** code 0: the plug-in's latency changed. */
        virtual void pluginChanged(int32_t code);
        virtual void parameterGestureBegan(AudioPlugin* plugin, int32_t index);
        virtual void parameterChanged(AudioPlugin* plugin, int32_t index, float value);
        virtual void parameterGestureEnded(AudioPlugin* plugin, int32_t index);
    };

    AudioPlugin();
    virtual ~AudioPlugin();
    AudioPlugin(const AudioPlugin&) = delete;
    AudioPlugin& operator=(const AudioPlugin&) = delete;

    // ---- The interface a derived plug-in fills in ------------------------------------------------

    /** Writes the persistent state. */
    virtual bool getState(Stream& out) = 0;
    /** Reads the persistent state; a malformed state must leave the plug-in usable. */
    virtual bool setState(Stream& in) = 0;
    virtual bool hasEditor() = 0;
    /** A new editor for this plug-in, or null when it has none; the caller owns it. Main thread. */
    virtual AudioPluginEditor* createEditor();
    /** Told after the host adapter has opened an editor window for `editor`. Main thread. */
    virtual void editorOpened(AudioPluginEditor* editor);
    /** value is normalised 0..1. The host adapter holds the processing lock around this call. */
    virtual void setParameter(int32_t index, double value) = 0;
    virtual int32_t getNumParameters();
    /** 0.0 for an unknown index. */
    virtual double getParameter(int32_t index);
    /** Display text of `value` (not of the stored value); empty for an unknown index. */
    virtual String getParameterText(int32_t index, double value);
    virtual String getParameterName(int32_t index);
    /** The host switched processing off / on. */
    virtual void suspend();
    virtual void resume();
    /** Block size or sample rate changed. Sizes the audio buses' buffers (see the .cpp); derived classes
        call this first. Allocates: never called on the audio thread, never during process. */
    virtual void prepare(int32_t blockSize, bool clearBuffers, double sampleRate);
    virtual bool supportsDoublePrecision();
    /** In samples. */
    virtual int32_t getLatency();
    virtual bool isSilentWhenStopped() = 0;
    /** One block of numSamples frames on the buses (input bus 0 to output bus 0 for an effect). Audio
        thread; must not allocate, block or throw. numSamples may be 0. */
    virtual void process(ProcessInfo& info, int32_t numSamples) noexcept = 0;
    /** Replace the buses with a stereo (mono) configuration; false when the plug-in cannot. */
    virtual bool setupStereo();
    virtual bool setupMono();
    /** A host-specific extension call; 0 when not understood. */
    virtual intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);

    // ---- Used by host adapters and editors --------------------------------------------------------

    /** The processing lock (recursive: the holder may take it again). */
    void lock() const noexcept { processingLock.enter(); }
    void unlock() const noexcept { processingLock.exit(); }
    const CriticalSection& getLock() const noexcept { return processingLock; }

    /** Appends when not yet registered. Not owned. */
    void addListener(Listener* listener);
    /** Removes it, keeping the order of the others; unknown listeners are ignored. */
    void removeListener(Listener* listener);

    /** Each calls the listener slot of the same name on every registered listener, in order. */
    void sendPluginChanged(int32_t code);
    void sendParameterGestureBegan(int32_t index);
    void sendParameterChanged(int32_t index, float value);
    void sendParameterGestureEnded(int32_t index);

    PluginInfo& getInfo() noexcept { return info; }
    const PluginInfo& getInfo() const noexcept { return info; }

    /** Makes every audio bus stop owning buffers (freeing those it had); the host adapter then points
        the channels at the host's buffers before each block, and prepare never clears them. */
    void useExternalBuffers();

    /** Editors register themselves on construction and unregister in their destructor. Adding an
        editor twice keeps one entry; removing one that is not attached changes nothing. Main thread. */
    void addEditor(AudioPluginEditor* editor);
    void removeEditor(AudioPluginEditor* editor);
    int getNumEditors() const noexcept { return static_cast<int>(editors.size()); }
    /** Null when index is out of range. */
    AudioPluginEditor* getEditor(int index) const noexcept;

    /** Null when index is out of range. Audio buses 0 are the main input and output. */
    int getNumInputBuses() const noexcept { return static_cast<int>(inputBuses.size()); }
    int getNumOutputBuses() const noexcept { return static_cast<int>(outputBuses.size()); }
    AudioBus* getInputBus(int index) const noexcept;
    AudioBus* getOutputBus(int index) const noexcept;
    int getNumInputEventBuses() const noexcept { return static_cast<int>(inputEventBuses.size()); }
    int getNumOutputEventBuses() const noexcept { return static_cast<int>(outputEventBuses.size()); }
    EventBus* getInputEventBus(int index) const noexcept;
    EventBus* getOutputEventBus(int index) const noexcept;
    int getNumInputAutomationBuses() const noexcept { return static_cast<int>(inputAutomationBuses.size()); }
    int getNumOutputAutomationBuses() const noexcept { return static_cast<int>(outputAutomationBuses.size()); }
    AutomationBus* getInputAutomationBus(int index) const noexcept;
    AutomationBus* getOutputAutomationBus(int index) const noexcept;

    /** Block size of the last prepare (0 before the first). */
    int32_t getBlockSize() const noexcept { return blockSize; }

protected:
    /** Bus configuration for derived classes: the plug-in takes ownership of added buses (null is
        ignored); the delete functions destroy every bus of that list. */
    void addInputBus(AudioBus* bus);
    void addOutputBus(AudioBus* bus);
    void addInputEventBus(EventBus* bus);
    void addOutputEventBus(EventBus* bus);
    void addInputAutomationBus(AutomationBus* bus);
    void addOutputAutomationBus(AutomationBus* bus);
    void deleteInputBuses();
    void deleteOutputBuses();
    void deleteEventBuses();
    void deleteAutomationBuses();

private:
    std::vector<std::unique_ptr<AudioBus>> inputBuses;
    std::vector<std::unique_ptr<AudioBus>> outputBuses;
    std::vector<std::unique_ptr<EventBus>> inputEventBuses;
    std::vector<std::unique_ptr<EventBus>> outputEventBuses;
    std::vector<std::unique_ptr<AutomationBus>> inputAutomationBuses;
    std::vector<std::unique_ptr<AutomationBus>> outputAutomationBuses;
    std::vector<AudioPluginEditor*> editors;
    std::vector<Listener*> listeners;
    PluginInfo info;
    int32_t blockSize = 0;
    CriticalSection processingLock;
};

} // namespace q9framework

// The bus classes are nested in AudioPlugin; anyone who sees the plug-in sees its buses.
#include "framework/plugin/AudioBus.h"
