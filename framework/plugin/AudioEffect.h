#pragma once
#include "framework/plugin/vst2/aeffectx.h"

#include <cstdint>

namespace q9framework {

class AEffEditor;

/** Our own VST 2.4 effect base class, with the published class's behaviour: it owns the AEffect record
    handed to the host, routes the record's function pointers to virtual functions, answers the
    original (1.0) dispatcher opcodes 0..24 and offers the host calls of that era.

    Construction fills the record with the published defaults: magic, the glue functions, 1 input,
    2 outputs, ioRatio 1, uniqueID 'NoEf', version 1, effFlagsCanReplacing; sampleRate 44100, blockSize
    1024, program 0. A derived class then sets its own values.

    Ownership: the host owns the instance through the AEffect; effClose deletes it (after the dispatcher
    has answered). The editor object installed with setEditor is owned and deleted with the effect.

    Bad input: null text or data pointers from the host are ignored (nothing written, 0 answered); an
    effSetProgram outside [0, numPrograms) leaves the program unchanged. Nothing throws. */
class AudioEffect {
public:
    AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    /** The record to hand to the host. */
    AEffect* getAeffect() noexcept { return &cEffect; }
    /** The effect behind a record made by this class; null for a null or foreign record. */
    static AudioEffect* fromAeffect(AEffect* effect) noexcept;

    /** Answers one opcode (see the .cpp for the table). effClose itself is answered here; deleting
        the instance afterwards is the glue's business. */
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    // ---- Called by the host through the dispatcher; the defaults do what the published class does ----
    virtual void open() {}
    virtual void close() {}
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgramName(char*) {}
    /** Writes an empty name. */
    virtual void getProgramName(char* name) { *name = 0; }
    /** text is never null. */
    virtual void getParameterLabel(VstInt32, char* label) { *label = 0; }
    virtual void getParameterDisplay(VstInt32, char* text) { *text = 0; }
    virtual void getParameterName(VstInt32, char* text) { *text = 0; }
    virtual float getVu() { return 0.0f; }
    /** data is never null. Returns the size of *data, which stays valid until the next getChunk. */
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void*, VstInt32, bool) { return 0; }
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}

    // ---- Called by the host through the record's function pointers ------------------------------------
    virtual void setParameter(VstInt32, float) {}
    virtual float getParameter(VstInt32) { return 0.0f; }
    /** Audio thread. inputs and outputs have numInputs / numOutputs channels of sampleFrames samples. */
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept = 0;
    virtual void processDoubleReplacing(double**, double**, VstInt32) noexcept {}

    // ---- Settings of the record ---------------------------------------------------------------------
    void setUniqueID(VstInt32 id) noexcept { cEffect.uniqueID = id; }
    void setNumInputs(VstInt32 count) noexcept { cEffect.numInputs = count; }
    void setNumOutputs(VstInt32 count) noexcept { cEffect.numOutputs = count; }
    void setInitialDelay(VstInt32 samples) noexcept { cEffect.initialDelay = samples; }
    void setEffectVersion(VstInt32 version) noexcept { cEffect.version = version; }
    void canProcessReplacing(bool state = true) noexcept { setFlag(effFlagsCanReplacing, state); }
    void canDoubleReplacing(bool state = true) noexcept { setFlag(effFlagsCanDoubleReplacing, state); }
    void programsAreChunks(bool state = true) noexcept { setFlag(effFlagsProgramChunks, state); }
    void isSynth(bool state = true) noexcept { setFlag(effFlagsIsSynth, state); }
    void noTail(bool state = true) noexcept { setFlag(effFlagsNoSoundInStop, state); }
    /** Takes ownership of the editor object (deleting the previous one) and sets or clears
        effFlagsHasEditor. */
    void setEditor(AEffEditor* newEditor) noexcept;
    AEffEditor* getEditor() const noexcept { return editor; }

    float getSampleRate() const noexcept { return sampleRate; }
    VstInt32 getBlockSize() const noexcept { return blockSize; }

    // ---- Calls to the host; each answers 0 when there is no host callback ------------------------------
    audioMasterCallback getAudioMaster() const noexcept { return audioMaster; }
    /** audioMasterVersion; a host that answers 0 is taken as a 1.0 host (1). */
    VstInt32 getMasterVersion();
    VstInt32 getCurrentUniqueId();
    void masterIdle();
    /** audioMasterAutomate. */
    virtual void setParameterAutomated(VstInt32 index, float value);
    /** audioMasterBeginEdit / audioMasterEndEdit around a user's gesture. */
    virtual bool beginEdit(VstInt32 index);
    virtual bool endEdit(VstInt32 index);

protected:
    /** The host callback with this effect's record; 0 when there is none. */
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;
    void setFlag(VstInt32 flag, bool state) noexcept;

    // The glue the record points at. dispatchEffectClass deletes the effect after answering effClose.
    static VstIntPtr VSTCALLBACK dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index,
                                                     VstIntPtr value, void* ptr, float opt);
    static void VSTCALLBACK processClass(AEffect* e, float** inputs, float** outputs, VstInt32 frames);
    static void VSTCALLBACK processReplacingClass(AEffect* e, float** inputs, float** outputs, VstInt32 frames);
    static void VSTCALLBACK processDoubleReplacingClass(AEffect* e, double** inputs, double** outputs,
                                                        VstInt32 frames);
    static void VSTCALLBACK setParameterClass(AEffect* e, VstInt32 index, float value);
    static float VSTCALLBACK getParameterClass(AEffect* e, VstInt32 index);

    audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect cEffect;
};

} // namespace q9framework
