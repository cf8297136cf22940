#pragma once
#include "effect/KVEngine.h"
#include "framework/plugin/AudioPlugin.h"

#include <atomic>
#include <cstdint>

/** Describes the effect to a host adapter: "Kelvane" by Velmora Audio Technologies, "Fx|Dynamics",
    unique ID "KvLn", 2 in / 2 out, version 2.5.3.0. The caller owns (and deletes) the record. */
q9framework::PluginInfo* createPluginInfo();

/** Kelvane as the framework sees it: the transient shaper with its seven parameters in one program,
    its saved state, and the two level meters the editor shows.

    Parameters (normalised 0..1, stored as f32, never clamped; a value that is no finite f32 is refused): 0 Attack, 1 Release, 2 Bypass, 3 Gain,
    4 Attack Time, 5 Release Time, 6 Drive.

    Threads: process and takeSaturationPeak take the processing lock. setParameter takes none: the host
    adapter holds the lock around it. prepare and setState take the lock while they apply the parameters,
    so a block never sees a half-recomputed coefficient set. The parameter values and the meters' levels
    are atomics, so getParameter (the host's and the editor's, on any thread) and the editor's meters
    read them without the lock while the audio thread and the host write them.

    Bad input: unknown parameter indices are ignored (0.0 or an empty text is returned), a malformed
    state chunk changes nothing but the re-application of the current values, and a block whose bus
    layout does not match (more than two channels, input and output counts differ) is left untouched. */
class KVAudioPlugin : public q9framework::AudioPlugin {
public:
    static constexpr int32_t numParameters = 7;
    enum ParameterIndex : int32_t { attackIndex, releaseIndex, bypassIndex, gainIndex,
                                    attackTimeIndex, releaseTimeIndex, driveIndex };
    /** First four bytes of a state chunk: the bytes 56 43 32 21 ("VC2!"). */
    static constexpr int32_t stateMagic = 0x21324356;

    struct Program {
        q9framework::String name;
        std::atomic<float> values[numParameters];
    };

    /** The first instance in the process loads the shared resource pack (KVSharedResources). */
    KVAudioPlugin();
    /** The last instance frees the shared resource pack. */
    ~KVAudioPlugin() override;

    /** Writes the state chunk: magic, length, the XML text and its NUL. Always true. */
    bool getState(q9framework::Stream& out) override;
    /** Reads a state chunk and re-applies the parameters. Always true: a chunk that cannot be read
        leaves every field as it was. */
    bool setState(q9framework::Stream& in) override;
    bool hasEditor() override { return true; }
    /** A new editor (KVAudioPluginEditor) from the installed editor factory; the caller owns it. Null
        while no factory is installed (a build without the GUI toolkit). */
    q9framework::AudioPluginEditor* createEditor() override;

    /** Makes the effect's editor for a plug-in. The editor lives in a library above this one (it links
        the GUI toolkit), so the module's entry installs it here. */
    using EditorFactory = q9framework::AudioPluginEditor* (*)(KVAudioPlugin& plugin);
    /** Process-wide; null removes it. Installed before instances are made. */
    static void setEditorFactory(EditorFactory factory) noexcept;

    /** A counter per parameter that grows whenever the control for that parameter should be refreshed
        from the plug-in (a setParameter, a state load, applyParameters). Host changes arrive on any
        thread, the audio thread included; an attached editor compares the counters with the ones it
        saw on each tick of its own (GUI) thread and moves the controls whose counters changed. So the
        plug-in never touches an editor from the host's thread, and notifying costs one atomic add.
        0 for an index outside 0..6. */
    uint32_t getRefreshCount(int32_t index) const noexcept;
    void setParameter(int32_t index, double value) override;
    int32_t getNumParameters() override { return numParameters; }
    double getParameter(int32_t index) override;
    q9framework::String getParameterText(int32_t index, double value) override;
    q9framework::String getParameterName(int32_t index) override;
    /** Sizes the buses; the meters and the engine follow sampleRate unless it is not positive or not
        finite as an f32, which they ignore. Re-applies the parameters. */
    void prepare(int32_t blockSize, bool clearBuffers, double sampleRate) override;
    bool supportsDoublePrecision() override { return false; }
    int32_t getLatency() override { return 0; }
    bool isSilentWhenStopped() override { return true; }
    void process(q9framework::ProcessInfo& info, int32_t numSamples) noexcept override;
    /** Replace the buses by one "Input" and one "Output" bus of two (one) channels. Always true. */
    bool setupStereo() override;
    bool setupMono() override;

    /** The clipper's peak since the last call, 0..1, reset to 0. Takes the processing lock. */
    float takeSaturationPeak() noexcept;
    /** Refreshes the editors' controls and hands all seven values to the engine, under the lock. */
    void applyParameters();

    /** The meters' last values (linear peak amplitude 0..1.5), measured only while an editor is attached. */
    float getInputLevel() const noexcept { return inputLevel.load(std::memory_order_relaxed); }
    float getOutputLevel() const noexcept { return outputLevel.load(std::memory_order_relaxed); }

    /** Editor size: the editor opens at it and stores it back after a resize; saved with the state. */
    int32_t getEditorWidth() const noexcept { return uiWidthNew; }
    int32_t getEditorHeight() const noexcept { return uiHeightNew; }
    void setEditorSize(int32_t width, int32_t height) noexcept;

    const Program& getProgram() const noexcept { return programs[0]; }
    int32_t getCurrentProgram() const noexcept { return currentProgram; }

private:
    friend struct KVAudioPluginTestPeer;   // reads the engine in the effect's tests (tests/effect)
    bool setupBuses(int32_t numChannels);
    void applyToEngine(int32_t index, double value) noexcept;
    /** Asks every attached editor to refresh one control, or all of them for index -1: bumps the
        refresh counters (getRefreshCount), which the editors poll on their own thread. */
    void refreshEditors(int32_t index) noexcept;

    std::atomic<float> inputLevel{0.0f};
    std::atomic<float> outputLevel{0.0f};
    MeterState inputMeter;
    MeterState outputMeter;
    KVEngine engine;
    int32_t uiWidthNew = 750;
    int32_t uiHeightNew = 175;
    int32_t uiWidth = 0;
    int32_t uiHeight = 0;
    Program programs[1];
    // Only program 0 exists; a saved state naming another one is read as program 0.
    int32_t currentProgram = 0;
    std::atomic<uint32_t> refreshCounts[numParameters] {};
};
