#pragma once

#include "auwrapper/vsthost/VSTHost.h"

namespace kelvane {

/** The command-line program as a VST host: it answers the effect's host calls the way a simple
    offline renderer would — a transport that plays from 0 at 120 BPM in 4/4 while the file renders,
    every pin of the file's channels connected, no editor, automation ignored (nothing is recorded
    from the command line).
    Single-threaded: the program renders on its main thread, so the effect calls it from there. */
class CommandLineHost : public q9framework::VSTHost {
public:
    CommandLineHost();

    /** Called before rendering: the file's rate and how many of the effect's pins carry audio. */
    void prepare(double sampleRate, int connectedChannels);
    /** Moves the transport on after each block. */
    void advance(int frames);

    void getVendorString(q9framework::VSTPlugIn& plugIn, char* text) override;
    void getProductString(q9framework::VSTPlugIn& plugIn, char* text) override;
    int32_t getVendorVersion(q9framework::VSTPlugIn& plugIn) override;
    bool canDo(q9framework::VSTPlugIn& plugIn, const char* text) override;
    VstTimeInfo* getTimeInfo(q9framework::VSTPlugIn& plugIn, int32_t filter) override;
    void beginEdit(q9framework::VSTPlugIn& plugIn, int32_t index) override;
    void automate(q9framework::VSTPlugIn& plugIn, int32_t index, float value) override;
    void endEdit(q9framework::VSTPlugIn& plugIn, int32_t index) override;
    bool isPinConnected(q9framework::VSTPlugIn& plugIn, bool isOutput, int32_t index) override;
    void idle(q9framework::VSTPlugIn& plugIn) override;
    void updateDisplay(q9framework::VSTPlugIn& plugIn) override;
    void sizeWindow(q9framework::VSTPlugIn& plugIn, int32_t width, int32_t height) override;

private:
    VstTimeInfo timeInfo{};
    int connectedChannels = 2;
};

} // namespace kelvane
