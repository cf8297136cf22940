#pragma once

// The Audio Unit and Component Manager interface as the wrapper sees it: scalar types, records,
// selectors, status codes, property IDs, scopes, flags and callback signatures, with their published
// names and 64-bit layouts. There is no Audio Unit SDK on Linux, so this is our own declaration of
// the published interface; the static_asserts at the end pin every size and offset a host relies on.
//
// Published names live in the global namespace, as hosts and units expect them (like the VST 2.4
// header). The Core Foundation references they mention are those of our value layer.

#include "auwrapper/platform/CFValues.h"

#include <cstddef>
#include <cstdint>
#include <string>

// ---- scalar types --------------------------------------------------------------------------------------

typedef int32_t OSStatus;
typedef int16_t OSErr;
typedef int32_t ComponentResult;
typedef uint32_t OSType;
typedef uint32_t FourCharCode;
typedef uint8_t Boolean;
typedef uint8_t UInt8;
typedef int16_t SInt16;
typedef uint16_t UInt16;
typedef int32_t SInt32;
typedef uint32_t UInt32;
typedef int64_t SInt64;
typedef uint64_t UInt64;
typedef float Float32;
typedef double Float64;
typedef char** Handle;

typedef UInt32 AudioUnitPropertyID;
typedef UInt32 AudioUnitScope;
typedef UInt32 AudioUnitElement;
typedef UInt32 AudioUnitParameterID;
typedef Float32 AudioUnitParameterValue;
typedef UInt32 AudioUnitRenderActionFlags;
typedef UInt32 AudioUnitParameterUnit;
typedef UInt32 AudioUnitParameterOptions;
typedef UInt32 AudioUnitEventType;
typedef UInt32 AudioFormatID;
typedef UInt32 AudioFormatFlags;
typedef UInt32 AudioChannelLayoutTag;

/** The host's handle of one instance: a pointer to its opaque record (one `long` on the Mac). */
struct ComponentInstanceRecord {
    long data[1];
};
typedef ComponentInstanceRecord* ComponentInstance;
typedef ComponentInstance AudioComponentInstance;
typedef ComponentInstance AudioUnit;
typedef ComponentInstance MusicDeviceComponent;

typedef q9framework::cf::CFStringRef CFStringRef;
typedef q9framework::cf::CFURLRef CFURLRef;
typedef q9framework::cf::CFArrayRef CFArrayRef;
typedef q9framework::cf::CFDictionaryRef CFDictionaryRef;
typedef q9framework::cf::CFDataRef CFDataRef;
typedef q9framework::cf::CFPropertyListRef CFPropertyListRef;

/** 'abcd' as the interface writes it: the first character in the most significant byte. */
constexpr OSType fourCharCode(const char (&code)[5])
{
    return (OSType(static_cast<unsigned char>(code[0])) << 24) | (OSType(static_cast<unsigned char>(code[1])) << 16)
        | (OSType(static_cast<unsigned char>(code[2])) << 8) | OSType(static_cast<unsigned char>(code[3]));
}

/** The four characters as a code, as fourCharCode makes it; false unless `text` has exactly four bytes. */
inline bool fourCharCodeFromString(const std::string& text, OSType& code)
{
    if (text.size() != 4)
        return false;
    code = 0;
    for (char c : text)
        code = (code << 8) | static_cast<unsigned char>(c);
    return true;
}

/** The code as four characters (bytes as they are, first character from the high byte). */
inline std::string stringFromFourCharCode(OSType code)
{
    std::string text(4, '\0');
    for (int i = 0; i < 4; ++i)
        text[static_cast<size_t>(i)] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
    return text;
}

// ---- Component Manager -----------------------------------------------------------------------------------

/** The parameter block of a component call. The arguments stand one per 8-byte slot: slot 0 holds the
    instance (or, for can-do, the asked selector), then the call's arguments in declared order. */
struct ComponentParameters {
    UInt8 flags;
    UInt8 paramSize;   // bytes of parameters
    SInt16 what;       // the selector; negative for Component Manager calls
    UInt32 padding;    // present in the 64-bit layout only
    long params[1];    // one slot per argument; the record is as long as the call needs
};

typedef ComponentResult (*ComponentRoutine)(ComponentParameters* params, Handle storage);

struct ComponentDescription {
    OSType componentType;
    OSType componentSubType;
    OSType componentManufacturer;
    UInt32 componentFlags;
    UInt32 componentFlagsMask;
};

struct AudioComponentDescription {
    OSType componentType;
    OSType componentSubType;
    OSType componentManufacturer;
    UInt32 componentFlags;
    UInt32 componentFlagsMask;
};

enum : SInt16 {
    kComponentOpenSelect = -1,
    kComponentCloseSelect = -2,
    kComponentCanDoSelect = -3,
    kComponentVersionSelect = -4,
    kComponentRegisterSelect = -5,
    kComponentTargetSelect = -6,
    kComponentUnregisterSelect = -7,
    kComponentGetMPWorkFunctionSelect = -8,
    kComponentExecuteWiredActionSelect = -9,
    kComponentGetPublicResourceSelect = -10,
};

enum : SInt16 {
    kAudioUnitRange = 0x0000,
    kAudioUnitInitializeSelect = 0x0001,
    kAudioUnitUninitializeSelect = 0x0002,
    kAudioUnitGetPropertyInfoSelect = 0x0003,
    kAudioUnitGetPropertySelect = 0x0004,
    kAudioUnitSetPropertySelect = 0x0005,
    kAudioUnitGetParameterSelect = 0x0006,
    kAudioUnitSetParameterSelect = 0x0007,
    kAudioUnitRenderSliceSelect = 0x0008,   // AU v1, long gone
    kAudioUnitResetSelect = 0x0009,
    kAudioUnitAddPropertyListenerSelect = 0x000A,
    kAudioUnitRemovePropertyListenerSelect = 0x000B,
    kAudioUnitSetRenderNotificationSelect = 0x000C,      // AU v1
    kAudioUnitRemoveRenderNotificationSelect = 0x000D,   // AU v1
    kAudioUnitRenderSelect = 0x000E,
    kAudioUnitAddRenderNotifySelect = 0x000F,
    kAudioUnitRemoveRenderNotifySelect = 0x0010,
    kAudioUnitScheduleParametersSelect = 0x0011,
    kAudioUnitRemovePropertyListenerWithUserDataSelect = 0x0012,
    kAudioUnitComplexRenderSelect = 0x0013,
    kAudioUnitProcessSelect = 0x0014,
    kAudioUnitProcessMultipleSelect = 0x0015,

    kAudioOutputUnitRange = 0x0200,
    kAudioOutputUnitStartSelect = 0x0201,
    kAudioOutputUnitStopSelect = 0x0202,

    kMusicDeviceRange = 0x0100,
    kMusicDeviceMIDIEventSelect = 0x0101,
    kMusicDeviceSysExSelect = 0x0102,
    kMusicDevicePrepareInstrumentSelect = 0x0103,
    kMusicDeviceReleaseInstrumentSelect = 0x0104,
    kMusicDeviceStartNoteSelect = 0x0105,
    kMusicDeviceStopNoteSelect = 0x0106,
};

// Component types and the manufacturer code of the system's own units.
enum : OSType {
    kAudioUnitType_Output = fourCharCode("auou"),
    kAudioUnitType_MusicDevice = fourCharCode("aumu"),
    kAudioUnitType_MusicEffect = fourCharCode("aumf"),
    kAudioUnitType_FormatConverter = fourCharCode("aufc"),
    kAudioUnitType_Effect = fourCharCode("aufx"),
    kAudioUnitType_Mixer = fourCharCode("aumx"),
    kAudioUnitType_Panner = fourCharCode("aupn"),
    kAudioUnitType_Generator = fourCharCode("augn"),
    kAudioUnitType_OfflineEffect = fourCharCode("auol"),
    kAudioUnitManufacturer_Apple = fourCharCode("appl"),
    kComponentResourceType = fourCharCode("thng"),
};

// ---- status codes ------------------------------------------------------------------------------------------

enum : OSStatus {
    noErr = 0,
    unimpErr = -4,
    ioErr = -36,
    eofErr = -39,
    tmfoErr = -42,
    fnfErr = -43,
    dupFNErr = -48,
    paramErr = -50,
    permErr = -54,
    memFullErr = -108,
    nilHandleErr = -109,
    dirNFErr = -120,
    userCanceledErr = -128,
    resNotFound = -192,
    invalidComponentID = -3000,
    validInstancesExist = -3001,
    badComponentInstance = static_cast<OSStatus>(0x80008001),   // -2147450879
    badComponentSelector = static_cast<OSStatus>(0x80008002),   // -2147450878

    kAudio_UnimplementedError = -4,
    kAudio_TooManyFilesOpenError = -42,
    kAudio_FileNotFoundError = -43,
    kAudio_ParamError = -50,
    kAudio_FilePermissionError = -54,
    kAudio_MemFullError = -108,

    kAudioUnitErr_InvalidProperty = -10879,
    kAudioUnitErr_InvalidParameter = -10878,
    kAudioUnitErr_InvalidElement = -10877,
    kAudioUnitErr_NoConnection = -10876,
    kAudioUnitErr_FailedInitialization = -10875,
    kAudioUnitErr_TooManyFramesToProcess = -10874,
    kAudioUnitErr_IllegalInstrument = -10873,
    kAudioUnitErr_InstrumentTypeNotFound = -10872,
    kAudioUnitErr_InvalidFile = -10871,
    kAudioUnitErr_UnknownFileType = -10870,
    kAudioUnitErr_FileNotSpecified = -10869,
    kAudioUnitErr_FormatNotSupported = -10868,
    kAudioUnitErr_Uninitialized = -10867,
    kAudioUnitErr_InvalidScope = -10866,
    kAudioUnitErr_PropertyNotWritable = -10865,
    kAudioUnitErr_CannotDoInCurrentContext = -10863,
    kAudioUnitErr_InvalidPropertyValue = -10851,
    kAudioUnitErr_PropertyNotInUse = -10850,
    kAudioUnitErr_Initialized = -10849,
    kAudioUnitErr_InvalidOfflineRender = -10848,
    kAudioUnitErr_Unauthorized = -10847,
};

// ---- scopes, render flags, parameter events -------------------------------------------------------------

enum : AudioUnitScope {
    kAudioUnitScope_Global = 0,
    kAudioUnitScope_Input = 1,
    kAudioUnitScope_Output = 2,
    kAudioUnitScope_Group = 3,
    kAudioUnitScope_Part = 4,
    kAudioUnitScope_Note = 5,
    kAudioUnitScope_Layer = 6,
    kAudioUnitScope_LayerItem = 7,
};

enum : AudioUnitRenderActionFlags {
    kAudioUnitRenderAction_PreRender = 1u << 2,
    kAudioUnitRenderAction_PostRender = 1u << 3,
    kAudioUnitRenderAction_OutputIsSilence = 1u << 4,
    kAudioOfflineUnitRenderAction_Preflight = 1u << 5,
    kAudioOfflineUnitRenderAction_Render = 1u << 6,
    kAudioOfflineUnitRenderAction_Complete = 1u << 7,
    kAudioUnitRenderAction_PostRenderError = 1u << 8,
    kAudioUnitRenderAction_DoNotCheckRenderArgs = 1u << 9,
};

typedef UInt32 AUParameterEventType;
enum : AUParameterEventType {
    kParameterEvent_Immediate = 1,
    kParameterEvent_Ramped = 2,
};

// ---- property IDs -------------------------------------------------------------------------------------------

enum : AudioUnitPropertyID {
    kAudioUnitProperty_ClassInfo = 0,
    kAudioUnitProperty_MakeConnection = 1,
    kAudioUnitProperty_SampleRate = 2,
    kAudioUnitProperty_ParameterList = 3,
    kAudioUnitProperty_ParameterInfo = 4,
    kAudioUnitProperty_FastDispatch = 5,
    kAudioUnitProperty_CPULoad = 6,
    kAudioUnitProperty_StreamFormat = 8,
    kAudioUnitProperty_SRCAlgorithm = 9,   // deprecated
    kAudioUnitProperty_ElementCount = 11,
    kAudioUnitProperty_BusCount = 11,
    kAudioUnitProperty_Latency = 12,
    kAudioUnitProperty_SupportedNumChannels = 13,
    kAudioUnitProperty_MaximumFramesPerSlice = 14,
    kAudioUnitProperty_SetExternalBuffer = 15,
    kAudioUnitProperty_ParameterValueStrings = 16,
    kAudioUnitProperty_MIDIControlMapping = 17,   // deprecated
    kAudioUnitProperty_GetUIComponentList = 18,
    kAudioUnitProperty_AudioChannelLayout = 19,
    kAudioUnitProperty_TailTime = 20,
    kAudioUnitProperty_BypassEffect = 21,
    kAudioUnitProperty_LastRenderError = 22,
    kAudioUnitProperty_SetRenderCallback = 23,
    kAudioUnitProperty_FactoryPresets = 24,
    kAudioUnitProperty_ContextName = 25,
    kAudioUnitProperty_RenderQuality = 26,
    kAudioUnitProperty_HostCallbacks = 27,
    kAudioUnitProperty_CurrentPreset = 28,   // deprecated; the name is not the caller's
    kAudioUnitProperty_InPlaceProcessing = 29,
    kAudioUnitProperty_ElementName = 30,
    kAudioUnitProperty_CocoaUI = 31,
    kAudioUnitProperty_SupportedChannelLayoutTags = 32,
    kAudioUnitProperty_ParameterStringFromValue = 33,
    kAudioUnitProperty_ParameterValueName = 33,
    kAudioUnitProperty_ParameterIDName = 34,
    kAudioUnitProperty_ParameterClumpName = 35,
    kAudioUnitProperty_PresentPreset = 36,   // the caller releases the name
    kAudioUnitProperty_OfflineRender = 37,
    kAudioUnitProperty_ParameterValueFromString = 38,
    kAudioUnitProperty_IconLocation = 39,
    kAudioUnitProperty_PresentationLatency = 40,
    kAudioUnitProperty_AllParameterMIDIMappings = 41,
    kAudioUnitProperty_AddParameterMIDIMapping = 42,
    kAudioUnitProperty_RemoveParameterMIDIMapping = 43,
    kAudioUnitProperty_HotMapParameterMIDIMapping = 44,
    kAudioUnitProperty_DependentParameters = 45,
    kAudioUnitProperty_AUHostIdentifier = 46,
    kAudioUnitProperty_MIDIOutputCallbackInfo = 47,
    kAudioUnitProperty_MIDIOutputCallback = 48,
    kAudioUnitProperty_InputSamplesInOutput = 49,
    kAudioUnitProperty_ClassInfoFromDocument = 50,
    kAudioUnitProperty_ShouldAllocateBuffer = 51,
    kAudioUnitProperty_FrequencyResponse = 52,
    kMusicDeviceProperty_InstrumentCount = 1000,
    kAudioOutputUnitProperty_IsRunning = 2001,
};

enum : UInt32 {
    kRenderQuality_Max = 0x7F,
    kRenderQuality_High = 0x60,
    kRenderQuality_Medium = 0x40,
    kRenderQuality_Low = 0x20,
    kRenderQuality_Min = 0,
};

// ---- audio data ---------------------------------------------------------------------------------------------

struct AudioStreamBasicDescription {
    Float64 mSampleRate;
    AudioFormatID mFormatID;
    AudioFormatFlags mFormatFlags;
    UInt32 mBytesPerPacket;
    UInt32 mFramesPerPacket;
    UInt32 mBytesPerFrame;
    UInt32 mChannelsPerFrame;
    UInt32 mBitsPerChannel;
    UInt32 mReserved;
};

enum : AudioFormatID {
    kAudioFormatLinearPCM = fourCharCode("lpcm"),
    kAudioFormatAC3 = fourCharCode("ac-3"),
    kAudioFormatMPEG4AAC = fourCharCode("aac "),
    kAudioFormatAppleLossless = fourCharCode("alac"),
    kAudioFormatMPEGLayer3 = fourCharCode(".mp3"),
    kAudioFormatAppleIMA4 = fourCharCode("ima4"),
    kAudioFormatULaw = fourCharCode("ulaw"),
    kAudioFormatALaw = fourCharCode("alaw"),
    kAudioFormatMIDIStream = fourCharCode("midi"),
    kAudioFormatParameterValueStream = fourCharCode("apvs"),
};

enum : AudioFormatFlags {
    kAudioFormatFlagIsFloat = 1u << 0,
    kAudioFormatFlagIsBigEndian = 1u << 1,
    kAudioFormatFlagIsSignedInteger = 1u << 2,
    kAudioFormatFlagIsPacked = 1u << 3,
    kAudioFormatFlagIsAlignedHigh = 1u << 4,
    kAudioFormatFlagIsNonInterleaved = 1u << 5,
    kAudioFormatFlagIsNonMixable = 1u << 6,
    kAudioFormatFlagsAreAllClear = 1u << 31,

    kLinearPCMFormatFlagIsFloat = kAudioFormatFlagIsFloat,
    kLinearPCMFormatFlagIsBigEndian = kAudioFormatFlagIsBigEndian,
    kLinearPCMFormatFlagIsSignedInteger = kAudioFormatFlagIsSignedInteger,
    kLinearPCMFormatFlagIsPacked = kAudioFormatFlagIsPacked,
    kLinearPCMFormatFlagIsAlignedHigh = kAudioFormatFlagIsAlignedHigh,
    kLinearPCMFormatFlagIsNonInterleaved = kAudioFormatFlagIsNonInterleaved,
    kLinearPCMFormatFlagIsNonMixable = kAudioFormatFlagIsNonMixable,
    kLinearPCMFormatFlagsSampleFractionShift = 7,
    kLinearPCMFormatFlagsSampleFractionMask = 0x3Fu << 7,
    kLinearPCMFormatFlagsAreAllClear = kAudioFormatFlagsAreAllClear,

    kAudioFormatFlagsNativeEndian = 0,   // little-endian machine
    kAudioFormatFlagsCanonical = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked,
    kAudioFormatFlagsAudioUnitCanonical = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved,
    kAudioFormatFlagsNativeFloatPacked = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked,
};

struct AudioBuffer {
    UInt32 mNumberChannels;
    UInt32 mDataByteSize;
    void* mData;
};

/** Declared with one buffer; real lists are 8 + 16 * mNumberBuffers bytes long. */
struct AudioBufferList {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[1];
};

struct SMPTETime {
    SInt16 mSubframes;
    SInt16 mSubframeDivisor;
    UInt32 mCounter;
    UInt32 mType;
    UInt32 mFlags;
    SInt16 mHours;
    SInt16 mMinutes;
    SInt16 mSeconds;
    SInt16 mFrames;
};

enum : UInt32 {
    kSMPTETimeType24 = 0, kSMPTETimeType25 = 1, kSMPTETimeType30Drop = 2, kSMPTETimeType30 = 3,
    kSMPTETimeType2997 = 4, kSMPTETimeType2997Drop = 5, kSMPTETimeType60 = 6, kSMPTETimeType5994 = 7,
    kSMPTETimeType60Drop = 8, kSMPTETimeType5994Drop = 9, kSMPTETimeType50 = 10, kSMPTETimeType2398 = 11,
    kSMPTETimeValid = 1u << 0,
    kSMPTETimeRunning = 1u << 1,
};

struct AudioTimeStamp {
    Float64 mSampleTime;
    UInt64 mHostTime;
    Float64 mRateScalar;
    UInt64 mWordClockTime;
    SMPTETime mSMPTETime;
    UInt32 mFlags;
    UInt32 mReserved;
};

enum : UInt32 {
    kAudioTimeStampSampleTimeValid = 1u << 0,
    kAudioTimeStampHostTimeValid = 1u << 1,
    kAudioTimeStampRateScalarValid = 1u << 2,
    kAudioTimeStampWordClockTimeValid = 1u << 3,
    kAudioTimeStampSMPTETimeValid = 1u << 4,
    kAudioTimeStampSampleHostTimeValid = kAudioTimeStampSampleTimeValid | kAudioTimeStampHostTimeValid,
};

// ---- callbacks ------------------------------------------------------------------------------------------------

typedef OSStatus (*AURenderCallback)(void* inRefCon, AudioUnitRenderActionFlags* ioActionFlags,
                                     const AudioTimeStamp* inTimeStamp, UInt32 inBusNumber, UInt32 inNumberFrames,
                                     AudioBufferList* ioData);

typedef void (*AudioUnitPropertyListenerProc)(void* inRefCon, AudioUnit inUnit, AudioUnitPropertyID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement);

typedef OSStatus (*HostCallback_GetBeatAndTempo)(void* inHostUserData, Float64* outCurrentBeat,
                                                 Float64* outCurrentTempo);
typedef OSStatus (*HostCallback_GetMusicalTimeLocation)(void* inHostUserData, UInt32* outDeltaSampleOffsetToNextBeat,
                                                        Float32* outTimeSig_Numerator, UInt32* outTimeSig_Denominator,
                                                        Float64* outCurrentMeasureDownBeat);
typedef OSStatus (*HostCallback_GetTransportState)(void* inHostUserData, Boolean* outIsPlaying,
                                                   Boolean* outTransportStateChanged,
                                                   Float64* outCurrentSampleInTimeLine, Boolean* outIsCycling,
                                                   Float64* outCycleStartBeat, Float64* outCycleEndBeat);
typedef OSStatus (*HostCallback_GetTransportState2)(void* inHostUserData, Boolean* outIsPlaying,
                                                    Boolean* outIsRecording, Boolean* outTransportStateChanged,
                                                    Float64* outCurrentSampleInTimeLine, Boolean* outIsCycling,
                                                    Float64* outCycleStartBeat, Float64* outCycleEndBeat);

// ---- property records -----------------------------------------------------------------------------------------

struct AURenderCallbackStruct {
    AURenderCallback inputProc;
    void* inputProcRefCon;
};

struct AudioUnitConnection {
    AudioUnit sourceAudioUnit;
    UInt32 sourceOutputNumber;
    UInt32 destInputNumber;
};

/** -1 and -2 mean "any count"; below -2, the total across buses; 0, no buses on that side. */
struct AUChannelInfo {
    SInt16 inChannels;
    SInt16 outChannels;
};

/** presetNumber < 0 is a user preset, >= 0 a factory preset's index. */
struct AUPreset {
    SInt32 presetNumber;
    CFStringRef presetName;
};

struct AudioUnitExternalBuffer {
    UInt8* buffer;
    UInt32 size;
};

/** The host's transport callbacks; any of them may be null. Valid only during the unit's render call. */
struct HostCallbackInfo {
    void* hostUserData;
    HostCallback_GetBeatAndTempo beatAndTempoProc;
    HostCallback_GetMusicalTimeLocation musicalTimeLocationProc;
    HostCallback_GetTransportState transportStateProc;
    HostCallback_GetTransportState2 transportStateProc2;
};

/** Declared with one class name; 8 + 8 * n bytes for n names. The caller owns the URL and strings. */
struct AudioUnitCocoaViewInfo {
    CFURLRef mCocoaAUViewBundleLocation;
    CFStringRef mCocoaAUViewClass[1];
};

struct AudioUnitParameterStringFromValue {
    AudioUnitParameterID inParamID;
    const AudioUnitParameterValue* inValue;   // null: the current value
    CFStringRef outString;                     // null: no special text
};

struct AudioUnitParameterValueFromString {
    AudioUnitParameterID inParamID;
    CFStringRef inString;
    AudioUnitParameterValue outValue;
};

struct AudioUnitParameterNameInfo {
    AudioUnitParameterID inID;
    SInt32 inDesiredLength;   // kAudioUnitParameterName_Full for the whole name
    CFStringRef outName;
};

struct AUDependentParameter {
    AudioUnitScope mScope;
    AudioUnitParameterID mParameterID;
};

struct AUHostVersionIdentifier {
    CFStringRef hostName;
    UInt32 hostVersion;
};

struct AUParameterMIDIMapping {
    AudioUnitScope mScope;
    AudioUnitElement mElement;
    AudioUnitParameterID mParameterID;
    UInt32 mFlags;
    AudioUnitParameterValue mSubRangeMin;
    AudioUnitParameterValue mSubRangeMax;
    UInt8 mStatus;
    UInt8 mData1;
    UInt8 reserved1;
    UInt8 reserved2;
    UInt32 reserved3;
};

// ---- parameters ---------------------------------------------------------------------------------------------------

struct AudioUnitParameterInfo {
    char name[52];                      // UTF-8, NUL-terminated
    CFStringRef unitName;               // with kAudioUnitParameterUnit_CustomUnit only
    UInt32 clumpID;                     // with kAudioUnitParameterFlag_HasClump only
    CFStringRef cfNameString;           // with kAudioUnitParameterFlag_HasCFNameString only
    AudioUnitParameterUnit unit;
    AudioUnitParameterValue minValue;
    AudioUnitParameterValue maxValue;
    AudioUnitParameterValue defaultValue;
    AudioUnitParameterOptions flags;
};

enum : AudioUnitParameterUnit {
    kAudioUnitParameterUnit_Generic = 0,
    kAudioUnitParameterUnit_Indexed = 1,
    kAudioUnitParameterUnit_Boolean = 2,
    kAudioUnitParameterUnit_Percent = 3,
    kAudioUnitParameterUnit_Seconds = 4,
    kAudioUnitParameterUnit_SampleFrames = 5,
    kAudioUnitParameterUnit_Phase = 6,
    kAudioUnitParameterUnit_Rate = 7,
    kAudioUnitParameterUnit_Hertz = 8,
    kAudioUnitParameterUnit_Cents = 9,
    kAudioUnitParameterUnit_RelativeSemiTones = 10,
    kAudioUnitParameterUnit_MIDINoteNumber = 11,
    kAudioUnitParameterUnit_MIDIController = 12,
    kAudioUnitParameterUnit_Decibels = 13,
    kAudioUnitParameterUnit_LinearGain = 14,
    kAudioUnitParameterUnit_Degrees = 15,
    kAudioUnitParameterUnit_EqualPowerCrossfade = 16,
    kAudioUnitParameterUnit_MixerFaderCurve1 = 17,
    kAudioUnitParameterUnit_Pan = 18,
    kAudioUnitParameterUnit_Meters = 19,
    kAudioUnitParameterUnit_AbsoluteCents = 20,
    kAudioUnitParameterUnit_Octaves = 21,
    kAudioUnitParameterUnit_BPM = 22,
    kAudioUnitParameterUnit_Beats = 23,
    kAudioUnitParameterUnit_Milliseconds = 24,
    kAudioUnitParameterUnit_Ratio = 25,
    kAudioUnitParameterUnit_CustomUnit = 26,
    kAudioUnitParameterUnit_MIDI2Controller = 27,
};

enum : AudioUnitParameterOptions {
    kAudioUnitParameterFlag_Global = 1u << 0,   // the old scope bits, deprecated
    kAudioUnitParameterFlag_Input = 1u << 1,
    kAudioUnitParameterFlag_Output = 1u << 2,
    kAudioUnitParameterFlag_Group = 1u << 3,
    kAudioUnitParameterFlag_CFNameRelease = 1u << 4,
    kAudioUnitParameterFlag_OmitFromPresets = 1u << 13,
    kAudioUnitParameterFlag_PlotHistory = 1u << 14,
    kAudioUnitParameterFlag_MeterReadOnly = 1u << 15,
    kAudioUnitParameterFlag_DisplayMask = (7u << 16) | (1u << 22),
    kAudioUnitParameterFlag_DisplaySquareRoot = 1u << 16,
    kAudioUnitParameterFlag_DisplaySquared = 2u << 16,
    kAudioUnitParameterFlag_DisplayCubed = 3u << 16,
    kAudioUnitParameterFlag_DisplayCubeRoot = 4u << 16,
    kAudioUnitParameterFlag_DisplayExponential = 5u << 16,
    kAudioUnitParameterFlag_HasClump = 1u << 20,
    kAudioUnitParameterFlag_ValuesHaveStrings = 1u << 21,
    kAudioUnitParameterFlag_HasName = 1u << 21,
    kAudioUnitParameterFlag_DisplayLogarithmic = 1u << 22,
    kAudioUnitParameterFlag_IsHighResolution = 1u << 23,
    kAudioUnitParameterFlag_NonRealTime = 1u << 24,
    kAudioUnitParameterFlag_CanRamp = 1u << 25,
    kAudioUnitParameterFlag_ExpertMode = 1u << 26,
    kAudioUnitParameterFlag_HasCFNameString = 1u << 27,
    kAudioUnitParameterFlag_IsGlobalMeta = 1u << 28,
    kAudioUnitParameterFlag_IsElementMeta = 1u << 29,
    kAudioUnitParameterFlag_IsReadable = 1u << 30,
    kAudioUnitParameterFlag_IsWritable = 1u << 31,
};

enum : UInt32 { kAudioUnitClumpID_System = 0 };
enum : SInt32 { kAudioUnitParameterName_Full = -1 };

struct AudioUnitParameterEvent {
    AudioUnitScope scope;
    AudioUnitElement element;
    AudioUnitParameterID parameter;
    AUParameterEventType eventType;
    union {
        struct {
            SInt32 startBufferOffset;
            UInt32 durationInFrames;
            AudioUnitParameterValue startValue;
            AudioUnitParameterValue endValue;
        } ramp;
        struct {
            UInt32 bufferOffset;
            AudioUnitParameterValue value;
        } immediate;
    } eventValues;
};

// ---- notifications ------------------------------------------------------------------------------------------------

struct AudioUnitParameter {
    AudioUnit mAudioUnit;
    AudioUnitParameterID mParameterID;
    AudioUnitScope mScope;
    AudioUnitElement mElement;
};

struct AudioUnitProperty {
    AudioUnit mAudioUnit;
    AudioUnitPropertyID mPropertyID;
    AudioUnitScope mScope;
    AudioUnitElement mElement;
};

enum : AudioUnitEventType {
    kAudioUnitEvent_ParameterValueChange = 0,
    kAudioUnitEvent_BeginParameterChangeGesture = 1,
    kAudioUnitEvent_EndParameterChangeGesture = 2,
    kAudioUnitEvent_PropertyChange = 3,
};

struct AudioUnitEvent {
    AudioUnitEventType mEventType;
    union {
        AudioUnitParameter mParameter;
        AudioUnitProperty mProperty;
    } mArgument;
};

constexpr AudioUnitParameterID kAUParameterListener_AnyParameter = 0xFFFFFFFFu;

/** Opaque listener handles; null is allowed as "no sender". */
struct AUListenerBase;
typedef AUListenerBase* AUParameterListenerRef;
typedef AUListenerBase* AUEventListenerRef;

// ---- function signatures the host provides -------------------------------------------------------------------------

typedef OSStatus (*AudioUnitRenderProc)(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                                        const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                                        UInt32 inNumberFrames, AudioBufferList* ioData);
typedef OSStatus (*AudioUnitGetPropertyProc)(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                             AudioUnitElement inElement, void* outData, UInt32* ioDataSize);
typedef OSStatus (*AudioUnitSetPropertyProc)(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                             AudioUnitElement inElement, const void* inData, UInt32 inDataSize);
typedef OSStatus (*AudioUnitGetPropertyInfoProc)(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                                 AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable);
typedef OSStatus (*AUEventListenerNotifyProc)(AUEventListenerRef inSendingListener, void* inSendingObject,
                                              const AudioUnitEvent* inEvent);
typedef OSStatus (*AUParameterListenerNotifyProc)(AUParameterListenerRef inSendingListener, void* inSendingObject,
                                                  const AudioUnitParameter* inParameter);
typedef OSStatus (*MusicDeviceMIDIEventProc)(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1,
                                             UInt32 inData2, UInt32 inOffsetSampleFrame);

// ---- layout checks: the 64-bit sizes and offsets hosts were compiled with ------------------------------------------

static_assert(sizeof(OSStatus) == 4 && sizeof(OSErr) == 2 && sizeof(OSType) == 4 && sizeof(Boolean) == 1, "scalars");
static_assert(sizeof(ComponentResult) == 4, "ComponentResult is 32 bits in the LP64 interface");
static_assert(sizeof(ComponentInstanceRecord) == 8, "ComponentInstanceRecord");
static_assert(offsetof(ComponentParameters, what) == 2 && offsetof(ComponentParameters, params) == 8,
              "ComponentParameters: arguments start at 8, one 8-byte slot each");
static_assert(sizeof(ComponentParameters::params[0]) == 8, "argument slots are 8 bytes");
static_assert(sizeof(ComponentDescription) == 20 && sizeof(AudioComponentDescription) == 20, "descriptions");

static_assert(sizeof(AudioStreamBasicDescription) == 40, "AudioStreamBasicDescription");
static_assert(offsetof(AudioStreamBasicDescription, mFormatID) == 8, "AudioStreamBasicDescription.mFormatID");
static_assert(offsetof(AudioStreamBasicDescription, mReserved) == 36, "AudioStreamBasicDescription.mReserved");
static_assert(sizeof(AudioBuffer) == 16 && offsetof(AudioBuffer, mData) == 8, "AudioBuffer");
static_assert(sizeof(AudioBufferList) == 24 && offsetof(AudioBufferList, mBuffers) == 8, "AudioBufferList");
static_assert(sizeof(SMPTETime) == 24 && offsetof(SMPTETime, mHours) == 16, "SMPTETime");
static_assert(sizeof(AudioTimeStamp) == 64, "AudioTimeStamp");
static_assert(offsetof(AudioTimeStamp, mSMPTETime) == 32 && offsetof(AudioTimeStamp, mFlags) == 56, "AudioTimeStamp");

static_assert(sizeof(AURenderCallbackStruct) == 16, "AURenderCallbackStruct");
static_assert(sizeof(AudioUnitConnection) == 16 && offsetof(AudioUnitConnection, destInputNumber) == 12,
              "AudioUnitConnection");
static_assert(sizeof(AUChannelInfo) == 4, "AUChannelInfo");
static_assert(sizeof(AUPreset) == 16 && offsetof(AUPreset, presetName) == 8, "AUPreset");
static_assert(sizeof(AudioUnitExternalBuffer) == 16, "AudioUnitExternalBuffer");
static_assert(sizeof(HostCallbackInfo) == 40 && offsetof(HostCallbackInfo, transportStateProc2) == 32,
              "HostCallbackInfo");
static_assert(sizeof(AudioUnitCocoaViewInfo) == 16, "AudioUnitCocoaViewInfo with one class");
static_assert(sizeof(AudioUnitParameterStringFromValue) == 24
                  && offsetof(AudioUnitParameterStringFromValue, inValue) == 8
                  && offsetof(AudioUnitParameterStringFromValue, outString) == 16,
              "AudioUnitParameterStringFromValue");
static_assert(sizeof(AudioUnitParameterValueFromString) == 24
                  && offsetof(AudioUnitParameterValueFromString, inString) == 8
                  && offsetof(AudioUnitParameterValueFromString, outValue) == 16,
              "AudioUnitParameterValueFromString");
static_assert(sizeof(AudioUnitParameterNameInfo) == 16 && offsetof(AudioUnitParameterNameInfo, outName) == 8,
              "AudioUnitParameterNameInfo");
static_assert(sizeof(AUDependentParameter) == 8, "AUDependentParameter");
static_assert(sizeof(AUHostVersionIdentifier) == 16, "AUHostVersionIdentifier");
static_assert(sizeof(AUParameterMIDIMapping) == 32 && offsetof(AUParameterMIDIMapping, mStatus) == 24,
              "AUParameterMIDIMapping");

static_assert(sizeof(AudioUnitParameterInfo) == 104, "AudioUnitParameterInfo");
static_assert(offsetof(AudioUnitParameterInfo, unitName) == 56 && offsetof(AudioUnitParameterInfo, clumpID) == 64
                  && offsetof(AudioUnitParameterInfo, cfNameString) == 72 && offsetof(AudioUnitParameterInfo, unit) == 80
                  && offsetof(AudioUnitParameterInfo, minValue) == 84 && offsetof(AudioUnitParameterInfo, flags) == 96,
              "AudioUnitParameterInfo offsets");
static_assert(sizeof(AudioUnitParameterEvent) == 32 && offsetof(AudioUnitParameterEvent, eventValues) == 16,
              "AudioUnitParameterEvent");

static_assert(sizeof(AudioUnitParameter) == 24 && offsetof(AudioUnitParameter, mElement) == 16, "AudioUnitParameter");
static_assert(sizeof(AudioUnitProperty) == 24 && offsetof(AudioUnitProperty, mElement) == 16, "AudioUnitProperty");
static_assert(sizeof(AudioUnitEvent) == 32 && offsetof(AudioUnitEvent, mArgument) == 8, "AudioUnitEvent");

static_assert(kAudioFormatFlagsAudioUnitCanonical == 41, "the stream format's flags");
static_assert(kAudioFormatLinearPCM == 0x6C70636D, "'lpcm'");
static_assert(fourCharCode("aufx") == 1635083896u && fourCharCode("KvLn") == 1266044014u, "four-character codes");
static_assert((kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable
               | kAudioUnitParameterFlag_HasCFNameString) == 0xC8000000u,
              "readable, writable, named");
static_assert(kAudioUnitParameterFlag_DisplayMask == 0x470000u, "display mask");
