#pragma once
/*  The VST 2.4 plug-in interface, declared by us from its published numbers and layouts.

    Both sides of the project compile against this one header: the plug-in's adapter (VST2Wrapper) and the
    Audio Unit wrapper, which hosts the plug-in through the same interface. It holds only the published
    names, with their published spelling, in the global namespace, as every host and plug-in expects them.

    Target: Linux x86-64 (LP64, System V, GCC natural alignment). Every record carries static_asserts on its
    size and offsets, so a change that would break binary compatibility with real hosts fails to compile.
    Deprecated opcodes keep their numbers: hosts still send some of them, so the dispatcher must recognise
    them to answer 0. */

#include <cstddef>
#include <cstdint>

typedef int16_t VstInt16;
typedef int32_t VstInt32;
typedef int64_t VstInt64;
typedef intptr_t VstIntPtr;   // pointer-sized signed integer: 8 bytes here

static_assert(sizeof(VstIntPtr) == 8, "the VST 2.4 layouts below are the 64-bit ones");

// The plain C calling convention; the float argument of the dispatcher travels in an SSE register.
#define VSTCALLBACK

struct AEffect;

typedef VstIntPtr (VSTCALLBACK* audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                      VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr (VSTCALLBACK* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                        VstIntPtr value, void* ptr, float opt);
typedef void (VSTCALLBACK* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                               VstInt32 sampleFrames);
typedef void (VSTCALLBACK* AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                                     VstInt32 sampleFrames);
typedef void (VSTCALLBACK* AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);
typedef float (VSTCALLBACK* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

/** What a plug-in's entry point (VSTPluginMain, main, main_macho) has: returns null on failure. */
typedef AEffect* (*VstPluginEntryProc)(audioMasterCallback host);

#define CCONST(a, b, c, d) \
    ((static_cast<VstInt32>(a) << 24) | (static_cast<VstInt32>(b) << 16) | (static_cast<VstInt32>(c) << 8) \
     | static_cast<VstInt32>(d))

enum {
    kEffectMagic = CCONST('V', 's', 't', 'P'),   // 0x56737450
    kVstVersion = 2400
};

//==============================================================================================================
/** The record a plug-in hands to its host. The plug-in owns it; the host owns resvd1/resvd2 and `user`. */
struct AEffect {
    VstInt32 magic;                                  // kEffectMagic
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;                      // deprecated accumulating process
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;                                  // VstAEffectFlags
    VstIntPtr resvd1;                                // reserved for the host, must start 0
    VstIntPtr resvd2;                                // reserved for the host, must start 0
    VstInt32 initialDelay;                           // latency in samples
    VstInt32 realQualities;                          // deprecated
    VstInt32 offQualities;                           // deprecated
    float ioRatio;                                   // deprecated
    void* object;                                    // the plug-in's own class instance
    void* user;                                      // free for the host
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

static_assert(offsetof(AEffect, magic) == 0, "AEffect layout");
static_assert(offsetof(AEffect, dispatcher) == 8, "AEffect layout");
static_assert(offsetof(AEffect, process) == 16, "AEffect layout");
static_assert(offsetof(AEffect, setParameter) == 24, "AEffect layout");
static_assert(offsetof(AEffect, getParameter) == 32, "AEffect layout");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect layout");
static_assert(offsetof(AEffect, numParams) == 44, "AEffect layout");
static_assert(offsetof(AEffect, numInputs) == 48, "AEffect layout");
static_assert(offsetof(AEffect, numOutputs) == 52, "AEffect layout");
static_assert(offsetof(AEffect, flags) == 56, "AEffect layout");
static_assert(offsetof(AEffect, resvd1) == 64, "AEffect layout");
static_assert(offsetof(AEffect, resvd2) == 72, "AEffect layout");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect layout");
static_assert(offsetof(AEffect, realQualities) == 84, "AEffect layout");
static_assert(offsetof(AEffect, offQualities) == 88, "AEffect layout");
static_assert(offsetof(AEffect, ioRatio) == 92, "AEffect layout");
static_assert(offsetof(AEffect, object) == 96, "AEffect layout");
static_assert(offsetof(AEffect, user) == 104, "AEffect layout");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect layout");
static_assert(offsetof(AEffect, version) == 116, "AEffect layout");
static_assert(offsetof(AEffect, processReplacing) == 120, "AEffect layout");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect layout");
static_assert(offsetof(AEffect, future) == 136, "AEffect layout");
static_assert(sizeof(AEffect) == 192, "AEffect layout");

enum VstAEffectFlags {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,                        // deprecated
    effFlagsHasVu = 1 << 2,                          // deprecated
    effFlagsCanMono = 1 << 3,                        // deprecated
    effFlagsCanReplacing = 1 << 4,                   // mandatory in 2.4
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,                    // deprecated
    effFlagsExtHasBuffer = 1 << 11,                  // deprecated
    effFlagsCanDoubleReplacing = 1 << 12
};

//==============================================================================================================
/** Dispatcher opcodes (host to plug-in). Comments give index / value / ptr / opt and the answer. */
enum AEffectOpcodes {
    effOpen = 0,
    effClose,                       // the plug-in frees itself
    effSetProgram,                  // value = program
    effGetProgram,                  // answer = current program
    effSetProgramName,              // ptr = char* (kVstMaxProgNameLen)
    effGetProgramName,              // ptr = buffer (kVstMaxProgNameLen)
    effGetParamLabel,               // index, ptr = buffer (kVstMaxParamStrLen)
    effGetParamDisplay,             // index, ptr = buffer (kVstMaxParamStrLen)
    effGetParamName,                // index, ptr = buffer (kVstMaxParamStrLen)
    effGetVu,                       // deprecated
    effSetSampleRate,               // opt = rate
    effSetBlockSize,                // value = largest block size
    effMainsChanged,                // value 0 = suspend, 1 = resume
    effEditGetRect,                 // ptr = ERect** (receives the plug-in's own ERect); answer 1 with an editor
    effEditOpen,                    // ptr = parent window (an X11 Window id on Linux); answer 1 on success
    effEditClose,
    effEditDraw,                    // deprecated
    effEditMouse,                   // deprecated
    effEditKey,                     // deprecated
    effEditIdle,                    // periodic GUI idle
    effEditTop,                     // deprecated
    effEditSleep,                   // deprecated
    effIdentify,                    // deprecated; conventional answer 'NvEf'
    effGetChunk,                    // ptr = void** (receives the data), index 0 bank / 1 program; answer = size
    effSetChunk,                    // ptr = data, value = size, index 0 bank / 1 program

    effProcessEvents = 25,          // ptr = VstEvents*
    effCanBeAutomated,              // index; answer 1/0
    effString2Parameter,            // index, ptr = text; answer 1 on success
    effGetNumProgramCategories,     // deprecated
    effGetProgramNameIndexed,       // index = program, ptr = buffer (kVstMaxProgNameLen); answer 1 on success
    effCopyProgram,                 // deprecated
    effConnectInput,                // deprecated
    effConnectOutput,               // deprecated
    effGetInputProperties,          // index, ptr = VstPinProperties*; answer 1 if supported
    effGetOutputProperties,         // index, ptr = VstPinProperties*; answer 1 if supported
    effGetPlugCategory,             // answer = VstPlugCategory
    effGetCurrentPosition,          // deprecated
    effGetDestinationBuffer,        // deprecated
    effOfflineNotify,               // ptr = VstAudioFile array, value = count, index = start flag
    effOfflinePrepare,              // ptr = VstOfflineTask array, value = count
    effOfflineRun,                  // ptr = VstOfflineTask array, value = count
    effProcessVarIo,                // ptr = VstVariableIo*
    effSetSpeakerArrangement,       // value = input VstSpeakerArrangement*, ptr = output one
    effSetBlockSizeAndSampleRate,   // deprecated
    effSetBypass,                   // value 1 = bypass
    effGetEffectName,               // ptr = buffer (kVstMaxEffectNameLen)
    effGetErrorText,                // deprecated
    effGetVendorString,             // ptr = buffer (kVstMaxVendorStrLen)
    effGetProductString,            // ptr = buffer (kVstMaxProductStrLen)
    effGetVendorVersion,            // answer = vendor version
    effVendorSpecific,              // free use
    effCanDo,                       // ptr = C string; answer 1 yes / -1 no / 0 don't know
    effGetTailSize,                 // answer = tail in samples (0 default, 1 = no tail)
    effIdle,                        // deprecated, still polled by some Linux hosts
    effGetIcon,                     // deprecated
    effSetViewPosition,             // deprecated
    effGetParameterProperties,      // index, ptr = VstParameterProperties*; answer 1 if supported
    effKeysRequired,                // deprecated
    effGetVstVersion,               // answer = kVstVersion
    effEditKeyDown,                 // index = character, value = VKEY_*, opt = MODIFIER_* bits; answer 1 if used
    effEditKeyUp,                   // same as effEditKeyDown
    effSetEditKnobMode,             // value = VstKnobMode
    effGetMidiProgramName,          // index = channel, ptr = MidiProgramName*; answer = count used
    effGetCurrentMidiProgram,       // index = channel, ptr = MidiProgramName*; answer = current index
    effGetMidiProgramCategory,      // index = channel, ptr = MidiProgramCategory*
    effHasMidiProgramsChanged,      // index = channel; answer 1 if changed
    effGetMidiKeyName,              // index = channel, ptr = MidiKeyName*
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,       // value = VstSpeakerArrangement** (input), ptr = VstSpeakerArrangement** (output)
    effShellGetNextPlugin,          // ptr = name buffer (kVstMaxProductStrLen); answer = next unique ID
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,     // value = samples
    effSetPanLaw,                   // value = VstPanLawType, opt = gain
    effBeginLoadBank,               // ptr = VstPatchChunkInfo*; answer -1 can't, 1 can, 0 unsupported
    effBeginLoadProgram,            // same as effBeginLoadBank
    effSetProcessPrecision,         // value = VstProcessPrecision
    effGetNumMidiInputChannels,     // answer 1..16
    effGetNumMidiOutputChannels     // answer 1..16
};

static_assert(effSetChunk == 24 && effEditIdle == 19 && effMainsChanged == 12, "opcode numbering");
static_assert(effCanDo == 51 && effGetVstVersion == 58 && effShellGetNextPlugin == 70, "opcode numbering");
static_assert(effGetNumMidiOutputChannels == 79, "opcode numbering");

//==============================================================================================================
/** Host opcodes (plug-in to host, through audioMasterCallback). */
enum AudioMasterOpcodes {
    audioMasterAutomate = 0,                     // index = parameter, opt = value
    audioMasterVersion,                          // answer = host's VST version; 0 = no or too old a host
    audioMasterCurrentId,                        // answer = unique ID being created (shell plug-ins)
    audioMasterIdle,
    audioMasterPinConnected,                     // deprecated; index = pin, value 0 in / 1 out; answer 0 = connected

    audioMasterWantMidi = 6,                     // deprecated; value = 1
    audioMasterGetTime,                          // value = request mask (VstTimeInfoFlags); answer = VstTimeInfo*
    audioMasterProcessEvents,                    // ptr = VstEvents*
    audioMasterSetTime,                          // deprecated
    audioMasterTempoAt,                          // deprecated; value = sample position; answer = BPM * 10000
    audioMasterGetNumAutomatableParameters,      // deprecated
    audioMasterGetParameterQuantization,         // deprecated
    audioMasterIOChanged,                        // answer 1 if supported
    audioMasterNeedIdle,                         // deprecated
    audioMasterSizeWindow,                       // index = width, value = height; answer 1 if done
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,                  // deprecated
    audioMasterGetNextPlug,                      // deprecated
    audioMasterWillReplaceOrAccumulate,          // deprecated
    audioMasterGetCurrentProcessLevel,           // answer = VstProcessLevels
    audioMasterGetAutomationState,               // answer = VstAutomationStates
    audioMasterOfflineStart,
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,              // deprecated
    audioMasterGetOutputSpeakerArrangement,      // deprecated
    audioMasterGetVendorString,                  // ptr = buffer (kVstMaxVendorStrLen)
    audioMasterGetProductString,                 // ptr = buffer (kVstMaxProductStrLen)
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,
    audioMasterSetIcon,                          // deprecated
    audioMasterCanDo,                            // ptr = C string; answer 1 yes
    audioMasterGetLanguage,                      // answer = VstHostLanguage
    audioMasterOpenWindow,                       // deprecated
    audioMasterCloseWindow,                      // deprecated
    audioMasterGetDirectory,                     // answer = char*
    audioMasterUpdateDisplay,
    audioMasterBeginEdit,                        // index = parameter
    audioMasterEndEdit,                          // index = parameter
    audioMasterOpenFileSelector,                 // ptr = VstFileSelect*
    audioMasterCloseFileSelector,                // ptr = VstFileSelect*
    audioMasterEditFile,                         // deprecated
    audioMasterGetChunkFile,                     // deprecated
    audioMasterGetInputSpeakerArrangement        // deprecated
};

static_assert(audioMasterGetTime == 7 && audioMasterSizeWindow == 15 && audioMasterCanDo == 37, "host opcodes");
static_assert(audioMasterBeginEdit == 43 && audioMasterGetInputSpeakerArrangement == 49, "host opcodes");

//==============================================================================================================
/** String limits in characters, not counting the terminating NUL. Real hosts give larger buffers than 8 for
    parameter strings; see VST2Wrapper for the bound this project writes. */
enum VstStringConstants {
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxNameLen = 64,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
    kVstMaxCategLabelLen = 24,
    kVstMaxFileNameLen = 100
};

enum VstPlugCategory {
    kPlugCategUnknown = 0,
    kPlugCategEffect,
    kPlugCategSynth,
    kPlugCategAnalysis,
    kPlugCategMastering,
    kPlugCategSpacializer,
    kPlugCategRoomFx,
    kPlugSurroundFx,
    kPlugCategRestoration,
    kPlugCategOfflineProcess,
    kPlugCategShell,
    kPlugCategGenerator,
    kPlugCategMaxCount
};

enum VstHostLanguage {
    kVstLangEnglish = 1,
    kVstLangGerman,
    kVstLangFrench,
    kVstLangItalian,
    kVstLangSpanish,
    kVstLangJapanese
};

enum VstProcessLevels {
    kVstProcessLevelUnknown = 0,
    kVstProcessLevelUser,
    kVstProcessLevelRealtime,
    kVstProcessLevelPrefetch,
    kVstProcessLevelOffline
};

enum VstAutomationStates {
    kVstAutomationUnsupported = 0,
    kVstAutomationOff,
    kVstAutomationRead,
    kVstAutomationWrite,
    kVstAutomationReadWrite
};

enum VstProcessPrecision {
    kVstProcessPrecision32 = 0,
    kVstProcessPrecision64
};

enum VstPanLawType {
    kLinearPanLaw = 0,
    kEqualPowerPanLaw
};

enum VstKnobMode {
    kCircularMode = 0,
    kRelativCircularMode,
    kLinearMode
};

//==============================================================================================================
// Events

enum VstEventTypes {
    kVstMidiType = 1,
    kVstAudioType,                   // deprecated
    kVstVideoType,                   // deprecated
    kVstParameterType,               // deprecated
    kVstTriggerType,                 // deprecated
    kVstSysExType
};

enum VstMidiEventFlags {
    kVstMidiEventIsRealtime = 1 << 0
};

/** A generic event; the concrete types below share its first four members. */
struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;            // sample offset inside the current block
    VstInt32 flags;
    char data[16];
};

static_assert(sizeof(VstEvent) == 32, "VstEvent layout");
static_assert(offsetof(VstEvent, data) == 16, "VstEvent layout");

/** A list of events. Declared with two pointers; hosts allocate as many as they need. */
struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;              // zero
    VstEvent* events[2];
};

static_assert(offsetof(VstEvents, numEvents) == 0, "VstEvents layout");
static_assert(offsetof(VstEvents, reserved) == 8, "VstEvents layout");
static_assert(offsetof(VstEvents, events) == 16, "VstEvents layout");
static_assert(sizeof(VstEvents) == 32, "VstEvents layout");

/** byteSize: hosts write 32 (sizeof) or 24 (kVstMidiEventByteSize, the size after type and byteSize);
    readers must not depend on it. */
struct VstMidiEvent {
    VstInt32 type;                   // kVstMidiType
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;                  // VstMidiEventFlags
    VstInt32 noteLength;             // samples, 0 if unknown
    VstInt32 noteOffset;             // samples, 0 if unknown
    char midiData[4];                // 1..3 MIDI bytes; [3] reserved 0
    char detune;                     // -64..63 cents
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

static_assert(offsetof(VstMidiEvent, deltaFrames) == 8, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, flags) == 12, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, noteLength) == 16, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, noteOffset) == 20, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, detune) == 28, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29, "VstMidiEvent layout");
static_assert(offsetof(VstMidiEvent, reserved2) == 31, "VstMidiEvent layout");
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent layout");
/** The byteSize a sender of MIDI events writes: the record without its type and byteSize members, as the
    generic VstEvent describes it. */
constexpr VstInt32 kVstMidiEventByteSize = static_cast<VstInt32>(sizeof(VstMidiEvent) - 2 * sizeof(VstInt32));
static_assert(kVstMidiEventByteSize == 24, "VstMidiEvent byteSize");

struct VstMidiSysexEvent {
    VstInt32 type;                   // kVstSysExType
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 dumpBytes;
    VstIntPtr resvd1;
    char* sysexDump;
    VstIntPtr resvd2;
};

static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16, "VstMidiSysexEvent layout");
static_assert(offsetof(VstMidiSysexEvent, resvd1) == 24, "VstMidiSysexEvent layout");
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 32, "VstMidiSysexEvent layout");
static_assert(offsetof(VstMidiSysexEvent, resvd2) == 40, "VstMidiSysexEvent layout");
static_assert(sizeof(VstMidiSysexEvent) == 48, "VstMidiSysexEvent layout");

//==============================================================================================================
// Transport

enum VstTimeInfoFlags {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15
};

enum VstSmpteFrameRate {
    kVstSmpte24fps = 0,
    kVstSmpte25fps = 1,
    kVstSmpte2997fps = 2,
    kVstSmpte30fps = 3,
    kVstSmpte2997dfps = 4,
    kVstSmpte30dfps = 5,
    kVstSmpteFilm16mm = 6,
    kVstSmpteFilm35mm = 7,
    kVstSmpte239fps = 10,
    kVstSmpte249fps = 11,
    kVstSmpte599fps = 12,
    kVstSmpte60fps = 13
};

/** The host's transport, answered to audioMasterGetTime. Members are valid when their flag is set. */
struct VstTimeInfo {
    double samplePos;                // always valid
    double sampleRate;               // always valid
    double nanoSeconds;              // kVstNanosValid
    double ppqPos;                   // kVstPpqPosValid
    double tempo;                    // kVstTempoValid
    double barStartPos;              // kVstBarsValid
    double cycleStartPos;            // kVstCyclePosValid
    double cycleEndPos;              // kVstCyclePosValid
    VstInt32 timeSigNumerator;       // kVstTimeSigValid
    VstInt32 timeSigDenominator;     // kVstTimeSigValid
    VstInt32 smpteOffset;            // kVstSmpteValid, in 1/80 frame units
    VstInt32 smpteFrameRate;         // kVstSmpteValid
    VstInt32 samplesToNextClock;     // kVstClockValid
    VstInt32 flags;                  // VstTimeInfoFlags
};

static_assert(offsetof(VstTimeInfo, sampleRate) == 8, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, nanoSeconds) == 16, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, ppqPos) == 24, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, tempo) == 32, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, barStartPos) == 40, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, cycleStartPos) == 48, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, timeSigDenominator) == 68, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, smpteOffset) == 72, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, smpteFrameRate) == 76, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, samplesToNextClock) == 80, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo layout");
static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo layout");

//==============================================================================================================
// Pins, parameters, speakers, patches

enum VstPinPropertiesFlags {
    kVstPinIsActive = 1 << 0,
    kVstPinIsStereo = 1 << 1,        // first pin of a stereo pair
    kVstPinUseSpeaker = 1 << 2       // arrangementType is meaningful
};

enum VstSpeakerArrangementType {
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo,
    kSpeakerArrStereoSurround
};

struct VstPinProperties {
    char label[kVstMaxLabelLen];
    VstInt32 flags;                  // VstPinPropertiesFlags
    VstInt32 arrangementType;        // VstSpeakerArrangementType
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};

static_assert(offsetof(VstPinProperties, flags) == 64, "VstPinProperties layout");
static_assert(offsetof(VstPinProperties, arrangementType) == 68, "VstPinProperties layout");
static_assert(offsetof(VstPinProperties, shortLabel) == 72, "VstPinProperties layout");
static_assert(offsetof(VstPinProperties, future) == 80, "VstPinProperties layout");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties layout");

enum VstParameterFlags {
    kVstParameterIsSwitch = 1 << 0,
    kVstParameterUsesIntegerMinMax = 1 << 1,
    kVstParameterUsesFloatStep = 1 << 2,
    kVstParameterUsesIntStep = 1 << 3,
    kVstParameterSupportsDisplayIndex = 1 << 4,
    kVstParameterSupportsDisplayCategory = 1 << 5,
    kVstParameterCanRamp = 1 << 6
};

struct VstParameterProperties {
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[kVstMaxLabelLen];
    VstInt32 flags;                  // VstParameterFlags
    VstInt32 minInteger;
    VstInt32 maxInteger;
    VstInt32 stepInteger;
    VstInt32 largeStepInteger;
    char shortLabel[kVstMaxShortLabelLen];
    VstInt16 displayIndex;
    VstInt16 category;
    VstInt16 numParametersInCategory;
    VstInt16 reserved;
    char categoryLabel[kVstMaxCategLabelLen];
    char future[16];
};

static_assert(offsetof(VstParameterProperties, label) == 12, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, flags) == 76, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, minInteger) == 80, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, largeStepInteger) == 92, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, shortLabel) == 96, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, displayIndex) == 104, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, category) == 106, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, numParametersInCategory) == 108, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, reserved) == 110, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, categoryLabel) == 112, "VstParameterProperties layout");
static_assert(offsetof(VstParameterProperties, future) == 136, "VstParameterProperties layout");
static_assert(sizeof(VstParameterProperties) == 152, "VstParameterProperties layout");

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[kVstMaxNameLen];
    VstInt32 type;
    char future[28];
};

static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties layout");

struct VstSpeakerArrangement {
    VstInt32 type;                   // VstSpeakerArrangementType
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "VstSpeakerArrangement layout");
static_assert(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement layout");

/** Announced by the host before effSetChunk of a bank or program (effBeginLoadBank / effBeginLoadProgram). */
struct VstPatchChunkInfo {
    VstInt32 version;
    VstInt32 pluginUniqueID;
    VstInt32 pluginVersion;
    VstInt32 numElements;            // programs in a bank, parameters in a program
    char future[48];
};

static_assert(offsetof(VstPatchChunkInfo, future) == 16, "VstPatchChunkInfo layout");
static_assert(sizeof(VstPatchChunkInfo) == 64, "VstPatchChunkInfo layout");

//==============================================================================================================
// Editor

/** An editor's rectangle in pixels. Width = right - left, height = bottom - top. */
struct ERect {
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

static_assert(offsetof(ERect, top) == 0 && offsetof(ERect, left) == 2, "ERect layout");
static_assert(offsetof(ERect, bottom) == 4 && offsetof(ERect, right) == 6, "ERect layout");
static_assert(sizeof(ERect) == 8, "ERect layout");

/** A key for the editor. Over the dispatcher (effEditKeyDown/Up) the parts arrive as index, value and opt. */
struct VstKeyCode {
    VstInt32 character;              // ASCII
    unsigned char virt;              // VstVirtualKey
    unsigned char modifier;          // VstModifierKey bits
};

static_assert(offsetof(VstKeyCode, virt) == 4 && offsetof(VstKeyCode, modifier) == 5, "VstKeyCode layout");
static_assert(sizeof(VstKeyCode) == 8, "VstKeyCode layout");

enum VstVirtualKey {
    VKEY_BACK = 1,
    VKEY_TAB,
    VKEY_CLEAR,
    VKEY_RETURN,
    VKEY_PAUSE,
    VKEY_ESCAPE,
    VKEY_SPACE,
    VKEY_NEXT,
    VKEY_END,
    VKEY_HOME,
    VKEY_LEFT,
    VKEY_UP,
    VKEY_RIGHT,
    VKEY_DOWN,
    VKEY_PAGEUP,
    VKEY_PAGEDOWN,
    VKEY_SELECT,
    VKEY_PRINT,
    VKEY_ENTER,
    VKEY_SNAPSHOT,
    VKEY_INSERT,
    VKEY_DELETE,
    VKEY_HELP,
    VKEY_NUMPAD0,
    VKEY_NUMPAD1,
    VKEY_NUMPAD2,
    VKEY_NUMPAD3,
    VKEY_NUMPAD4,
    VKEY_NUMPAD5,
    VKEY_NUMPAD6,
    VKEY_NUMPAD7,
    VKEY_NUMPAD8,
    VKEY_NUMPAD9,
    VKEY_MULTIPLY,
    VKEY_ADD,
    VKEY_SEPARATOR,
    VKEY_SUBTRACT,
    VKEY_DECIMAL,
    VKEY_DIVIDE,
    VKEY_F1,
    VKEY_F2,
    VKEY_F3,
    VKEY_F4,
    VKEY_F5,
    VKEY_F6,
    VKEY_F7,
    VKEY_F8,
    VKEY_F9,
    VKEY_F10,
    VKEY_F11,
    VKEY_F12,
    VKEY_NUMLOCK,
    VKEY_SCROLL,
    VKEY_SHIFT,
    VKEY_CONTROL,
    VKEY_ALT,
    VKEY_EQUALS
};

static_assert(VKEY_NUMPAD0 == 24 && VKEY_F1 == 40 && VKEY_NUMLOCK == 52 && VKEY_EQUALS == 57, "virtual keys");

enum VstModifierKey {
    MODIFIER_SHIFT = 1 << 0,
    MODIFIER_ALTERNATE = 1 << 1,
    MODIFIER_COMMAND = 1 << 2,       // the Control key on a Mac
    MODIFIER_CONTROL = 1 << 3        // Ctrl on a PC, the Apple key on a Mac
};
