#pragma once

// Tandril: the Audio Unit that publishes a bundle's VST 2.4 effect. One TandrilComponent per Audio Unit
// instance; it is the effect's VST host (through its VSTPlugIn) and answers the Audio Unit host's
// selectors by translating them into VST calls. It never processes audio itself.

#include "auwrapper/TandrilErrors.h"
#include "auwrapper/TandrilView.h"
#include "auwrapper/platform/Bundle.h"
#include "auwrapper/platform/Folders.h"
#include "auwrapper/platform/HostServices.h"
#include "auwrapper/vsthost/VSTHost.h"
#include "auwrapper/vsthost/VSTMidiQueue.h"
#include "auwrapper/vsthost/VSTPlugIn.h"

#include <memory>
#include <string>
#include <vector>

namespace q9framework {

/** One Audio Unit instance wrapping the VST effect of its bundle.

    Construction (the open selector) finds the component's own bundle from the path of the image that
    holds its code, reads TDConfig from Info.plist, finds the VST bundle (the one ".vst" item among the
    resources, else the own bundle), opens and checks the effect, lays out buses, reads
    "TDParameters.txt" and "TDFactoryPresets.txt", converts FXP/FXB files in the preset folders when
    configured, and installs a 0.025 s idle timer on the host's main event loop. Any failure throws and
    the open reports its status (see TandrilErrors.h).

    Every selector operation below throws on failure (MacOSException with the Audio Unit status,
    TandrilException and its subclasses otherwise); `dispatchEntry` converts them. The host services
    (notifications, timer, source units, component description) come from the table the host's
    instance record points at (HostServices.h).

    Threads: the host's main thread opens, closes, reads and writes properties and presets; its render
    thread renders; parameter and MIDI selectors may come from either. No locks: the render path only
    touches the channel buffers, the time info and the pending MIDI events, all allocated before. */
class TandrilComponent : public VSTHost {
public:
    static constexpr int maxChannels = 32;
    static constexpr int maxListeners = 128;
    static constexpr int maxRenderNotifications = 128;
    static constexpr int maxFactoryPresets = 128;
    static constexpr double idleIntervalSeconds = 0.025;
    static constexpr Float64 noRenderYet = -12345678.0;

    /** `ownImagePath` is the path of the executable holding this code (bundle/Contents/x86_64-linux/X.so):
        the bundle is three components up. Throws on any failure of the construction sequence. */
    TandrilComponent(ComponentInstance instance, const std::string& ownImagePath);
    ~TandrilComponent() override;

    TandrilComponent(const TandrilComponent&) = delete;
    TandrilComponent& operator=(const TandrilComponent&) = delete;

    /** The whole component entry: the Component Manager selectors (open, close, can-do, version) and
        the Audio Unit dispatch, with every exception turned into a status. `ownImagePath` is what open
        hands to the constructor. */
    static ComponentResult dispatchEntry(ComponentParameters* params, Handle storage, const std::string& ownImagePath);

    // ---- Audio Unit selectors -----------------------------------------------------------------------
    void initialize();
    void uninitialize();
    void getPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32* outSize,
                         Boolean* outWritable);
    void getProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, void* data, UInt32* ioSize);
    void setProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, const void* data, UInt32 size);
    void getAUParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element, Float32* outValue);
    void setAUParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element, Float32 value);
    void reset(AudioUnitScope scope, AudioUnitElement element);
    void addPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* userData);
    void removePropertyListenerWithUserData(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* userData);
    void render(AudioUnitRenderActionFlags* ioFlags, const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                AudioBufferList* ioData);
    void addRenderNotify(AURenderCallback proc, void* refCon);
    void removeRenderNotify(AURenderCallback proc, void* refCon);
    void scheduleParameters(const AudioUnitParameterEvent* events, UInt32 count);
    void midiEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offsetSampleFrame);

    // ---- VSTHost: the effect's calls to its host ----------------------------------------------------
    void getVendorString(VSTPlugIn& plugIn, char* text) override;
    void getProductString(VSTPlugIn& plugIn, char* text) override;
    int32_t getVendorVersion(VSTPlugIn& plugIn) override;
    bool canDo(VSTPlugIn& plugIn, const char* text) override;
    VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int32_t filter) override;
    void beginEdit(VSTPlugIn& plugIn, int32_t index) override;
    void automate(VSTPlugIn& plugIn, int32_t index, float value) override;
    void endEdit(VSTPlugIn& plugIn, int32_t index) override;
    bool isPinConnected(VSTPlugIn& plugIn, bool isOutput, int32_t index) override;
    void idle(VSTPlugIn& plugIn) override;
    void updateDisplay(VSTPlugIn& plugIn) override;
    void sizeWindow(VSTPlugIn& plugIn, int32_t width, int32_t height) override;

    // ---- presets (also used by the folder conversion and the test host) ------------------------------
    /** FXP of the current program / FXB of all programs, as VSTPresetCodec writes them. */
    std::vector<uint8_t> saveProgram();
    std::vector<uint8_t> saveBank();
    /** Loads FXP or FXB bytes into the effect; true when they matched exactly. */
    bool loadPresetData(const uint8_t* data, size_t length);
    /** The class-info dictionary {version 1, type, subtype, manufacturer, name, vstdata} (Create rule). */
    cf::CFMutableDictionaryRef makeClassInfo(const std::string& name, const std::vector<uint8_t>& data);
    void restoreClassInfo(cf::CFPropertyListRef classInfo);
    /** Re-reads the effect's program name; true when it differed from the current preset's name. */
    bool refreshCurrentPreset();

    // ---- for tests and the test host -----------------------------------------------------------------
    VSTPlugIn& getPlugIn() noexcept { return *plugIn; }
    ComponentInstance getInstance() const noexcept { return instance; }
    const std::string& getBundlePath() const noexcept { return bundlePath; }
    int getInputBusCount() const noexcept { return inputBusCount; }
    int getOutputBusCount() const noexcept { return outputBusCount; }
    int getInputBusStart(int bus) const noexcept { return inputBusStart[bus]; }
    int getOutputBusStart(int bus) const noexcept { return outputBusStart[bus]; }

    // ---- the editor view (TandrilView.cpp) ------------------------------------------------------------
    /** A new container view in the host's `parent` window with the effect's editor open in it, sized to
        the editor's rectangle; a view made before is dropped first (its editor closes). The host owns
        the result and gives it back through the view class's `release`. Null on any failure. */
    virtual AUViewRef createView(AUViewParentWindow parent);
    /** Closes the editor and forgets the view (which no longer reaches this component). Never throws. */
    virtual void dropView();
    /** The current view, if any (not owned). */
    TandrilView* getView() const noexcept { return view; }

private:
    struct PropertyListener {
        AudioUnitPropertyID id;
        AudioUnitPropertyListenerProc proc;
        void* userData;
    };
    struct RenderNotification {
        AURenderCallback proc;
        void* refCon;
    };
    struct PropertyShape {
        bool writable;
        UInt32 minimumSize;
        UInt32 reportedSize;
    };

    ComponentInstance instance;
    Bundle bundle;
    std::string bundlePath;
    std::string resourcesDir;
    AudioStreamBasicDescription streamFormat;
    UInt32 maxFramesPerSlice = 4096;
    int renderNotifyCount = 0;
    RenderNotification renderNotify[maxRenderNotifications];
    Float64 lastRenderSampleTime = noRenderYet;
    AudioUnitConnection connections[maxChannels] = {};
    AURenderCallbackStruct renderCallbacks[maxChannels] = {};
    std::vector<std::vector<float>> channelBuffers;
    // Receives what a host hands for presented input channels past the effect's own (a stereo format
    // on a mono bus): read by nobody, so the effect's channel keeps the first one.
    std::vector<float> spareInputBuffer;
    bool outputSilent = false;
    int propertyListenerCount = 0;
    PropertyListener propertyListeners[maxListeners];
    HostCallbackInfo hostCallbacks = {};
    AUPreset currentPreset = {-1, nullptr};
    int factoryPresetCount = 0;
    AUPreset factoryPresets[maxFactoryPresets] = {};
    cf::CFDataRef factoryPresetData[maxFactoryPresets] = {};
    cf::CFMutableArrayRef factoryPresetArray = nullptr;
    int mappedParameterCount = 0;
    std::vector<AudioUnitParameterID> mappedParameters;
    std::vector<AudioUnitParameterInfo> parameterInfo;
    std::vector<cf::CFArrayRef> parameterValueStrings;
    bool presetIsFXB = false;
    bool autoConvertPresets = false;
    bool updateNameOnLoad = false;
    bool canDoMonoIO = false;
    std::unique_ptr<VSTPlugIn> plugIn;
    VSTMidiQueue pendingEvents;
    VstTimeInfo timeInfo = {};
    bool supportsStringConversion = false;
    bool supportsTail = false;
    Float64 latencySeconds = 0.0;
    Float64 tailSeconds = 0.0;
    bool supportsBypass = false;
    bool bypassed = false;
    bool wantsMidi = false;
    int inputBusCount = 0;
    int outputBusCount = 0;
    int inputBusStart[maxChannels + 1] = {};
    int outputBusStart[maxChannels + 1] = {};
    int inputBusChannels[maxChannels] = {};
    int outputBusChannels[maxChannels] = {};
    cf::CFStringRef inputBusNames[maxChannels] = {};
    cf::CFStringRef outputBusNames[maxChannels] = {};
    int channelInfoCount = 0;
    AUChannelInfo channelInfo[4] = {};
    int hostQuirk = 0;
    EventLoopTimerRef idleTimer = nullptr;
    TandrilView* view = nullptr;
    // Render-time pointer tables, kept here so a render allocates nothing.
    float* vstInputs[maxChannels] = {};
    float* vstOutputs[maxChannels] = {};

    // construction (TandrilComponent.cpp)
    void findOwnBundle(const std::string& ownImagePath);
    Bundle findVSTBundle();
    void layoutBuses(bool isInput, bool uniform);
    void buildChannelInfo();
    void allocateChannelBuffers(UInt32 frames);
    void releaseEverything() noexcept;
    static void idleTimerFired(EventLoopTimerRef timer, void* userData);
    void notifyProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element);
    void postGesture(AudioUnitEventType type, int32_t index);
    AudioComponentDescription componentDescription() const;
    const AEffect& effect() const { return *plugIn->getEffect(); }
    void resumeEffect();

    // properties and formats (TandrilProperties.cpp)
    PropertyShape propertyShape(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element);
    void checkBusElement(AudioUnitScope scope, AudioUnitElement element) const;
    void setStreamFormat(AudioUnitScope scope, AudioUnitElement element, const AudioStreamBasicDescription& format);
    void changeSampleRate(Float64 rate);
    void setMaxFramesPerSlice(UInt32 frames);
    void refreshLatencyAndTail();
    void refreshTail();
    Float64 computeTail() const;
    void makeConnection(AudioUnitElement element, const AudioUnitConnection& connection);
    void setRenderCallback(AudioUnitElement element, const AURenderCallbackStruct& callback);

    // render (TandrilRender.cpp)
    void callRenderNotifications(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                                 UInt32 frames, AudioBufferList* data);
    bool pullInputs(const AudioTimeStamp* timeStamp, UInt32 frames);
    void updateTimeInfo(const AudioTimeStamp& timeStamp);

    // parameters and configuration (TandrilParameters.cpp)
    void readConfig();
    void detectHostQuirk();
    void loadParameterFile();
    void checkParameter(AudioUnitParameterID id, AudioUnitScope scope) const;
    Float32 toHostValue(AudioUnitParameterID id, float normalised) const;
    void parameterStringFromValue(AudioUnitParameterStringFromValue& request);
    void parameterValueFromString(AudioUnitParameterValueFromString& request);

    // presets (TandrilPresets.cpp)
    void loadFactoryPresets();
    void convertPresetFolders();
    void convertPresetFolder(FolderDomain domain);
    void exportAllPrograms(const std::string& folder);
    void setCurrentPreset(const AUPreset& preset, bool withName);
    cf::CFMutableDictionaryRef copyClassInfo();
};

} // namespace q9framework
