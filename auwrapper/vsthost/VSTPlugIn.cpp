#include "auwrapper/vsthost/VSTPlugIn.h"

#include "auwrapper/vsthost/VSTMidiQueue.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

namespace q9framework {

namespace {

using EntryPoint = AEffect* (*)(audioMasterCallback);

// The VST version this host reports: 2.3, what the wrapper was written against.
constexpr VstIntPtr hostVstVersion = 2300;
constexpr VstIntPtr hostLanguageEnglish = 1;
constexpr size_t textBufferSize = 1024;      // what hosts hand out for 8- to 24-character texts
constexpr size_t maxParameterTextLength = 24;
constexpr int32_t maxChannels = 32;

// Valid only while an entry point runs. Entry points are called under `loadingLock`, so two hosts
// opening effects on different threads each find their own plug-in here; atomic because the
// callback may read it on any thread while another open writes it.
std::atomic<VSTPlugIn*> loadingPlugIn{nullptr};
std::mutex loadingLock;

} // namespace

VSTPlugIn::VSTPlugIn(VSTHost& h, const Bundle& b, int32_t size, float rate)
    : host(h), bundle(b), sampleRate(rate), blockSize(size)
{
}

VSTPlugIn::~VSTPlugIn()
{
    if (editorOpen)
        closeEditor();
    if (effect != nullptr) {
        dispatch(effClose);
        effect = nullptr;
        opened = false;
    }
    // The bundle member releases its reference last; the last reference unloads the executable.
}

void VSTPlugIn::open()
{
    if (!bundle.isExecutableLoaded() && !bundle.loadExecutable())
        throw TandrilException("Could not load VST bundle executable");

    // The Mac name, the VST 2.4 name, then the legacy name many Linux plug-ins export alone.
    EntryPoint entry = nullptr;
    for (const char* name : {"main_macho", "VSTPluginMain", "main"})
        if (entry == nullptr)
            entry = reinterpret_cast<EntryPoint>(bundle.getFunctionPointer(name));
    if (entry == nullptr)
        throw TandrilException("Could not locate function in bundle executable (\"main_macho\" or \"VSTPluginMain\")");

    {
        std::lock_guard<std::mutex> lock(loadingLock);
        loadingPlugIn = this;
        AEffect* created = nullptr;
        try {
            created = entry(&VSTPlugIn::hostCallback);
        } catch (...) {
            effect = nullptr;
            loadingPlugIn = nullptr;
            throw;
        }
        if (created == nullptr || created->magic != kEffectMagic) {
            // Whatever the entry point recorded through the callback is not an effect we may close.
            effect = nullptr;
            loadingPlugIn = nullptr;
            throw TandrilException("VST main() doesn't return object AEffect*");
        }
        effect = created;
        effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
        loadingPlugIn = nullptr;
    }

    dispatch(effOpen);
    opened = true;
    // A host tells a freshly opened effect its rate and block size, so the effect never runs on
    // defaults that differ from what this host answers to audioMasterGetSampleRate.
    setSampleRate(sampleRate);
    setBlockSize(blockSize);
}

void VSTPlugIn::checkEffect() const
{
    if (effect == nullptr)
        throw TandrilException("VST main() doesn't return object AEffect*");
    if (effect->numInputs > maxChannels)
        throw TandrilException("VST has too many inputs");
    if (effect->numOutputs > maxChannels)
        throw TandrilException("VST has too many outputs");
    if ((effect->flags & effFlagsCanReplacing) == 0)
        throw TandrilException("VST does not support processReplacing()");
}

VstIntPtr VSTPlugIn::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) noexcept
{
    if (effect == nullptr || effect->dispatcher == nullptr)
        return 0;
    try {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void VSTPlugIn::setSampleRate(float rate) noexcept
{
    sampleRate = rate;
    if (opened)
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void VSTPlugIn::setBlockSize(int32_t size) noexcept
{
    blockSize = size;
    if (opened)
        dispatch(effSetBlockSize, 0, size);
}

void VSTPlugIn::setProgram(int32_t index) noexcept { dispatch(effSetProgram, 0, index); }

int32_t VSTPlugIn::getProgram() noexcept { return static_cast<int32_t>(dispatch(effGetProgram)); }

std::string VSTPlugIn::dispatchForText(VstInt32 opcode, VstInt32 index, size_t maxLength)
{
    std::vector<char> buffer(textBufferSize, '\0');
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return std::string(buffer.data(), strnlen(buffer.data(), maxLength));
}

std::string VSTPlugIn::getProgramName() { return dispatchForText(effGetProgramName, 0, maxProgramNameLength); }

void VSTPlugIn::setProgramName(const char* name) noexcept
{
    dispatch(effSetProgramName, 0, 0, const_cast<char*>(name != nullptr ? name : ""));
}

float VSTPlugIn::getParameter(int32_t index) noexcept
{
    if (effect == nullptr || effect->getParameter == nullptr)
        return 0.0f;
    try {
        return effect->getParameter(effect, index);
    } catch (...) {
        return 0.0f;
    }
}

void VSTPlugIn::setParameter(int32_t index, float value) noexcept
{
    if (effect == nullptr || effect->setParameter == nullptr)
        return;
    try {
        effect->setParameter(effect, index, value);
    } catch (...) {
    }
}

std::string VSTPlugIn::getParameterDisplay(int32_t index)
{
    return dispatchForText(effGetParamDisplay, index, maxParameterTextLength);
}

int32_t VSTPlugIn::getChunk(bool isProgram, void** data) noexcept
{
    return static_cast<int32_t>(dispatch(effGetChunk, isProgram ? 1 : 0, 0, data));
}

int32_t VSTPlugIn::setChunk(bool isProgram, int32_t size, void* data) noexcept
{
    return static_cast<int32_t>(dispatch(effSetChunk, isProgram ? 1 : 0, size, data));
}

void VSTPlugIn::beginSetProgram() noexcept { dispatch(effBeginSetProgram); }

void VSTPlugIn::endSetProgram() noexcept { dispatch(effEndSetProgram); }

void VSTPlugIn::processEvents(VstEvents* events) noexcept { dispatch(effProcessEvents, 0, 0, events); }

void VSTPlugIn::processReplacing(float** inputs, float** outputs, int32_t frames) noexcept
{
    if (effect == nullptr || effect->processReplacing == nullptr)
        return;
    try {
        effect->processReplacing(effect, inputs, outputs, frames);
    } catch (...) {
    }
}

bool VSTPlugIn::processBlock(VSTMidiQueue& pending, bool supportsStringConversion, bool inputsSilent, float** inputs,
                             float** outputs, int32_t frames) noexcept
{
    if (pending.count() > 0) {
        processEvents(pending.events());
        pending.clear();
    }
    if (supportsStringConversion)
        vendorSpecific(extensionInputSilence, inputsSilent ? 1 : 0, nullptr);
    processReplacing(inputs, outputs, frames);
    return supportsStringConversion && vendorSpecific(extensionOutputSilence, 0, nullptr) != 0;
}

VstIntPtr VSTPlugIn::vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr) noexcept
{
    return dispatch(effVendorSpecific, index, value, ptr);
}

bool VSTPlugIn::acceptsMidi() noexcept
{
    const VstIntPtr answer = dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent"));
    if (answer > 0)
        return true;
    if (answer < 0)
        return false;
    return midiRequested;
}

void VSTPlugIn::idleEffect() noexcept
{
    dispatch(effIdle);
    if (editorOpen)
        dispatch(effEditIdle);
}

void VSTPlugIn::openEditor(void* view, VstIntPtr value)
{
    // Set first: an effect that half-opened its editor before failing still gets effEditClose.
    editorOpen = true;
    if (dispatch(effEditOpen, 0, value, view) == 0)
        throw TandrilException("VST could not open editor");
}

bool VSTPlugIn::getEditorRect(int32_t& width, int32_t& height) noexcept
{
    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

void VSTPlugIn::closeEditor() noexcept
{
    dispatch(effEditClose);
    editorOpen = false;
}

bool VSTPlugIn::probeExtension() noexcept { return vendorSpecific(extensionHello, 0, nullptr) != 0; }

VSTPlugIn* VSTPlugIn::getLoadingPlugIn() noexcept { return loadingPlugIn; }

VstIntPtr VSTPlugIn::hostCallback(AEffect* caller, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    try {
        VSTPlugIn* plugIn = caller != nullptr ? reinterpret_cast<VSTPlugIn*>(caller->resvd1) : nullptr;
        if (plugIn == nullptr) {
            // Called from inside the entry point, before open() could link the effect to us.
            plugIn = loadingPlugIn;
            if (plugIn != nullptr && caller != nullptr)
                plugIn->effect = caller;
        }
        if (plugIn == nullptr)
            return opcode == audioMasterVersion ? hostVstVersion : 0;
        return plugIn->answerHostCall(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

VstIntPtr VSTPlugIn::answerHostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode) {
    case audioMasterAutomate:
        host.automate(*this, index, opt);
        return 0;
    case audioMasterVersion:
        return hostVstVersion;
    case audioMasterCurrentId:
        return effect != nullptr ? effect->uniqueID : 0;
    case audioMasterIdle:
        host.idle(*this);
        return 0;
    case audioMasterPinConnected:
        // Published convention: 0 means connected.
        return host.isPinConnected(*this, value != 0, index) ? 0 : 1;
    case audioMasterWantMidi:
        midiRequested = true;
        return 1;
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(host.getTimeInfo(*this, static_cast<int32_t>(value)));
    case audioMasterGetParameterQuantization:
        return 1;
    case audioMasterNeedIdle:
        return 1;
    case audioMasterSizeWindow:
        host.sizeWindow(*this, index, static_cast<int32_t>(value));
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(static_cast<double>(sampleRate) + 0.5);
    case audioMasterGetBlockSize:
        return blockSize;
    case audioMasterGetVendorString:
        if (ptr != nullptr)
            host.getVendorString(*this, static_cast<char*>(ptr));
        return 1;
    case audioMasterGetProductString:
        if (ptr != nullptr)
            host.getProductString(*this, static_cast<char*>(ptr));
        return 1;
    case audioMasterGetVendorVersion:
        return host.getVendorVersion(*this);
    case audioMasterCanDo:
        return ptr != nullptr && host.canDo(*this, static_cast<const char*>(ptr)) ? 1 : 0;
    case audioMasterGetLanguage:
        return hostLanguageEnglish;
    case audioMasterUpdateDisplay:
        host.updateDisplay(*this);
        return 1;
    case audioMasterBeginEdit:
        host.beginEdit(*this, index);
        return 1;
    case audioMasterEndEdit:
        host.endEdit(*this, index);
        return 1;
    default:
        // audioMasterProcessEvents, audioMasterIOChanged and everything newer: not offered.
        return 0;
    }
}

} // namespace q9framework
