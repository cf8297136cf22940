#pragma once

#include "auwrapper/platform/Bundle.h"
#include "auwrapper/vsthost/TandrilException.h"
#include "auwrapper/vsthost/VSTHost.h"
#include "framework/plugin/vst2/VST2Interface.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace q9framework {

class VSTMidiQueue;

/** One VST 2.4 effect loaded from a bundle's executable and driven through its AEffect, exactly as a
    VST host drives it. The wrapper's component (and the command-line host) owns one per instance.

    Ownership: holds a retained reference to the bundle and owns the effect from `open` until its own
    destruction, which closes the editor if open, sends effClose and releases the bundle (unloading
    the executable when this was the last reference). `host` is borrowed and must outlive this object.

    Failures: `open`, `checkEffect` and `openEditor` throw TandrilException with the messages below;
    every other operation catches whatever the effect throws and answers 0 / false / empty, so a
    misbehaving effect cannot unwind through the host.

    Threads: the audio thread calls processReplacing, processBlock and the parameter functions; the
    rest is the main thread's. Only `open` takes a lock: a process-wide one around the entry-point
    call, which keeps the loading slot (below) valid when two hosts open effects at once. */
class VSTPlugIn {
public:
    /** Nothing is loaded yet: `effect` is null until `open`. */
    VSTPlugIn(VSTHost& host, const Bundle& bundle, int32_t blockSize, float sampleRate);
    virtual ~VSTPlugIn();

    VSTPlugIn(const VSTPlugIn&) = delete;
    VSTPlugIn& operator=(const VSTPlugIn&) = delete;

    /** The longest program name effects take and give (kVstMaxProgNameLen), without the NUL. */
    static constexpr size_t maxProgramNameLength = kVstMaxProgNameLen;

    /** Loads the executable, calls its entry point ("main_macho", else "VSTPluginMain", else the legacy
        Linux "main") with the host callback, checks the AEffect and sends effOpen. Throws "Could not
        load VST bundle executable", "Could not locate function in bundle executable (\"main_macho\" or
        \"VSTPluginMain\")" (when none of the three is there) or
        "VST main() doesn't return object AEffect*". Call once. */
    void open();

    /** The checks a host makes before it relies on the effect: at most 32 inputs and 32 outputs, and
        processReplacing. Throws "VST has too many inputs", "VST has too many outputs",
        "VST does not support processReplacing()". Requires `open`. */
    void checkEffect() const;

    /** The effect's dispatcher; 0 when there is no effect or the call throws. */
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) noexcept;

    /** A dispatcher call that writes a text into `ptr` (names, displays): given a zeroed 1024-byte
        buffer, far larger than the published limits that effects routinely exceed, and read back
        up to `maxLength` characters. Empty when there is no effect. */
    std::string dispatchForText(VstInt32 opcode, VstInt32 index, size_t maxLength);

    /** Stored always; sent to the effect only once it is open. */
    void setSampleRate(float rate) noexcept;
    void setBlockSize(int32_t size) noexcept;

    void setProgram(int32_t index) noexcept;
    int32_t getProgram() noexcept;
    /** At most maxProgramNameLength characters. */
    std::string getProgramName();
    /** The caller limits `name` to maxProgramNameLength characters. */
    void setProgramName(const char* name) noexcept;

    /** The effect's own getParameter / setParameter functions: no dispatcher, no lock here.
        A throwing call reads as 0 or is ignored. */
    float getParameter(int32_t index) noexcept;
    void setParameter(int32_t index, float value) noexcept;
    /** effGetParamDisplay into a zeroed 1024-byte buffer; at most 24 characters. */
    std::string getParameterDisplay(int32_t index);

    /** effGetChunk / effSetChunk with index 1 for a program, 0 for a bank. `*data` stays owned by the
        effect (valid until its next getChunk); returns the size, 0 on failure. */
    int32_t getChunk(bool isProgram, void** data) noexcept;
    int32_t setChunk(bool isProgram, int32_t size, void* data) noexcept;
    void beginSetProgram() noexcept;
    void endSetProgram() noexcept;

    void processEvents(VstEvents* events) noexcept;
    /** The effect's processReplacing; a throwing call is ignored. Audio thread. */
    void processReplacing(float** inputs, float** outputs, int32_t frames) noexcept;

    /** One audio block as the wrapper runs it: pending MIDI first (the queue is emptied), then, when
        the effect supports the extension, "sI00" with the input silence, processReplacing, and "sO00".
        Returns whether the effect declared the output silent (false without the extension). */
    bool processBlock(VSTMidiQueue& pending, bool supportsStringConversion, bool inputsSilent, float** inputs,
                      float** outputs, int32_t frames) noexcept;

    /** effVendorSpecific with a four-character index (the extension calls below). */
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr) noexcept;

    /** effCanDo "receiveVstMidiEvent": yes if positive, no if negative; on "don't know" (0) whether
        the effect asked for MIDI with audioMasterWantMidi. */
    bool acceptsMidi() noexcept;

    /** effIdle, then effEditIdle while the editor is open. From the host's idle timer. */
    void idleEffect() noexcept;

    /** Marks the editor open, then effEditOpen with `view` (the X11 parent window on Linux) and `value`
        (Linux hosts pass their Display* there; effects use their own connection). A 0 answer throws
        "VST could not open editor"; the editor still counts as open, so closing or destruction sends
        effEditClose. */
    void openEditor(void* view, VstIntPtr value = 0);
    /** effEditGetRect; false (and width, height unchanged) when the effect gives no rectangle. */
    [[nodiscard]] bool getEditorRect(int32_t& width, int32_t& height) noexcept;
    void closeEditor() noexcept;

    // The vendor-specific extension ("sHi!" probe, silence hints, value/text conversion). An effect
    // that does not answer "sHi!" is never sent the others.
    static constexpr VstInt32 extensionHello = 0x73486921;          // "sHi!"
    static constexpr VstInt32 extensionInputSilence = 0x73493030;   // "sI00"
    static constexpr VstInt32 extensionOutputSilence = 0x734f3030;  // "sO00"
    static constexpr VstInt32 extensionValueToString = 0x73563253;  // "sV2S"
    static constexpr VstInt32 extensionStringToValue = 0x73533256;  // "sS2V"
    static constexpr size_t extensionBufferSize = 2048;

    /** Sends "sHi!"; true when the effect supports the extension. */
    bool probeExtension() noexcept;

    /** The function handed to the entry point; see the .cpp for how it finds its VSTPlugIn. */
    static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt);
    /** The plug-in whose entry point is running (null otherwise): host calls made before the effect
        is linked through `resvd1` are answered for it. */
    static VSTPlugIn* getLoadingPlugIn() noexcept;

    AEffect* getEffect() const noexcept { return effect; }
    VSTHost& getHost() const noexcept { return host; }
    bool isResumed() const noexcept { return resumed; }
    /** Set and cleared by the owner around effMainsChanged. */
    void setResumed(bool isResumed) noexcept { resumed = isResumed; }
    bool isEditorOpen() const noexcept { return editorOpen; }
    float getSampleRate() const noexcept { return sampleRate; }
    int32_t getBlockSize() const noexcept { return blockSize; }

private:
    VSTHost& host;
    Bundle bundle;
    AEffect* effect = nullptr;
    bool opened = false;
    bool resumed = false;
    bool midiRequested = false;
    bool editorOpen = false;
    float sampleRate;
    int32_t blockSize;

    VstIntPtr answerHostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
};

} // namespace q9framework
