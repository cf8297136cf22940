#include "effect/KVAudioPlugin.h"

#include "effect/KVSharedResources.h"

#include <cmath>

using namespace q9framework;

namespace {

const char* const parameterNames[KVAudioPlugin::numParameters] = {
    "Attack", "Release", "Bypass", "Gain", "Attack Time", "Release Time", "Drive"};

const float defaultValues[KVAudioPlugin::numParameters] = {0.5f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 0.0f};

bool isParameterIndex(int32_t index) noexcept
{
    return static_cast<uint32_t>(index) < static_cast<uint32_t>(KVAudioPlugin::numParameters);
}

// The display texts truncate like a C cast, but out-of-range values (parameters are never clamped)
// must not overflow the conversion.
int truncateToInt(float v) noexcept
{
    if (!(v > -2147483520.0f))
        return v != v ? 0 : INT32_MIN;
    if (v > 2147483520.0f)
        return INT32_MAX;
    return static_cast<int>(v);
}

float timeFactor(double v) noexcept { return v < 0.333 ? 0.5f : (v < 0.666 ? 1.0f : 2.0f); }

const char* timeText(float v) noexcept { return v < 0.333f ? "sharp" : (v < 0.666f ? "mid" : "soft"); }

} // namespace

PluginInfo* createPluginInfo()
{
    auto* info = new PluginInfo();
    info->name = "Kelvane";
    info->version = 0x00030502;
    info->vendor = "Velmora Audio Technologies";
    info->url = "https://www.velmora-audio.com";
    info->email = "support@velmora-audio.com";
    info->flags = 0;
    info->numInputs = 2;
    info->numOutputs = 2;
    info->category = "Fx|Dynamics";
    info->uniqueId = PluginInfo::fourCharCode("KvLn");
    info->editorFlags = 264;
    info->bundleIdentifier = KVSharedResources::bundleIdentifier();
    return info;
}

KVAudioPlugin::KVAudioPlugin()
{
    for (int32_t i = 0; i < numParameters; ++i)
        programs[0].values[i] = defaultValues[i];
    KVSharedResources::acquire();
    setupStereo();
    programs[0].name = String("init") + String(0);
    applyParameters();
}

KVAudioPlugin::~KVAudioPlugin() { KVSharedResources::release(); }

namespace {

KVAudioPlugin::EditorFactory installedEditorFactory = nullptr;

} // namespace

void KVAudioPlugin::setEditorFactory(EditorFactory factory) noexcept { installedEditorFactory = factory; }

AudioPluginEditor* KVAudioPlugin::createEditor()
{
    return installedEditorFactory != nullptr ? installedEditorFactory(*this) : nullptr;
}

uint32_t KVAudioPlugin::getRefreshCount(int32_t index) const noexcept
{
    return isParameterIndex(index) ? refreshCounts[index].load(std::memory_order_acquire) : 0;
}

void KVAudioPlugin::setParameter(int32_t index, double value)
{
    // Out-of-range values are kept as they come, but a value that is not a finite f32 would stay in the
    // engine's ramps for good (each block's increment starts from it) and silence the instance until
    // it is reloaded: it is refused like an unknown index.
    if (!isParameterIndex(index) || !std::isfinite(static_cast<float>(value)))
        return;
    programs[0].values[index].store(static_cast<float>(value), std::memory_order_relaxed);
    applyToEngine(index, value);
    refreshEditors(index);
}

double KVAudioPlugin::getParameter(int32_t index)
{
    return isParameterIndex(index) ? static_cast<double>(programs[0].values[index].load(std::memory_order_relaxed)) : 0.0;
}

String KVAudioPlugin::getParameterText(int32_t index, double value)
{
    const float v = static_cast<float>(value);
    switch (index) {
    case attackIndex:
    case releaseIndex:
        return String::formatted("%i %%", truncateToInt(v * 200.0f - 100.0f));
    case bypassIndex:
        return String(v >= 0.5f ? "On" : "Off");
    case gainIndex:
        return String(static_cast<double>(v * 18.0f - 9.0f), 2) + " dB";
    case attackTimeIndex:
    case releaseTimeIndex:
        return String(timeText(v));
    case driveIndex:
        return String::formatted("%i %%", truncateToInt(v * 100.0f));
    default:
        return String();
    }
}

String KVAudioPlugin::getParameterName(int32_t index)
{
    return isParameterIndex(index) ? String(parameterNames[index]) : String();
}

void KVAudioPlugin::applyToEngine(int32_t index, double value) noexcept
{
    const float v = static_cast<float>(value);
    switch (index) {
    case attackIndex: engine.setAttack(v); break;
    case releaseIndex: engine.setRelease(v); break;
    case bypassIndex: engine.setBypass(value >= 0.5); break;
    case gainIndex: engine.setGain(v); break;
    case attackTimeIndex: engine.setAttackTime(timeFactor(value)); break;
    case releaseTimeIndex: engine.setReleaseTime(timeFactor(value)); break;
    case driveIndex: engine.setDrive(v); break;
    default: break;
    }
}

void KVAudioPlugin::applyParameters()
{
    refreshEditors(-1);
    const ScopedLock hold(getLock());
    for (int32_t i = 0; i < numParameters; ++i)
        applyToEngine(i, static_cast<double>(programs[0].values[i]));
}

void KVAudioPlugin::refreshEditors(int32_t index) noexcept
{
    // Released after the value was stored, so an editor that sees the new count reads the new value.
    for (int32_t i = 0; i < numParameters; ++i)
        if (index < 0 || index == i)
            refreshCounts[i].fetch_add(1, std::memory_order_release);
}

void KVAudioPlugin::prepare(int32_t newBlockSize, bool clearBuffers, double sampleRate)
{
    AudioPlugin::prepare(newBlockSize, clearBuffers, sampleRate);
    // A rate that is not positive, or not finite once stored as f32, is none the host can mean: the
    // meters and the engine keep the last good one rather than stopping or running at garbage speeds.
    const float rate = static_cast<float>(sampleRate);
    if (rate > 0.0f && std::isfinite(rate)) {
        const ScopedLock hold(getLock());
        const float fall = static_cast<float>(0.25 / sampleRate);
        inputMeter.fall = fall;
        outputMeter.fall = fall;
        // The engine follows the host's rate, so attack and release times stay the same in
        // milliseconds at every rate.
        engine.setSampleRate(rate);
    }
    applyParameters();
}

bool KVAudioPlugin::setupBuses(int32_t numChannels)
{
    deleteInputBuses();
    addInputBus(new AudioBus(this, "Input", numChannels));
    deleteOutputBuses();
    addOutputBus(new AudioBus(this, "Output", numChannels));
    return true;
}

bool KVAudioPlugin::setupStereo() { return setupBuses(2); }
bool KVAudioPlugin::setupMono() { return setupBuses(1); }

void KVAudioPlugin::process(ProcessInfo&, int32_t numSamples) noexcept
{
    const ScopedLock hold(getLock());
    const AudioBus* in = getInputBus(0);
    const AudioBus* out = getOutputBus(0);
    if (in == nullptr || out == nullptr)
        return;
    const int32_t c = in->getNumChannels();
    if (c < 1 || c > 2 || c != out->getNumChannels())
        return;
    const float* inL = in->getChannel(0);
    const float* inR = c == 2 ? in->getChannel(1) : nullptr;
    float* outL = out->getChannel(0);
    float* outR = c == 2 ? out->getChannel(1) : nullptr;
    if (inL == nullptr || outL == nullptr || (c == 2 && (inR == nullptr || outR == nullptr)))
        return;

    const bool metering = getNumEditors() > 0;
    if (metering)
        inputLevel.store(inputMeter.measure(inL, inR, numSamples), std::memory_order_relaxed);
    if (c == 1)
        engine.processMono(inL, outL, numSamples);
    else
        engine.processStereo(inL, inR, outL, outR, numSamples);
    if (metering)
        outputLevel.store(outputMeter.measure(outL, outR, numSamples), std::memory_order_relaxed);
}

float KVAudioPlugin::takeSaturationPeak() noexcept
{
    const ScopedLock hold(getLock());
    return engine.takeSaturationPeak();
}

void KVAudioPlugin::setEditorSize(int32_t width, int32_t height) noexcept
{
    uiWidthNew = width;
    uiHeightNew = height;
}
