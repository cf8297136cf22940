#include "tools/kelvane/CommandLineHost.h"

#include <cstring>
#include <initializer_list>

namespace kelvane {

namespace {
constexpr double tempoBpm = 120.0;
constexpr int32_t hostVersion = 0x10000;     // 1.0.0
} // namespace

CommandLineHost::CommandLineHost() { prepare(44100.0, 2); }

void CommandLineHost::prepare(double sampleRate, int channels)
{
    timeInfo = VstTimeInfo{};
    timeInfo.sampleRate = sampleRate;
    timeInfo.tempo = tempoBpm;
    timeInfo.timeSigNumerator = 4;
    timeInfo.timeSigDenominator = 4;
    timeInfo.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
    connectedChannels = channels;
}

void CommandLineHost::advance(int frames)
{
    timeInfo.samplePos += frames;
    // Quarter notes since the start; bars of four of them.
    timeInfo.ppqPos = timeInfo.samplePos / timeInfo.sampleRate * tempoBpm / 60.0;
    timeInfo.barStartPos = static_cast<double>(static_cast<long long>(timeInfo.ppqPos / 4.0)) * 4.0;
}

void CommandLineHost::getVendorString(q9framework::VSTPlugIn&, char* text) { std::strcpy(text, "Velmora Audio Technologies"); }

void CommandLineHost::getProductString(q9framework::VSTPlugIn&, char* text) { std::strcpy(text, "kelvane"); }

int32_t CommandLineHost::getVendorVersion(q9framework::VSTPlugIn&) { return hostVersion; }

bool CommandLineHost::canDo(q9framework::VSTPlugIn&, const char* text)
{
    for (const char* offered : {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "reportConnectionChanges"})
        if (std::strcmp(text, offered) == 0)
            return true;
    // Resizing is offered only while a window shows the editor.
    return editorObserver != nullptr && std::strcmp(text, "sizeWindow") == 0;
}

VstTimeInfo* CommandLineHost::getTimeInfo(q9framework::VSTPlugIn&, int32_t) { return &timeInfo; }

void CommandLineHost::beginEdit(q9framework::VSTPlugIn&, int32_t index)
{
    if (editorObserver != nullptr)
        editorObserver->parameterEdited(EditorObserver::Edit::begin, index, 0.0f);
}

void CommandLineHost::automate(q9framework::VSTPlugIn&, int32_t index, float value)
{
    if (editorObserver != nullptr)
        editorObserver->parameterEdited(EditorObserver::Edit::value, index, value);
}

void CommandLineHost::endEdit(q9framework::VSTPlugIn&, int32_t index)
{
    if (editorObserver != nullptr)
        editorObserver->parameterEdited(EditorObserver::Edit::end, index, 0.0f);
}

bool CommandLineHost::isPinConnected(q9framework::VSTPlugIn&, bool, int32_t index) { return index < connectedChannels; }

void CommandLineHost::idle(q9framework::VSTPlugIn&) {}
void CommandLineHost::updateDisplay(q9framework::VSTPlugIn&) {}
void CommandLineHost::sizeWindow(q9framework::VSTPlugIn&, int32_t width, int32_t height)
{
    if (editorObserver != nullptr)
        editorObserver->sizeRequested(width, height);
}

} // namespace kelvane
