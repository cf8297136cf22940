#pragma once
#include "framework/plugin/AudioEffect.h"

namespace q9framework {

/** Our own VST 2.x extension of AudioEffect, with the published class's behaviour: it answers the 2.x
    dispatcher opcodes 25..79 (and the editor's key and knob-mode opcodes) through virtual functions
    whose defaults are the published ones, and offers the 2.x host calls.

    Same ownership, threading and bad-input rules as AudioEffect: null pointers from the host are
    ignored and answered with 0. */
class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // ---- 2.x opcodes; pointers handed to these are never null, except to processEvents ------------------
    /** Answer 1 when the events were taken. events may be null (a host with nothing to send). */
    virtual VstInt32 processEvents(VstEvents*) { return 0; }
    virtual bool canParameterBeAutomated(VstInt32) { return true; }
    virtual bool string2parameter(VstInt32, char*) { return false; }
    virtual bool getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
    virtual bool getInputProperties(VstInt32, VstPinProperties*) { return false; }
    virtual bool getOutputProperties(VstInt32, VstPinProperties*) { return false; }
    /** kPlugCategSynth for an instrument, otherwise kPlugCategUnknown. */
    virtual VstPlugCategory getPlugCategory();
    virtual bool setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) { return false; }
    virtual bool setBypass(bool) { return false; }
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
    /** 1 yes, -1 no, 0 don't know. */
    virtual VstInt32 canDo(char*) { return 0; }
    virtual VstInt32 getGetTailSize() { return 0; }
    virtual bool getParameterProperties(VstInt32, VstParameterProperties*) { return false; }
    virtual VstInt32 getVstVersion() { return kVstVersion; }
    virtual VstInt32 getMidiProgramName(VstInt32, void*) { return 0; }
    /** -1: no current MIDI program. */
    virtual VstInt32 getCurrentMidiProgram(VstInt32, void*) { return -1; }
    virtual VstInt32 getMidiProgramCategory(VstInt32, void*) { return 0; }
    virtual bool hasMidiProgramsChanged(VstInt32) { return false; }
    virtual bool getMidiKeyName(VstInt32, void*) { return false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    /** Either pointer may be null; the defaults set the given ones to null. */
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual VstInt32 getNextShellPlugin(char*) { return 0; }
    virtual VstInt32 startProcess() { return 0; }
    virtual VstInt32 stopProcess() { return 0; }
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }
    virtual bool setPanLaw(VstInt32, float) { return false; }
    virtual VstInt32 beginLoadBank(VstPatchChunkInfo*) { return 0; }
    virtual VstInt32 beginLoadProgram(VstPatchChunkInfo*) { return 0; }
    virtual bool setProcessPrecision(VstInt32) { return false; }
    virtual VstInt32 getNumMidiInputChannels() { return 0; }
    virtual VstInt32 getNumMidiOutputChannels() { return 0; }

    // ---- 2.x host calls; 0 / false / null without a host callback ---------------------------------------
    /** audioMasterGetTime with the VstTimeInfoFlags wanted; null when the host gives none. */
    VstTimeInfo* getTimeInfo(VstInt32 filter);
    /** audioMasterWantMidi: asks for MIDI events (deprecated but still expected by old hosts). */
    void wantEvents(VstInt32 filter = 1);
    /** audioMasterIOChanged after a change of latency or channels; true when the host supports it. */
    bool ioChanged();
    /** audioMasterSizeWindow; true when the host resized its window. */
    bool sizeWindow(VstInt32 width, VstInt32 height);
    /** audioMasterCanDo: 1 yes, otherwise the host's answer (0 or -1). */
    VstInt32 canHostDo(char* text);
    bool updateDisplay();
};

} // namespace q9framework
